#include "app/CommandLine.h"

#include <array>

namespace orvell {

namespace {

// Qt's own options; the ones in the first list take a value.
constexpr std::array QtValueOptions = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                       "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-style",
                                       "-stylesheet", "-session", "-display", "-geometry", "-title", "-name"};
constexpr std::array QtFlagOptions = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

template <size_t N>
bool isOneOf(const QString& word, const std::array<const char*, N>& list)
{
    for (const char* option : list) {
        if (word == QLatin1String(option))
            return true;
    }
    return false;
}

bool parseBackend(const QString& name, MidiBackendChoice& choice)
{
    const QString lower = name.trimmed().toLower();
    if (lower == u"alsa")
        choice = MidiBackendChoice::Alsa;
    else if (lower == u"jack")
        choice = MidiBackendChoice::Jack;
    else if (lower == u"virtual")
        choice = MidiBackendChoice::Virtual;
    else if (lower == u"auto" || lower.isEmpty())
        choice = MidiBackendChoice::Automatic;
    else
        return false;
    return true;
}

bool parsePortCounts(const QString& text, int& inputs, int& outputs)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return false;
    bool okIn = false;
    bool okOut = false;
    const int in = parts[0].trimmed().toInt(&okIn);
    const int out = parts[1].trimmed().toInt(&okOut);
    if (!okIn || !okOut || in < 0 || out < 0 || in > 64 || out > 64)
        return false;
    inputs = in;
    outputs = out;
    return true;
}

}  // namespace

CommandLineParse parseCommandLine(const QStringList& args, const QString& midiEnvironment)
{
    CommandLineParse result;
    CommandLineOptions& options = result.options;
    if (!midiEnvironment.isEmpty() && !parseBackend(midiEnvironment, options.midi.choice)) {
        result.error = QStringLiteral("ORVELL_MIDI must be alsa, jack or virtual, not \"%1\".").arg(midiEnvironment);
        return result;
    }

    for (qsizetype i = 0; i < args.size(); ++i) {
        QString word = args[i];
        if (!word.startsWith(u'-') || word == u"-") {
            options.words << word;
            continue;
        }
        if (isOneOf(word, QtFlagOptions)) {
            options.qtArgs << word;
            continue;
        }
        if (isOneOf(word, QtValueOptions)) {
            if (i + 1 >= args.size()) {
                result.error = QStringLiteral("%1 needs a value.").arg(word);
                return result;
            }
            options.qtArgs << word << args[++i];
            continue;
        }

        QString value;
        bool hasValue = false;
        if (const qsizetype eq = word.indexOf(u'='); word.startsWith(u"--") && eq > 0) {
            value = word.mid(eq + 1);
            word = word.left(eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
            return true;
        };

        if (word == u"--help" || word == u"-h") {
            options.help = true;
        } else if (word == u"--version") {
            options.version = true;
        } else if (word == u"--list-ports") {
            options.listPorts = true;
        } else if (word == u"--quit-after-start") {
            options.quitAfterStart = true;
        } else if (word == u"--midi") {
            if (!takeValue() || !parseBackend(value, options.midi.choice) || value.trimmed().isEmpty()) {
                result.error = QStringLiteral("--midi must be followed by alsa, jack or virtual.");
                return result;
            }
        } else if (word == u"--virtual-ports") {
            if (!takeValue() || !parsePortCounts(value, options.midi.virtualInputs, options.midi.virtualOutputs)) {
                result.error = QStringLiteral("--virtual-ports must be followed by IN,OUT (two counts from 0 to 64).");
                return result;
            }
        } else if (word == u"--midi-log") {
            if (!takeValue() || value.isEmpty()) {
                result.error = QStringLiteral("--midi-log must be followed by a file name.");
                return result;
            }
            options.midi.logFile = value;
        } else if (word == u"--dump-messages") {
            if (!takeValue() || value.isEmpty()) {
                result.error = QStringLiteral("--dump-messages must be followed by a file name.");
                return result;
            }
            options.dumpMessages = value;
        } else if (word == u"--dump-smf") {
            if (!takeValue() || value.isEmpty()) {
                result.error = QStringLiteral("--dump-smf must be followed by a file name.");
                return result;
            }
            options.dumpSmf = value;
        } else {
            result.error = QStringLiteral("Unknown option %1.").arg(word);
            return result;
        }
    }
    if (!options.midi.logFile.isEmpty() && options.midi.choice == MidiBackendChoice::Automatic)
        options.midi.choice = MidiBackendChoice::Virtual;
    return result;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: orvell [options] [session.orv ...] [panel.mpl ...] [song.mid ...]\n"
        "\n"
        "Opens the sessions, then the panel files, then plays the MIDI files named.\n"
        "Without a session the default session Orvell.ini in the start directory is loaded.\n"
        "\n"
        "Options:\n"
        "  --midi alsa|jack|virtual  MIDI system to use (default: ALSA, else JACK, else virtual;\n"
        "                            also set by the environment variable ORVELL_MIDI)\n"
        "  --virtual-ports IN,OUT    number of input and output devices of the virtual system (default 1,2)\n"
        "  --midi-log FILE           virtual system: write every message sent to FILE\n"
        "                            (milliseconds, port, bytes in hex); implies --midi virtual\n"
        "  --list-ports              print the MIDI ports and exit\n"
        "  --dump-messages FILE      write the message file for translators to FILE and exit\n"
        "  --dump-smf FILE           print the events of a MIDI file (ticks, milliseconds, port,\n"
        "                            bytes in hex) in playing order and exit\n"
        "  --quit-after-start        once the window is up, print \"Started: Orvell, N panels\"\n"
        "                            and exit as File > Exit does (for scripts and tests)\n"
        "  --help                    print this text and exit\n"
        "  --version                 print the version and exit\n");
}

std::vector<CollectedFile> collectCommandLineFiles(const QStringList& words)
{
    std::vector<CollectedFile> files;
    constexpr std::array passes = {std::pair{".orv", FileKind::Session}, std::pair{".mpl", FileKind::Panel},
                                   std::pair{".mid", FileKind::Midi}};
    for (const auto& [extension, kind] : passes) {
        for (const QString& word : words) {
            if (word.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
                files.push_back({word, kind});
        }
    }
    return files;
}

}  // namespace orvell
