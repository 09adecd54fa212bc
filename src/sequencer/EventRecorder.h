#pragma once

#include "midi/MidiEngine.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace orvell {

class Clock;

// Appends `value` (below 2^28) as a MIDI variable-length quantity.
void appendVarLen(QByteArray& out, std::uint32_t value);

// Captures the channel messages the senders hand over while recording runs
// and turns them into a standard MIDI file: a tempo track and one track per
// (channel, port) in order of first use. Each event is stamped with the real
// milliseconds since recording began, read from the clock when it arrives.
class EventRecorder final : public RecorderHook {
public:
    struct Track {
        std::uint32_t lastTick = 0;    // file time of the track's last event
        std::uint8_t lastStatus = 0;   // for running status
        int channel = 0;               // 1..16
        int port = 0;
        QByteArray events;             // delta-timed event bytes
    };

    explicit EventRecorder(const Clock& clock);
    void setClock(const Clock& clock) { clock_ = &clock; }

    // Starts over with an empty table at time 0.
    void start();
    std::uint32_t elapsedMs() const;

    int tempo() const { return tempo_; }
    // Beats per minute, 10..250.
    void setTempo(int bpm);

    QString timeStampText() const override;
    void recordEvent(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int channel, int port) override;

    // Tracks that hold events, in order of first use.
    int usedTracks() const;
    const std::vector<Track>& tracks() const { return tracks_; }
    // The whole file; empty when nothing was recorded.
    QByteArray fileBytes() const;

private:
    std::int64_t elapsedMicros() const;
    std::uint32_t tickAt(std::int64_t micros) const;

    const Clock* clock_;
    std::int64_t startMicros_ = 0;
    int tempo_ = 100;
    std::vector<Track> tracks_;
};

}  // namespace orvell
