#include "app/CommandLine.h"
#include "core/Numeric.h"

#include <gtest/gtest.h>

namespace orvell {
namespace {

TEST(CommandLine, CollectsSessionsThenPanelsThenMidiFiles)
{
    const QStringList words = {"b.MID", "one.orv", "x.txt", "p.mpl", "two.ORV", "a.mid", "q.Mpl", "orv", "song.midi"};
    const auto files = collectCommandLineFiles(words);
    QStringList order;
    for (const auto& file : files)
        order << file.path;
    EXPECT_EQ(order, (QStringList{"one.orv", "two.ORV", "p.mpl", "q.Mpl", "b.MID", "a.mid"}));
    EXPECT_EQ(files[0].kind, FileKind::Session);
    EXPECT_EQ(files[2].kind, FileKind::Panel);
    EXPECT_EQ(files[5].kind, FileKind::Midi);
    EXPECT_TRUE(collectCommandLineFiles({"readme", "notes.txt"}).empty());
}

TEST(CommandLine, Options)
{
    struct Case {
        QStringList args;
        MidiBackendChoice choice;
        int inputs;
        int outputs;
    };
    const Case cases[] = {
        {{}, MidiBackendChoice::Automatic, 1, 2},
        {{"--midi", "jack"}, MidiBackendChoice::Jack, 1, 2},
        {{"--midi=ALSA"}, MidiBackendChoice::Alsa, 1, 2},
        {{"--midi", "virtual", "--virtual-ports", "0,0"}, MidiBackendChoice::Virtual, 0, 0},
        {{"--virtual-ports=3,4"}, MidiBackendChoice::Automatic, 3, 4},
        {{"--midi-log", "/tmp/log"}, MidiBackendChoice::Virtual, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto parsed = parseCommandLine(c.args);
        ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
        EXPECT_EQ(parsed.options.midi.choice, c.choice);
        EXPECT_EQ(parsed.options.midi.virtualInputs, c.inputs);
        EXPECT_EQ(parsed.options.midi.virtualOutputs, c.outputs);
    }
}

TEST(CommandLine, WordsAndQtOptionsAreKeptApart)
{
    const auto parsed =
        parseCommandLine({"a.orv", "-platform", "offscreen", "--list-ports", "b.mid", "--dump-messages", "m.txt",
                          "--quit-after-start"});
    ASSERT_TRUE(parsed.error.isEmpty());
    EXPECT_EQ(parsed.options.words, (QStringList{"a.orv", "b.mid"}));
    EXPECT_EQ(parsed.options.qtArgs, (QStringList{"-platform", "offscreen"}));
    EXPECT_TRUE(parsed.options.listPorts);
    EXPECT_EQ(parsed.options.dumpMessages, "m.txt");
    EXPECT_TRUE(parsed.options.quitAfterStart);
    EXPECT_FALSE(parseCommandLine({"a.orv"}).options.quitAfterStart);
}

TEST(CommandLine, EnvironmentChoosesBackendUnlessTheLineDoes)
{
    EXPECT_EQ(parseCommandLine({}, "jack").options.midi.choice, MidiBackendChoice::Jack);
    EXPECT_EQ(parseCommandLine({"--midi", "virtual"}, "jack").options.midi.choice, MidiBackendChoice::Virtual);
    EXPECT_FALSE(parseCommandLine({}, "coreaudio").error.isEmpty());
}

TEST(CommandLine, MistakesAreRefused)
{
    const QStringList bad[] = {
        {"--frobnicate"}, {"--midi"},        {"--midi", "oss"},           {"--virtual-ports", "3"},
        {"--virtual-ports", "-1,2"}, {"--virtual-ports", "a,b"}, {"--midi-log"}, {"--dump-messages"},
        {"-platform"},    {"-x"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_FALSE(parseCommandLine(args).error.isEmpty());
    }
}

TEST(Numeric, ReadsEntryTextsAsNumbers)
{
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"12", 12},  {" 7 ", 7}, {"-3", -3}, {"+4", 4},   {"2.5", 2},         {"3.5", 4},
        {"1e2", 100}, {"", {}},  {"  ", {}}, {"abc", {}}, {"12abc", {}},      {"inf", {}},
        {"nan", {}}, {"1,5", {}}, {"&H10", {}}, {"1e999", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseInteger(QString::fromLatin1(c.text)), c.value);
    }
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(1e12), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace orvell
