#pragma once

#include "midi/AutoSweep.h"
#include "midi/BuiltInSynth.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

// Offline renders need a General MIDI soundfont from the system.
#define REQUIRE_SOUNDFONT()                                                                      \
    if (::orvell::BuiltInSynth::findSoundFont(::orvell::BuiltInSynth::Options{}.soundFontDirs).isEmpty()) \
    GTEST_SKIP() << "no General MIDI soundfont installed (scripts/install-deps.sh installs one)"

namespace orvell::test {

// What a panic sends, as (port, bytes): port by port, channel by channel,
// All Notes Off, All Sound Off, Reset All Controllers.
inline std::vector<std::pair<int, std::vector<std::uint8_t>>> panicBytes(std::initializer_list<int> ports)
{
    std::vector<std::pair<int, std::vector<std::uint8_t>>> out;
    for (const int port : ports) {
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            for (const std::uint8_t controller : {123, 120, 121})
                out.push_back({port, {static_cast<std::uint8_t>(0xB0 | channel), controller, 0}});
        }
    }
    return out;
}

// A volume sweep that repeats until released.
inline AutoRequest repeatingVolumeSweep(const QString& port, const QString& channel)
{
    AutoRequest request;
    request.duration = 1000;
    request.end = 127;
    request.code = 7;
    request.port = port;
    request.channel = channel;
    request.repeat = true;
    return request;
}

}  // namespace orvell::test
