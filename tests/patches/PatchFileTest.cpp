#include "patches/PatchFile.h"

#include "help/MessageTable.h"
#include "patches/PatchDialogs.h"
#include "patches/PatchEntries.h"
#include "patches/PatchTarget.h"
#include "patches/PatchFileRig.h"
#include "patches/PatchTestTarget.h"
#include "support/FileSizeLimit.h"
#include "support/RecordingReporter.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace orvell {
namespace {

using test::ScriptedDialogs;
using test::TestTarget;

struct PatchFile : ::testing::Test, test::PatchFileRig {
    bool load(TestTarget& target, const QByteArray& bytes, const QString& wanted = {}, bool group = false,
              bool flat = false)
    {
        return LoadPatchBytes(context, target, bytes, wanted, group, flat);
    }
};

const QByteArray InsFile =
    "; ----------------------------------------------------------------------\r\n"
    "; Instrument definitions\r\n"
    "; ----------------------------------------------------------------------\r\n"
    ".Patch Names\r\n"
    "\r\n"
    "[General MIDI]\r\n"
    "0=Acoustic Grand Piano\r\n"
    "1=Bright Acoustic Piano\r\n"
    "\r\n"
    "[General MIDI Drums]\r\n"
    "0=Standard\r\n"
    "; ----------------------------------------------------------------------\r\n"
    ".Note Names\r\n"
    "[General MIDI Drums]\r\n"
    "35=Acoustic Bass Drum\r\n"
    ".Controller Names\r\n"
    "[Standard]\r\n"
    "7=Volume\r\n"
    "; ----------------------------------------------------------------------\r\n"
    ".Instrument Definitions\r\n"
    "[General MIDI]\r\n"
    "Patch[*]=General MIDI\r\n";

struct ListCase {
    const char* what;
    QByteArray file;
    QStringList entries;
    QString chan = QStringLiteral("Chan");
    QString port = QStringLiteral("port");
    QString name = QStringLiteral("Patch List");
};

TEST_F(PatchFile, PlainListsReadAsTheLineRulesSay)
{
    const std::vector<ListCase> cases = {
        {"only entry lines", "0=Piano\r\n1=Bright\r\n", {"0=Piano", "1=Bright"}},
        {"three digits in, four and a leading = out", "128=High\r\n1000=Long\r\n=None\r\n5=Five\r\n",
         {"128=High", "5=Five"}},
        {"keys that are no numbers, lines without =", "abc=x\r\nPatch[*]=y\r\nplain text\r\n7=Seven",
         {"7=Seven"}},
        {"header and bank set channel, port and name", "; 10, 2    (last chan,port) @@\r\n[Strings]\r\n48=Slow\r\n",
         {"48=Slow"}, "10", "2", "Strings"},
        {"channel 17 sets the port only", "; 17, 1    (last chan,port) @@\r\n[Synth]\r\n0=A\r\n", {"0=A"}, "Chan",
         "1", "Synth"},
        {"a non-numeric channel ends the header", "; x, 2    (last chan,port) @@\r\n[Synth]\r\n0=A\r\n", {"0=A"},
         "Chan", "port", "Synth"},
        {"a comma too early is no header", ";,5 @@\r\n[S]\r\n0=A\r\n", {"0=A"}, "Chan", "port", "S"},
        {"ports above 99 keep their digits", "; 1, 100    (last chan,port) @@\r\n[S]\r\n0=A\r\n", {"0=A"}, "1",
         "100", "S"},
        {"a control line between header and bank clears them",
         "; 10, 2    (last chan,port) @@\r\n; note\r\n[S]\r\n0=A\r\n", {"0=A"}, "Chan", "port", "S"},
        {"BankName renames", "[X]\r\nBankName=Renamed\r\n1=A\r\n", {"1=A"}, "Chan", "port", "Renamed"},
        {"drum banks skipped", "[Piano]\r\n0=P\r\n[Rock DRUM kit]\r\n35=Kick\r\n", {"0=P"}, "Chan", "port", "Piano"},
        {"only the patch names section", InsFile, {"0=Acoustic Grand Piano", "1=Bright Acoustic Piano"}, "Chan",
         "port", "General MIDI"},
        {"LF and lone CR end lines too", "0=A\n1=B\r2=C\r\n\r\n3=D", {"0=A", "1=B", "2=C", "3=D"}},
        {"Windows-1252 bytes", "0=Caf\xe9 Piano\r\n", {QStringLiteral("0=Caf\u00e9 Piano")}},
        {"a program written with a blank", " 9=Nine\r\n", {"9=Nine"}},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestTarget target;
        dialogs.clear();
        EXPECT_TRUE(load(target, c.file));
        EXPECT_EQ(target.lines(), c.entries);
        EXPECT_EQ(target.chan, c.chan);
        EXPECT_EQ(target.port, c.port);
        EXPECT_EQ(target.name, c.name);
        EXPECT_TRUE(target.wasInitializing);
        EXPECT_FALSE(target.initializing);
        EXPECT_TRUE(dialogs.asked().empty()) << questions().join(u'|').toStdString();
    }
}

const QByteArray MultiFile = "; Multi-PatchList Chn/port on each line @@\r\n"
                             "[Strings]\r\n"
                             "48=Slow Strings 3, 1\r\n"
                             "49=Tremolo 10, 2\r\n"
                             "[Drum Sounds]\r\n"
                             "36=Kick 10, 1\r\n"
                             "50=Just A Name\r\n";

TEST_F(PatchFile, APatchListRefusesAMultiSynthListAndKeepsWhatItHad)
{
    TestTarget target;
    target.entries.append({{QStringLiteral("Kept"), 5, {}, 0}});
    EXPECT_TRUE(load(target, "[Before]\r\n1=Early\r\n" + MultiFile));
    EXPECT_EQ(target.lines(), QStringList{"5=Kept"});
    EXPECT_EQ(target.name, "Patch List");
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].text, msgs[46]);
    EXPECT_EQ(dialogs.asked()[0].title, "Patch List");
    EXPECT_EQ(dialogs.asked()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(target.initializing);
}

TEST_F(PatchFile, GroupModeReadsAMultiSynthListWithItsChannelsAndKeepsDrums)
{
    TestTarget target;
    target.group = true;
    EXPECT_TRUE(load(target, MultiFile, {}, true));
    const std::vector<PatchEntry> expected = {{"Slow Strings", 48, "3", 1},
                                              {"Tremolo", 49, "10", 2},
                                              {"Kick", 36, "10", 1},
                                              {"Just A Name", 50, "", 0}};
    EXPECT_EQ(target.entries.all(), expected);
    EXPECT_EQ(target.selected, 0);
    EXPECT_EQ(reporter.fields[0].trimmed(), msgs[44]);
    EXPECT_EQ(reporter.fields[1].trimmed(), msgs[45]);
    EXPECT_TRUE(target.synths.empty());
    EXPECT_EQ(target.lastSynthShown, 0);
}

TEST_F(PatchFile, FlatModeMakesAPlainListMultiSynth)
{
    TestTarget target;
    target.group = true;
    EXPECT_TRUE(load(target, "; plain list\r\n[My Drums]\r\n36=Kick 10, 1\r\n", {}, true, true));
    const std::vector<PatchEntry> expected = {{"Kick", 36, "10", 1}};
    EXPECT_EQ(target.entries.all(), expected);
    EXPECT_TRUE(target.synths.empty());
}

TEST_F(PatchFile, APatchGroupTargetKeepsTheHeaderChannelPerEntry)
{
    TestTarget target;
    target.group = true;
    EXPECT_TRUE(load(target, "; 4, 2    (last chan,port) @@\r\n7=Seven\r\n"));
    const std::vector<PatchEntry> expected = {{"Seven", 7, "4", 2}};
    EXPECT_EQ(target.entries.all(), expected);
}

TEST_F(PatchFile, GroupModeMakesEachBankASynth)
{
    TestTarget target;
    target.group = true;
    target.freeChannel = 6;
    EXPECT_TRUE(load(target, "; 3, 1    (last chan,port) @@\r\n[SynthA]\r\n0=Piano\r\n1=Organ\r\n[SynthB]\r\n0=Bass\r\n"
                             "[Drums]\r\n0=Kit\r\n",
                     {}, true));
    const std::vector<TestTarget::Synth> synths = {{"SynthA", "3", "1"}, {"SynthB", "3", "1"}};
    const std::vector<TestTarget::Instr> instrs = {{0, "Piano", 0}, {1, "Organ", 1}, {0, "Bass", 0}};
    EXPECT_EQ(target.synths, synths);
    EXPECT_EQ(target.instrs, instrs);
    EXPECT_EQ(target.lastSynthShown, 1);
    EXPECT_TRUE(dialogs.asked().empty());
}

TEST_F(PatchFile, GroupModeAsksForAMissingChannelAndPortOrSkipsTheBank)
{
    for (const bool answered : {true, false}) {
        SCOPED_TRACE(answered);
        TestTarget target;
        target.group = true;
        if (answered) {
            target.askedChan = "5";
            target.askedPort = "2";
        }
        dialogs.clear();
        EXPECT_TRUE(load(target, "[SynthC]\r\n0=X\r\n", {}, true));
        ASSERT_EQ(dialogs.asked().size(), 1u);
        EXPECT_EQ(dialogs.asked()[0].text, "SynthC" + msgs[63]);
        EXPECT_EQ(dialogs.asked()[0].title, msgs[120]);
        EXPECT_EQ(target.synths.size(), answered ? 1u : 0u);
        EXPECT_EQ(target.instrs.size(), answered ? 1u : 0u);
    }
}

TEST_F(PatchFile, GroupModeStopsWhenNoChannelIsLeft)
{
    TestTarget target;
    target.group = true;
    target.freeChannel = 0;
    EXPECT_TRUE(load(target, "; 3, 1    (last chan,port) @@\r\n[SynthA]\r\n0=Piano\r\n", {}, true));
    EXPECT_TRUE(target.synths.empty());
    EXPECT_TRUE(target.instrs.empty());
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].text, msgs[59]);
    EXPECT_EQ(target.lastSynthShown, 1);
    EXPECT_FALSE(target.initializing);
}

const QByteArray ThreeBanks = "[Alpha]\r\n1=A1\r\n[Beta]\r\n2=B1\r\n3=B2\r\n[Gamma]\r\n4=G1\r\n";

TEST_F(PatchFile, TheWantedBankLoadsAlone)
{
    TestTarget target;
    target.name = "Beta";
    EXPECT_TRUE(load(target, ThreeBanks, "Beta"));
    EXPECT_EQ(target.lines(), (QStringList{"2=B1", "3=B2"}));
    EXPECT_TRUE(dialogs.asked().empty());
}

TEST_F(PatchFile, AMissingWantedBankTellsAndAsksBankByBank)
{
    TestTarget target;
    target.name = "Zeta";
    dialogs.answer(MsgAnswer::Ok);  // message 127
    dialogs.answer(MsgAnswer::No);
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::Cancel);
    EXPECT_TRUE(load(target, ThreeBanks, "Zeta"));
    EXPECT_EQ(target.lines(), (QStringList{"2=B1", "3=B2"}));
    EXPECT_EQ(target.name, "Beta");
    EXPECT_EQ(questions(), (QStringList{msgs[127], "Alpha\r" + msgs[126], "Beta\r" + msgs[126],
                                        "Gamma\r" + msgs[126]}));
    for (const auto& q : dialogs.asked())
        EXPECT_EQ(q.title, "Zeta");
    EXPECT_FALSE(target.initializing);
}

TEST_F(PatchFile, AMissingWantedBankInAOneBankFileLoadsItWithoutAsking)
{
    TestTarget target;
    EXPECT_TRUE(load(target, "[Only]\r\n1=A\r\n[Drums]\r\n2=Kit\r\n", "Other"));
    EXPECT_EQ(target.lines(), QStringList{"1=A"});
    EXPECT_TRUE(dialogs.asked().empty());
}

TEST_F(PatchFile, WithoutAWantedBankSeveralBanksAreAskedAbout)
{
    TestTarget target;
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::No);
    dialogs.answer(MsgAnswer::Yes);
    EXPECT_TRUE(load(target, ThreeBanks));
    EXPECT_EQ(target.lines(), (QStringList{"1=A1", "4=G1"}));
    EXPECT_EQ(dialogs.asked().size(), 3u);
}

TEST_F(PatchFile, AFileThatCannotBeReadIsReportedAndKeepsTheEntries)
{
    QTemporaryDir dir;
    const QString paths[] = {dir.filePath(QStringLiteral("missing.ins")), dir.path()};
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        TestTarget target;
        target.entries.append({{QStringLiteral("Kept"), 5, {}, 0}});
        dialogs.clear();
        EXPECT_FALSE(LoadPatchFile(context, target, path, {}, false, false));
        EXPECT_EQ(target.lines(), QStringList{"5=Kept"});
        ASSERT_EQ(dialogs.asked().size(), 1u);
        EXPECT_TRUE(dialogs.asked()[0].text.startsWith("Error loading " + path + "\r"));
        EXPECT_TRUE(dialogs.asked()[0].text.endsWith(u')'));
        EXPECT_EQ(dialogs.asked()[0].title, "Load Patch File");
    }
}

TEST(MultiSynthValue, SplitsFromTheRight)
{
    struct Case {
        QString value, name, channel, port;
    };
    const std::vector<Case> cases = {
        {"Slow Strings 3, 1", "Slow Strings", "3", "1"},
        {"Tremolo 10, 2", "Tremolo", "10", "2"},
        {"Bass 3, 12  ", "Bass", "3", "12"},
        {"No comma here", "No comma here", "", ""},
        {"Pad", "Pad", "", ""},
        {"A 1,2", "A 1,2", "", ""},
        {"Lead,1", "Lead,1", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        const MultiSynthValue parts = splitMultiSynthValue(c.value);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.channel, c.channel);
        EXPECT_EQ(parts.port, c.port);
    }
}

TEST(PatchListWriter, WritesHeaderBankAndEntries)
{
    PatchEntries entries;
    entries.append({{"Piano", 0, {}, 0}, {"Organ", 1, {}, 0}});
    EXPECT_EQ(patchListBytes(entries, "Synth", singleSynthHeader("10", "2")),
              "; 10, 2    (last chan,port) @@\r\n[Synth]\r\n0=Piano\r\n1=Organ\r\n");
    EXPECT_EQ(patchListBytes(entries, "Synth", singleSynthHeader("Chan", "2")), "[Synth]\r\n0=Piano\r\n1=Organ\r\n");

    PatchEntries multi;
    multi.append({{"Slow Strings", 48, "3", 1}, {"Tremolo", 49, "10", 2}, {"Kick", 36, "10", 1}});
    const QByteArray bytes = patchListBytes(multi, "Strings", multiSynthHeader());
    EXPECT_EQ(bytes, "; Multi-PatchList Chn/port on each line @@\r\n[Strings]\r\n48=Slow Strings 3, 1\r\n"
                     "49=Tremolo 10, 2\r\n36=Kick 10, 1\r\n");
    EXPECT_EQ(bytes.count("\r\n"), 5);
}

TEST_F(PatchFile, SingleAndMultiSynthListsRoundTrip)
{
    TestTarget single;
    ASSERT_TRUE(load(single, "; 10, 2    (last chan,port) @@\r\n[Strings]\r\n48=Slow\r\n49=Fast \xc3\xa9\r\n"));
    const QByteArray written = patchListBytes(single.entries, single.name, singleSynthHeader(single.chan, single.port));
    TestTarget again;
    ASSERT_TRUE(load(again, written, "Strings"));
    EXPECT_EQ(again.entries.all(), single.entries.all());
    EXPECT_EQ(again.chan, "10");
    EXPECT_EQ(again.port, "2");
    EXPECT_EQ(patchListBytes(again.entries, again.name, singleSynthHeader(again.chan, again.port)), written);

    TestTarget multi;
    multi.group = true;
    ASSERT_TRUE(load(multi, MultiFile.left(MultiFile.indexOf("50=")), {}, true));
    const QByteArray multiBytes = patchListBytes(multi.entries, "Strings", multiSynthHeader());
    TestTarget multiAgain;
    multiAgain.group = true;
    ASSERT_TRUE(load(multiAgain, multiBytes, {}, true));
    EXPECT_EQ(multiAgain.entries.all(), multi.entries.all());
}

struct SavePatchListTest : PatchFile {
    QTemporaryDir dir;
    TestTarget target;
    SavePatchListTest() { target.entries.append({{"Piano", 0, {}, 0}}); }
    QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(SavePatchListTest, AsksForFileAndNameThenWrites)
{
    const QString path = dir.filePath("mine.ins");
    dialogs.answer(path);
    dialogs.answer(QStringLiteral("Grand"));
    target.file = "/elsewhere/old.txt";
    EXPECT_TRUE(SavePatchList(context, target, singleSynthHeader("1", "0")));
    EXPECT_EQ(read(path), "; 1, 0    (last chan,port) @@\r\n[Grand]\r\n0=Piano\r\n");
    EXPECT_EQ(target.name, "Grand");
    EXPECT_EQ(target.file, path);
    EXPECT_EQ(patchDir, dir.path() + u'/');
    EXPECT_EQ(lastName, "mine.ins");
    const auto& asked = dialogs.asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].file.title, msgs[57]);
    EXPECT_EQ(asked[0].file.fileName, "old.txt");
    EXPECT_EQ(asked[0].file.filter, "Instrument Definition Files (*.ins)|*.ins|Text Files (*.txt)|*.txt");
    EXPECT_EQ(asked[1].text, msgs[36]);
    EXPECT_EQ(asked[1].title, "Rename Patchlist (optional)");
}

TEST_F(SavePatchListTest, CancelSavesNothingAndAnEmptyNameKeepsTheCaption)
{
    dialogs.answer(QString());
    EXPECT_FALSE(SavePatchList(context, target, {}));
    EXPECT_EQ(reporter.fields[0].trimmed(), msgs[93]);

    const QString path = dir.filePath("list.txt");
    dialogs.answer(path);
    dialogs.answer(QString());
    EXPECT_TRUE(SavePatchList(context, target, {}));
    EXPECT_EQ(read(path), "[Patch List]\r\n0=Piano\r\n");
}

TEST_F(SavePatchListTest, AFailedSaveKeepsTheOldFileAndSaysSo)
{
    const QString path = dir.filePath("keep.ins");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("[Old]\r\n");
    }
    for (int i = 0; i < 200; ++i)
        target.entries.append({{QStringLiteral("A long patch name to fill the file %1").arg(i), i % 128, {}, 0}});
    dialogs.answer(path);
    dialogs.answer(QStringLiteral("New"));
    {
        test::FileSizeLimit limit(64);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(SavePatchList(context, target, {}));
    }
    EXPECT_EQ(read(path), "[Old]\r\n");
    ASSERT_EQ(dialogs.asked().size(), 3u);
    EXPECT_EQ(dialogs.asked()[2].title, msgs[57]);
    EXPECT_TRUE(dialogs.asked()[2].text.contains(path));
    EXPECT_TRUE(dialogs.asked()[2].text.endsWith(msgs[60]));
    EXPECT_TRUE(target.file.isEmpty());
}

}  // namespace
}  // namespace orvell
