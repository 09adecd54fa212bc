#include "sequencer/SmfReader.h"
#include "support/Mutator.h"
#include "support/SmfBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define ORVELL_ALLOCATION_HOOKS 1
// From the sanitizer runtime; GCC does not install its header.
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                              void (*free_hook)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#endif

namespace orvell {
namespace {

using namespace test::smf;

#ifdef ORVELL_ALLOCATION_HOOKS
// Live heap bytes and their peak, kept by the sanitizer's allocation hooks.
std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> peakBytes{0};
std::atomic<bool> counting{false};

void onMalloc(const volatile void*, std::size_t size)
{
    if (!counting)
        return;
    const std::int64_t now = liveBytes += static_cast<std::int64_t>(size);
    std::int64_t peak = peakBytes;
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

void onFree(const volatile void* pointer)
{
    if (counting && pointer)
        liveBytes -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(pointer)));
}
#endif

// Peak heap use of `work` beyond what was live before; 0 without the sanitizer.
template <class F>
std::int64_t peakAllocation(F&& work)
{
#ifdef ORVELL_ALLOCATION_HOOKS
    [[maybe_unused]] static const int installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    liveBytes = 0;
    peakBytes = 0;
    counting = true;
    work();
    counting = false;
    return peakBytes;
#else
    work();
    return 0;
#endif
}

constexpr std::int64_t MemoryLimit = 64 * 1024 * 1024;

struct Seed {
    Bytes header;
    std::vector<Bytes> tracks;  // bodies
};

const Seed Seeds[] = {
    {header(0, 1, 96), {{0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00, 0x00, 0xFF, 0x51, 0x03, 0x07,
                         0xA1, 0x20, 0x00, 0xF0, 0x03, 0x7E, 0x01, 0xF7, 0x00, 0xFF, 0x2F, 0x00}}},
    {header(1, 3, 0x01E0),
     {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00},
      {0x00, 0xFF, 0x21, 0x01, 0x01, 0x00, 0xFF, 0x03, 0x02, 'A', 'b', 0x00, 0xB0, 0x07, 0x64, 0x81, 0x00, 0x40, 0x7F,
       0x00, 0xF7, 0x02, 0xF8, 0xFA, 0x00, 0xFF, 0x2F, 0x00},
      {0x10, 0xE2, 0x00, 0x40, 0x05, 0xD2, 0x30, 0x00, 0xFF, 0x2F, 0x00}}},
    {header(0, 1, 0xE728), {{0x00, 0x90, 0x3C, 0x40, 0x81, 0x0C, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}}},
};

// Damage of binary data: bytes changed, dropped and repeated, runaway
// numbers and pieces of the format put anywhere.
void damage(QByteArray& bytes, std::mt19937& random, int edits)
{
    auto pick = [&random](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    static const QByteArray pieces[] = {
        "MTrk", "MThd", "RIFF", "RMID", "data", QByteArray("\xff\xff\xff\xff", 4), QByteArray("\x7f\xff\xff\xff", 4),
        QByteArray("\x81\x81\x81\x81\x01", 5), QByteArray("\xff\x51\x03\x00\x00\x00", 6),
        QByteArray("\xff\x2f\x00", 3), QByteArray("\xf0\xff\xff\xff\x7f", 5), QByteArray("\xff\x21\x01\x7f", 4),
        QByteArray("\x00\x02", 2), QByteArray(1, '\0')};
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        if (!test::damageOnce(bytes, random, pieces, 8, 40)) {
            const qsizetype at = pick(bytes.size());
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << pick(8)));
        }
    }
}

// Half the files are damaged inside one track whose length is then set
// right, so the damage reaches the event parser; the others anywhere.
QByteArray mutate(const Seed& seed, std::mt19937& random)
{
    auto pick = [&random](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    const int edits = 1 + static_cast<int>(pick(3));
    const bool inTrack = pick(2) == 0;
    const qsizetype victim = pick(qsizetype(seed.tracks.size()));
    QByteArray file = toQByteArray(seed.header);
    for (qsizetype i = 0; i < qsizetype(seed.tracks.size()); ++i) {
        QByteArray body = toQByteArray(seed.tracks[size_t(i)]);
        if (inTrack && i == victim)
            damage(body, random, edits);
        file += toQByteArray(track(Bytes(body.begin(), body.end())));
    }
    if (!inTrack)
        damage(file, random, edits);
    return file;
}

TEST(SmfReaderFuzz, DamagedFilesGiveASequenceOrAnErrorWithinBoundedMemory)
{
    std::mt19937 random(20261209);
    const int rounds = test::mutationRounds(100000);
    int refused = 0;
    for (int round = 0; round < rounds; ++round) {
        const QByteArray bytes = mutate(Seeds[round % std::size(Seeds)], random);
        QString error;
        std::optional<SmfSequence> sequence;
        ASSERT_LT(peakAllocation([&] { sequence = SmfReader::read(bytes, error); }), MemoryLimit) << round;
        if (!sequence) {
            ASSERT_FALSE(error.isEmpty()) << round;
            ++refused;
            continue;
        }
        ASSERT_LE(sequence->events.size(), SmfReader::MaxEvents) << round;
        std::int64_t last = 0;
        for (const SmfEvent& event : sequence->events) {
            ASSERT_GE(event.micros, last) << round;
            ASSERT_LE(std::size_t{event.offset} + event.length, sequence->data.size()) << round;
            last = event.micros;
        }
    }
    // Both ways out are taken, or the damage is too mild or too wild.
    EXPECT_GT(refused, rounds / 10);
    EXPECT_LT(refused, rounds - rounds / 10);
}

TEST(SmfReaderFuzz, ClaimedLengthsNeverDecideHowMuchIsAllocated)
{
    // A full-size file of one track whose running-status events fill it.
    Bytes events{0x00, 0xC0, 0x00};
    events.resize(std::size_t(SmfReader::MaxFileBytes) - 30, 0x00);
    const QByteArray bytes = toQByteArray(format0(events));
    QString error;
    bool read = true;
    const std::int64_t peak = peakAllocation([&] { read = SmfReader::read(bytes, error).has_value(); });
    EXPECT_LT(peak, MemoryLimit);
#ifdef ORVELL_ALLOCATION_HOOKS
    EXPECT_GT(peak, SmfReader::MaxFileBytes);  // the hooks do see the reader's tables
#endif
    EXPECT_FALSE(read);
    EXPECT_EQ(error, QStringLiteral("The file holds more than 400000 events."));
}

}  // namespace
}  // namespace orvell
