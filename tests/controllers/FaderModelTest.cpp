#include "controllers/Controllers.h"
#include "controllers/FaderModel.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

TEST(FaderModel, RangeFollowsTheCodeAndTheOrientation)
{
    struct Case {
        int code;
        bool vertical;
        FaderRange expected;
    };
    const Case cases[] = {
        {7, false, {0, 127, 0, 127, 1, 10}},
        {7, true, {127, 0, 0, 127, 1, 10}},
        {CtrlCode::AfterTouch, false, {0, 127, 0, 127, 1, 10}},
        {CtrlCode::PatchChange, true, {127, 0, 0, 127, 1, 10}},
        {CtrlCode::PitchBend, false, {-8192, 8191, -8192, 8191, 64, 645}},
        {CtrlCode::PitchBend, true, {8191, -8192, -8192, 8191, 64, 645}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << (c.vertical ? " vertical" : " horizontal"));
        EXPECT_EQ(faderRange(c.code, c.vertical), c.expected);
    }
}

TEST(FaderModel, StartValueByCode)
{
    const std::pair<int, int> cases[] = {
        {7, 127}, {11, 127}, {8, 63}, {10, 63}, {1, 0}, {0, 0}, {CtrlCode::PitchBend, 0}, {CtrlCode::AfterTouch, 0},
    };
    for (const auto& [code, start] : cases)
        EXPECT_EQ(faderStartValue(code), start) << code;
}

TEST(FaderModel, OnlyPitchBendSnapsToCentreWithin800)
{
    struct Case {
        int code;
        int position;
        int shown;
    };
    const Case cases[] = {
        {CtrlCode::PitchBend, 700, 0},    {CtrlCode::PitchBend, 800, 0},     {CtrlCode::PitchBend, -800, 0},
        {CtrlCode::PitchBend, 801, 801},  {CtrlCode::PitchBend, -801, -801}, {CtrlCode::PitchBend, 8191, 8191},
        {7, 50, 50},                      {CtrlCode::AfterTouch, 3, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dragSnap(c.code, c.position), c.shown) << c.code << " at " << c.position;
}

TEST(FaderModel, TypedValuesAreClampedRevertedOrSentAgain)
{
    using A = TypedValue::Action;
    const FaderRange cc = faderRange(7, false);
    const FaderRange ccVertical = faderRange(7, true);
    const FaderRange bend = faderRange(CtrlCode::PitchBend, true);
    struct Case {
        QString text;
        const FaderRange* range;
        int current;
        TypedValue expected;
    };
    const Case cases[] = {
        {"200", &cc, 64, {A::Move, 127}},
        {"-5", &cc, 64, {A::Move, 0}},
        {"-5", &ccVertical, 64, {A::Move, 0}},
        {"999", &ccVertical, 64, {A::Move, 127}},
        {"64", &cc, 64, {A::SendAgain, 64}},
        {" 64 ", &cc, 64, {A::SendAgain, 64}},
        {"200", &cc, 127, {A::SendAgain, 127}},  // clamps onto the value it has
        {"63.6", &cc, 63, {A::Move, 64}},
        {"abc", &cc, 40, {A::Revert, 40}},
        {"", &cc, 40, {A::Revert, 40}},
        {"-9000", &bend, 0, {A::Move, -8192}},
        {"9000", &bend, 0, {A::Move, 8191}},
        {"-100", &bend, 0, {A::Move, -100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typedFaderValue(c.text, *c.range, c.current), c.expected) << c.text.toStdString();
}

TEST(FaderModel, MessageKindByCode)
{
    using K = FaderMessage::Kind;
    struct Case {
        int code;
        int value;
        int patchId;
        FaderMessage expected;
    };
    const Case cases[] = {
        {7, 100, 0, {K::ControlChange, 7, 100, 0}},
        {0, 5, 0, {K::ControlChange, 0, 5, 0}},
        {127, 1, 9, {K::ControlChange, 127, 1, 0}},
        {CtrlCode::AfterTouch, 30, 0, {K::AfterTouch, 0, 30, 0}},
        {CtrlCode::PitchBend, -4000, 0, {K::PitchBend, 0, -4000, 0}},
        {CtrlCode::PatchChange, 12, 5, {K::PatchChange, 0, 12, 5}},
        {CtrlCode::PatchChange, 12, 0, {}},
        {CtrlCode::PnlPtrChange, 3, 8, {K::PanelPointerChange, 0, 3, 8}},
        {CtrlCode::PnlPtrChange, 3, 0, {}},
        {CtrlCode::PatchUp, 3, 8, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(faderMessage(c.code, c.value, c.patchId), c.expected) << c.code;
}

TEST(FaderModel, ChannelAndPortGoAwayForPanelDirectedCodes)
{
    EXPECT_FALSE(isPanelDirected(7));
    EXPECT_FALSE(isPanelDirected(CtrlCode::PitchBend));
    EXPECT_TRUE(isPanelDirected(CtrlCode::PatchChange));
    EXPECT_TRUE(isPanelDirected(CtrlCode::PnlPtrChange));
}

TEST(FaderModel, PanelDirectedCodesNameTheClassTheyDrive)
{
    const std::pair<int, PanelClass> cases[] = {
        {CtrlCode::PatchChange, PanelClass::PatchList}, {CtrlCode::PatchUp, PanelClass::PatchList},
        {CtrlCode::PnlPtrChange, PanelClass::PanlPointer}, {CtrlCode::PnlPtrDown, PanelClass::PanlPointer},
        {CtrlCode::PushButtons, PanelClass::Buttons}, {CtrlCode::PlayOnOff, PanelClass::Sequencer},
    };
    for (const auto& [code, id] : cases)
        EXPECT_EQ(faderTargetClass(code), id) << code;
}

}  // namespace
}  // namespace orvell
