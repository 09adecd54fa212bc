#pragma once

#include <functional>

namespace orvell {

class MidiEngine;

// The table of running automatic events and the sweep engine behind it. The
// main window's AutoEvent timer calls AutoEvent_Timer; the engine switches
// that timer on while any event exists and off when the last one ends.
class AutoSweep {
public:
    explicit AutoSweep(MidiEngine& midi);

    void setTimerSwitch(std::function<void(bool running)> timerSwitch);
    void AutoEvent_Timer();

private:
    MidiEngine& midi_;
    std::function<void(bool)> timerSwitch_;
};

}  // namespace orvell
