#pragma once

namespace orvell {

// Application-wide flags that windows and the engine read.
struct AppFlags {
    bool Initializing = true;      // a session or panel is being loaded: no prompts, no MIDI, no change marks
    bool ClosingDown = false;      // the exit sequence has begun: no MIDI error boxes
    bool RecorderRunning = false;  // the event recorder is recording
};

}  // namespace orvell
