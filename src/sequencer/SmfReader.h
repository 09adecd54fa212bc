#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvell {

enum class SmfEventKind : std::uint8_t { Channel, SysEx, Meta };

// One event of the merged list. Its bytes live in SmfSequence::data: a channel
// message with its status (running status filled in), a SysEx as F0 and the
// data that followed it or the raw bytes of an F7 escape, a meta event as FF,
// its type and its data.
struct SmfEvent {
    std::int64_t tick = 0;
    std::int64_t micros = 0;  // from the tempo map
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t order = 0;  // place in its track, so equal times keep file order
    std::uint16_t track = 0;
    std::uint8_t port = 0;  // output port: 0 unless a port prefix says otherwise
    SmfEventKind kind = SmfEventKind::Channel;
};

namespace MetaType {
constexpr std::uint8_t Text = 0x01;
constexpr std::uint8_t TrackName = 0x03;
constexpr std::uint8_t PortPrefix = 0x21;
constexpr std::uint8_t EndOfTrack = 0x2F;
constexpr std::uint8_t Tempo = 0x51;
}  // namespace MetaType

struct SmfSequence {
    int format = 0;
    int trackCount = 0;
    int ticksPerQuarter = 0;  // 0 for SMPTE timing
    int framesPerSecond = 0;  // SMPTE timing: 24, 25, 29 (29.97 drop frame) or 30
    int ticksPerFrame = 0;
    std::vector<SmfEvent> events;  // ordered by time
    std::vector<std::uint8_t> data;
    std::int64_t lengthTicks = 0;
    std::int64_t lengthMicros = 0;  // time of the last event, usually an end of track

    std::span<const std::uint8_t> bytes(const SmfEvent& event) const
    {
        return std::span(data).subspan(event.offset, event.length);
    }
    std::uint8_t metaType(const SmfEvent& event) const
    {
        return event.kind == SmfEventKind::Meta && event.length > 1 ? data[event.offset + 1] : 0;
    }
};

// Standard MIDI files of format 0 and 1, bare or in a RIFF RMID wrapper. Any
// bytes give either a sequence or an error that names what is wrong; the caps
// keep a hostile file from allocating much more than its own size.
class SmfReader {
public:
    static constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;
    static constexpr std::size_t MaxEvents = 400000;

    static std::optional<SmfSequence> read(std::span<const std::uint8_t> bytes, QString& error);
    static std::optional<SmfSequence> read(const QByteArray& bytes, QString& error);
    static std::optional<SmfSequence> readFile(const QString& path, QString& error);

    // One line per event: ticks, milliseconds, port, bytes in hex.
    static QString dumpText(const SmfSequence& sequence);
};

}  // namespace orvell
