#include "sequencer/SmfReader.h"

#include "core/FileBytes.h"

#include <algorithm>

namespace orvell {

namespace {

constexpr std::int64_t DefaultTempo = 500000;  // microseconds per quarter note: 120 BPM
// Longer than anyone plays a file; keeps tick-to-time products in range.
constexpr std::int64_t MaxMicros = std::int64_t{100} * 3600 * 1000000;

std::uint32_t bigEndian(std::span<const std::uint8_t> b, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | b[at + static_cast<std::size_t>(i)];
    return value;
}

std::uint32_t littleEndian32(std::span<const std::uint8_t> b, std::size_t at)
{
    return b[at] | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

bool hasId(std::span<const std::uint8_t> b, std::size_t at, const char* id)
{
    return b.size() >= at + 4 && std::equal(id, id + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

QString hex(int byte) { return QString::number(byte, 16).toUpper().rightJustified(2, u'0'); }

class Parser {
public:
    explicit Parser(SmfSequence& out) : out_(out) {}

    QString error;

    bool readTrack(std::span<const std::uint8_t> body, std::size_t fileOffset, int track);
    bool applyTempoMap();

private:
    bool fail(const QString& text)
    {
        error = QStringLiteral("Track %1, byte %2: %3").arg(track_ + 1).arg(fileOffset_ + at_).arg(text);
        return false;
    }
    bool need(std::size_t count)
    {
        if (body_.size() - at_ >= count)
            return true;
        error = QStringLiteral("Track %1 ends in the middle of an event (byte %2).")
                    .arg(track_ + 1)
                    .arg(fileOffset_ + body_.size());
        return false;
    }
    bool readVlq(std::uint32_t& value);
    bool add(SmfEventKind kind, std::int64_t tick, std::span<const std::uint8_t> head,
             std::span<const std::uint8_t> rest);
    bool readMeta(std::int64_t tick, bool& ended);

    SmfSequence& out_;
    std::span<const std::uint8_t> body_;
    std::size_t at_ = 0;
    std::size_t fileOffset_ = 0;
    int track_ = 0;
    std::uint32_t order_ = 0;
    std::uint8_t port_ = 0;
};

bool Parser::readVlq(std::uint32_t& value)
{
    const std::size_t start = at_;
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (!need(1))
            return false;
        const std::uint8_t byte = body_[at_++];
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    at_ = start;
    return fail(QStringLiteral("a variable-length number runs over 4 bytes."));
}

bool Parser::add(SmfEventKind kind, std::int64_t tick, std::span<const std::uint8_t> head,
                 std::span<const std::uint8_t> rest)
{
    if (out_.events.size() >= SmfReader::MaxEvents) {
        error = QStringLiteral("The file holds more than %1 events.").arg(SmfReader::MaxEvents);
        return false;
    }
    SmfEvent event;
    event.tick = tick;
    event.offset = static_cast<std::uint32_t>(out_.data.size());
    event.length = static_cast<std::uint32_t>(head.size() + rest.size());
    event.order = order_++;
    event.track = static_cast<std::uint16_t>(track_);
    event.port = port_;
    event.kind = kind;
    out_.data.insert(out_.data.end(), head.begin(), head.end());
    out_.data.insert(out_.data.end(), rest.begin(), rest.end());
    out_.events.push_back(event);
    return true;
}

bool Parser::readMeta(std::int64_t tick, bool& ended)
{
    const std::size_t start = at_ - 1;
    if (!need(1))
        return false;
    const std::uint8_t type = body_[at_++];
    std::uint32_t length = 0;
    if (!readVlq(length) || !need(length))
        return false;
    const auto payload = body_.subspan(at_, length);
    if (type == MetaType::Tempo && (length != 3 || bigEndian(payload, 0, 3) == 0)) {
        at_ = start;
        return fail(length != 3 ? QStringLiteral("a tempo event of %1 bytes (it needs 3).").arg(length)
                                : QStringLiteral("a tempo of 0 microseconds per quarter note."));
    }
    // The recorder writes port n as n - 1; its mapper port 0 comes out as FF.
    if (type == MetaType::PortPrefix && length >= 1)
        port_ = static_cast<std::uint8_t>(payload[0] + 1);
    ended = type == MetaType::EndOfTrack;
    at_ += length;
    const std::uint8_t head[] = {0xFF, type};
    return add(SmfEventKind::Meta, tick, head, payload);
}

bool Parser::readTrack(std::span<const std::uint8_t> body, std::size_t fileOffset, int track)
{
    body_ = body;
    fileOffset_ = fileOffset;
    track_ = track;
    at_ = 0;
    order_ = 0;
    port_ = 0;
    std::int64_t tick = 0;
    std::uint8_t running = 0;
    bool ended = false;
    // A track whose last event is complete but has no end-of-track event is
    // played as it is; many writers leave the event out.
    while (at_ < body_.size() && !ended) {
        std::uint32_t delta = 0;
        if (!readVlq(delta))
            return false;
        tick += delta;
        if (!need(1))
            return false;
        std::uint8_t status = body_[at_];
        if (status < 0x80) {
            if (running == 0)
                return fail(QStringLiteral("data byte %1 without a status byte.").arg(hex(status)));
            status = running;
        } else {
            ++at_;
        }
        if (status < 0xF0) {
            const std::size_t length = (status & 0xE0) == 0xC0 ? 1 : 2;
            if (!need(length))
                return false;
            for (std::size_t i = 0; i < length; ++i) {
                if (body_[at_ + i] >= 0x80) {
                    at_ += i;
                    return fail(QStringLiteral("status byte %1 where a data byte of %2 belongs.")
                                    .arg(hex(body_[at_]), hex(status)));
                }
            }
            running = status;
            const std::uint8_t head[] = {status};
            if (!add(SmfEventKind::Channel, tick, head, body_.subspan(at_, length)))
                return false;
            at_ += length;
        } else if (status == 0xFF) {
            if (!readMeta(tick, ended))
                return false;
        } else if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!readVlq(length) || !need(length))
                return false;
            // An F7 event carries its bytes as they are to be sent.
            const std::uint8_t head[] = {0xF0};
            if (!add(SmfEventKind::SysEx, tick, std::span(head, status == 0xF0 ? 1 : 0), body_.subspan(at_, length)))
                return false;
            at_ += length;
            running = 0;
        } else {
            --at_;
            return fail(QStringLiteral("status byte %1 is not allowed in a MIDI file.").arg(hex(status)));
        }
    }
    return true;
}

bool Parser::applyTempoMap()
{
    std::sort(out_.events.begin(), out_.events.end(), [](const SmfEvent& a, const SmfEvent& b) {
        if (a.tick != b.tick)
            return a.tick < b.tick;
        if (a.track != b.track)
            return a.track < b.track;
        return a.order < b.order;
    });
    // Time per tick as a fraction: tempo / ticks per quarter, or one frame
    // divided into ticks (29.97 frames a second for drop frame).
    const bool smpte = out_.ticksPerQuarter == 0;
    std::int64_t numerator = smpte ? (out_.framesPerSecond == 29 ? 1001000000 : 1000000) : DefaultTempo;
    const std::int64_t denominator = smpte ? std::int64_t{out_.ticksPerFrame} *
                                                 (out_.framesPerSecond == 29 ? 30000 : out_.framesPerSecond)
                                           : out_.ticksPerQuarter;
    std::int64_t segmentTick = 0;
    std::int64_t segmentMicros = 0;
    for (SmfEvent& event : out_.events) {
        std::int64_t product = 0;
        if (__builtin_mul_overflow(event.tick - segmentTick, numerator, &product) ||
            segmentMicros + product / denominator > MaxMicros) {
            error = QStringLiteral("The sequence lasts longer than 100 hours.");
            return false;
        }
        event.micros = segmentMicros + (product + denominator / 2) / denominator;
        if (!smpte && out_.metaType(event) == MetaType::Tempo) {
            segmentTick = event.tick;
            segmentMicros = event.micros;
            numerator = bigEndian(out_.bytes(event), 2, 3);
        }
    }
    if (!out_.events.empty()) {
        out_.lengthTicks = out_.events.back().tick;
        out_.lengthMicros = out_.events.back().micros;
    }
    return true;
}

// The SMF inside a RIFF RMID file: the body of its "data" chunk.
std::optional<std::span<const std::uint8_t>> unwrapRiff(std::span<const std::uint8_t> bytes, std::size_t& base,
                                                        QString& error)
{
    if (!hasId(bytes, 8, "RMID")) {
        error = QStringLiteral("A RIFF file that is not an RMID MIDI file.");
        return std::nullopt;
    }
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::uint32_t size = littleEndian32(bytes, at + 4);
        if (size > bytes.size() - at - 8) {
            error = QStringLiteral("The RMID chunk at byte %1 claims %2 bytes but only %3 are left.")
                        .arg(at)
                        .arg(size)
                        .arg(bytes.size() - at - 8);
            return std::nullopt;
        }
        if (hasId(bytes, at, "data")) {
            base = at + 8;
            return bytes.subspan(at + 8, size);
        }
        at += 8 + size + (size & 1);
        at = std::min(at, bytes.size());
    }
    error = QStringLiteral("The RMID file holds no MIDI data chunk.");
    return std::nullopt;
}

bool readHeader(std::span<const std::uint8_t> smf, SmfSequence& out, std::size_t& trackStart, QString& error)
{
    if (!hasId(smf, 0, "MThd")) {
        error = QStringLiteral("Not a MIDI file: it does not begin with MThd.");
        return false;
    }
    if (smf.size() < 8) {
        error = QStringLiteral("The file ends inside its header.");
        return false;
    }
    const std::uint32_t length = bigEndian(smf, 4, 4);
    if (length < 6) {
        error = QStringLiteral("The header chunk is %1 bytes long; it needs 6.").arg(length);
        return false;
    }
    if (length > smf.size() - 8) {
        error = QStringLiteral("The header chunk claims %1 bytes but only %2 are left.").arg(length).arg(smf.size() - 8);
        return false;
    }
    out.format = static_cast<int>(bigEndian(smf, 8, 2));
    out.trackCount = static_cast<int>(bigEndian(smf, 10, 2));
    const std::uint32_t division = bigEndian(smf, 12, 2);
    if (out.format == 2) {
        error = QStringLiteral("Format 2 files (independent patterns) cannot be played.");
        return false;
    }
    if (out.format > 2) {
        error = QStringLiteral("Unknown MIDI file format %1.").arg(out.format);
        return false;
    }
    if (out.trackCount == 0) {
        error = QStringLiteral("The header names no tracks.");
        return false;
    }
    if (out.format == 0 && out.trackCount != 1) {
        error = QStringLiteral("A format 0 file has one track; the header names %1.").arg(out.trackCount);
        return false;
    }
    if (division & 0x8000) {
        out.framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        out.ticksPerFrame = static_cast<int>(division & 0xFF);
        if (out.framesPerSecond != 24 && out.framesPerSecond != 25 && out.framesPerSecond != 29 &&
            out.framesPerSecond != 30) {
            error = QStringLiteral("Unknown SMPTE frame rate %1 in the division.").arg(out.framesPerSecond);
            return false;
        }
        if (out.ticksPerFrame == 0) {
            error = QStringLiteral("The division has 0 ticks per frame.");
            return false;
        }
    } else {
        out.ticksPerQuarter = static_cast<int>(division);
        if (division == 0) {
            error = QStringLiteral("The division is 0 ticks per quarter note.");
            return false;
        }
    }
    trackStart = 8 + length;
    return true;
}

}  // namespace

std::optional<SmfSequence> SmfReader::read(std::span<const std::uint8_t> bytes, QString& error)
{
    if (bytes.empty()) {
        error = QStringLiteral("The file is empty.");
        return std::nullopt;
    }
    if (bytes.size() > static_cast<std::size_t>(MaxFileBytes)) {
        error = QStringLiteral("The file is larger than %1 MB.").arg(MaxFileBytes / (1024 * 1024));
        return std::nullopt;
    }
    std::size_t base = 0;
    std::span<const std::uint8_t> smf = bytes;
    if (hasId(bytes, 0, "RIFF")) {
        auto inner = unwrapRiff(bytes, base, error);
        if (!inner)
            return std::nullopt;
        smf = *inner;
    }
    SmfSequence out;
    std::size_t at = 0;
    if (!readHeader(smf, out, at, error))
        return std::nullopt;

    // Every event takes at least two bytes of the file and adds at most one
    // status byte to them, so these bounds are never outgrown.
    const std::size_t rest = smf.size() - at;
    out.events.reserve(std::min(rest / 2 + 1, MaxEvents));
    out.data.reserve(rest + rest / 2);

    Parser parser(out);
    int track = 0;
    while (track < out.trackCount) {
        if (smf.size() - at < 8) {
            error = QStringLiteral("The header names %1 tracks but the file holds only %2.")
                        .arg(out.trackCount)
                        .arg(track);
            return std::nullopt;
        }
        const std::uint32_t length = bigEndian(smf, at + 4, 4);
        const bool isTrack = hasId(smf, at, "MTrk");
        if (length > smf.size() - at - 8) {
            const QString what = isTrack ? QStringLiteral("Track %1").arg(track + 1)
                                         : QStringLiteral("The chunk at byte %1").arg(base + at);
            error = QStringLiteral("%1 claims %2 bytes but only %3 are left in the file.")
                        .arg(what)
                        .arg(length)
                        .arg(smf.size() - at - 8);
            return std::nullopt;
        }
        // Chunks of other kinds are skipped, as the format asks.
        if (isTrack) {
            if (!parser.readTrack(smf.subspan(at + 8, length), base + at + 8, track)) {
                error = parser.error;
                return std::nullopt;
            }
            ++track;
        }
        at += 8 + length;
    }
    if (!parser.applyTempoMap()) {
        error = parser.error;
        return std::nullopt;
    }
    return out;
}

std::optional<SmfSequence> SmfReader::read(const QByteArray& bytes, QString& error)
{
    return read(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size())),
                error);
}

std::optional<SmfSequence> SmfReader::readFile(const QString& path, QString& error)
{
    FileError fileError;
    const auto bytes = readFileBytes(path, MaxFileBytes, fileError);
    if (!bytes) {
        error = fileError.text;
        return std::nullopt;
    }
    return read(*bytes, error);
}

QString SmfReader::dumpText(const SmfSequence& sequence)
{
    QString text;
    for (const SmfEvent& event : sequence.events) {
        text += QStringLiteral("%1 %2.%3 %4")
                    .arg(event.tick)
                    .arg(event.micros / 1000)
                    .arg(event.micros % 1000, 3, 10, QChar(u'0'))
                    .arg(event.port);
        for (std::uint8_t byte : sequence.bytes(event))
            text += u' ' + hex(byte);
        text += u'\n';
    }
    return text;
}

}  // namespace orvell
