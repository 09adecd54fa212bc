#pragma once

#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace orvell::test {

// The MIDI engine on virtual devices and a fake clock, ports enumerated and
// `open` opened, nothing loading.
struct EngineRig {
    EngineRig(int inputs, int outputs, std::initializer_list<const char*> open = {})
        : system(inputs, outputs, clock), engine(system, msgs, reporter, clock, flags)
    {
        flags.Initializing = false;
        engine.InitMidiDevs();
        for (const char* port : open)
            engine.OpenMidiOut(QString::fromLatin1(port));
    }

    // The bytes of every message sent so far, in order.
    std::vector<std::vector<std::uint8_t>> sent() const
    {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& message : system.sent())
            out.push_back(message.bytes);
        return out;
    }

    FakeClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
};

}  // namespace orvell::test
