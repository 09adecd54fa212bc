#include "controllers/AutoSettings.h"
#include "midi/AutoSweep.h"
#include "support/EngineRig.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

class AutoSweepTest : public ::testing::Test, protected test::EngineRig {
protected:
    AutoSweepTest() : EngineRig(1, 2, {"1"}), sweep(engine)
    {
        sweep.setReporter(&reporter, &msgs);
        sweep.setTimerSwitch([this](bool running) { switches.push_back(running); });
    }

    int start(int duration, int from, int to, int code = 1, bool repeat = false, bool triangle = false,
              const char* channel = "1")
    {
        AutoRequest request;
        request.duration = duration;
        request.start = from;
        request.end = to;
        request.code = code;
        request.channel = QString::fromLatin1(channel);
        request.port = QStringLiteral("1");
        request.patchId = 7;
        request.repeat = repeat;
        request.triangle = triangle;
        return sweep.AutoSetUp(request);
    }

    // One tick of the main window's 50 ms timer.
    void tick(int count = 1)
    {
        for (int k = 0; k < count; ++k) {
            clock.advanceMs(AutoSweep::TickMs);
            sweep.AutoEvent_Timer();
        }
    }

    // The data values of the control changes sent.
    std::vector<int> values() const
    {
        std::vector<int> out;
        for (const auto& message : system.sent())
            out.push_back(message.bytes.back());
        return out;
    }

    AutoSweep sweep;
    std::vector<bool> switches;
};

struct SweepCase {
    const char* name;
    int duration, from, to;
    int nSteps;
    float inc;
    std::vector<int> values;
};

class SweepValues : public AutoSweepTest, public ::testing::WithParamInterface<SweepCase> {};

TEST_P(SweepValues, SendsEachNewValueOnceOneTickApart)
{
    const SweepCase& c = GetParam();
    const int index = start(c.duration, c.from, c.to);
    EXPECT_EQ(sweep.event(index).NSteps, c.nSteps);
    EXPECT_EQ(sweep.event(index).Inc, c.inc);  // exactly the 32-bit float
    tick(c.nSteps + 5);  // a finished sweep stays quiet until its release
    EXPECT_EQ(values(), c.values);
    for (size_t k = 1; k < system.sent().size() && c.values.size() == size_t(c.nSteps) + 1; ++k)
        EXPECT_EQ(system.sent()[k].micros - system.sent()[k - 1].micros, 50'000);
}

std::vector<int> everyFifth(int from, int to)
{
    std::vector<int> out;
    for (int v = from; from < to ? v <= to : v >= to; v += from < to ? 5 : -5)
        out.push_back(v);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, SweepValues,
    ::testing::Values(SweepCase{"Rising", 1000, 0, 100, 20, 5.0f, everyFifth(0, 100)},
                      SweepCase{"Falling", 1000, 100, 0, 20, -5.0f, everyFifth(100, 0)},
                      // 12.7f * 5 rounds to 63.5f in single precision, and that goes to the even 64.
                      SweepCase{"FullRangeInHalfASecond", 500, 0, 127, 10, 12.7f,
                                {0, 13, 25, 38, 51, 64, 76, 89, 102, 114, 127}},
                      // 0.1 a step: 0.5 rounds to the even 0, 1.5 to 2.
                      SweepCase{"UnchangedValuesAreNotResent", 1000, 0, 2, 20, 0.1f, {0, 1, 2}},
                      // 1.5 ticks make 2 steps of 6.67: the second would pass the end.
                      SweepCase{"OddDurationStopsAtTheEnd", 75, 0, 10, 2, 6.6666665f, {0, 7, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutoSweepTest, FullSweepReachesTheEndBytesAndReleaseSendsTheRestValue)
{
    const int index = start(1000, 0, 100, 7);
    tick(21);
    ASSERT_EQ(system.sent().size(), 21u);
    EXPECT_EQ(system.sent().front().bytes, (Bytes{0xB0, 7, 0}));
    EXPECT_EQ(system.sent().back().bytes, (Bytes{0xB0, 7, 100}));
    sweep.AutoReset(index);
    EXPECT_EQ(system.sent().back().bytes, (Bytes{0xB0, 7, 127}));
    EXPECT_EQ(sweep.AutoCount(), 0);
    EXPECT_EQ(switches, (std::vector<bool>{true, false}));
}

TEST_F(AutoSweepTest, ZeroDurationTriangleAlternatesUntilRelease)
{
    const int index = start(0, 20, 100, 1, true, true);
    EXPECT_EQ(sweep.event(index).NSteps, 0);
    tick(5);
    EXPECT_EQ(values(), (std::vector<int>{20, 100, 20, 100, 20}));
    sweep.AutoReset(index);
    EXPECT_EQ(sent().back(), (Bytes{0xB0, 1, 0}));
    tick(2);
    EXPECT_EQ(system.sent().size(), 6u);
}

TEST_F(AutoSweepTest, RampJumpsBackToItsStart)
{
    const int index = start(100, 0, 100, 1, true, false);
    tick(7);
    EXPECT_EQ(values(), (std::vector<int>{0, 50, 100, 0, 50, 100, 0}));
    sweep.AutoReset(index);
}

TEST_F(AutoSweepTest, ZeroLengthEventSendsOnceAndItsResetOnlyWarns)
{
    const int index = start(0, 64, 64);
    tick(3);
    EXPECT_EQ(values(), (std::vector<int>{64}));
    reporter.clear();
    sweep.AutoReset(index);
    EXPECT_EQ(system.sent().size(), 1u);
    EXPECT_EQ(reporter.fields[0], " Warning, AutoEvent Reset skipped (Start = End, Time = 0)");
}

TEST_F(AutoSweepTest, RestValuesByController)
{
    struct Case {
        int code;
        Bytes rest;
    };
    for (const Case& c : {Case{7, {0xB0, 7, 127}}, Case{10, {0xB0, 10, 63}}, Case{202, {0xE0, 0x00, 0x40}},
                          Case{201, {0xD0, 0}}, Case{1, {0xB0, 1, 0}}}) {
        const int index = start(100, 10, 20, c.code);
        tick();
        sweep.AutoReset(index);
        EXPECT_EQ(sent().back(), c.rest) << c.code;
    }
}

TEST_F(AutoSweepTest, PitchBendSweepsItsOwnRange)
{
    const int index = start(100, 0, -8192, 202);
    tick(3);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xE0, 0x00, 0x40}, {0xE0, 0x00, 0x20}, {0xE0, 0x00, 0x00}}));
    sweep.AutoReset(index);
}

TEST_F(AutoSweepTest, TwoSweepsInterleaveOnOneTimer)
{
    const int first = start(100, 0, 100, 1, true, true, "1");
    const int second = start(100, 100, 0, 10, true, false, "2");
    EXPECT_EQ(switches, (std::vector<bool>{true}));
    tick(2);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB0, 1, 0}, {0xB1, 10, 100}, {0xB0, 1, 50}, {0xB1, 10, 50}}));

    // Releasing the first leaves the timer to the second.
    sweep.AutoReset(first);
    EXPECT_TRUE(sweep.timerRunning());
    system.clearSent();
    tick();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB1, 10, 0}}));
    sweep.AutoReset(second);
    EXPECT_EQ(switches, (std::vector<bool>{true, false}));
    EXPECT_EQ(sweep.AutoCount(), 0);
}

TEST_F(AutoSweepTest, ReleasingTheLaterButtonFirstStillStopsTheTimerAtTheEnd)
{
    const int first = start(1000, 0, 100);
    const int second = start(1000, 0, 100, 2);
    sweep.AutoReset(second);
    EXPECT_TRUE(sweep.timerRunning());
    // A second reset of the same index sends nothing more.
    system.clearSent();
    sweep.AutoReset(second);
    EXPECT_TRUE(system.sent().empty());
    sweep.AutoReset(first);
    EXPECT_FALSE(sweep.timerRunning());
    EXPECT_EQ(sweep.AutoCount(), 0);
    EXPECT_EQ(switches, (std::vector<bool>{true, false}));
}

TEST_F(AutoSweepTest, StopAllEndsRepeatingSweepsAtTheirNextStep)
{
    const int index = start(1000, 0, 100, 1, true, false);
    tick(2);
    sweep.StopAll = true;
    system.clearSent();
    tick(3);
    // The step's value, then the closing rest value; nothing restarts.
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xB0, 1, 10}, {0xB0, 1, 0}}));
    // The release that follows sends nothing more and frees the slot.
    sweep.AutoReset(index);
    EXPECT_EQ(system.sent().size(), 2u);
    EXPECT_FALSE(sweep.timerRunning());
}

TEST_F(AutoSweepTest, StopRequestLetsTheSweepFinishThenEndsIt)
{
    const int index = start(100, 0, 100, 1, true, false);
    tick();
    sweep.requestStop(index);
    tick(4);
    EXPECT_EQ(values(), (std::vector<int>{0, 50, 100, 0}));
    EXPECT_FALSE(sweep.timerRunning());
}

TEST_F(AutoSweepTest, PatchChangesGoToThePatchPanelsAndAFailureEndsTheTick)
{
    std::vector<std::vector<int>> calls;
    bool refuse = false;
    sweep.setPatchChange([&](int code, int patchId, int value) {
        calls.push_back({code, patchId, value});
        return !refuse;
    });
    const int patches = start(100, 0, 127, 212);
    const int volume = start(100, 0, 100, 1);
    tick();
    EXPECT_EQ(calls, (std::vector<std::vector<int>>{{212, 7, 0}}));
    EXPECT_EQ(values(), (std::vector<int>{0}));

    refuse = true;
    tick();
    EXPECT_EQ(values(), (std::vector<int>{0}));  // the later slot waits for the next tick
    refuse = false;
    tick();
    EXPECT_EQ(values(), (std::vector<int>{0, 50}));

    sweep.AutoReset(patches);
    EXPECT_EQ(calls.back(), (std::vector<int>{212, 7, 0}));  // back to the start patch
    sweep.AutoReset(volume);
}

TEST(AutoSettings, DefaultsByController)
{
    struct Case {
        int code, start, end;
    };
    for (const Case& c : {Case{7, 127, 0}, Case{11, 127, 0}, Case{8, 63, 0}, Case{10, 63, 0},
                          Case{202, 0, -8192}, Case{1, 0, 127}, Case{201, 0, 127}}) {
        const AutoSettings settings = defaultAutoSettings(c.code);
        EXPECT_EQ(settings.Astart, c.start) << c.code;
        EXPECT_EQ(settings.Aend, c.end) << c.code;
        EXPECT_EQ(settings.Aduration, 500);
        EXPECT_FALSE(settings.ARepeat);
    }
    AutoSettings stored{QStringLiteral("Swell"), 1500, 3, 4, true, true, true};
    EXPECT_EQ(dialogAutoSettings(stored, 7), stored);
    stored.AIsSet = false;
    EXPECT_EQ(dialogAutoSettings(stored, 7).Astart, 127);
}

TEST(AutoSettings, DurationSnapsAndShowsItsUnit)
{
    struct Case {
        int ms, snapped;
        const char* value;
        const char* unit;
    };
    for (const Case& c : {Case{0, 0, "0", "ms"}, Case{49, 0, "0", "ms"}, Case{50, 50, "50", "ms"},
                          Case{999, 999, "999", "ms"}, Case{1000, 1000, "1", "s"}, Case{1500, 1500, "1.5", "s"},
                          Case{7000, 7000, "7", "s"}, Case{9000, 7000, "7", "s"}}) {
        EXPECT_EQ(snapDuration(c.ms), c.snapped) << c.ms;
        EXPECT_EQ(durationText(snapDuration(c.ms)), (DurationText{c.value, c.unit})) << c.ms;
    }
    EXPECT_FALSE(repeatOffered(5, 5, 0));
    EXPECT_TRUE(repeatOffered(5, 5, 50));
    EXPECT_TRUE(repeatOffered(5, 6, 0));
}

}  // namespace
}  // namespace orvell
