// Feeds arbitrary words to the command-line parser: the input is split at
// NUL bytes into arguments, the first of them taken as ORVELL_MIDI.

#include "app/CommandLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList args;
    for (const QByteArray& arg : bytes.split('\0'))
        args << QString::fromLocal8Bit(arg);
    const QString environment = args.takeFirst();
    const orvell::CommandLineParse parsed = orvell::parseCommandLine(args, environment);
    if (!parsed.error.isEmpty())
        return 0;
    // Every file to load is one of the words, and every word is an argument.
    const QStringList& words = parsed.options.words;
    for (const orvell::CollectedFile& file : orvell::collectCommandLineFiles(words)) {
        if (!words.contains(file.path))
            std::abort();
    }
    for (const QString& word : words) {
        if (!args.contains(word))
            std::abort();
    }
    return 0;
}
