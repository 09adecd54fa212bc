#pragma once

#include "patches/PatchDialogs.h"

#include <iterator>

namespace orvell::test {

// Answers every patch-file box at once, cycling through the answers, and
// every name question with the name offered; for runs that ask an unknown
// number of questions.
class RoundRobinDialogs final : public PatchDialogs {
public:
    Answer MsgBox(const QString&, Buttons buttons, MsgIcon, const QString&) override
    {
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        static constexpr Answer cycle[] = {Answer::Yes, Answer::No, Answer::Yes, Answer::Cancel};
        return cycle[next_++ % std::size(cycle)];
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString& initial) override
    {
        return initial;
    }
    QString SaveFile(const SaveRequest&) override { return {}; }

private:
    size_t next_ = 0;
};

}  // namespace orvell::test
