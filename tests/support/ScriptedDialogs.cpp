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

ScriptedDialogs::Answer ScriptedDialogs::next(const Question& question)
{
    asked_.push_back(question);
    if (answers_.empty()) {
        if (question.kind == Question::Kind::MsgBox && question.buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        ADD_FAILURE() << "Unscripted question: " << question.text.toStdString();
        return std::monostate{};
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

MsgAnswer ScriptedDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    const Answer answer = next({Question::Kind::MsgBox, text, title, buttons, icon});
    if (const auto* value = std::get_if<MsgAnswer>(&answer))
        return *value;
    return MsgAnswer::Cancel;
}

std::optional<QString> ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString&)
{
    const Answer answer = next({Question::Kind::Input, prompt, title});
    if (const auto* value = std::get_if<QString>(&answer))
        return *value;
    return std::nullopt;
}

QString ScriptedDialogs::OpenFile(const FileRequest& request)
{
    const Answer answer = next({Question::Kind::OpenFile, request.title, request.title});
    if (const auto* value = std::get_if<QString>(&answer))
        return *value;
    return {};
}

QString ScriptedDialogs::SaveFile(const FileRequest& request)
{
    const Answer answer = next({Question::Kind::SaveFile, request.title, request.title});
    if (const auto* value = std::get_if<QString>(&answer))
        return *value;
    return {};
}

std::optional<QColor> ScriptedDialogs::ChooseColor(const QColor&)
{
    const Answer answer = next({Question::Kind::Color, QStringLiteral("colour"), {}});
    if (const auto* value = std::get_if<QColor>(&answer))
        return *value;
    return std::nullopt;
}

}  // namespace orvell::test
