#include "tools/IconFileTable.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace orvell;

namespace {

TEST(IconFileTable, StoreListsTheReplacedSlotsInOrderJoinedByBars)
{
    IconFileTable table;
    EXPECT_EQ(table.StoreIcons(), "");
    table.set(10, QStringLiteral("/p/ten.png"));
    table.set(3, QStringLiteral("/p/three.bmp"));
    // The last eight slots and anything outside the table are never replaced.
    for (int slot : {32, 39, 40, -1})
        table.set(slot, QStringLiteral("/p/x.bmp"));
    EXPECT_EQ(table.StoreIcons(), "3, /p/three.bmp|10, /p/ten.png");
    EXPECT_EQ(table.file(32), "");
    table.clear(3);
    EXPECT_EQ(table.StoreIcons(), "10, /p/ten.png");
}

TEST(IconFileTable, EntriesSplitAtTheFirstCommaAndOnlySlotsZeroToThirtyOneCount)
{
    using Entry = std::optional<std::pair<int, QString>>;
    const std::vector<std::pair<QString, Entry>> cases = {
        {QStringLiteral("3, /p/a.bmp"), std::pair{3, QStringLiteral("/p/a.bmp")}},
        {QStringLiteral(" 31 ,  /p/a, b.ico  "), std::pair{31, QStringLiteral("/p/a, b.ico")}},
        {QStringLiteral("0,/p/a.bmp"), std::pair{0, QStringLiteral("/p/a.bmp")}},
        {QStringLiteral("32, /p/a.bmp"), std::nullopt},
        {QStringLiteral("-1, /p/a.bmp"), std::nullopt},
        {QStringLiteral("x, /p/a.bmp"), std::nullopt},
        {QStringLiteral("3 /p/a.bmp"), std::nullopt},
        {QStringLiteral("3, "), std::nullopt},
        {QString(), std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(IconFileTable::parseEntry(text), expected);
    }
}

TEST(IconFileTable, UnpackReadsBackWhatStoreWroteEvenWithBarsInPaths)
{
    IconFileTable table;
    table.set(3, QStringLiteral("/p/a|b.bmp"));
    table.set(10, QStringLiteral("/p/c.png"));
    const auto entries = IconFileTable::unpack(table.StoreIcons());
    const std::vector<std::pair<int, QString>> expected = {{3, QStringLiteral("/p/a|b.bmp")},
                                                           {10, QStringLiteral("/p/c.png")}};
    EXPECT_EQ(entries, expected);
    // Damaged entries are left out, the good ones kept.
    const std::vector<std::pair<int, QString>> good = {{5, QStringLiteral("/q.bmp")}};
    EXPECT_EQ(IconFileTable::unpack(QStringLiteral("|99, /x.bmp|junk|5, /q.bmp")), good);
}

}  // namespace
