#include "midi/BuiltInSynth.h"

#include "midi/MidiBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <mutex>

namespace orvell {

namespace {

// FluidSynth writes its complaints to stderr; the last error is kept for the
// notice instead.
std::mutex logMutex;
QString lastFluidError;

void keepFluidLog(int level, const char* message, void*)
{
    if (level > FLUID_WARN || !message)
        return;
    const std::lock_guard lock(logMutex);
    lastFluidError = QString::fromUtf8(message);
}

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void quietFluidLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, &keepFluidLog, nullptr);
    });
}

QString takeFluidError()
{
    const std::lock_guard lock(logMutex);
    QString text = lastFluidError;
    lastFluidError.clear();
    return text;
}

// FluidSynth reads the file itself: a pipe would hold its thread for good and
// a device could be endless, so only a regular file that starts like a
// soundfont (SF2 and SF3 are both RIFF "sfbk") gets that far.
constexpr qint64 MaxSoundFontBytes = qint64{2} << 30;

QString soundFontProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("not found");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    if (info.size() > MaxSoundFontBytes)
        return QStringLiteral("too large");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "sfbk")
        return QStringLiteral("not a soundfont");
    return {};
}

QStringList defaultDrivers()
{
    QStringList drivers;
    // FluidSynth's JACK driver would start a server of its own when none runs.
    if (jackServerRunning())
        drivers << QStringLiteral("jack");
    drivers << QStringLiteral("pipewire") << QStringLiteral("pulseaudio") << QStringLiteral("alsa");
    return drivers;
}

}  // namespace

struct BuiltInSynth::Fluid {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* audio = nullptr;
    int soundFontId = -1;

    ~Fluid()
    {
        // The driver calls into the synth until it is gone.
        if (audio)
            delete_fluid_audio_driver(audio);
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

BuiltInSynth::BuiltInSynth() : BuiltInSynth(Options{}) {}

BuiltInSynth::BuiltInSynth(Options options) : options_(std::move(options))
{
    quietFluidLog();
    thread_ = std::thread([this] { run(); });
}

BuiltInSynth::~BuiltInSynth()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
    delete fluid_;
}

QString BuiltInSynth::findSoundFont(const QStringList& dirs)
{
    const QStringList names{QStringLiteral("TimGM6mb.sf2"), QStringLiteral("default-GM.sf2"),
                            QStringLiteral("default-GM.sf3")};
    for (const QString& name : names) {
        for (const QString& dir : dirs) {
            const QFileInfo file(QDir(dir).filePath(name));
            if (file.isFile() && file.isReadable())
                return file.absoluteFilePath();
        }
    }
    return {};
}

void BuiltInSynth::post(Job job)
{
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void BuiltInSynth::start()
{
    {
        const std::lock_guard lock(mutex_);
        if (started_)
            return;
        started_ = true;
    }
    state_ = State::Starting;
    post({Job::Kind::Start, {}, {}});
}

void BuiltInSynth::setSoundFont(const QString& path)
{
    bool started = false;
    {
        const std::lock_guard lock(mutex_);
        chosen_ = path;
        started = started_;
    }
    if (started)
        post({Job::Kind::SoundFont, {}, path});
}

QString BuiltInSynth::chosenSoundFont() const
{
    const std::lock_guard lock(mutex_);
    return chosen_;
}

QString BuiltInSynth::loadedSoundFont() const
{
    const std::lock_guard lock(mutex_);
    return loaded_;
}

void BuiltInSynth::setRouted(bool routed)
{
    if (routed_.exchange(routed) && !routed)
        silence();
}

void BuiltInSynth::mapperSent(std::span<const std::uint8_t> message)
{
    if (!routed_ || message.empty())
        return;
    post({Job::Kind::Message, std::vector<std::uint8_t>(message.begin(), message.end()), {}});
}

void BuiltInSynth::silence() { post({Job::Kind::Silence, {}, {}}); }

void BuiltInSynth::setNotice(std::function<void(const QString&)> notice)
{
    const std::lock_guard lock(mutex_);
    notice_ = std::move(notice);
}

void BuiltInSynth::report(const QString& text)
{
    // Called under the lock, so that once setNotice returns the old receiver
    // is never called again.
    const std::lock_guard lock(mutex_);
    if (notice_)
        notice_(text);
}

void BuiltInSynth::waitIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

std::vector<float> BuiltInSynth::render(int frames)
{
    waitIdle();
    std::vector<float> samples(static_cast<size_t>(std::max(frames, 0)) * 2, 0.0f);
    if (fluid_ && fluid_->synth && frames > 0)
        fluid_synth_write_float(fluid_->synth, frames, samples.data(), 0, 2, samples.data(), 1, 2);
    return samples;
}

void BuiltInSynth::run()
{
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
        if (quit_)
            return;
        std::deque<Job> jobs;
        jobs.swap(jobs_);
        busy_ = true;
        lock.unlock();
        for (const Job& job : jobs)
            apply(job);
        lock.lock();
        busy_ = false;
        if (jobs_.empty())
            idle_.notify_all();
    }
}

void BuiltInSynth::apply(const Job& job)
{
    switch (job.kind) {
    case Job::Kind::Start:
        create();
        if (!fluid_->synth) {
            state_ = State::Silent;
            report(QStringLiteral("Built-in synth: FluidSynth cannot start, MIDI Mapper Out stays silent"));
            break;
        }
        loadSoundFont();
        if (state_ != State::NoSoundFont)
            openAudio();
        break;
    case Job::Kind::SoundFont:
        loadSoundFont();
        break;
    case Job::Kind::Silence:
        if (fluid_ && fluid_->synth)
            fluid_synth_all_sounds_off(fluid_->synth, -1);
        break;
    case Job::Kind::Message:
        if (fluid_ && fluid_->synth)
            play(job.bytes);
        break;
    }
}

void BuiltInSynth::create()
{
    fluid_ = new Fluid;
    fluid_->settings = new_fluid_settings();
    if (!fluid_->settings)
        return;
    fluid_settings_setstr(fluid_->settings, "audio.jack.id", "Orvell synth");
    fluid_settings_setint(fluid_->settings, "audio.jack.autoconnect", 1);
    // Offline renders are compared sample by sample: no effects that drift.
    fluid_settings_setint(fluid_->settings, "synth.reverb.active", options_.audio ? 1 : 0);
    fluid_settings_setint(fluid_->settings, "synth.chorus.active", options_.audio ? 1 : 0);
    fluid_->synth = new_fluid_synth(fluid_->settings);
}

void BuiltInSynth::loadSoundFont()
{
    if (!fluid_ || !fluid_->synth)
        return;
    QString path = chosenSoundFont();
    if (path.isEmpty())
        path = findSoundFont(options_.soundFontDirs);
    if (path.isEmpty()) {
        state_ = State::NoSoundFont;
        report(QStringLiteral("Built-in synth: no General MIDI soundfont found; install timgm6mb-soundfont or "
                              "choose one in the Setup menu"));
        return;
    }
    QString why = soundFontProblem(path);
    const int id = why.isEmpty() ? fluid_synth_sfload(fluid_->synth, QFile::encodeName(path).constData(), 1)
                                 : FLUID_FAILED;
    if (id == FLUID_FAILED) {
        // The soundfont played before keeps playing.
        if (why.isEmpty())
            why = takeFluidError();
        report(QStringLiteral("Built-in synth: cannot load the soundfont %1%2")
                   .arg(QDir::toNativeSeparators(path), why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
        if (fluid_->soundFontId < 0)
            state_ = State::NoSoundFont;
        return;
    }
    if (fluid_->soundFontId >= 0)
        fluid_synth_sfunload(fluid_->synth, fluid_->soundFontId, 1);
    fluid_->soundFontId = id;
    {
        const std::lock_guard lock(mutex_);
        loaded_ = path;
    }
    if (state_ == State::NoSoundFont)
        state_ = State::Starting;
    if (fluid_->audio || !options_.audio)
        report(QStringLiteral("Built-in synth: soundfont %1").arg(QFileInfo(path).fileName()));
}

void BuiltInSynth::openAudio()
{
    if (!options_.audio) {
        state_ = State::Playing;
        return;
    }
    const QStringList drivers = options_.audioDrivers.isEmpty() ? defaultDrivers() : options_.audioDrivers;
    for (const QString& driver : drivers) {
        if (fluid_settings_setstr(fluid_->settings, "audio.driver", driver.toLatin1().constData()) != FLUID_OK)
            continue;
        // alsa-lib lists every missing card on stderr; the notice says it once.
        const snd_lib_error_handler_t previous = snd_lib_error;
        snd_lib_error_set_handler(&quietAlsa);
        fluid_->audio = new_fluid_audio_driver(fluid_->settings, fluid_->synth);
        snd_lib_error_set_handler(previous);
        if (fluid_->audio) {
            state_ = State::Playing;
            report(QStringLiteral("Built-in synth plays MIDI Mapper Out through %1 (%2)")
                       .arg(driver, QFileInfo(loadedSoundFont()).fileName()));
            return;
        }
    }
    takeFluidError();
    state_ = State::Silent;
    report(QStringLiteral("Built-in synth: no audio device found, MIDI Mapper Out stays silent"));
}

void BuiltInSynth::play(std::span<const std::uint8_t> message)
{
    fluid_synth_t* synth = fluid_->synth;
    const std::uint8_t status = message[0];
    if (status == 0xF0) {
        // FluidSynth takes the message without its F0 and F7.
        const size_t end = message.back() == 0xF7 ? message.size() - 1 : message.size();
        if (end > 1)
            fluid_synth_sysex(synth, reinterpret_cast<const char*>(message.data() + 1), static_cast<int>(end - 1),
                              nullptr, nullptr, nullptr, 0);
        return;
    }
    if (status < 0x80 || status >= 0xF0)
        return;
    const int channel = status & 0x0F;
    const int d1 = message.size() > 1 ? message[1] & 0x7F : 0;
    const int d2 = message.size() > 2 ? message[2] & 0x7F : 0;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, d1);
        break;
    case 0x90:
        if (d2 == 0)
            fluid_synth_noteoff(synth, channel, d1);
        else
            fluid_synth_noteon(synth, channel, d1, d2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, d1, d2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, d1, d2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, d1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, d1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, d1 | (d2 << 7));
        break;
    }
}

}  // namespace orvell
