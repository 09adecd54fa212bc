// A stand-in for the program with a patch-group panel auditioning: routes the
// JACK port named first on the command line to the port named second through
// the engine, prints "ready", and keeps the route until standard input
// closes. The integration test kills it to see what it leaves behind.

#include "core/AppFlags.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "midi/RtMidiSystem.h"
#include "support/FakeClock.h"
#include "support/JackProbe.h"
#include "support/RecordingReporter.h"

#include <cstdio>
#include <optional>

int main(int argc, char** argv)
{
    using namespace orvell;
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s client-name from-port to-port\n", argv[0]);
        return 2;
    }
    RtMidiSystem system(RtMidi::UNIX_JACK, QString::fromUtf8(argv[1]));
    const auto in = test::findDevice(system, false, argv[2]);
    const auto out = test::findDevice(system, true, argv[3]);
    if (!in || !out) {
        std::fprintf(stderr, "ports not found\n");
        return 3;
    }
    MessageTable msgs;
    test::RecordingReporter reporter;
    test::FakeClock clock;
    AppFlags flags;
    MidiEngine engine(system, msgs, reporter, clock, flags);
    engine.InitMidiDevs();
    const QString inPort = QString::number(*in + 1);
    const QString outPort = QString::number(*out + 1);
    engine.OpenMidiOut(outPort);
    engine.OpenMidiIn(inPort);
    engine.AddThru(inPort, outPort);
    if (!engine.thruConnected(*in + 1) || !reporter.boxes.empty()) {
        std::fprintf(stderr, "no route: %s\n", qPrintable(reporter.fields[0] + reporter.fields[1]));
        return 4;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    engine.RemoveThru(inPort, outPort);
    engine.CloseMidiIn(inPort);
    engine.CloseMidiOut(outPort);
    return reporter.boxes.empty() ? 0 : 5;
}
