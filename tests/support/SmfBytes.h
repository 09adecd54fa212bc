#pragma once

#include <QByteArray>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace orvell::test::smf {

using Bytes = std::vector<std::uint8_t>;

inline Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes be32(std::uint32_t value)
{
    return {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

inline Bytes vlq(std::uint32_t value)
{
    Bytes out{std::uint8_t(value & 0x7F)};
    while (value >>= 7)
        out.insert(out.begin(), std::uint8_t(0x80 | (value & 0x7F)));
    return out;
}

// "MThd", length 6, format, track count, division.
inline Bytes header(int format, int tracks, int division)
{
    return join({{'M', 'T', 'h', 'd'}, be32(6),
                 {std::uint8_t(format >> 8), std::uint8_t(format), std::uint8_t(tracks >> 8), std::uint8_t(tracks),
                  std::uint8_t(division >> 8), std::uint8_t(division)}});
}

// "MTrk", the length of the events, the events.
inline Bytes track(const Bytes& events)
{
    return join({{'M', 'T', 'r', 'k'}, be32(std::uint32_t(events.size())), events});
}

// A format 0 file at 96 ticks per quarter note; its events start at byte 22.
inline Bytes format0(const Bytes& events) { return join({header(0, 1, 96), track(events)}); }

inline QByteArray toQByteArray(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

}  // namespace orvell::test::smf
