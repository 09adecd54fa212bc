#include "panels/ArrangePanels.h"

#include <QRect>

#include <gtest/gtest.h>

#include <algorithm>

namespace orvell {
namespace {

using PC = PanelClass;

int groupRank(PC id)
{
    return static_cast<int>(std::find(kArrangeGroupOrder.begin(), kArrangeGroupOrder.end(), id) -
                            kArrangeGroupOrder.begin());
}

// Panels in reading order (rows top to bottom, left to right).
std::vector<size_t> readingOrder(const std::vector<QPoint>& at)
{
    std::vector<size_t> order(at.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return at[a].y() != at[b].y() ? at[a].y() < at[b].y() : at[a].x() < at[b].x();
    });
    return order;
}

TEST(ArrangePanels, GroupsFollowTheClassOrderAndKeepTheirPanelsTogether)
{
    // Given out of order on purpose, with two panels of three classes.
    const std::vector<ArrangeEntry> panels = {
        {PC::PatchGroup, {317, 266}}, {PC::VFaders, {190, 242}},    {PC::HFaders, {308, 161}},
        {PC::JstkCtrl, {231, 167}},   {PC::Buttons, {213, 134}},    {PC::PatchList, {206, 225}},
        {PC::PanlPointer, {262, 124}}, {PC::Sequencer, {274, 98}},  {PC::VFaders, {190, 242}},
        {PC::Buttons, {213, 134}},    {PC::Sequencer, {274, 98}},   {PC::HFaders, {308, 161}},
    };
    for (int width : {100000, 1200, 700, 400}) {
        SCOPED_TRACE(width);
        const std::vector<QPoint> at = arrangePanels(panels, width);
        ASSERT_EQ(at.size(), panels.size());

        const std::vector<size_t> order = readingOrder(at);
        for (size_t k = 1; k < order.size(); ++k) {
            const ArrangeEntry& before = panels[order[k - 1]];
            const ArrangeEntry& after = panels[order[k]];
            EXPECT_LE(groupRank(before.panelClass), groupRank(after.panelClass)) << k;
            // Within a class the given order holds.
            if (before.panelClass == after.panelClass) {
                EXPECT_LT(order[k - 1], order[k]);
            }
        }
        for (size_t i = 0; i < panels.size(); ++i) {
            const QRect rect(at[i], panels[i].size);
            EXPECT_GE(rect.left(), 0);
            EXPECT_GE(rect.top(), 0);
            EXPECT_LE(rect.right(), width - 1) << i;
            for (size_t j = i + 1; j < panels.size(); ++j)
                EXPECT_FALSE(rect.intersects(QRect(at[j], panels[j].size))) << i << " and " << j;
        }
    }
}

TEST(ArrangePanels, RowsWrapAtTheAreaWidthAndStackUnderTheTallest)
{
    const std::vector<ArrangeEntry> panels = {
        {PC::Buttons, {100, 50}}, {PC::Buttons, {100, 80}}, {PC::Buttons, {100, 60}},
        {PC::Buttons, {100, 40}}, {PC::Buttons, {100, 30}},
    };
    const std::vector<QPoint> at = arrangePanels(panels, 300);
    const std::vector<QPoint> expected = {{0, 0}, {100, 0}, {200, 0}, {0, 80}, {100, 80}};
    EXPECT_EQ(at, expected);
}

TEST(ArrangePanels, WhereAGroupStarts)
{
    struct Case {
        const char* what;
        std::vector<ArrangeEntry> panels;
        int width;
        std::vector<QPoint> expected;
    };
    const Case cases[] = {
        {"a group fitting the rest of the row follows on it",
         {{PC::Sequencer, {100, 40}}, {PC::Buttons, {100, 50}}, {PC::Buttons, {100, 50}}},
         300,
         {{0, 0}, {100, 0}, {200, 0}}},
        {"a group that would break but fits a row of its own starts a new row",
         {{PC::Sequencer, {150, 40}}, {PC::Buttons, {100, 50}}, {PC::Buttons, {100, 50}}},
         300,
         {{0, 0}, {0, 40}, {100, 40}}},
        {"a group wider than the area fills the row it is on",
         {{PC::Sequencer, {100, 40}}, {PC::Buttons, {200, 50}}, {PC::Buttons, {200, 50}}},
         300,
         {{0, 0}, {100, 0}, {0, 50}}},
        {"a panel wider than the area gets a row to itself",
         {{PC::Sequencer, {100, 40}}, {PC::Buttons, {500, 50}}, {PC::HFaders, {100, 60}}},
         300,
         {{0, 0}, {0, 40}, {0, 90}}},
        {"nothing to arrange", {}, 300, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(arrangePanels(c.panels, c.width), c.expected);
    }
}

TEST(ArrangePanels, TakesAnyGroupOrderAndPutsUnlistedClassesLast)
{
    const std::vector<ArrangeEntry> panels = {
        {PC::Sequencer, {10, 10}}, {PC::HFaders, {10, 10}}, {PC::Buttons, {10, 10}}, {PC::HFaders, {10, 10}}};
    const PanelClass order[] = {PC::HFaders, PC::Buttons};
    const std::vector<QPoint> expected = {{30, 0}, {0, 0}, {20, 0}, {10, 0}};
    EXPECT_EQ(arrangePanels(panels, 1000, order), expected);
}

TEST(TileWindows, GridCellsRowByRowWithTheWindowsKeptInside)
{
    // `count` windows of one size tiled over `area`.
    struct Case {
        const char* what;
        int count;
        QSize window, area;
        std::vector<QPoint> expected;
    };
    const Case cases[] = {
        {"room for all: the squarest grid", 4, {100, 50}, {400, 200}, {{0, 0}, {200, 0}, {0, 100}, {200, 100}}},
        {"an incomplete last row", 3, {100, 50}, {400, 200}, {{0, 0}, {200, 0}, {0, 100}}},
        {"too small: the grid that hides least, pulled back inside", 3, {300, 160}, {471, 260},
         {{0, 0}, {171, 0}, {0, 100}}},
        {"wide windows in a tall area stack", 3, {400, 60}, {420, 600}, {{0, 0}, {0, 200}, {0, 400}}},
        {"a window larger than the area keeps its corner in view", 1, {900, 900}, {400, 300}, {{0, 0}}},
        {"nothing to tile", 0, {100, 50}, {400, 300}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tileWindows(std::vector<QSize>(static_cast<size_t>(c.count), c.window), c.area), c.expected);
    }
}

TEST(KeepInside, MovesOnlyAsFarAsNeeded)
{
    struct Case {
        QRect window;
        QPoint expected;
    };
    const Case cases[] = {
        {{10, 20, 100, 50}, {10, 20}},    // inside already
        {{2000, 900, 100, 50}, {300, 250}},  // beyond the right and bottom edges
        {{350, 10, 100, 50}, {300, 10}},  // partly over the right edge
        {{-400, -30, 100, 50}, {0, 0}},   // above and left of the area
        {{50, 50, 600, 500}, {0, 0}},     // larger than the area
    };
    for (const Case& c : cases)
        EXPECT_EQ(keepInside(c.window, {400, 300}), c.expected) << c.window.x() << "," << c.window.y();
}

TEST(ArrangeIcons, RowsFillFromTheBottomLeftUpwards)
{
    const std::vector<QSize> icons(5, QSize(160, 30));
    const std::vector<QPoint> at = arrangeIcons(icons, {400, 300});
    const std::vector<QPoint> expected = {{0, 270}, {160, 270}, {0, 240}, {160, 240}, {0, 210}};
    EXPECT_EQ(at, expected);
    EXPECT_TRUE(arrangeIcons({}, {400, 300}).empty());
}

TEST(MatchingIds, SameIconInOrderWithTheActivePanelLast)
{
    struct Case {
        std::vector<int> icons;
        int active;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{33, 34, 33, 32, 33}, 2, {0, 4, 2}},
        {{33, 34, 33}, 1, {1}},  // nobody shares it
        {{-1, 36, -1}, 0, {2, 0}},  // panels without an icon match each other
        {{33}, 1, {}},
        {{33}, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active);
        EXPECT_EQ(matchingIdOrder(c.icons, c.active), c.expected);
    }
}

}  // namespace
}  // namespace orvell
