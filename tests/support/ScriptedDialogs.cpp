#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace orvell::test {

bool ScriptedDialogs::wasAsked(const QString& text) const
{
    for (const Question& question : asked_) {
        if (question.text == text)
            return true;
    }
    return false;
}

// The answer is read in place rather than moved out of the queue as a whole
// variant: GCC at -O2 takes a moved-from variant holding a QString for
// possibly uninitialised.
template <typename T>
std::optional<T> ScriptedDialogs::next(const Question& question)
{
    asked_.push_back(question);
    if (answers_.empty()) {
        ADD_FAILURE() << "Unscripted question: " << question.text.toStdString();
        return std::nullopt;
    }
    std::optional<T> value;
    if (const T* scripted = std::get_if<T>(&answers_.front()))
        value = *scripted;
    answers_.pop_front();
    return value;
}

MsgAnswer ScriptedDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    const Question question{Question::Kind::MsgBox, text, title, buttons, icon};
    if (answers_.empty() && buttons == MsgButtons::Ok) {
        asked_.push_back(question);
        return MsgAnswer::Ok;
    }
    if (answers_.empty() && defaultAnswer_) {
        asked_.push_back(question);
        return *defaultAnswer_;
    }
    return next<MsgAnswer>(question).value_or(MsgAnswer::Cancel);
}

BigAnswer ScriptedDialogs::BigMsgBox(const QString& text)
{
    return next<BigAnswer>({Question::Kind::BigMsgBox, text, {}}).value_or(BigAnswer::Cancel);
}

std::optional<QString> ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString&)
{
    return next<QString>({Question::Kind::Input, prompt, title});
}

QString ScriptedDialogs::OpenFile(const FileRequest& request)
{
    Question question{Question::Kind::OpenFile, request.title, request.title};
    question.file = request;
    return next<QString>(question).value_or(QString());
}

QString ScriptedDialogs::SaveFile(const FileRequest& request)
{
    Question question{Question::Kind::SaveFile, request.title, request.title};
    question.file = request;
    return next<QString>(question).value_or(QString());
}

std::optional<QColor> ScriptedDialogs::ChooseColor(const QColor&)
{
    return next<QColor>({Question::Kind::Color, QStringLiteral("colour"), {}});
}

}  // namespace orvell::test
