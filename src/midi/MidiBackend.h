#pragma once

#include "midi/MidiSystem.h"

#include <QString>

#include <memory>

namespace orvell {

class Clock;
class VirtualMidiSystem;

enum class MidiBackendChoice { Automatic, Alsa, Jack, Virtual };

struct MidiBackendOptions {
    MidiBackendChoice choice = MidiBackendChoice::Automatic;
    int virtualInputs = 1;
    int virtualOutputs = 2;
    QString logFile;  // virtual backend only: one line per message sent
};

struct MidiBackend {
    std::unique_ptr<MidiSystem> system;         // null when `error` is set
    VirtualMidiSystem* virtualSystem = nullptr;  // set when the virtual backend was chosen
    QString notice;                             // for the status line, e.g. why the fallback was taken
    QString error;                              // the requested backend could not be opened
};

// Automatic: the ALSA sequencer when it can be opened, else a running JACK
// server, else the virtual backend with a notice.
MidiBackend createMidiBackend(const MidiBackendOptions& options, const Clock& clock);

bool alsaSequencerAvailable();
bool jackServerRunning();

}  // namespace orvell
