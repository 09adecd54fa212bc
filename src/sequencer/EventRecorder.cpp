#include "sequencer/EventRecorder.h"

#include "core/Clock.h"

#include <algorithm>

namespace orvell {

namespace {

constexpr int TicksPerQuarter = 120;
// Deltas past this cannot be written; about 31 days at 100 BPM.
constexpr std::uint32_t MaxVarLen = (1u << 28) - 1;

void appendBig(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

void appendMeta(QByteArray& out, const char* prefix, const QByteArray& data)
{
    out.append(QByteArray::fromHex(prefix));
    out.append(static_cast<char>(data.size()));
    out.append(data);
}

void appendChunk(QByteArray& out, const QByteArray& body)
{
    out.append("MTrk");
    appendBig(out, static_cast<std::uint32_t>(body.size()), 4);
    out.append(body);
}

}  // namespace

void appendVarLen(QByteArray& out, std::uint32_t value)
{
    value = std::min(value, MaxVarLen);
    char groups[4];
    int count = 0;
    do {
        groups[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.append(static_cast<char>(groups[--count] | 0x80));
    out.append(groups[0]);
}

EventRecorder::EventRecorder(const Clock& clock) : clock_(&clock) {}

void EventRecorder::start()
{
    // The first record is the one of the table that never matches.
    tracks_.assign(1, Track{});
    startMicros_ = clock_->nowMicros();
}

std::int64_t EventRecorder::elapsedMicros() const
{
    return std::max<std::int64_t>(clock_->nowMicros() - startMicros_, 0);
}

std::uint32_t EventRecorder::elapsedMs() const
{
    return static_cast<std::uint32_t>(std::min<std::int64_t>(elapsedMicros() / 1000, UINT32_MAX));
}

void EventRecorder::setTempo(int bpm) { tempo_ = std::clamp(bpm, 10, 250); }

std::uint32_t EventRecorder::tickAt(std::int64_t micros) const
{
    // A tick lasts 500 / tempo ms. Ticks are counted from the start rather
    // than per delta, so rounding never adds up along a track, and from the
    // microseconds, so the file is off by at most half a tick; halves go to
    // the even tick.
    constexpr std::uint64_t TickScale = 500'000;
    const std::uint64_t scaled = static_cast<std::uint64_t>(micros) * static_cast<std::uint64_t>(tempo_);
    std::uint64_t tick = scaled / TickScale;
    const std::uint64_t rest = scaled % TickScale;
    if (rest > TickScale / 2 || (rest == TickScale / 2 && tick % 2 == 1))
        ++tick;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(tick, UINT32_MAX));
}

QString EventRecorder::timeStampText() const
{
    const std::uint32_t ms = elapsedMs();
    return QStringLiteral("%1:%2.%3 ")
        .arg(ms / 60000)
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

void EventRecorder::recordEvent(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int channel, int port)
{
    if (tracks_.empty())
        tracks_.assign(1, Track{});
    auto it = std::find_if(tracks_.begin() + 1, tracks_.end(),
                           [&](const Track& t) { return t.channel == channel && t.port == port; });
    if (it == tracks_.end()) {
        tracks_.push_back(Track{0, 0, channel, port, {}});
        it = tracks_.end() - 1;
    }
    Track& track = *it;
    const std::uint32_t tick = std::max(tickAt(elapsedMicros()), track.lastTick);
    appendVarLen(track.events, tick - track.lastTick);
    track.lastTick = tick;
    if (status != track.lastStatus) {
        track.events.append(static_cast<char>(status));
        track.lastStatus = status;
    }
    track.events.append(static_cast<char>(data1));
    const std::uint8_t kind = status & 0xF0;
    if (kind != 0xC0 && kind != 0xD0)
        track.events.append(static_cast<char>(data2));
}

int EventRecorder::usedTracks() const
{
    return static_cast<int>(std::ranges::count_if(tracks_, [](const Track& t) { return !t.events.isEmpty(); }));
}

QByteArray EventRecorder::fileBytes() const
{
    const int used = usedTracks();
    if (used == 0)
        return {};
    QByteArray out;
    out.append("MThd");
    appendBig(out, 6, 4);
    appendBig(out, 1, 2);
    appendBig(out, static_cast<std::uint32_t>(used + 1), 2);
    appendBig(out, TicksPerQuarter, 2);

    QByteArray timing;
    appendMeta(timing, "00FF03", QByteArrayLiteral("Timing"));
    timing.append(QByteArray::fromHex("00FF580404021808"));
    timing.append(QByteArray::fromHex("00FF59020000"));
    const std::uint32_t micros = static_cast<std::uint32_t>((60000000 + tempo_ / 2) / tempo_);
    timing.append(QByteArray::fromHex("00FF5103"));
    appendBig(timing, micros, 3);
    timing.append(QByteArray::fromHex("00FF2F00"));
    appendChunk(out, timing);

    for (const Track& track : tracks_) {
        if (track.events.isEmpty())
            continue;
        QByteArray body = QByteArray::fromHex("00FF2101");
        body.append(static_cast<char>(track.port - 1));
        appendMeta(body, "00FF03", QStringLiteral("Chan %1, Port %2").arg(track.channel).arg(track.port).toLatin1());
        // A quiet note at the start marks the channel for sequencers that
        // only show tracks with notes.
        body.append('\x01');
        body.append(static_cast<char>(0x90 | ((track.channel - 1) & 0x0F)));
        body.append(QByteArray::fromHex("3F01013F00"));
        body.append(track.events);
        body.append(QByteArray::fromHex("00FF2F00"));
        appendChunk(out, body);
    }
    return out;
}

}  // namespace orvell
