#include "midi/MidiSystem.h"

namespace orvell {

int shortMessageLength(std::uint8_t status)
{
    if (status >= 0xF8)
        return 1;  // real-time
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        // System common: song position takes two data bytes, song select and
        // time code one, the rest none.
        if (status == 0xF2)
            return 3;
        if (status == 0xF1 || status == 0xF3)
            return 2;
        return 1;
    default:
        return 3;
    }
}

std::optional<QString> standardMidiErrorText(int code)
{
    switch (code) {
    case MidiResult::Ok:
        return QStringLiteral("The operation completed successfully.");
    case MidiResult::Error:
        return QStringLiteral("An unspecified MIDI error occurred.");
    case MidiResult::BadDeviceId:
        return QStringLiteral("The MIDI device number is out of range.");
    case MidiResult::Allocated:
        return QStringLiteral("The MIDI device is already in use by another program.");
    case MidiResult::InvalidHandle:
        return QStringLiteral("The MIDI port is not open (invalid device handle).");
    case MidiResult::NoDriver:
        return QStringLiteral("No MIDI driver is available.");
    case MidiResult::NoMemory:
        return QStringLiteral("Not enough memory for the MIDI operation.");
    case MidiResult::InvalidParam:
        return QStringLiteral("The MIDI call was given a connection or parameter that does not exist.");
    case MidiResult::NotReady:
        return QStringLiteral("The MIDI device is busy; try again.");
    case MidiResult::NoDevice:
        return QStringLiteral("The MIDI device was disconnected.");
    default:
        return std::nullopt;
    }
}

}  // namespace orvell
