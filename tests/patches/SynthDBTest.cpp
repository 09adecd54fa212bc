#include "patches/SynthDB.h"

#include "help/MessageTable.h"
#include "patches/PatchDialogs.h"
#include "patches/PatchFile.h"
#include "patches/PatchFileRig.h"
#include "patches/PatchTestTarget.h"
#include "support/RecordingReporter.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

using test::ScriptedDialogs;
using test::TestTarget;
using Kind = ScriptedDialogs::Question::Kind;

TEST(SynthDB, GetChanTakesTheLowestFreeChannelOnThePortAndTheDrumChannelLast)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> used;  // (channel, port)
        int port;
        int expected;
    };
    std::vector<std::pair<int, int>> allButTen, all;
    for (int ch = 1; ch <= 16; ++ch) {
        all.push_back({ch, 1});
        if (ch != 10)
            allButTen.push_back({ch, 1});
    }
    const std::vector<Case> cases = {
        {"empty", {}, 1, 1},
        {"a gap", {{1, 1}, {3, 1}}, 1, 2},
        {"another port's channels do not count", {{1, 2}, {2, 2}}, 1, 1},
        {"nine taken skips ten", {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}}, 1, 11},
        {"only ten left", allButTen, 1, 10},
        {"none left", all, 1, 0},
        {"none left on 1 but 2 is free", all, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SynthDB db;
        for (const auto& [channel, port] : c.used)
            ASSERT_TRUE(db.AddSynth(QStringLiteral("S"), QString::number(channel), QString::number(port)));
        EXPECT_EQ(db.GetChan(QString::number(c.port)), c.expected);
    }
}

TEST(SynthDB, HoldsAtMostTheLimitAndRemembersItsFiles)
{
    SynthDB db;
    for (int i = 0; i < SynthDB::MaxSynths; ++i)
        ASSERT_TRUE(db.AddSynth(QString::number(i), "1", "1", i < 2 ? QStringLiteral("/f%1.ins").arg(i) : QString()));
    EXPECT_TRUE(db.isFull());
    EXPECT_FALSE(db.AddSynth("Extra", "1", "1"));
    EXPECT_EQ(db.count(), SynthDB::MaxSynths);
    db.AddSynthInstr(5, "Last", 0);
    EXPECT_EQ(db.GetBankLen(SynthDB::MaxSynths - 1), 1);
    EXPECT_EQ(db.GetBankLen(SynthDB::MaxSynths), 0);
    EXPECT_EQ(db.SynthFNames(), "0|/f0.ins|1|/f1.ins|");
}

TEST(SynthDB, SynthFNamesPairsAreReadAsWritten)
{
    using Pairs = std::vector<std::pair<QString, QString>>;
    const std::vector<std::pair<QString, Pairs>> cases = {
        {"", {}},
        {"A|/a.ins|B|/b.ins|", {{"A", "/a.ins"}, {"B", "/b.ins"}}},
        {"A|/a.ins|B|/b.ins", {{"A", "/a.ins"}, {"B", "/b.ins"}}},  // the last "|" left off
        {"A||B|/b.ins|", {{"B", "/b.ins"}}},                        // an empty field skips its pair
        {"A|/a.ins|B", {{"A", "/a.ins"}}},                          // half a pair
    };
    for (const auto& [value, pairs] : cases)
        EXPECT_EQ(parseSynthFNames(value), pairs) << value.toStdString();
}

TEST(SynthDB, RefusalsAskAfterTheThresholdWhichGrowsUpToTen)
{
    RefusalCount refusals;
    QString asked;
    for (int i = 0; i < 60; ++i)
        asked += refusals.refuse() ? u'Y' : u'.';
    // The 3rd, then 5 more, 7, 9, and from then on every 11th.
    EXPECT_EQ(asked, "..Y....Y......Y........Y..........Y..........Y..........Y...");
}

TEST(SynthDB, TheMultiHeaderIsNeededUnlessEveryEntryPlaysOnTheLabels)
{
    PatchEntries list;
    list.append({{"A", 1, "3", 1}, {"B", 2, "3", 1}});
    EXPECT_FALSE(needsMultiHeader(list, "3", "1"));
    EXPECT_TRUE(needsMultiHeader(list, "3", "2"));
    EXPECT_TRUE(needsMultiHeader(list, "Chan", "port"));
    list.append({{"C", 1, "4", 1}});
    EXPECT_TRUE(needsMultiHeader(list, "3", "1"));
    EXPECT_EQ(rowsPlayingOn(list, "3", 1), (std::vector<int>{0, 1}));
}

// The patch group's own Load button.
struct InstrumentLoader : ::testing::Test, test::PatchFileRig {
    InstrumentLoad load(const QByteArray& bytes) { return LoadInstrumentBytes(context, target, bytes); }
    TestTarget target;

    void SetUp() override
    {
        target.group = true;
        target.name = QStringLiteral("Patch Sub-Group");
        target.freeChannel = 4;
    }
};

const QByteArray FourBanks = "[One]\r\n1=A\r\n[Two]\r\n2=B\r\n[Three]\r\n3=C\r\n[Four]\r\n4=D\r\n";

TEST_F(InstrumentLoader, ThreeRefusedPortsAskWhetherToSearchOnAndNoStops)
{
    for (int i = 0; i < 3; ++i)
        dialogs.answer(QString());
    dialogs.answer(MsgAnswer::No);
    EXPECT_EQ(load(FourBanks), InstrumentLoad::Stopped);
    EXPECT_EQ(questions(), (QStringList{"Enter MIDI Out Port for One", "Enter MIDI Out Port for Two",
                                        "Enter MIDI Out Port for Three", msgs[66]}));
    EXPECT_EQ(dialogs.asked()[0].title, "Set MIDI Out Port...");
    EXPECT_EQ(dialogs.asked()[3].title, target.name);
    EXPECT_EQ(dialogs.asked()[3].buttons, MsgButtons::YesNo);
    // Nothing added, nothing shown again: the panel is as it was.
    EXPECT_TRUE(target.synths.empty());
    EXPECT_TRUE(target.instrs.empty());
    EXPECT_EQ(target.lastSynthShown, 0);
}

TEST_F(InstrumentLoader, YesToTheSearchGoesOnWithTheNextBank)
{
    for (int i = 0; i < 3; ++i)
        dialogs.answer(QString());
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(QStringLiteral("2"));  // Four's port
    dialogs.answer(QStringLiteral("6"));  // and channel
    EXPECT_EQ(load(FourBanks), InstrumentLoad::Synths);
    EXPECT_EQ(target.synths, (std::vector<TestTarget::Synth>{{"Four", "6", "2"}}));
    EXPECT_EQ(target.instrs, (std::vector<TestTarget::Instr>{{4, "D", 0}}));
    const auto& channelQuestion = dialogs.asked().back();
    EXPECT_EQ(channelQuestion.text, "Enter MIDI channel for Four");
    EXPECT_EQ(channelQuestion.title, "Set MIDI Channel...");
    EXPECT_EQ(target.lastSynthShown, 1);
}

TEST_F(InstrumentLoader, AnswersThatAreNoPortOrChannelCountAsRefusals)
{
    for (const char* port : {"x", "-1", "1.5"})
        dialogs.answer(QString::fromLatin1(port));
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(QStringLiteral("1"));
    dialogs.answer(QStringLiteral("17"));  // no channel
    load(FourBanks);
    EXPECT_TRUE(target.synths.empty());
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);
}

TEST_F(InstrumentLoader, ABankWithChannelAndPortAsksNothingAndOneWithoutFreeChannelsIsPassedOver)
{
    const QByteArray file = "; 3, 1    (last chan,port) @@\r\n[Full]\r\n1=A\r\n; 5, 2    (last chan,port) @@\r\n"
                            "[Room]\r\n2=B\r\n[Drum Kit]\r\n36=Kick\r\n";
    // GetChan answers per bank: none on the first, one on the second.
    struct ChanByPort : TestTarget {
        int GetChan(const QString&, const QString& port) override { return port == "1" ? 0 : 7; }
    } byPort;
    byPort.group = true;
    EXPECT_EQ(LoadInstrumentBytes(context, byPort, file), InstrumentLoad::Synths);
    EXPECT_EQ(questions(), QStringList{msgs[59] + " 1"});
    EXPECT_EQ(byPort.synths, (std::vector<TestTarget::Synth>{{"Room", "5", "2"}}));
    EXPECT_EQ(byPort.instrs, (std::vector<TestTarget::Instr>{{2, "B", 0}}));
}

TEST_F(InstrumentLoader, AFullDatabaseStopsWithTheSynthLimit)
{
    target.full = true;
    load("; 3, 1    (last chan,port) @@\r\n[One]\r\n1=A\r\n");
    EXPECT_EQ(questions(), QStringList{msgs[58]});
    EXPECT_TRUE(target.synths.empty());
    EXPECT_TRUE(target.instrs.empty());
}

const QByteArray MultiList = "; Multi-PatchList Chn/port on each line @@\r\n[Mix]\r\n48=Slow Strings 3, 1\r\n"
                             "36=Kick 10, 2\r\n";

TEST_F(InstrumentLoader, AMultiSynthListReplacesTheSubGroupOnlyWhenTheUserAgrees)
{
    const std::vector<PatchEntry> before = {{"Old", 7, "1", 1}};
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        target.entries.clear();
        target.entries.append(before);
        dialogs.clear();
        dialogs.answer(yes ? MsgAnswer::Yes : MsgAnswer::No);
        EXPECT_EQ(load(MultiList), yes ? InstrumentLoad::SubGroup : InstrumentLoad::Stopped);
        EXPECT_EQ(questions(), QStringList{msgs[81]});
        const std::vector<PatchEntry> mix = {{"Slow Strings", 48, "3", 1}, {"Kick", 36, "10", 2}};
        EXPECT_EQ(target.entries.all(), yes ? mix : before);
        EXPECT_TRUE(target.synths.empty());
        EXPECT_FALSE(target.initializing);
    }
}

TEST_F(InstrumentLoader, AFlatReadMakesNoSynthsAndASingleHeaderGivesEveryEntryItsChannelAndPort)
{
    struct Case {
        const char* what;
        QByteArray file;
        std::vector<PatchEntry> entries;
    };
    const std::vector<Case> cases = {
        {"no control line at all", "[Bank]\r\n1=A\r\n", {{"A", 1, "", 0}}},
        {"a single-synth header", "; 4, 2    (last chan,port) @@\r\n[Bank]\r\n1=A\r\n2=Brass 9, 1\r\n",
         {{"A", 1, "4", 2}, {"Brass", 2, "9", 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestTarget group;
        group.group = true;
        EXPECT_TRUE(LoadPatchBytes(context, group, c.file, {}, true, true));
        EXPECT_EQ(group.entries.all(), c.entries);
        EXPECT_TRUE(group.synths.empty());
        EXPECT_TRUE(group.instrs.empty());
    }
}

}  // namespace
}  // namespace orvell
