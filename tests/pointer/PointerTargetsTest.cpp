#include "pointer/PointerTargets.h"

#include <gtest/gtest.h>

#include <QSet>

#include <variant>
#include <vector>

namespace orvell {
namespace {

struct Name {
    const char* value;
};
struct Tag {
    const char* value;
};
using Key = std::variant<Name, Tag>;

PointerTargets loaded(const std::vector<Key>& keys)
{
    PointerTargets targets;
    for (const Key& key : keys) {
        if (const auto* name = std::get_if<Name>(&key))
            targets.loadName(QString::fromLatin1(name->value));
        else
            targets.loadTag(QString::fromLatin1(std::get<Tag>(key).value));
    }
    return targets;
}

TEST(PointerTargets, FilePairsBecomeEntriesInOrder)
{
    struct Case {
        const char* what;
        std::vector<Key> keys;
        QList<PointerEntry> entries;
    };
    const std::vector<Case> cases = {
        {"three pairs", {Name{"A"}, Tag{"4"}, Name{"B"}, Tag{"7"}, Name{"C"}, Tag{"2"}}, {{"A", "4"}, {"B", "7"}, {"C", "2"}}},
        {"a name without its tag", {Name{"A"}, Name{"B"}, Tag{"7"}}, {{"A", ""}, {"B", "7"}}},
        {"a tag without its name", {Tag{"3"}, Name{"B"}, Tag{"7"}, Tag{"9"}}, {{"", "3"}, {"B", "7"}, {"", "9"}}},
        {"a name that is a number", {Name{"12"}, Tag{"12"}}, {{"12", "12"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(loaded(c.keys).entries(), c.entries) << c.what;
}

TEST(PointerTargets, CheckDropsTheGoneThenTheRepeated)
{
    struct Case {
        const char* what;
        QList<PointerEntry> before;
        QList<PointerEntry> after;
        int dropped;
        QStringList repeated;
    };
    const QSet<QString> open = {"1", "2", "3"};
    const std::vector<Case> cases = {
        {"all valid", {{"A", "1"}, {"B", "2"}}, {{"A", "1"}, {"B", "2"}}, 0, {}},
        {"one gone", {{"A", "1"}, {"X", "8"}, {"B", "2"}}, {{"A", "1"}, {"B", "2"}}, 1, {}},
        {"all gone", {{"X", "8"}, {"Y", ""}}, {}, 2, {}},
        {"a repeat keeps the first", {{"A", "1"}, {"B", "2"}, {"A2", "1"}}, {{"A", "1"}, {"B", "2"}}, 0, {"A2"}},
        {"gone and repeated", {{"X", "9"}, {"C", "3"}, {"C", "3"}, {"C", "3"}}, {{"C", "3"}}, 1, {"C", "C"}},
    };
    for (const Case& c : cases) {
        PointerTargets targets;
        for (const PointerEntry& entry : c.before)
            targets.add(entry.name, entry.tag);
        const PointerTargets::Check result = targets.check([&](const QString& tag) { return open.contains(tag); });
        EXPECT_EQ(targets.entries(), c.after) << c.what;
        EXPECT_EQ(result.dropped, c.dropped) << c.what;
        EXPECT_EQ(result.repeated, c.repeated) << c.what;
    }
}

TEST(PointerTargets, EraseRemovesEveryEntryOfTheTagAndNothingElse)
{
    PointerTargets targets = loaded({Name{"A"}, Tag{"1"}, Name{"B"}, Tag{"2"}, Name{"A again"}, Tag{"1"}});
    EXPECT_EQ(targets.erase(QStringLiteral("5")), 0);
    EXPECT_EQ(targets.erase(QStringLiteral("1")), 2);
    EXPECT_EQ(targets.entries(), (QList<PointerEntry>{{"B", "2"}}));
    EXPECT_EQ(targets.indexOf(QStringLiteral("2")), 0);
    EXPECT_EQ(targets.indexOf(QStringLiteral("1")), -1);
    // A tag read after an erase starts an entry of its own.
    targets.loadTag(QStringLiteral("6"));
    EXPECT_EQ(targets.entries(), (QList<PointerEntry>{{"B", "2"}, {"", "6"}}));
}

}  // namespace
}  // namespace orvell
