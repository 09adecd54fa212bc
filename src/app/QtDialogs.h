#pragma once

#include "panels/Dialogs.h"

#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

namespace orvell {

class MessageTable;

class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    // The five-button box takes its hint texts from here; the built-in texts until set.
    void setMessages(const MessageTable* messages) { messages_ = messages; }
    // Where the boxes' mouse hints go (status field 2).
    void setHint(std::function<void(const QString&)> hint) { hint_ = std::move(hint); }

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    BigAnswer BigMsgBox(const QString& text) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& initial) override;
    QString OpenFile(const FileRequest& request) override;
    QString SaveFile(const FileRequest& request) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;

private:
    QString askFile(const FileRequest& request, bool save);

    QWidget* parent_ = nullptr;
    const MessageTable* messages_ = nullptr;
    std::function<void(const QString&)> hint_;
};

// Line breaks of message texts are carriage returns; Qt wants line feeds.
QString displayText(const QString& text);

// A "description|pattern|description|pattern" filter as Qt's name filters,
// one "description (patterns)" per pair. Patterns are normalised for Qt:
// "*bmp" becomes "*.bmp", "*.*" becomes "*", ";" between patterns a space.
QStringList qtFileFilters(const QString& filter);
// The same joined with ";;", as QFileDialog's filter argument.
QString qtFileFilter(const QString& filter);
// Puts a request's settings on an open (or save) dialog before it is shown.
void applyFileRequest(QFileDialog& dialog, const FileRequest& request, bool save);

}  // namespace orvell
