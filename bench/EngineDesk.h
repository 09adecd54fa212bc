#pragma once

#include "core/AppFlags.h"
#include "core/Clock.h"
#include "core/Reporter.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"

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

// The engine on virtual ports with `port` open.
struct EngineRig {
    EngineRig(int outputs, const QString& port) : system(1, outputs, clock)
    {
        flags.Initializing = false;
        engine.InitMidiDevs();
        engine.OpenMidiOut(port);
    }

    SteadyClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    FieldReporter reporter;
    NoScheduler scheduler;
    AppFlags flags;
    MidiEngine engine{system, msgs, reporter, scheduler, flags};
};

}  // namespace orvell::bench
