#include "help/HelpTopics.h"
#include "help/MessageTable.h"
#include "help/TextSearch.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace orvell;

namespace {

struct TopicCase {
    int message;
    std::optional<int> topic;
};

// From the last topic down to the first, with the ends of every range, the
// numbers that two rows share, and numbers no row names.
TEST(HelpTopics, MessageNumbersChooseTheTopicOfTheFirstMatchingRowFromTheLast)
{
    const std::vector<TopicCase> cases = {
        {130, 25}, {6, 24},   {5, 23},   {3, 22},   {209, 22}, {211, 22}, {2, 21},   {110, 20}, {112, 20},
        {122, 20}, {145, 20}, {103, 19}, {107, 19}, {116, 19}, {123, 19}, {223, 19}, {4, 18},   {1, 17},
        {206, 16}, {174, 15}, {176, 15}, {192, 15}, {193, 15}, {195, 15}, {199, 15}, {140, 14}, {84, 13},
        {118, 12}, {32, 11},  {188, 11}, {19, 10},  {87, 10},  {21, 9},   {80, 8},   {92, 8},   {133, 8},
        {89, 7},   {105, 7},  {119, 7},  {28, 6},   {31, 6},   {33, 6},   {34, 6},   {100, 6},  {154, 5},
        {162, 5},  {147, 4},  {149, 4},  {163, 4},  {52, 3},   {53, 3},   {86, 3},   {106, 3},  {22, 2},
        {26, 2},   {88, 2},   {104, 2},  {124, 2},  {113, 1},  {0, 0},
        // Nothing changes for these.
        {27, {}}, {7, {}}, {35, {}}, {146, {}}, {153, {}}, {164, {}}, {175, {}}, {194, {}},
        {208, {}}, {212, {}}, {-1, {}}, {10000, {}},
    };
    for (const TopicCase& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(helpTopicForMessage(c.message), c.topic);
    }
}

TEST(HelpTopics, AHintFindsTheLongestMessageItStartsWith)
{
    MessageTable messages;
    struct HintCase {
        QString hint;
        std::optional<int> message;
    };
    const std::vector<HintCase> cases = {
        // A panel's hover text: its class text and an ending.
        {messages[105] + QStringLiteral("s. ") + messages[140], 105},
        {messages[80], 80},
        // Texts of the menu numbers never count, nor a prefix too short to mean anything.
        {messages[5] + QStringLiteral("Port 2"), {}},
        {QStringLiteral("Show ") + messages[133], {}},
        {QStringLiteral("3: ") + messages[92], {}},
        {QString(), {}},
    };
    for (const HintCase& c : cases) {
        SCOPED_TRACE(c.hint.toStdString());
        EXPECT_EQ(hintMessageNumber(messages, c.hint), c.message);
    }
}

TEST(HelpTopics, TopicTextJoinsItsLinesWithCrLfWhateverTheFileUsed)
{
    EXPECT_EQ(helpTextFromBytes("one\r\ntwo\nthree\rfour\r\n"), "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(helpTextFromBytes("caf\xe9"), QStringLiteral("caf\u00e9"));  // an older file's Windows-1252
    EXPECT_EQ(helpTextFromBytes(""), "");
}

TEST(TextSearch, FindsEachOccurrenceInTurnIgnoringCaseThenWrapsToTheFirst)
{
    const QString text = QStringLiteral("Fader one.\r\nA fader two; FADER three.");
    TextSearch search;
    EXPECT_EQ(search.next(text, QStringLiteral("fader")), 0);
    EXPECT_EQ(search.next(text, QStringLiteral("fader")), 14);
    EXPECT_EQ(search.next(text, QStringLiteral("Fader")), 25);
    EXPECT_EQ(search.next(text, QStringLiteral("fader")), 0);  // past the last: the first again
    // The next search starts one character after the previous find, so matches may overlap.
    TextSearch overlap;
    EXPECT_EQ(overlap.next(QStringLiteral("aaa"), QStringLiteral("aa")), 0);
    EXPECT_EQ(overlap.next(QStringLiteral("aaa"), QStringLiteral("aa")), 1);
    EXPECT_EQ(overlap.next(QStringLiteral("aaa"), QStringLiteral("aa")), 0);
}

TEST(TextSearch, AnAbsentOrEmptyTextIsNotFoundAndAShorterTextWraps)
{
    TextSearch search;
    EXPECT_EQ(search.next(QStringLiteral("abc"), QStringLiteral("zz")), std::nullopt);
    EXPECT_EQ(search.next(QStringLiteral("abc"), QString()), std::nullopt);
    EXPECT_EQ(search.next(QStringLiteral("abc abc"), QStringLiteral("abc")), 0);
    EXPECT_EQ(search.next(QStringLiteral("abc abc"), QStringLiteral("abc")), 4);
    // The text changed under the search (another topic): still found from its start.
    EXPECT_EQ(search.next(QStringLiteral("abc"), QStringLiteral("abc")), 0);
    search.reset();
    EXPECT_EQ(search.next(QStringLiteral("xabc"), QStringLiteral("abc")), 1);
}

}  // namespace
