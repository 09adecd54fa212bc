#pragma once

#include "midi/MidiEngine.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace orvell {

// A General MIDI synthesizer (FluidSynth) that plays what the engine sends to
// the mapper port when nothing else listens there, so a machine without any
// synth still makes sound. Loading the soundfont and opening the audio device
// happen on the synth's own thread: the caller never waits on a device.
class BuiltInSynth final : public MapperTap {
public:
    struct Options {
        // Searched in order for the soundfont when the user has chosen none.
        QStringList soundFontDirs{QStringLiteral("/usr/share/sounds/sf2"), QStringLiteral("/usr/share/sounds/sf3")};
        // FluidSynth audio drivers tried in order; empty: JACK when a server
        // runs, then PipeWire, PulseAudio and ALSA.
        QStringList audioDrivers;
        // Off: no audio device at all, the sound is only rendered on request.
        bool audio = true;
    };

    enum class State { Stopped, Starting, Playing, Silent, NoSoundFont };

    BuiltInSynth();
    explicit BuiltInSynth(Options options);
    ~BuiltInSynth() override;
    BuiltInSynth(const BuiltInSynth&) = delete;
    BuiltInSynth& operator=(const BuiltInSynth&) = delete;

    // The first soundfont found: TimGM6mb, then any default-GM.sf2 or .sf3.
    static QString findSoundFont(const QStringList& dirs);

    // Makes the synthesizer, loads the soundfont and opens audio, once;
    // returns at once. A later call does nothing.
    void start();
    // The user's soundfont, or "" to search; loaded at once when started.
    void setSoundFont(const QString& path);
    QString chosenSoundFont() const;
    QString loadedSoundFont() const;

    // Whether the mapper's messages reach the synthesizer. Turning it off
    // silences what sounds.
    void setRouted(bool routed);
    bool routed() const { return routed_; }

    // One MIDI message, from any thread. Dropped while not routed.
    void mapperSent(std::span<const std::uint8_t> message) override;
    // Every voice off at once, on every channel.
    void silence();

    // Receives each status report, on the synth's thread; it must not call
    // back into the synth.
    void setNotice(std::function<void(const QString&)> notice);
    State state() const { return state_; }

    // Waits until every message and command given so far has been applied.
    void waitIdle();
    // Renders stereo frames (left, right interleaved) without an audio
    // device; only meaningful with Options::audio off.
    std::vector<float> render(int frames);

private:
    struct Job {
        enum class Kind { Message, Start, SoundFont, Silence } kind = Kind::Message;
        std::vector<std::uint8_t> bytes;
        QString path;
    };
    void post(Job job);
    void run();
    void apply(const Job& job);
    void play(std::span<const std::uint8_t> message);
    void create();
    void loadSoundFont();
    void openAudio();
    void report(const QString& text);

    Options options_;
    std::atomic<bool> routed_{false};
    std::atomic<State> state_{State::Stopped};

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool quit_ = false;
    bool started_ = false;
    QString chosen_;
    QString loaded_;
    std::function<void(const QString&)> notice_;

    // The synth's thread only, after Start.
    struct Fluid;
    Fluid* fluid_ = nullptr;
    std::thread thread_;
};

}  // namespace orvell
