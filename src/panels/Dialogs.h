#pragma once

#include "core/Reporter.h"
#include "panels/PanelHost.h"

#include <QColor>
#include <QString>

#include <optional>

namespace orvell {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct FileRequest {
    QString title;
    QString directory;
    QString fileName;  // proposed name
    QString filter;    // description and pattern pairs joined by "|": "MIDI Files (*.mid)|*.mid"
    int filterIndex = 1;        // the pair selected at first, from 1
    QString defaultExtension;   // added when the user types none
    bool confirmOverwrite = true;
};

// Every box and dialog the program asks goes through here, so tests can
// script the answers and see each question.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A carriage return in `text` is a line break. An empty title means the program's name.
    virtual MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title = {}) = 0;
    // The five-button box: Yes, Yes To All, No, No To All, Cancel.
    virtual BigAnswer BigMsgBox(const QString& text) = 0;
    // Nothing on Cancel.
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                            const QString& initial = {}) = 0;
    // The chosen path, or "" on Cancel.
    virtual QString OpenFile(const FileRequest& request) = 0;
    virtual QString SaveFile(const FileRequest& request) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
};

}  // namespace orvell
