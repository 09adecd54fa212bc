#pragma once

#include "panels/Dialogs.h"
#include "patches/PatchFile.h"

namespace orvell {

// Hands the patch files' questions to the program's dialogs.
class DialogsForPatches final : public PatchDialogs {
public:
    explicit DialogsForPatches(Dialogs& dialogs) : dialogs_(dialogs) {}

    Answer MsgBox(const QString& text, Buttons buttons, MsgIcon icon, const QString& title) override
    {
        const MsgButtons shown = buttons == Buttons::Ok      ? MsgButtons::Ok
                                 : buttons == Buttons::YesNo ? MsgButtons::YesNo
                                                             : MsgButtons::YesNoCancel;
        switch (dialogs_.MsgBox(text, shown, icon, title)) {
        case MsgAnswer::Ok:
            return Answer::Ok;
        case MsgAnswer::Yes:
            return Answer::Yes;
        case MsgAnswer::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& initial) override
    {
        return dialogs_.InputBox(prompt, title, initial);
    }
    QString SaveFile(const SaveRequest& request) override
    {
        FileRequest file;
        file.title = request.title;
        file.directory = request.directory;
        file.fileName = request.fileName;
        file.filter = request.filter;
        file.defaultExtension = QStringLiteral("ins");
        file.confirmOverwrite = true;
        return dialogs_.SaveFile(file);
    }

private:
    Dialogs& dialogs_;
};

}  // namespace orvell
