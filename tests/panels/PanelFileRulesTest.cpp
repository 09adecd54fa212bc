#include "panels/PanelFileRules.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

TEST(PanelFileRules, DefaultFileNameDropsTheCharactersFileNamesCannotHold)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Pads: A/B"), QStringLiteral("Pads: AB")},
        {QStringLiteral("a\\b/c?d*e&f@g'h\"i"), QStringLiteral("abcdefghi")},
        {QStringLiteral("  Lead (Ch 3)  "), QStringLiteral("  Lead (Ch 3)  ")},
        {QStringLiteral("\\/?*&@'\""), QString()},
        {QStringLiteral("Bässe"), QStringLiteral("Bässe")},
    };
    for (const auto& [caption, expected] : cases)
        EXPECT_EQ(defaultPanelFileName(caption), expected) << caption.toStdString();
}

TEST(PanelFileRules, LoadedTagKeepsItsNumberUnlessTaken)
{
    struct Case {
        const char* name;
        QString stored;
        int counter;
        QStringList others;
        QString tag;
        int newCounter;
        bool renumbered;
    };
    const Case cases[] = {
        {"free and below the counter", "3", 9, {"1", "2"}, "3", 9, false},
        {"above the counter raises it", "12", 9, {"1", "2"}, "12", 12, false},
        {"taken: next tag", "2", 9, {"1", "2"}, "10", 10, true},
        {"taken and above the counter", "12", 9, {"12"}, "13", 13, true},
        {"not a number and free", "x", 4, {"1"}, "x", 4, false},
        {"empty and taken", "", 4, {""}, "5", 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedTag result = checkLoadedTag(c.stored, c.counter, c.others);
        EXPECT_EQ(result.tag, c.tag);
        EXPECT_EQ(result.counter, c.newCounter);
        EXPECT_EQ(result.renumbered, c.renumbered);
    }
}

}  // namespace
}  // namespace orvell
