#pragma once

// The file the playback benches play: two minutes of 10,000 note events on
// three channels whose tempo changes every two beats.

#include "support/SmfBytes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orvell::bench {

constexpr int SongEvents = 10000;

// The notes play to the port a prefix of `portPrefix` names (the port number less one).
inline test::smf::Bytes generatedSong(std::uint8_t portPrefix = 0)
{
    using namespace test::smf;
    constexpr int TicksApart = 12;  // at 480 a quarter note and about 123 BPM: two minutes
    constexpr std::uint32_t tempos[] = {500000, 400000, 600000, 450000};
    Bytes tempoTrack;
    for (int beat = 0, i = 0; beat * 480 < SongEvents * TicksApart; beat += 2, ++i) {
        const std::uint32_t t = tempos[i % 4];
        tempoTrack.insert(tempoTrack.end(), {0xFF, 0x51, 0x03, std::uint8_t(t >> 16), std::uint8_t(t >> 8), std::uint8_t(t)});
        tempoTrack.insert(tempoTrack.end(), {0x87, 0x40});  // 960 ticks to the next
    }
    tempoTrack.insert(tempoTrack.end(), {0xFF, 0x2F, 0x00});
    tempoTrack.insert(tempoTrack.begin(), 0x00);

    Bytes notes{0x00, 0xFF, 0x21, 0x01, portPrefix};
    for (int i = 0; i < SongEvents; ++i) {
        const auto channel = std::uint8_t((i / 2) % 3);
        const auto note = std::uint8_t(48 + (i / 2) % 24);
        const Bytes delta = vlq(i == 0 ? 0 : TicksApart);
        notes.insert(notes.end(), delta.begin(), delta.end());
        notes.insert(notes.end(), {std::uint8_t((i % 2 ? 0x80 : 0x90) | channel), note, 0x50});
    }
    notes.insert(notes.end(), {0x00, 0xFF, 0x2F, 0x00});
    return join({header(1, 2, 480), track(tempoTrack), track(notes)});
}

inline double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

}  // namespace orvell::bench
