#include "app/AOrvell.h"
#include "app/CommandLine.h"
#include "app/QtDialogs.h"
#include "controllers/JoystickSystem.h"
#include "core/Clock.h"
#include "midi/BuiltInSynth.h"
#include "midi/MidiBackend.h"
#include "panels/Shared.h"
#include "sequencer/SmfReader.h"
#include "tools/HelpView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

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

// A stop request from the system (SIGTERM at log-out, SIGINT, SIGHUP) closes
// the window as File > Exit does. The handler only writes a byte; the event
// loop reads it, so a request that comes during start-up waits for the window.
int signalPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

void catchStopSignals()
{
    // Never blocks the handler, even with a burst of signals unread.
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : {SIGTERM, SIGINT, SIGHUP})
        sigaction(stop, &action, nullptr);
}

void closeOnStopSignals(AOrvell& window)
{
    if (signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        window.close();
    });
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

    catchStopSignals();
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
    // Outlives everything that sends to the mapper.
    BuiltInSynth synth;
    Shared shared(std::move(backend.system), std::make_unique<QtScheduler>());
    QtDialogs dialogs;
    const auto joysticks = makeSdlJoystickSystem();
    AOrvell window(shared, dialogs);
    window.setJoystickSystem(joysticks.get());
    window.setBuiltInSynth(&synth);
    dialogs.setParent(&window);
    dialogs.setMessages(&shared.Msgs);
    dialogs.setHint([&window](const QString& text) { window.ShowHint(text); });
    if (!window.Load(options.words, notice))
        return 1;
    window.show();
    closeOnStopSignals(window);
    if (options.quitAfterStart) {
        QTimer::singleShot(0, &window, [&window] {
            std::printf("Started: %s, %d panels\n", qPrintable(window.windowTitle()),
                        static_cast<int>(window.panels().size()));
            // A session that opened the help viewer: which topic it shows.
            const HelpView& help = window.helpView();
            if (!help.subWindow()->isHidden())
                std::printf("Help Viewer: %s, %d characters\n", qPrintable(help.windowTitle()),
                            static_cast<int>(help.topicText(help.topicIndex()).size()));
            std::fflush(stdout);
            window.close();
        });
    }
    return QApplication::exec();
}
