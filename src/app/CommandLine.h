#pragma once

#include "midi/MidiBackend.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace orvell {

struct CommandLineOptions {
    MidiBackendOptions midi;
    bool listPorts = false;
    bool help = false;
    bool version = false;
    QString dumpMessages;  // write the message file here and exit
    QString dumpSmf;       // print the events of this MIDI file and exit
    bool quitAfterStart = false;  // for scripts: report once the window is up, then exit
    QStringList words;     // everything that is not an option: the files to load
    QStringList qtArgs;    // options meant for Qt itself (-platform offscreen ...)
};

struct CommandLineParse {
    CommandLineOptions options;
    QString error;  // not empty: the line is wrong and the program ends with usage
};

// `args` excludes the program name. `midiEnvironment` is the value of
// ORVELL_MIDI, used when --midi is not given.
CommandLineParse parseCommandLine(const QStringList& args, const QString& midiEnvironment = {});
QString usageText();

enum class FileKind { Session, Panel, Midi };

struct CollectedFile {
    QString path;
    FileKind kind;
};

// Sessions first, then panel files, then MIDI files, each in the order given;
// other words are ignored. The extension alone decides, in any case.
std::vector<CollectedFile> collectCommandLineFiles(const QStringList& words);

}  // namespace orvell
