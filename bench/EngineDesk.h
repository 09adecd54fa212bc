#pragma once

#include "core/Clock.h"
#include "core/Reporter.h"

#include <QString>

#include <functional>

namespace orvell::bench {

// Keeps the last text of each field, as the status line would.
class FieldReporter final : public Reporter {
public:
    void ShowStatusText(int field, const QString& text) override { fields[field & 3] = u' ' + text; }
    void ShowMessage(const QString&, const QString&, MsgIcon) override {}
    QString fields[4];
};

// Timed work never runs in a benchmark of single sends.
class NoScheduler final : public Scheduler {
public:
    void runAfter(int, std::function<void()>) override {}
};

}  // namespace orvell::bench
