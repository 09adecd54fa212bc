#pragma once

#include "panels/Dialogs.h"

#include <QColor>
#include <QString>

#include <deque>
#include <optional>
#include <variant>
#include <vector>

namespace orvell::test {

// Answers questions from a queue and records every one asked. A question
// nobody scripted an answer for fails the test; a plain OK box needs none.
class ScriptedDialogs final : public Dialogs {
public:
    struct Question {
        enum class Kind { MsgBox, BigMsgBox, Input, OpenFile, SaveFile, Color } kind;
        QString text;  // message or prompt, or the file dialog's title
        QString title;
        MsgButtons buttons = MsgButtons::Ok;
        MsgIcon icon = MsgIcon::None;
        FileRequest file;  // the settings of a file dialog
    };
    // std::monostate, or an answer of another kind than the question's,
    // answers Cancel.
    using Answer = std::variant<std::monostate, MsgAnswer, QString, QColor, BigAnswer>;

    void answer(Answer value) { answers_.push_back(std::move(value)); }
    // Given to every box asked once the queue is empty, instead of failing:
    // for runs that ask an unknown number of questions.
    void setDefaultAnswer(std::optional<MsgAnswer> value) { defaultAnswer_ = value; }
    const std::vector<Question>& asked() const { return asked_; }
    bool wasAsked(const QString& text) const;
    void clear()
    {
        asked_.clear();
        answers_.clear();
    }
    size_t pendingAnswers() const { return answers_.size(); }

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    BigAnswer BigMsgBox(const QString& text) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& initial) override;
    QString OpenFile(const FileRequest& request) override;
    QString SaveFile(const FileRequest& request) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;

private:
    // Records the question and takes the next answer when it is a T.
    template <typename T>
    std::optional<T> next(const Question& question);

    std::deque<Answer> answers_;
    std::vector<Question> asked_;
    std::optional<MsgAnswer> defaultAnswer_;
};

}  // namespace orvell::test
