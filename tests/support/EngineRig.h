#pragma once

#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/VirtualMidiSystem.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace orvell::test {

// The MIDI engine on virtual devices and a fake clock, ports enumerated and
// `open` opened, nothing loading.
struct EngineRig {
    EngineRig(int inputs, int outputs, std::initializer_list<const char*> open = {})
        : system(inputs, outputs, clock), engine(system, msgs, reporter, clock, flags)
    {
        start(open);
    }
    // Output devices called as given.
    EngineRig(int inputs, const QStringList& outputNames)
        : system(inputs, 0, clock), engine(system, msgs, reporter, clock, flags)
    {
        system.setOutputNames(outputNames);
        start({});
    }

    // The bytes of every message sent so far, in order.
    std::vector<std::vector<std::uint8_t>> sent() const
    {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& message : system.sent())
            out.push_back(message.bytes);
        return out;
    }
    // (port, bytes) of every message sent so far, in order.
    std::vector<std::pair<int, std::vector<std::uint8_t>>> log() const
    {
        std::vector<std::pair<int, std::vector<std::uint8_t>>> out;
        for (const auto& message : system.sent())
            out.emplace_back(message.port, message.bytes);
        return out;
    }

    void start(std::initializer_list<const char*> open)
    {
        flags.Initializing = false;
        engine.InitMidiDevs();
        for (const char* port : open)
            engine.OpenMidiOut(QString::fromLatin1(port));
    }

    FakeClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
};

}  // namespace orvell::test
