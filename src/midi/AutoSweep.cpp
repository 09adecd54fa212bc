#include "midi/AutoSweep.h"

#include "core/Numeric.h"
#include "core/Reporter.h"
#include "help/MessageTable.h"
#include "midi/CtrlCodes.h"
#include "midi/MidiEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvell {

namespace {

constexpr int MsgResetSkipped = 232;

bool isPatchChange(int code) { return code == CtrlCode::PatchChange || code == CtrlCode::PnlPtrChange; }

// The value of a step, rounded in single precision: 0 to 127 in 500 ms steps
// by 12.7f, and 12.7f * 5 is 63.5f there, which goes to 64.
int stepValue(const AutoEvent& event)
{
    const float product = event.Inc * static_cast<float>(event.Step);
    const float sum = static_cast<float>(event.Start) + product;
    int value = static_cast<int>(std::nearbyintf(sum));
    // A duration that is not a whole number of ticks has its steps rounded
    // but not its increment; the last step must still stop at the end value.
    value = std::clamp(value, std::min(event.Start, event.End), std::max(event.Start, event.End));
    if (event.Code == CtrlCode::PitchBend)
        return std::clamp(value, -8192, 8191);
    return std::clamp(value, 0, 127);
}

}  // namespace

AutoSweep::AutoSweep(MidiEngine& midi) : midi_(midi) {}

void AutoSweep::setTimerSwitch(std::function<void(bool running)> timerSwitch)
{
    timerSwitch_ = std::move(timerSwitch);
}

void AutoSweep::setReporter(Reporter* reporter, const MessageTable* msgs)
{
    reporter_ = reporter;
    msgs_ = msgs;
}

void AutoSweep::switchTimer(bool running)
{
    if (running == timerRunning_)
        return;
    timerRunning_ = running;
    if (timerSwitch_)
        timerSwitch_(running);
}

int AutoSweep::AutoSetUp(const AutoRequest& request)
{
    const int duration = request.duration == 0 ? 1 : request.duration;
    const double ticks = duration / double(TickMs);
    AutoEvent event;
    event.Code = request.code;
    event.Start = request.start;
    event.End = request.end;
    event.Inc = static_cast<float>(std::abs(double(request.end) - double(request.start)) / ticks);
    if (request.start > request.end)
        event.Inc = -event.Inc;
    event.NSteps = roundHalfEven(ticks);
    event.Port = request.port;
    event.Channel = request.channel;
    event.PatchID = request.patchId;
    event.Repeat = request.repeat;
    event.Triangle = request.triangle;
    events_.push_back(event);
    switchTimer(true);
    return AutoCount() - 1;
}

void AutoSweep::send(AutoEvent& event, int value, bool* failed)
{
    switch (event.Code) {
    case CtrlCode::AfterTouch:
        midi_.SendAftrTch(event.Port, value, event.Channel);
        break;
    case CtrlCode::PitchBend:
        midi_.SendPBend(event.Port, value, event.Channel);
        break;
    case CtrlCode::PatchChange:
    case CtrlCode::PnlPtrChange:
        if (!patchChange_ || !patchChange_(event.Code, event.PatchID, value)) {
            if (failed)
                *failed = true;
            return;
        }
        break;
    default:
        midi_.SendCtrlChg(event.Port, event.Code, value, event.Channel);
        break;
    }
}

void AutoSweep::AutoEvent_Timer()
{
    // Indexes, not iterators: a patch change can reach a panel that starts or
    // resets events while this step runs.
    for (int k = 0; k < AutoCount(); ++k) {
        AutoEvent* event = &events_[size_t(k)];
        if (!event->running())
            continue;
        const int value = stepValue(*event);
        if (value != event->Last || event->Step == 0) {
            bool failed = false;
            send(*event, value, &failed);
            // A patch panel that refused ends this tick; later slots wait for the next.
            if (failed)
                return;
            if (k >= AutoCount())
                return;
            event = &events_[size_t(k)];
            event->Last = value;
        }
        ++event->Step;
        if (StopAll) {
            event->Step = event->NSteps + 1;
            event->Stop = true;
        }
        if (event->running())
            continue;
        if (event->Stop) {
            close(k);
            if (k < AutoCount() && events_[size_t(k)].Released)
                freeSlot(k);
        } else if (!StopAll && event->Repeat) {
            event->Step = 0;
            if (event->Triangle) {
                std::swap(event->Start, event->End);
                event->Inc = -event->Inc;
            }
        } else {
            event->Stop = true;
        }
    }
}

void AutoSweep::close(int index)
{
    AutoEvent& event = events_[size_t(index)];
    if (event.Start == event.End && event.NSteps == 0) {
        if (reporter_ && msgs_)
            reporter_->ShowStatusText(0, (*msgs_)[MsgResetSkipped]);
    } else if (isPatchChange(event.Code)) {
        if (patchChange_)
            patchChange_(event.Code, event.PatchID, event.Start);
    } else {
        midi_.ResetControl(event.Port, event.Code, event.Channel, event.PatchID);
    }
    // The patch panel may have started or reset events meanwhile.
    if (index >= AutoCount())
        return;
    AutoEvent& closed = events_[size_t(index)];
    closed.Stop = false;
    closed.Repeat = false;
    closed.Step = closed.NSteps + 1;
    closed.Closed = true;
}

void AutoSweep::freeSlot(int index)
{
    events_[size_t(index)].Freed = true;
    // Slots are reused only once every owner has let go of its index, so a
    // late reset can never land on someone else's event.
    if (std::all_of(events_.begin(), events_.end(), [](const AutoEvent& e) { return e.Freed; })) {
        events_.clear();
        switchTimer(false);
    }
}

void AutoSweep::AutoReset(int index)
{
    if (index < 0 || index >= AutoCount() || events_[size_t(index)].Freed)
        return;
    // A sweep that ended itself (stop-all) has sent its closing message already.
    if (!events_[size_t(index)].Closed)
        close(index);
    if (index < AutoCount())
        freeSlot(index);
}

void AutoSweep::Halt()
{
    for (int k = 0; k < AutoCount(); ++k) {
        AutoEvent& event = events_[size_t(k)];
        if (event.Freed)
            continue;
        event.Step = event.NSteps + 1;
        event.Stop = false;
        event.Repeat = false;
        event.Closed = true;
        // A released sweep has no owner left to free it.
        if (event.Released)
            freeSlot(k);
        if (k >= AutoCount())
            return;
    }
}

void AutoSweep::requestStop(int index)
{
    if (index < 0 || index >= AutoCount() || events_[size_t(index)].Freed)
        return;
    AutoEvent& event = events_[size_t(index)];
    if (event.running()) {
        event.Stop = true;
        event.Released = true;
    } else {
        AutoReset(index);
    }
}

}  // namespace orvell
