#pragma once

#include <QString>

namespace orvell {

enum class MsgIcon { None, Information, Exclamation, Question, Critical };

// How the engine tells the user what happened: the status line fields and
// plain message boxes that return after OK. The main window implements it.
class Reporter {
public:
    virtual ~Reporter() = default;
    // Field 0: what is being done; 1: its outcome; 2: hints.
    virtual void ShowStatusText(int field, const QString& text) = 0;
    // A box with one OK button. An empty title means the program's name.
    virtual void ShowMessage(const QString& text, const QString& title, MsgIcon icon) = 0;
    // Keeps the status texts on screen until the next menu opens, so that
    // mouse-over hints do not overwrite them.
    virtual void HoldStatus() {}
};

}  // namespace orvell
