// Feeds arbitrary bytes to the MIDI file reader. Run with -malloc_limit_mb=64
// (scripts/fuzz.sh does) so an allocation beyond the reader's caps is a crash.

#include "sequencer/SmfReader.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    QString error;
    const auto sequence = orvell::SmfReader::read(std::span(data, size), error);
    if (sequence) {
        std::int64_t last = 0;
        for (const orvell::SmfEvent& event : sequence->events) {
            if (event.micros < last || std::size_t{event.offset} + event.length > sequence->data.size())
                __builtin_trap();
            last = event.micros;
        }
    } else if (error.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
