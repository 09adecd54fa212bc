#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace orvell {

class MessageTable;
class MidiEngine;
class Reporter;

// One running (or finished, not yet reset) automatic event.
struct AutoEvent {
    int Code = 0;
    int Start = 0;  // value at step 0 of the current sweep
    int End = 0;    // value at the last step of the current sweep
    int Last = 0;   // value last sent
    float Inc = 0;  // per step; negative for a falling sweep
    int NSteps = 0;
    int Step = 0;   // Step > NSteps: finished
    QString Port;
    QString Channel;
    int PatchID = 0;
    bool Stop = false;
    bool Repeat = false;
    bool Triangle = false;
    bool Closed = false;    // the closing message has been sent
    bool Released = false;  // the owner has let go of the index
    bool Freed = false;     // the slot waits for the table to empty

    bool running() const { return Step <= NSteps; }
};

// What a button asks for when it starts a sweep.
struct AutoRequest {
    int duration = 500;  // milliseconds
    int start = 0;
    int end = 127;
    int code = 0;
    QString channel;
    QString port;
    int patchId = 0;
    bool repeat = false;
    bool triangle = false;
};

// The table of running automatic events and the sweep engine behind it. The
// main window's AutoEvent timer calls AutoEvent_Timer; the engine switches
// that timer on while any event exists and off when the last one ends.
class AutoSweep {
public:
    static constexpr int TickMs = 50;

    // Patch-change codes (212, 216) are sent by whoever owns the patch
    // panels: (code, target tag, value); false when nothing could be sent.
    using PatchChangeFn = std::function<bool(int code, int patchId, int value)>;

    explicit AutoSweep(MidiEngine& midi);

    void setTimerSwitch(std::function<void(bool running)> timerSwitch);
    void setPatchChange(PatchChangeFn patchChange) { patchChange_ = std::move(patchChange); }
    // Where the reset warning goes; without it the warning is dropped.
    void setReporter(Reporter* reporter, const MessageTable* msgs);

    // Starts an event and returns its index.
    int AutoSetUp(const AutoRequest& request);
    // The owner lets go: sends the closing message unless the sweep already
    // did, and frees the slot. An index out of range or already freed is ignored.
    void AutoReset(int index);
    // The owner lets go but the sweep may finish: a running sweep closes and
    // frees itself when its current sweep completes; a finished one is reset now.
    void requestStop(int index);
    // Ends every sweep now without its closing message (a panic has reset
    // the controllers); the owners' later resets send nothing.
    void Halt();
    // One 50 ms step of every event.
    void AutoEvent_Timer();

    // Ends every running sweep at its next step; none restarts while set.
    bool StopAll = false;

    int AutoCount() const { return int(events_.size()); }
    const AutoEvent& event(int index) const { return events_[size_t(index)]; }
    bool timerRunning() const { return timerRunning_; }

private:
    void send(AutoEvent& event, int value, bool* failed);
    void close(int index);
    void freeSlot(int index);
    void switchTimer(bool running);

    MidiEngine& midi_;
    std::function<void(bool)> timerSwitch_;
    PatchChangeFn patchChange_;
    Reporter* reporter_ = nullptr;
    const MessageTable* msgs_ = nullptr;
    std::vector<AutoEvent> events_;
    bool timerRunning_ = false;
};

}  // namespace orvell
