#include "panels/Placement.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

TEST(Placement, FirstPanelGoesTopLeft)
{
    EXPECT_EQ(findPanelSpot({400, 300}, {100, 80}, {}), QPoint(0, 0));
}

TEST(Placement, PanelsInARowLandSideBySideWithoutOverlap)
{
    const QSize area(400, 300);
    const QSize panel(100, 80);
    std::vector<QRect> placed;
    for (int i = 0; i < 6; ++i) {
        auto spot = findPanelSpot(area, panel, placed);
        ASSERT_TRUE(spot) << i;
        const QRect rect(*spot, panel);
        for (const QRect& other : placed)
            EXPECT_FALSE(rect.intersects(other)) << i;
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(rect)) << i;
        placed.push_back(rect);
    }
    EXPECT_EQ(placed[1].topLeft(), QPoint(100, 0));  // beside, touching
    EXPECT_EQ(placed[4].topLeft(), QPoint(0, 80));   // the row is full: below
}

TEST(Placement, StepsInQuarterPanels)
{
    // A window in the corner leaves the first free spot a quarter step further.
    const auto spot = findPanelSpot({400, 300}, {100, 80}, {QRect(0, 0, 30, 10)});
    EXPECT_EQ(spot, QPoint(50, 0));
}

TEST(Placement, NoRoomKeepsTheDefaultPosition)
{
    struct Case {
        QSize area;
        std::vector<QRect> occupied;
    };
    const Case cases[] = {
        {{90, 300}, {}},                      // narrower than the panel
        {{400, 70}, {}},                      // lower than the panel
        {{200, 160}, {QRect(0, 0, 200, 160)}},  // all taken
    };
    for (const Case& c : cases)
        EXPECT_FALSE(findPanelSpot(c.area, {100, 80}, c.occupied));
    EXPECT_FALSE(findPanelSpot({400, 300}, {0, 80}, {}));
}

}  // namespace
}  // namespace orvell
