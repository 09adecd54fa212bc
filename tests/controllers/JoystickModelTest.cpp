#include "controllers/JoystickModel.h"
#include "midi/CtrlCodes.h"
#include "support/FakeJoysticks.h"
#include "support/VirtualSticks.h"

#include <gtest/gtest.h>

#include <random>

namespace orvell {
namespace {

constexpr int Pan = 10;
constexpr int PB = CtrlCode::PitchBend;

TEST(JoystickMapping, RawPositionsGiveTheEndsAndTheCentre)
{
    struct Case {
        int code;
        int raw;
        bool reverse;
        int value;
    };
    const Case cases[] = {
        {Pan, 65535, false, 127}, {Pan, 0, false, 0},     {Pan, 65535, true, 0},   {Pan, 0, true, 127},
        {Pan, 32768, false, 64},  {PB, 65535, false, 8191}, {PB, 0, false, -8192}, {PB, 32768, false, 0},
        {PB, 65535, true, -8192}, {PB, 0, true, 8191},      {Pan, 70000, false, 127}, {Pan, -5, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(joyMappedValue(c.code, c.raw, c.reverse), c.value) << c.code << " " << c.raw << " " << c.reverse;
    EXPECT_EQ(joyScale(PB), 4);
    EXPECT_EQ(joyScale(Pan), 512);
    EXPECT_EQ(joyScale(CtrlCode::AfterTouch), 512);
}

TEST(JoystickMapping, SensitivityGivesTheThreshold)
{
    const std::pair<int, int> cases[] = {{100, 655}, {70, 1555}, {1, 3625}, {0, 3625}, {150, 655}, {50, 2155}};
    for (const auto& [sens, threshold] : cases)
        EXPECT_EQ(joyThreshold(sens), threshold) << sens;
}

// One axis on centre mode: the value follows the stick.
TEST(JoystickAxisCentre, MovesBeyondTheThresholdAreSentOnce)
{
    struct Case {
        int code;
        bool reverse;
        int sensitivity;
        int to;
        std::optional<int> sent;
    };
    const Case cases[] = {
        {Pan, false, 100, 32768 + 600, std::nullopt},
        {Pan, false, 100, 32768 + 700, 65},
        {Pan, false, 70, 65535, 127},
        {Pan, false, 70, 0, 0},
        {Pan, true, 70, 65535, 0},
        {Pan, true, 70, 0, 127},
        {PB, false, 70, 65535, 8191},
        {PB, false, 70, 0, -8192},
        {PB, false, 100, 32768 - 656, -164},
    };
    for (const Case& c : cases) {
        JoystickModel model;
        model.setSensitivity(c.sensitivity);
        model.axes[0].setCode(c.code);
        model.axes[0].center = true;
        model.axes[0].reverse = c.reverse;
        model.axes[0].setValue(64);
        model.start({32768, 32768, 0});
        EXPECT_EQ(model.poll({c.to, 32768, 0}).axes[0], c.sent) << c.code << " " << c.to;
        // Held there: nothing more.
        EXPECT_EQ(model.poll({c.to, 32768, 0}).axes[0], std::nullopt);
    }
}

// Centre mode off: a held stick moves the value by halves of its deflection.
TEST(JoystickAxisRate, HeldRightClimbsToTheTopAndStaysWhenReleased)
{
    struct Case {
        int code;
        int raw;
        std::vector<int> sent;
    };
    const Case cases[] = {
        {Pan, 65535, {32, 64, 96, 127}},
        {Pan, 0, {}},  // already at the bottom
        {PB, 65535, {4096, 8191}},
        {PB, 0, {-4096, -8192}},
    };
    for (const Case& c : cases) {
        JoystickModel model;
        model.axes[1].setCode(c.code);
        model.start({32768, 32768, 0});
        std::vector<int> sent;
        for (int i = 0; i < 20; ++i) {
            if (auto v = model.poll({32768, c.raw, 0}).axes[1])
                sent.push_back(*v);
        }
        EXPECT_EQ(sent, c.sent) << c.code << " " << c.raw;
        const int last = model.axes[1].value();
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(model.poll({32768, 32768, 0}).axes[1], std::nullopt);
        EXPECT_EQ(model.axes[1].value(), last);
    }
}

TEST(JoystickAxisRate, SmallDeflectionsStepByTheirSizeAndInsideTheThresholdNothing)
{
    struct Case {
        int sensitivity;
        int raw;
        int firstStep;  // 0: none
    };
    const Case cases[] = {
        {70, 32768 + 3 * 512, 0},      // 3 units in, T / scale is about 3.04
        {70, 32768 + 4 * 512, 2},      // 4 halves to 2
        {100, 32768 + 2 * 512, 2},     // 2 steps by itself beyond 1.28
        {100, 32768 + 5 * 512, 2},     // 5 / 2 rounds to even
        {100, 32768 + 7 * 512, 4},     // 7 / 2 rounds to even
        {100, 32768 - 7 * 512, -4},
    };
    for (const Case& c : cases) {
        JoystickModel model;
        model.setSensitivity(c.sensitivity);
        model.axes[0].setValue(64);
        model.start({32768, 32768, 0});
        model.poll({c.raw, 32768, 0});
        EXPECT_EQ(model.axes[0].value() - 64, c.firstStep) << c.sensitivity << " " << c.raw;
    }
}

TEST(JoystickAxisRate, APadRestingOffCentreSendsNothing)
{
    // 5 % right of the middle, with a little noise, on every kind of axis.
    for (const int code : {Pan, PB}) {
        for (const bool reverse : {false, true}) {
            std::mt19937 noise(7);
            std::uniform_int_distribution<int> jitter(-200, 200);
            const int rest = 32768 + 3277;
            JoystickModel model;
            model.axes[0].setCode(code);
            model.axes[0].reverse = reverse;
            model.start({rest, 32768, 0});
            int sends = 0;
            for (int i = 0; i < 100; ++i)
                sends += model.poll({rest + jitter(noise), 32768, 0}).axes[0].has_value() ? 1 : 0;
            EXPECT_EQ(sends, 0) << code << " " << reverse;
        }
    }
}

TEST(JoystickButtons, ButtonOneIsFireAAndButtonTwoFireB)
{
    JoystickModel model;
    model.start({32768, 32768, 0});
    struct Step {
        unsigned bits;
        std::optional<bool> a, b;
    };
    const Step steps[] = {{1, true, {}}, {3, {}, true}, {3, {}, {}}, {2, false, {}}, {0, {}, false}, {4, {}, {}}};
    for (const Step& s : steps) {
        const JoyChanges poll = model.poll({32768, 32768, s.bits});
        EXPECT_EQ(poll.buttons[0], s.a) << s.bits;
        EXPECT_EQ(poll.buttons[1], s.b) << s.bits;
    }
}

TEST(JoystickLinkTest, TakesFreeSticksAndFindsAReplugByName)
{
    test::FakeJoysticks sticks;
    sticks.plug(QStringLiteral("Pad"), {100, 200, 1});
    sticks.plug(QStringLiteral("Flight"));
    JoystickLink first(sticks), second(sticks), third(sticks);
    ASSERT_TRUE(first.openFree());
    ASSERT_TRUE(second.openFree());
    EXPECT_FALSE(third.openFree());
    EXPECT_EQ(first.number(), 1);
    EXPECT_EQ(second.number(), 2);
    EXPECT_EQ(first.read(), (JoyPosition{100, 200, 1}));
    EXPECT_EQ(freeJoysticks(sticks), 0);

    sticks.unplug(0);
    EXPECT_EQ(first.read(), std::nullopt);
    EXPECT_EQ(first.read(), std::nullopt);
    sticks.plug(QStringLiteral("Other"));
    EXPECT_EQ(first.read(), std::nullopt);  // another kind of stick is not taken
    sticks.plug(QStringLiteral("Pad"), {5, 6, 0});
    EXPECT_EQ(first.read(), (JoyPosition{5, 6, 0}));
    EXPECT_EQ(second.read(), (JoyPosition{}));
    EXPECT_EQ(freeJoysticks(sticks), 1);
}

// The SDL layer on its own virtual sticks: the path the program takes.
TEST(SdlJoysticks, VirtualSticksAreReadUnpluggedAndFoundAgain)
{
    const auto system = makeSdlJoystickSystem();
    ASSERT_TRUE(system->available()) << SDL_GetError();
    const int before = system->count();
    JoystickLink link(*system);
    {
        test::VirtualStick pad("Orvell Test Pad");
        ASSERT_NE(pad.stick, nullptr) << SDL_GetError();
        system->update();
        EXPECT_EQ(system->count(), before + 1);
        ASSERT_TRUE(link.openFree());
        EXPECT_EQ(link.deviceName(), QStringLiteral("Orvell Test Pad"));
        pad.move(65535, 0);
        pad.button(0, true);
        EXPECT_EQ(link.read(), (JoyPosition{65535, 0, 1}));
        pad.move(32768, 40000);
        pad.button(0, false);
        pad.button(1, true);
        EXPECT_EQ(link.read(), (JoyPosition{32768, 40000, 2}));
    }
    EXPECT_EQ(link.read(), std::nullopt);
    test::VirtualStick again("Orvell Test Pad");
    again.move(1000, 2000);
    again.button(0, true);
    again.button(1, true);
    EXPECT_EQ(link.read(), (JoyPosition{1000, 2000, 3}));
}

}  // namespace
}  // namespace orvell
