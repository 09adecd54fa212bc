#include "help/MessageTable.h"
#include "patches/PatchFile.h"
#include "patches/PatchTestTarget.h"
#include "support/Mutator.h"
#include "support/RecordingReporter.h"
#include "support/RoundRobinDialogs.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <random>

namespace orvell {
namespace {

const QByteArray Seeds[] = {
    "; ----------\r\n.Patch Names\r\n[General MIDI]\r\n0=Piano\r\n1=Bright\r\n[Drums]\r\n0=Kit\r\n"
    "; ----------\r\n.Note Names\r\n[Notes]\r\n35=Kick\r\n.Instrument Definitions\r\n[GM]\r\nPatch[*]=GM\r\n",
    "; 10, 2    (last chan,port) @@\r\n[Strings]\r\n48=Slow Strings\r\n49=Tremolo\r\nBankName=Renamed\r\n",
    "; Multi-PatchList Chn/port on each line @@\r\n[Strings]\r\n48=Slow Strings 3, 1\r\n49=Tremolo 10, 2\r\n"
    "[Drum Sounds]\r\n36=Kick 10, 1\r\n50=Just A Name\r\n",
    "[Alpha]\r\n1=A1\r\n[Beta]\r\n2=B1\r\n3=B2\r\n[Gamma]\r\n4=G1\r\n128=High\r\n1000=No\r\n=No\r\n",
};

// The damage of any text file, plus pieces of the patch-file syntax.
QByteArray mutate(const QByteArray& valid, std::mt19937& random)
{
    QByteArray bytes = test::mutateSectionFile(valid, random);
    static const QByteArray pieces[] = {"@@", ",", " ", ";", ".", "; ----------", ".Patch", ".Note",
                                        "; Multi-PatchList", "BankName=", "-1", "1e9", "Drum"};
    auto pick = [&random](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    for (int e = static_cast<int>(pick(4)); e > 0; --e)
        bytes.insert(pick(bytes.size() + 1), pieces[pick(std::size(pieces))]);
    return bytes;
}

TEST(PatchFileFuzz, MutatedFilesNeverCrashNorLoseWhatWasLoaded)
{
    MessageTable msgs;
    test::RoundRobinDialogs dialogs;
    test::RecordingReporter reporter;
    QString dir, last;
    const PatchFileContext context{msgs, dialogs, reporter, dir, last};
    std::mt19937 random(20261208);
    const int rounds = test::mutationRounds(100000);
    for (int round = 0; round < rounds; ++round) {
        const QByteArray bytes = mutate(Seeds[round % std::size(Seeds)], random);
        test::TestTarget target;
        target.group = (round / 4) % 2 == 1;
        target.entries.append({{QStringLiteral("Kept"), 1, {}, 0}});
        const bool groupMode = (round / 8) % 3 != 0 && target.group;
        const bool flatMode = groupMode && round % 5 == 0;
        const QString wanted = round % 3 == 0 ? QStringLiteral("Beta") : QString();
        ASSERT_TRUE(LoadPatchBytes(context, target, bytes, wanted, groupMode, flatMode)) << round;
        ASSERT_FALSE(target.initializing) << round;
        ASSERT_GE(target.entries.count(), 1) << round;
        ASSERT_EQ(target.entries.at(0).name, "Kept") << round;
        if (target.group && round % 7 == 0) {
            // The patch group's own load: only a sub-group the user took replaces the entries.
            test::TestTarget group;
            group.group = true;
            group.entries.append({{QStringLiteral("Kept"), 1, {}, 0}});
            const InstrumentLoad result = LoadInstrumentBytes(context, group, bytes);
            ASSERT_FALSE(group.initializing) << round;
            if (result != InstrumentLoad::SubGroup) {
                ASSERT_EQ(group.entries.all().front().name, "Kept") << round;
            }
        }
        reporter.clear();
    }
}

}  // namespace
}  // namespace orvell
