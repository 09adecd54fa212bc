#include "sequencer/SequencePlayer.h"

#include "midi/MidiEngine.h"
#include "sequencer/PlayerClock.h"

#include <algorithm>

#if defined(__unix__)
#include <pthread.h>
#include <sched.h>
#endif

namespace orvell {

namespace {

constexpr std::int64_t ReportMicros = 50000;

std::uint32_t pack(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    return status | (std::uint32_t{data1} << 8) | (std::uint32_t{data2} << 16);
}

// On a busy machine an ordinary thread waits milliseconds for a processor;
// where the system grants real-time scheduling (audio users usually have it)
// the player takes a low real-time priority, else it stays as it is.
void askForRealTimeScheduling()
{
#if defined(__unix__)
    sched_param param{};
    param.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
#endif
}

}  // namespace

SequencePlayer::SequencePlayer(MidiEngine& midi, PlayerClock& clock)
    : midi_(midi), clock_(clock), thread_([this] { run(); })
{
}

SequencePlayer::~SequencePlayer()
{
    close();
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    clock_.interrupt();
    thread_.join();
}

void SequencePlayer::post(void (SequenceStatus::*signal)())
{
    // Queued even on the user-interface thread: receivers may call back in,
    // and the mutex is held here.
    QMetaObject::invokeMethod(
        &status_, [status = &status_, signal] { (status->*signal)(); }, Qt::QueuedConnection);
}

template <class T>
void SequencePlayer::post(void (SequenceStatus::*signal)(T), T value)
{
    QMetaObject::invokeMethod(
        &status_, [status = &status_, signal, value] { (status->*signal)(value); }, Qt::QueuedConnection);
}

bool SequencePlayer::open(const QString& path, QString& error)
{
    const auto sequence = SmfReader::readFile(path, error);
    if (!sequence)
        return false;
    open(*sequence);
    return true;
}

void SequencePlayer::open(const SmfSequence& sequence)
{
    close();
    std::vector<Message> messages;
    std::vector<std::uint8_t> sysEx;
    int highestPort = 0;
    for (const SmfEvent& event : sequence.events) {
        const auto bytes = sequence.bytes(event);
        if (event.kind == SmfEventKind::Channel) {
            messages.push_back({event.micros, pack(bytes[0], bytes[1], bytes.size() > 2 ? bytes[2] : 0), 0, 0,
                                event.port});
        } else if (event.kind == SmfEventKind::SysEx && !bytes.empty()) {
            messages.push_back({event.micros, 0, static_cast<std::uint32_t>(sysEx.size()),
                                static_cast<std::uint32_t>(bytes.size()), event.port});
            sysEx.insert(sysEx.end(), bytes.begin(), bytes.end());
        } else {
            continue;
        }
        highestPort = std::max(highestPort, int{event.port});
    }
    std::vector<bool> used(static_cast<size_t>(highestPort) + 1);
    for (const Message& message : messages)
        used[static_cast<size_t>(message.port)] = true;
    // Held as any panel holds its ports; a port the table does not have is
    // refused here with the usual text and its sends fail later.
    for (int port = 0; port <= highestPort; ++port) {
        if (!used[static_cast<size_t>(port)])
            continue;
        const bool known = port < static_cast<int>(midi_.MidiOutPorts.size());
        const int before = known ? midi_.MidiOutPorts[static_cast<size_t>(port)].OpenCount : 0;
        midi_.OpenMidiOut(QString::number(port));
        if (known && midi_.MidiOutPorts[static_cast<size_t>(port)].OpenCount > before)
            heldPorts_.push_back(port);
    }

    const std::lock_guard lock(mutex_);
    messages_ = std::move(messages);
    sysEx_ = std::move(sysEx);
    voices_.assign(static_cast<size_t>(highestPort) + 1, PortVoices{});
    failedPorts_.assign(static_cast<size_t>(highestPort) + 1, false);
    length_ = sequence.lengthMicros;
    position_ = 0;
    next_ = 0;
    loaded_ = true;
    post(&SequenceStatus::positionChanged, qint64{0});
}

void SequencePlayer::close()
{
    {
        const std::lock_guard lock(mutex_);
        if (!loaded_)
            return;
        halt();
        messages_.clear();
        sysEx_.clear();
        loaded_ = false;
        length_ = position_ = 0;
        next_ = 0;
    }
    clock_.interrupt();
    releasePorts();
}

void SequencePlayer::releasePorts()
{
    for (int port : heldPorts_)
        midi_.CloseMidiOut(QString::number(port));
    heldPorts_.clear();
}

bool SequencePlayer::isOpen() const
{
    const std::lock_guard lock(mutex_);
    return loaded_;
}

void SequencePlayer::play()
{
    {
        const std::lock_guard lock(mutex_);
        if (!loaded_ || playing_)
            return;
        playing_ = true;
        origin_ = clock_.nowMicros() - position_;
        lastReport_ = clock_.nowMicros();
        std::fill(failedPorts_.begin(), failedPorts_.end(), false);
        post(&SequenceStatus::playingChanged, true);
    }
    clock_.interrupt();
}

void SequencePlayer::stop()
{
    {
        const std::lock_guard lock(mutex_);
        if (!playing_)
            return;
        position_ = clampedPosition(clock_.nowMicros() - origin_);
        halt();
        post(&SequenceStatus::positionChanged, qint64{position_});
    }
    clock_.interrupt();
}

void SequencePlayer::seek(std::int64_t micros)
{
    {
        const std::lock_guard lock(mutex_);
        if (!loaded_)
            return;
        halt();
        position_ = clampedPosition(micros);
        next_ = static_cast<size_t>(
            std::ranges::lower_bound(messages_, position_, {}, &Message::micros) - messages_.begin());
        post(&SequenceStatus::positionChanged, qint64{position_});
    }
    clock_.interrupt();
}

bool SequencePlayer::isPlaying() const
{
    const std::lock_guard lock(mutex_);
    return playing_;
}

std::int64_t SequencePlayer::position() const
{
    const std::lock_guard lock(mutex_);
    return playing_ ? clampedPosition(clock_.nowMicros() - origin_) : position_;
}

std::int64_t SequencePlayer::length() const
{
    const std::lock_guard lock(mutex_);
    return length_;
}

std::int64_t SequencePlayer::clampedPosition(std::int64_t micros) const
{
    return std::clamp<std::int64_t>(micros, 0, length_);
}

void SequencePlayer::halt()
{
    if (playing_) {
        playing_ = false;
        post(&SequenceStatus::playingChanged, false);
    }
    silence();
}

void SequencePlayer::run()
{
    askForRealTimeScheduling();
    std::unique_lock lock(mutex_);
    while (!quit_) {
        const std::int64_t deadline = playing_ ? playDue() : PlayerClock::Never;
        lock.unlock();
        clock_.waitUntil(deadline);
        lock.lock();
    }
}

std::int64_t SequencePlayer::playDue()
{
    const std::int64_t now = clock_.nowMicros();
    while (next_ < messages_.size() && origin_ + messages_[next_].micros <= now) {
        send(messages_[next_]);
        ++next_;
    }
    if (next_ == messages_.size() && now - origin_ >= length_) {
        // Back to the start, as a tape does at its end.
        halt();
        position_ = 0;
        next_ = 0;
        post(&SequenceStatus::positionChanged, qint64{0});
        post(&SequenceStatus::reachedEnd);
        return PlayerClock::Never;
    }
    if (now - lastReport_ >= ReportMicros) {
        lastReport_ = now;
        post(&SequenceStatus::positionChanged, qint64{now - origin_});
    }
    const std::int64_t due = origin_ + (next_ < messages_.size() ? messages_[next_].micros : length_);
    return std::min(due, lastReport_ + ReportMicros);
}

void SequencePlayer::send(const Message& message)
{
    if (message.length == 0) {
        sendShort(message.port, message.packed);
        return;
    }
    checkResult(message.port,
                midi_.SendFromThread(message.port, std::span(sysEx_).subspan(message.offset, message.length)));
}

void SequencePlayer::sendShort(int port, std::uint32_t packed)
{
    const auto status = static_cast<std::uint8_t>(packed);
    const auto data1 = static_cast<std::uint8_t>(packed >> 8);
    const auto data2 = static_cast<std::uint8_t>(packed >> 16);
    Voice& voice = voices_[static_cast<size_t>(port)][status & 0x0F];
    switch (status & 0xF0) {
    case 0x90:
        voice.notes.set(data1, data2 > 0);
        break;
    case 0x80:
        voice.notes.reset(data1);
        break;
    case 0xB0:
        if (data1 == 64)
            voice.sustain = data2 >= 64;
        else if (data1 == 120 || data1 == 123)
            voice.notes.reset();
        break;
    default:
        break;
    }
    checkResult(port, midi_.SendFromThread(port, packed));
}

void SequencePlayer::checkResult(int port, int result)
{
    if (result != MidiResult::Ok && !failedPorts_[static_cast<size_t>(port)]) {
        failedPorts_[static_cast<size_t>(port)] = true;
        QMetaObject::invokeMethod(
            &status_,
            [&midi = midi_, port, result] { midi.ReportSendFailure(QStringLiteral("PlaySequence"), port, result); },
            Qt::QueuedConnection);
    }
}

void SequencePlayer::silence()
{
    // Note-offs for what sounds and the pedal up on every channel that
    // played, so nothing hangs whatever the synth makes of All Notes Off.
    for (size_t port = 0; port < voices_.size(); ++port) {
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            Voice& voice = voices_[port][channel];
            if (voice.notes.none() && !voice.sustain)
                continue;
            const Voice sounding = voice;
            voice = Voice{};
            for (std::uint8_t note = 0; note < 128; ++note) {
                if (sounding.notes.test(note))
                    sendShort(static_cast<int>(port), pack(0x80 | channel, note, 0));
            }
            sendShort(static_cast<int>(port), pack(0xB0 | channel, 64, 0));
        }
    }
}

}  // namespace orvell
