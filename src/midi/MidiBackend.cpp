#include "midi/MidiBackend.h"

#include "midi/RtMidiSystem.h"
#include "midi/VirtualMidiSystem.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <atomic>
#include <string>

namespace orvell {

namespace {

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char*) {}

// Opens an RtMidi backend, or explains in `error` why it cannot be used.
std::unique_ptr<MidiSystem> openRtMidi(RtMidi::Api api, const QString& failure, QString& error)
{
    auto system = std::make_unique<RtMidiSystem>(api);
    if (system->isOpen())
        return system;
    error = failure;
    // Add RtMidi's reason when the probe passed but RtMidi still failed.
    const QString detail = system->errorText(MidiResult::Error).value_or(QString());
    if (!detail.isEmpty() && detail != failure && detail != standardMidiErrorText(MidiResult::Error))
        error += QStringLiteral(" (%1)").arg(detail);
    return nullptr;
}

void useVirtual(MidiBackend& backend, const MidiBackendOptions& options, const Clock& clock)
{
    auto system = std::make_unique<VirtualMidiSystem>(options.virtualInputs, options.virtualOutputs, clock);
    if (!options.logFile.isEmpty() && !system->setLogFile(options.logFile)) {
        backend.error = QStringLiteral("Cannot write the MIDI log file %1").arg(options.logFile);
        return;
    }
    backend.virtualSystem = system.get();
    backend.system = std::move(system);
}

}  // namespace

bool alsaSequencerAvailable()
{
    // alsa-lib reports the missing /dev/snd/seq on stderr; a probe should not.
    const snd_lib_error_handler_t previous = snd_lib_error;
    snd_lib_error_set_handler(&quietAlsa);
    snd_seq_t* seq = nullptr;
    const int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (result >= 0)
        snd_seq_close(seq);
    snd_lib_error_set_handler(previous);
    return result >= 0;
}

bool jackServerRunning()
{
    // libjack prints several lines when no server answers.
    void (*previousError)(const char*) = jack_error_callback;
    void (*previousInfo)(const char*) = jack_info_callback;
    jack_set_error_function(&quietJack);
    jack_set_info_function(&quietJack);
    // A fresh name each time: a busy server sometimes refuses a client named
    // like one that just closed.
    static std::atomic<int> probes{0};
    const std::string name = "orvell-probe-" + std::to_string(probes.fetch_add(1) + 1);
    jack_status_t status{};
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (client)
        jack_client_close(client);
    jack_set_error_function(previousError);
    jack_set_info_function(previousInfo);
    return client != nullptr;
}

MidiBackend createMidiBackend(const MidiBackendOptions& options, const Clock& clock)
{
    const QString noAlsa = QStringLiteral("The ALSA sequencer cannot be opened.");
    const QString noJack = QStringLiteral("No JACK server is running.");

    MidiBackend backend;
    switch (options.choice) {
    case MidiBackendChoice::Alsa:
        backend.system = openRtMidi(RtMidi::LINUX_ALSA, noAlsa, backend.error);
        break;
    case MidiBackendChoice::Jack:
        backend.system = openRtMidi(RtMidi::UNIX_JACK, noJack, backend.error);
        break;
    case MidiBackendChoice::Virtual:
        useVirtual(backend, options, clock);
        break;
    case MidiBackendChoice::Automatic: {
        QString ignored;
        backend.system = openRtMidi(RtMidi::LINUX_ALSA, noAlsa, ignored);
        if (!backend.system)
            backend.system = openRtMidi(RtMidi::UNIX_JACK, noJack, ignored);
        if (!backend.system) {
            useVirtual(backend, options, clock);
            if (backend.system)
                backend.notice = QStringLiteral("No ALSA sequencer or JACK server found: using virtual MIDI ports");
        }
        break;
    }
    }
    return backend;
}

}  // namespace orvell
