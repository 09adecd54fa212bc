#pragma once

#include "sequencer/SmfReader.h"

#include <QObject>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace orvell {

class MidiEngine;
class PlayerClock;

// The player's news. Its signals always arrive on the user-interface thread,
// whichever thread the news comes from, so receivers may call the player.
class SequenceStatus final : public QObject {
    Q_OBJECT

signals:
    // While playing at most every 50 ms, and after every stop, seek and rewind.
    void positionChanged(qint64 micros);
    void playingChanged(bool playing);
    // Played to the end and back at the start, ready to play again.
    void reachedEnd();
};

// Plays a standard MIDI file from a thread of its own, timed against a
// monotonic clock. It sends through the engine's port table, holding the
// ports its tracks use open while a sequence is loaded; a failed send is
// reported on the user-interface thread as any failed send is, once per port
// and play. Stopping, seeking and closing leave no note sounding.
class SequencePlayer {
public:
    SequencePlayer(MidiEngine& midi, PlayerClock& clock);
    ~SequencePlayer();
    SequencePlayer(const SequencePlayer&) = delete;
    SequencePlayer& operator=(const SequencePlayer&) = delete;

    // Reads the file; on an error the sequence loaded before stays.
    bool open(const QString& path, QString& error);
    void open(const SmfSequence& sequence);
    void close();
    bool isOpen() const;

    void play();
    // Stops where it is.
    void stop();
    // Stops and moves to `micros`.
    void seek(std::int64_t micros);

    bool isPlaying() const;
    std::int64_t position() const;  // microseconds
    std::int64_t length() const;

    SequenceStatus& status() { return status_; }

private:
    struct Message {
        std::int64_t micros = 0;
        std::uint32_t packed = 0;  // a short message, or
        std::uint32_t offset = 0;  // the place of a SysEx in sysEx_
        std::uint32_t length = 0;
        int port = 0;
    };
    struct Voice {
        std::bitset<128> notes;
        bool sustain = false;
    };
    using PortVoices = std::array<Voice, 16>;

    void run();
    std::int64_t playDue();
    void send(const Message& message);
    void sendShort(int port, std::uint32_t packed);
    void checkResult(int port, int result);
    void silence();
    void halt();
    std::int64_t clampedPosition(std::int64_t micros) const;
    void post(void (SequenceStatus::*signal)());
    template <class T>
    void post(void (SequenceStatus::*signal)(T), T value);
    void releasePorts();

    MidiEngine& midi_;
    PlayerClock& clock_;
    SequenceStatus status_;

    // UI thread only.
    std::vector<int> heldPorts_;

    // Shared with the player's thread, under the mutex.
    mutable std::mutex mutex_;
    std::vector<Message> messages_;  // channel messages and SysEx in time order
    std::vector<std::uint8_t> sysEx_;
    std::vector<PortVoices> voices_;  // by port: what sounds now
    std::vector<bool> failedPorts_;   // reported during this play
    std::int64_t length_ = 0;
    std::int64_t position_ = 0;  // while stopped
    std::int64_t origin_ = 0;    // clock time of the sequence's start while playing
    std::int64_t lastReport_ = 0;
    std::size_t next_ = 0;
    bool loaded_ = false;
    bool playing_ = false;
    bool quit_ = false;

    std::thread thread_;  // last: starts when everything else is ready
};

}  // namespace orvell
