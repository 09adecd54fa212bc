#include "controllers/AutoSweep.h"

namespace orvell {

AutoSweep::AutoSweep(MidiEngine& midi) : midi_(midi) {}

void AutoSweep::setTimerSwitch(std::function<void(bool running)> timerSwitch)
{
    timerSwitch_ = std::move(timerSwitch);
}

void AutoSweep::AutoEvent_Timer() {}

}  // namespace orvell
