#include "controllers/Controllers.h"
#include "help/MessageTable.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

namespace orvell {
namespace {

// Answers the naming questions from a queue and records which were asked.
struct ScriptedAsk {
    explicit ScriptedAsk(std::deque<Answer> answers = {}) : answers(std::move(answers)) {}
    AskFn fn()
    {
        return [this](int number, bool withCancel) {
            asked.push_back({number, withCancel});
            if (answers.empty()) {
                ADD_FAILURE() << "unscripted question " << number;
                return Answer::Cancel;
            }
            const Answer next = answers.front();
            answers.pop_front();
            return next;
        };
    }
    std::deque<Answer> answers;
    std::vector<std::pair<int, bool>> asked;  // message number, with Cancel
};

TEST(Controllers, BuiltInListHas44EntriesInListOrder)
{
    const auto& list = builtInControllers();
    ASSERT_EQ(list.size(), 44u);

    const struct {
        size_t index;
        const char* name;
        int code;
        bool onOff;
        bool toggle;
    } cases[] = {
        {0, "MOD Wheel", 1, false, false},
        {4, "  Vol  ", 7, false, false},
        {7, "Expr esion", 11, false, false},
        {8, "Pitch Bend", 202, false, false},
        {9, "After Touch", 201, false, false},
        {15, "Bank MSB", 0, false, false},
        {23, "Patch Chg", 212, false, false},
        {25, "Hold Pedal", 64, true, true},
        {32, "Data Incr", 96, true, false},
        {34, "  All NtsOff", 120, true, false},
        {36, "Patch Down", 210, true, false},
        {40, "Push Butns", 213, true, true},
        {42, "PnlPtr Up", 215, true, false},
        {43, "MStart Stop", 207, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CtrlRecord& record = list[c.index];
        EXPECT_EQ(record.CtrlName, QString::fromLatin1(c.name));
        EXPECT_EQ(record.CtrlNo, c.code);
        EXPECT_EQ(record.IsOnOff, c.onOff);
        EXPECT_EQ(record.CanTogl, c.toggle);
    }

    std::set<int> codes;
    for (const CtrlRecord& record : list) {
        EXPECT_LE(record.CtrlName.size(), 13) << record.CtrlName.toStdString();
        EXPECT_TRUE(codes.insert(record.CtrlNo).second) << "code " << record.CtrlNo << " twice";
        // Only On/Off types have separate on and off values.
        EXPECT_TRUE(record.IsOnOff || !record.CanTogl) << record.CtrlName.toStdString();
    }
}

TEST(Controllers, FindLooksAtThePanelsOwnEntriesFirst)
{
    const CustomControllers mine{{64, QStringLiteral("Sus"), true, true}, {70, QStringLiteral("C#70 On/Off"), true, true}};
    const CustomControllers other;

    ASSERT_NE(findController(64, mine), nullptr);
    EXPECT_EQ(findController(64, mine)->CtrlName, "Sus");
    EXPECT_EQ(findController(64, other)->CtrlName, "Hold Pedal");
    EXPECT_EQ(findController(70, mine)->CtrlName, "C#70 On/Off");
    EXPECT_EQ(findController(70, other), nullptr);
    EXPECT_EQ(findController(7, mine)->CtrlName, "  Vol  ");
    EXPECT_EQ(findController(999, mine), nullptr);

    // The controller list shows the override in the built-in's place and
    // the new number after the built-in entries.
    const std::vector<CtrlRecord> choices = controllerChoices(mine);
    ASSERT_EQ(choices.size(), 45u);
    EXPECT_EQ(choices[25].CtrlName, "Sus");
    EXPECT_EQ(choices[44].CtrlName, "C#70 On/Off");
    EXPECT_EQ(controllerChoices(other), builtInControllers());
}

TEST(Controllers, CustomEntriesDoNotRedefineSpecialCodes)
{
    const CustomControllers custom{{202, QStringLiteral("Bender"), false, false}};
    EXPECT_EQ(findController(202, custom)->CtrlName, "Pitch Bend");
    EXPECT_EQ(controllerChoices(custom), builtInControllers());
}

TEST(Controllers, OneShotAndSwitchFollowTheRecord)
{
    const CustomControllers custom{{7, QStringLiteral("Vol Kick"), true, false}};
    const struct {
        int code;
        bool oneShot;
        bool isSwitch;
    } cases[] = {
        {300, true, false},   // no-op
        {64, false, true},    // Hold Pedal
        {96, true, false},    // Data Incr
        {120, true, false},   // All Notes Off
        {7, false, false},    // Volume
        {999, false, false},  // unknown
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(isOneShot(c.code, {}), c.oneShot);
        EXPECT_EQ(isSwitch(c.code, {}), c.isSwitch);
    }
    EXPECT_TRUE(isOneShot(7, custom));
    EXPECT_FALSE(isSwitch(7, custom));
}

TEST(Controllers, NamingAnUnlistedNumber)
{
    using Asked = std::vector<std::pair<int, bool>>;
    const struct {
        const char* label;
        int number;
        bool continuousOnly;
        std::deque<Answer> answers;
        std::optional<CtrlRecord> expected;
        Asked asked;
    } cases[] = {
        {"msb", 3, false, {}, CtrlRecord{3, "CC#3 MSB", false, false}, {}},
        {"msb continuous only", 31, true, {}, CtrlRecord{31, "CC#31 MSB", false, false}, {}},
        {"lsb", 35, false, {}, CtrlRecord{35, "CC#3 LSB", false, false}, {}},
        {"lsb 40", 40, false, {}, CtrlRecord{40, "CC#8 LSB", false, false}, {}},
        {"lsb top", 63, true, {}, CtrlRecord{63, "CC#31 LSB", false, false}, {}},
        {"switch range", 70, false, {}, CtrlRecord{70, "C#70 On/Off", true, true}, {}},
        {"switch range converted", 70, true, {Answer::Yes}, CtrlRecord{70, "C#70 Cont", false, false}, {{152, false}}},
        {"switch range refused", 70, true, {Answer::No}, std::nullopt, {{152, false}}},
        {"switch range top", 95, false, {}, CtrlRecord{95, "C#95 On/Off", true, true}, {}},
        {"continuous only", 100, true, {}, CtrlRecord{100, "C#100 Cont", false, false}, {}},
        {"continuous", 100, false, {Answer::Yes}, CtrlRecord{100, "C#100 Cont", false, false}, {{150, true}}},
        {"toggle", 100, false, {Answer::No, Answer::Yes}, CtrlRecord{100, "C#100 On/Off", true, true},
         {{150, true}, {151, true}}},
        {"one-shot", 127, false, {Answer::No, Answer::No}, CtrlRecord{127, "C#127 On/Off", true, false},
         {{150, true}, {151, true}}},
        {"cancel first", 100, false, {Answer::Cancel}, std::nullopt, {{150, true}}},
        {"cancel second", 96, false, {Answer::No, Answer::Cancel}, std::nullopt, {{150, true}, {151, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScriptedAsk ask(c.answers);
        EXPECT_EQ(nameUnlistedController(c.number, c.continuousOnly, ask.fn()), c.expected);
        EXPECT_EQ(ask.asked, c.asked);
        EXPECT_TRUE(ask.answers.empty());
    }
}

TEST(Controllers, NamingRefusesNumbersOutsideTheMidiRange)
{
    for (int number : {-1, 128, 300}) {
        ScriptedAsk ask;
        EXPECT_EQ(nameUnlistedController(number, false, ask.fn()), std::nullopt) << number;
        EXPECT_TRUE(ask.asked.empty());
    }
}

TEST(Controllers, CustomLineRoundTrips)
{
    const CtrlRecord sus{64, QStringLiteral("Sus"), true, true};
    EXPECT_EQ(formatCustomLine(sus), "64|Sus|-1|-1");
    EXPECT_EQ(parseCustomLine(QStringLiteral("64|Sus|-1|-1")), sus);

    const CtrlRecord records[] = {
        {100, QStringLiteral("C#100 On/Off"), true, false},
        {7, QStringLiteral("  Loud  "), false, false},
        {5, QString(), false, false},
    };
    for (const CtrlRecord& record : records) {
        SCOPED_TRACE(record.CtrlName.toStdString());
        EXPECT_EQ(parseCustomLine(formatCustomLine(record)), record);
    }
    EXPECT_EQ(formatCustomLine(records[0]), "100|C#100 On/Off|-1|0");
}

TEST(Controllers, CustomLineReadsOtherBooleanSpellings)
{
    const struct {
        const char* line;
        bool onOff;
        bool toggle;
    } cases[] = {
        {"64|Sus|True|False", true, false},
        {"64|Sus|false|true", false, true},
        {"64|Sus| -1 | 0 ", true, false},
        {"64|Sus|1|0", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto record = parseCustomLine(QString::fromLatin1(c.line));
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->CtrlNo, 64);
        EXPECT_EQ(record->CtrlName, "Sus");
        EXPECT_EQ(record->IsOnOff, c.onOff);
        EXPECT_EQ(record->CanTogl, c.toggle);
    }
}

TEST(Controllers, CustomLineRefusesOtherShapes)
{
    for (const char* line : {"64|Sus", "a|b|c|d", "64|Sus|-1|-1|x", "", "64|Sus|-1", "x64|Sus|-1|-1",
                             "64|Sus|yes|0", "64|Sus|-1|", "-1|Sus|0|0", "32768|Sus|0|0", "6.5|Sus|0|0"}) {
        EXPECT_EQ(parseCustomLine(QString::fromLatin1(line)), std::nullopt) << line;
    }
}

TEST(Controllers, RefusalMessagesForPanelDirectedCodes)
{
    const MessageTable messages;
    const struct {
        int code;
        int message;
        const char* firstLine;
    } cases[] = {
        {205, 132, "You must have Play Sequence Panels open to"},
        {210, 35, "You must have PatchList Panels open to"},
        {211, 35, "You must have PatchList Panels open to"},
        {212, 35, "You must have PatchList Panels open to"},
        {213, 128, "You must have Buttons Panels open to"},
        {214, 173, "You must have PanlPointer Panels open to"},
        {215, 173, "You must have PanlPointer Panels open to"},
        {216, 173, "You must have PanlPointer Panels open to"},
        {217, 260, "You must have entries in the Sys Ex table to"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(refusalMessage(c.code), c.message);
        EXPECT_EQ(messages[c.message].section(u'\r', 0, 0), QString::fromLatin1(c.firstLine));
    }
    for (int code : {0, 7, 64, 127, 201, 202, 206, 207, 300})
        EXPECT_EQ(refusalMessage(code), 0) << code;
}

}  // namespace
}  // namespace orvell
