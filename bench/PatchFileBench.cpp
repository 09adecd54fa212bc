// Loading patch files into a Patch List panel, as Load PatchList and a session
// load do: an instrument definition file of 64 banks of 128 patches (goal
// under 50 ms), and a 20 MB list of 128,000 patches (goal: the window is
// held for under a second), each time until the list is shown.
#include "OffscreenMain.h"
#include "app/AOrvell.h"
#include "app/QtDialogs.h"
#include "core/Clock.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace orvell;

struct Desk {
    Desk()
    {
        shared.midi.InitMidiDevs();
        window.resize(1280, 900);
        window.show();
        shared.flags.Initializing = false;
        panel = qobject_cast<PatchListPanel*>(window.createPanel(PanelClass::PatchList));
    }
    SteadyClock clock;
    Shared shared{std::make_unique<VirtualMidiSystem>(1, 2, clock), std::make_unique<QtScheduler>()};
    QtDialogs dialogs;
    AOrvell window{shared, dialogs};
    PatchListPanel* panel = nullptr;
};

// Sections as sequencers ship them: patch names, note names and controller
// names, then the instrument definitions.
QByteArray instrumentDefinitions(int banks, int patches)
{
    const QByteArray rule = "; ----------------------------------------------------------------------\r\n";
    QByteArray text = rule + "; Bench instruments\r\n" + rule + ".Patch Names\r\n\r\n";
    for (int b = 1; b <= banks; ++b) {
        text += "[Bank " + QByteArray::number(b) + "]\r\n";
        for (int p = 0; p < patches; ++p)
            text += QByteArray::number(p) + "=Synth " + QByteArray::number(b) + " Patch " + QByteArray::number(p) +
                    "\r\n";
        text += "\r\n";
    }
    text += rule + ".Note Names\r\n\r\n[Drum Notes]\r\n";
    for (int n = 35; n < 82; ++n)
        text += QByteArray::number(n) + "=Drum " + QByteArray::number(n) + "\r\n";
    text += rule + ".Controller Names\r\n\r\n[Standard]\r\n7=Volume\r\n10=Pan\r\n\r\n";
    text += rule + ".Instrument Definitions\r\n\r\n";
    for (int b = 1; b <= banks; ++b)
        text += "[Synth " + QByteArray::number(b) + "]\r\nPatch[*]=Bank " + QByteArray::number(b) + "\r\n\r\n";
    return text;
}

QByteArray bigList(int entries, qsizetype bytes)
{
    QByteArray text = "; 1, 1    (last chan,port) @@\r\n[Big]\r\n";
    const qsizetype perLine = bytes / entries;
    for (int i = 0; i < entries; ++i) {
        QByteArray line = QByteArray::number(i % 128) + "=Patch " + QByteArray::number(i) + ' ';
        line += QByteArray(std::max<qsizetype>(0, perLine - line.size() - 2), 'x');
        text += line + "\r\n";
    }
    return text;
}

void loadRepeatedly(benchmark::State& state, const QByteArray& bytes, const QString& bank, int expected)
{
    Desk desk;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.ins"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    for (auto _ : state) {
        state.PauseTiming();
        desk.panel->patchEntries().clear();
        desk.panel->setCaption(bank);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        desk.panel->loadPatchFile(path, bank);
        // Until the list is drawn.
        desk.panel->PatchLst()->repaint();
        QCoreApplication::processEvents();
    }
    if (desk.panel->entries().count() != expected)
        state.SkipWithError("wrong number of patches loaded");
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["patches"] = desk.panel->entries().count();
}

void BM_LoadInstrumentDefinitions64x128(benchmark::State& state)
{
    // The wanted bank is the last one, so the whole file is read.
    loadRepeatedly(state, instrumentDefinitions(64, 128), QStringLiteral("Bank 64"), 128);
}
BENCHMARK(BM_LoadInstrumentDefinitions64x128)->Unit(benchmark::kMillisecond);

void BM_Load20MBList(benchmark::State& state)
{
    loadRepeatedly(state, bigList(128000, 20 << 20), QStringLiteral("Big"), 128000);
}
BENCHMARK(BM_Load20MBList)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

ORVELL_OFFSCREEN_BENCHMARK_MAIN();
