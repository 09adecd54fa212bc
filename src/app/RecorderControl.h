#pragma once

#include "core/Clock.h"
#include "sequencer/EventRecorder.h"

#include <QString>

namespace orvell {

class AOrvell;

// The record button: starts and stops the event recorder, asks where to save
// what was recorded, and sets the tempo on a right-click.
class RecorderControl {
public:
    explicit RecorderControl(AOrvell& window);
    ~RecorderControl();

    // Left button: start, or stop and save.
    void toggle();
    // Any other button: the tempo dialog.
    void askTempo();
    void setTempo(int bpm);
    // Writes what was recorded to a file the user names. False when nothing was written.
    bool SaveRecording();

    EventRecorder& recorder() { return recorder_; }
    // Tests stamp events with a clock of their own.
    void setClock(const Clock& clock) { recorder_.setClock(clock); }
    const QString& lastSequenceFile() const { return lastFile_; }

private:
    void showState();

    AOrvell& window_;
    SteadyClock steady_;
    EventRecorder recorder_{steady_};
    QString lastFile_;
};

}  // namespace orvell
