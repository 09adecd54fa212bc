#include "app/AOrvell.h"
#include "app/CommandLine.h"
#include "app/QtDialogs.h"
#include "core/Clock.h"
#include "midi/MidiBackend.h"
#include "panels/Shared.h"
#include "sequencer/SmfReader.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <vector>

using namespace orvell;

namespace {

int listPorts(MidiBackend backend)
{
    Shared shared(std::move(backend.system), std::make_unique<QtScheduler>());
    shared.midi.InitMidiDevs();
    std::printf("MIDI system: %s\n", qPrintable(shared.midiSystem().backendName()));
    std::printf("Output ports:\n");
    for (int i = 0; i <= shared.midi.NumOutDevs; ++i) {
        const MidiPort& port = shared.midi.MidiOutPorts[static_cast<size_t>(i)];
        std::printf("  %2d  %s%s\n", i, qPrintable(port.Name), port.Present ? "" : " (not answering)");
    }
    std::printf("Input ports:\n");
    for (int i = 0; i <= shared.midi.NumInDevs; ++i)
        std::printf("  %2d  %s\n", i, qPrintable(shared.midi.MidiInPorts[static_cast<size_t>(i)].Name));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLineParse parsed = parseCommandLine(args, qEnvironmentVariable("ORVELL_MIDI"));
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "orvell: %s\n\n%s", qPrintable(parsed.error), qPrintable(usageText()));
        return 2;
    }
    const CommandLineOptions& options = parsed.options;
    if (options.help) {
        std::printf("%s", qPrintable(usageText()));
        return 0;
    }
    if (options.version) {
        std::printf("Orvell %s\n", ORVELL_VERSION);
        return 0;
    }
    if (!options.dumpMessages.isEmpty()) {
        if (auto error = MessageTable().saveToFile(options.dumpMessages)) {
            std::fprintf(stderr, "orvell: cannot write %s: %s (%d)\n", qPrintable(options.dumpMessages),
                         qPrintable(error->text), error->number);
            return 1;
        }
        return 0;
    }

    if (!options.dumpSmf.isEmpty()) {
        QString error;
        const auto sequence = SmfReader::readFile(options.dumpSmf, error);
        if (!sequence) {
            std::fprintf(stderr, "orvell: %s: %s\n", qPrintable(options.dumpSmf), qPrintable(error));
            return 1;
        }
        std::printf("%s", SmfReader::dumpText(*sequence).toUtf8().constData());
        return 0;
    }

    SteadyClock clock;
    if (options.listPorts) {
        QCoreApplication app(argc, argv);
        MidiBackend backend = createMidiBackend(options.midi, clock);
        if (!backend.system) {
            std::fprintf(stderr, "orvell: %s\n", qPrintable(backend.error));
            return 1;
        }
        return listPorts(std::move(backend));
    }

    // Qt sees only its own options; file names and ours are handled here.
    std::vector<QByteArray> qtArgs{QByteArray(argv[0])};
    for (const QString& arg : options.qtArgs)
        qtArgs.push_back(arg.toLocal8Bit());
    std::vector<char*> qtArgv;
    for (QByteArray& arg : qtArgs)
        qtArgv.push_back(arg.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgs.size());
    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("Orvell"));
    QApplication::setApplicationVersion(QStringLiteral(ORVELL_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("orvell.org"));
    QApplication::setDesktopFileName(QStringLiteral("org.orvell.Orvell"));

    MidiBackend backend = createMidiBackend(options.midi, clock);
    if (!backend.system) {
        std::fprintf(stderr, "orvell: %s\n", qPrintable(backend.error));
        return 1;
    }
    const QString notice = backend.notice;
    Shared shared(std::move(backend.system), std::make_unique<QtScheduler>());
    QtDialogs dialogs;
    AOrvell window(shared, dialogs);
    dialogs.setParent(&window);
    dialogs.setMessages(&shared.Msgs);
    dialogs.setHint([&window](const QString& text) { window.ShowHint(text); });
    if (!window.Load(options.words, notice))
        return 1;
    window.show();
    return QApplication::exec();
}
