// Learned hardware controls: which messages bind, how bindings are written,
// and which inputs are held while learning or bound.

#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/MidiLearn.h"
#include "midi/VirtualMidiSystem.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = LearnSource::Kind;

TEST(MidiLearnMatch, ControllersNotesAndBendsBindAndNothingElse)
{
    struct Case {
        Bytes message;
        std::optional<LearnedInput> expected;
    };
    const Case cases[] = {
        {{0xB0, 7, 100}, LearnedInput{{Kind::Controller, 1, 7}, 100, 127}},
        {{0xBF, 0, 0}, LearnedInput{{Kind::Controller, 16, 0}, 0, 127}},
        {{0x93, 60, 90}, LearnedInput{{Kind::Note, 4, 60}, 90, 127}},
        {{0x93, 60, 0}, LearnedInput{{Kind::Note, 4, 60}, 0, 127}},   // note on at 0 lets go
        {{0x83, 60, 64}, LearnedInput{{Kind::Note, 4, 60}, 0, 127}},  // note off, whatever its velocity
        {{0xE1, 0, 64}, LearnedInput{{Kind::PitchBend, 2, 0}, 8192, 16383}},
        {{0xE1, 127, 127}, LearnedInput{{Kind::PitchBend, 2, 0}, 16383, 16383}},
        {{0xC0, 5}, std::nullopt},        // program change
        {{0xD0, 5}, std::nullopt},        // channel pressure
        {{0xA0, 60, 5}, std::nullopt},    // key pressure
        {{0xF8}, std::nullopt},           // clock
        {{0xF0, 0x7E, 0xF7}, std::nullopt},
        {{0xB0, 7}, std::nullopt},        // cut short
        {{0xB0, 0x87, 1}, std::nullopt},  // a status byte where data belongs
        {{}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.message));
        const auto got = learnedInput(c.message);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got)
            continue;
        EXPECT_EQ(got->source, c.expected->source);
        EXPECT_EQ(got->value, c.expected->value);
        EXPECT_EQ(got->maximum, c.expected->maximum);
    }
}

TEST(MidiLearnMatch, SourcesReadBackAsWrittenAndOddTextIsRefused)
{
    for (const LearnSource& source : {LearnSource{Kind::Controller, 1, 7}, LearnSource{Kind::Note, 16, 127},
                                      LearnSource{Kind::PitchBend, 3, 0}}) {
        const QString text = formatLearnSource(source);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(parseLearnSource(text), source);
    }
    EXPECT_EQ(formatLearnSource({Kind::Controller, 2, 74}), "CC 2 74");
    for (const char* bad : {"", "CC", "CC 0 7", "CC 17 7", "CC 1 128", "CC 1 -1", "CC 1 7 9", "Note 1", "Bend 1 5",
                            "Knob 1 7", "cc 1 7", "CC x 7", "\xff\xfe"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(parseLearnSource(QString::fromLatin1(bad)), std::nullopt);
    }
}

struct Heard : LearnClient {
    void learnedInput(int slot, const LearnedInput& input) override { inputs.emplace_back(slot, input.value); }
    void learnedBinding(int slot) override { bound.push_back(slot); }
    std::vector<std::pair<int, int>> inputs;
    std::vector<int> bound;
};

class MidiLearnTest : public ::testing::Test {
protected:
    MidiLearnTest() : system(2, 1, clock), engine(system, msgs, reporter, clock, flags)
    {
        flags.Initializing = false;
        engine.InitMidiDevs();
    }
    void play(int device, const Bytes& bytes)
    {
        system.playInto(device, bytes);
        learn.deliverQueued();
    }

    test::FakeClock clock;
    VirtualMidiSystem system;
    MessageTable msgs;
    test::RecordingReporter reporter;
    AppFlags flags;
    MidiEngine engine;
    MidiLearn learn{engine};
};

TEST_F(MidiLearnTest, TheNextControlBindsMovesItsSlotAndInputsAreHeldOnlyWhileNeeded)
{
    Heard a, b;
    EXPECT_FALSE(system.inputStarted(0));
    learn.learn(&a, 2);
    EXPECT_TRUE(system.inputStarted(0));
    EXPECT_TRUE(system.inputStarted(1));
    play(1, {0xC0, 3});  // not learnable: still learning
    EXPECT_TRUE(learn.learning(&a, 2));
    play(1, {0xB2, 74, 10});
    EXPECT_EQ(a.bound, std::vector<int>{2});
    EXPECT_TRUE(a.inputs.empty());  // the teaching message moves nothing
    EXPECT_EQ(learn.bindingOf(&a, 2), (LearnSource{Kind::Controller, 3, 74}));

    struct Step {
        int device;
        Bytes message;
        std::vector<std::pair<int, int>> heard;
    };
    const Step steps[] = {
        {0, {0xB2, 74, 90}, {{2, 90}}},  // any input port
        {1, {0xB2, 74, 0}, {{2, 0}}},
        {0, {0xB3, 74, 5}, {}},          // another channel
        {0, {0xB2, 75, 5}, {}},          // another controller
        {0, {0x92, 74, 5}, {}},          // a note of the same number
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::PrintToString(s.message));
        a.inputs.clear();
        play(s.device, s.message);
        EXPECT_EQ(a.inputs, s.heard);
    }

    // A source learned again moves to its new slot; the old one is free.
    learn.learn(&b, 0);
    play(0, {0xB2, 74, 1});
    EXPECT_EQ(learn.bindingOf(&a, 2), std::nullopt);
    EXPECT_EQ(learn.bindingOf(&b, 0), (LearnSource{Kind::Controller, 3, 74}));

    // Several messages before the UI turns all arrive, in order.
    system.playInto(0, Bytes{0xB2, 74, 7});
    system.playInto(1, Bytes{0xB2, 74, 8});
    learn.deliverQueued();
    EXPECT_EQ(b.inputs, (std::vector<std::pair<int, int>>{{0, 7}, {0, 8}}));

    learn.forgetAll(&b);
    EXPECT_FALSE(system.inputStarted(0));
    EXPECT_EQ(engine.MidiInPorts[1].OpenCount, 0);
    EXPECT_EQ(engine.MidiInPorts[2].OpenCount, 0);
}

TEST_F(MidiLearnTest, ThruAndLearningShareAnInputWithoutStoppingEachOther)
{
    Heard a;
    engine.OpenMidiIn("1");
    engine.OpenMidiOut("1");
    learn.bind(&a, 0, {Kind::Note, 1, 36});
    EXPECT_EQ(engine.MidiInPorts[1].OpenCount, 2);

    // A thru that ends leaves the binding hearing its input.
    engine.AddThru("1", "1");
    engine.RemoveThru("1", "1");
    EXPECT_TRUE(system.inputStarted(0));
    play(0, {0x90, 36, 99});
    EXPECT_EQ(a.inputs, (std::vector<std::pair<int, int>>{{0, 99}}));

    // Learning that ends leaves a running thru running.
    engine.AddThru("1", "1");
    learn.forget(&a, 0);
    EXPECT_TRUE(system.inputStarted(0));
    EXPECT_EQ(engine.MidiInPorts[1].OpenCount, 1);
    EXPECT_EQ(engine.MidiInPorts[2].OpenCount, 0);
    engine.RemoveThru("1", "1");
    EXPECT_FALSE(system.inputStarted(0));
    engine.CloseMidiIn("1");
    engine.CloseMidiOut("1");
}

}  // namespace
}  // namespace orvell
