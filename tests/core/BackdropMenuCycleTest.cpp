#include "app/BackdropMenuCycle.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvell {
namespace {

const QSize Area(600, 400);  // 9000 x 6000 twips
const QPoint Inside(100, 100);

BackdropMenu click(BackdropMenuCycle& cycle, Qt::MouseButton button, Qt::KeyboardModifiers keys = Qt::NoModifier,
                   QPoint pos = Inside, bool autoMenus = true)
{
    cycle.press();
    return cycle.release(button, keys, pos, Area, autoMenus);
}

TEST(BackdropMenuCycle, AreaStopsShortOfTheRightEdgeAndTheBottom)
{
    struct Case {
        QPoint pos;
        bool inside;
    };
    // 150 twips = 10 pixels from the right, 1200 twips = 80 pixels from the bottom.
    const Case cases[] = {
        {{0, 0}, true},      {{589, 319}, true}, {{590, 100}, false}, {{100, 320}, false},
        {{599, 399}, false}, {{-1, 10}, false},  {{10, -1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pos.x() << "," << c.pos.y());
        EXPECT_EQ(BackdropMenuCycle::inMenuArea(c.pos, Area), c.inside);
        BackdropMenuCycle cycle;
        EXPECT_EQ(click(cycle, Qt::RightButton, Qt::NoModifier, c.pos),
                  c.inside ? BackdropMenu::Tools : BackdropMenu::None);
    }
}

TEST(BackdropMenuCycle, RightButtonPicksTheMenuByTheKeysHeld)
{
    struct Case {
        Qt::KeyboardModifiers keys;
        BackdropMenu menu;
    };
    const Case cases[] = {
        {Qt::NoModifier, BackdropMenu::Tools},
        {Qt::ShiftModifier, BackdropMenu::Setup},
        {Qt::ControlModifier, BackdropMenu::Windows},
        {Qt::ShiftModifier | Qt::ControlModifier, BackdropMenu::File},
        {Qt::KeypadModifier | Qt::ControlModifier, BackdropMenu::Windows},
        {Qt::AltModifier, BackdropMenu::None},
        {Qt::ShiftModifier | Qt::AltModifier, BackdropMenu::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.keys.toInt()));
        BackdropMenuCycle cycle;
        EXPECT_EQ(click(cycle, Qt::RightButton, c.keys), c.menu);
        // The right button is remembered even when no menu matched, and it
        // does not move the left-button walk.
        EXPECT_EQ(cycle.lastButton(), Qt::RightButton);
        EXPECT_EQ(cycle.menuCycle(), 0);
    }
}

TEST(BackdropMenuCycle, OnlyAReleaseAfterAPressCounts)
{
    BackdropMenuCycle cycle;
    EXPECT_EQ(cycle.release(Qt::RightButton, Qt::NoModifier, Inside, Area, true), BackdropMenu::None);
    EXPECT_EQ(cycle.lastButton(), Qt::NoButton);
    cycle.press();
    EXPECT_TRUE(cycle.pressed());
    EXPECT_EQ(cycle.release(Qt::LeftButton, Qt::NoModifier, Inside, Area, true), BackdropMenu::Tools);
    EXPECT_FALSE(cycle.pressed());
    EXPECT_EQ(cycle.release(Qt::LeftButton, Qt::NoModifier, Inside, Area, true), BackdropMenu::None);
    EXPECT_EQ(cycle.menuCycle(), 1);

    // A release outside the area uses up the press without changing the walk.
    cycle.press();
    EXPECT_EQ(cycle.release(Qt::LeftButton, Qt::NoModifier, {595, 10}, Area, true), BackdropMenu::None);
    EXPECT_FALSE(cycle.pressed());
    EXPECT_EQ(cycle.menuCycle(), 1);
}

TEST(BackdropMenuCycle, LeftButtonWalksThroughTheMenusThenHelpAndStartsOver)
{
    BackdropMenuCycle cycle;
    std::vector<BackdropMenu> seen;
    for (int i = 0; i < 7; ++i)
        seen.push_back(click(cycle, Qt::LeftButton));
    EXPECT_EQ(seen, (std::vector<BackdropMenu>{BackdropMenu::Tools, BackdropMenu::Setup, BackdropMenu::Windows,
                                               BackdropMenu::File, BackdropMenu::Help, BackdropMenu::Tools,
                                               BackdropMenu::Setup}));
    EXPECT_EQ(cycle.menuCycle(), 2);
}

TEST(BackdropMenuCycle, LeftButtonDoesNothingWithoutAutomaticMenus)
{
    BackdropMenuCycle cycle;
    EXPECT_EQ(click(cycle, Qt::LeftButton, Qt::NoModifier, Inside, false), BackdropMenu::None);
    EXPECT_EQ(cycle.menuCycle(), 0);
    EXPECT_EQ(click(cycle, Qt::MiddleButton), BackdropMenu::None);
    EXPECT_EQ(cycle.menuCycle(), 0);
    // The right button works either way.
    EXPECT_EQ(click(cycle, Qt::RightButton, Qt::ShiftModifier, Inside, false), BackdropMenu::Setup);
}

TEST(BackdropMenuCycle, FirstLeftClickAfterTheRightButtonOnlyAsksForHelp)
{
    BackdropMenuCycle cycle;
    EXPECT_EQ(click(cycle, Qt::LeftButton), BackdropMenu::Tools);
    EXPECT_EQ(click(cycle, Qt::RightButton, Qt::ControlModifier), BackdropMenu::Windows);
    EXPECT_EQ(click(cycle, Qt::LeftButton), BackdropMenu::Help);
    EXPECT_EQ(cycle.lastButton(), Qt::LeftButton);
    EXPECT_EQ(click(cycle, Qt::LeftButton), BackdropMenu::Tools);
    EXPECT_EQ(click(cycle, Qt::LeftButton), BackdropMenu::Setup);
}

TEST(BackdropMenuCycle, CommandsMoveTheWalk)
{
    struct Case {
        BackdropMenu commandFrom;
        BackdropMenu next;
    };
    const Case cases[] = {
        {BackdropMenu::Tools, BackdropMenu::Setup},
        {BackdropMenu::Setup, BackdropMenu::Tools},
        {BackdropMenu::File, BackdropMenu::Windows},
        {BackdropMenu::Windows, BackdropMenu::File},  // no move
        {BackdropMenu::Help, BackdropMenu::File},     // no move
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.commandFrom));
        BackdropMenuCycle cycle;
        cycle.setMenuCycle(3);
        cycle.commandUsed(c.commandFrom);
        EXPECT_EQ(click(cycle, Qt::LeftButton), c.next);
    }
}

TEST(BackdropMenuCycle, SetMenuCycleStaysInTheWalk)
{
    BackdropMenuCycle cycle;
    const std::pair<int, int> cases[] = {{0, 0}, {4, 4}, {5, 0}, {7, 2}, {-1, 4}};
    for (const auto& [set, got] : cases) {
        cycle.setMenuCycle(set);
        EXPECT_EQ(cycle.menuCycle(), got) << set;
    }
}

}  // namespace
}  // namespace orvell
