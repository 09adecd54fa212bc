#include "patches/PatchEntries.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvell {
namespace {

PatchEntry entry(const char* name, int prog, int port = 0) { return {QString::fromLatin1(name), prog, {}, port}; }

QStringList names(const PatchEntries& list)
{
    QStringList out;
    for (const PatchEntry& e : list.all())
        out << e.name;
    return out;
}

TEST(PatchEntries, PasteInsertsInOrderAndStopsAtTheFirstDuplicate)
{
    struct Case {
        const char* what;
        int row;
        std::vector<PatchEntry> clip;
        bool samePort;
        QStringList after;
        QString refused, holder;
    };
    const std::vector<Case> cases = {
        {"before the second", 1, {entry("x", 10), entry("y", 11)}, false, {"a", "x", "y", "b"}, {}, {}},
        {"past the end appends", 99, {entry("x", 10)}, false, {"a", "b", "x"}, {}, {}},
        {"a program already there changes nothing", 0, {entry("x", 2)}, false, {"a", "b"}, "x", "b"},
        {"entries before the duplicate stay", 2, {entry("x", 10), entry("y", 1)}, false, {"a", "b", "x"}, "y", "a"},
        {"a duplicate within the paste", 2, {entry("x", 10), entry("y", 10)}, false, {"a", "b", "x"}, "y", "x"},
        {"another port is no duplicate in a group", 2, {entry("x", 1, 5)}, true, {"a", "b", "x"}, {}, {}},
        {"the same port is", 2, {entry("x", 1, 0)}, true, {"a", "b"}, "x", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PatchEntries list;
        list.append({entry("a", 1), entry("b", 2)});
        const PasteResult result = pasteEntries(list, c.row, c.clip, c.samePort);
        EXPECT_EQ(names(list), c.after);
        EXPECT_EQ(result.refused ? result.refused->name : QString(), c.refused);
        EXPECT_EQ(result.holderName, c.holder);
        EXPECT_EQ(result.inserted, list.count() - 2);
    }
}

TEST(PatchEntries, RemoveTakesAnyRowsOnce)
{
    PatchEntries list;
    list.append({entry("a", 1), entry("b", 2), entry("c", 3), entry("d", 4), entry("e", 5)});
    list.remove({4, 1, 2, 2, -1, 9});
    EXPECT_EQ(names(list), (QStringList{"a", "d"}));
    EXPECT_EQ(list.data(list.index(1), PatchEntries::ProgRole).toInt(), 4);
    EXPECT_EQ(list.data(list.index(1)).toString(), "d");
}

}  // namespace
}  // namespace orvell
