#include "midi/RtMidiSystem.h"

#include "midi/MidiBackend.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace orvell {

namespace {

// A port of a client with our name: "Orvell:..." (ALSA, first JACK client) or
// "Orvell-01:..." (JACK renames clients that share a name).
bool belongsToClient(const std::string& portName, const std::string& client)
{
    if (client.empty() || portName.compare(0, client.size(), client) != 0)
        return false;
    std::size_t i = client.size();
    if (i < portName.size() && portName[i] == '-') {
        const std::size_t digits = ++i;
        while (i < portName.size() && portName[i] >= '0' && portName[i] <= '9')
            ++i;
        if (i == digits)
            return false;
    }
    return i < portName.size() && portName[i] == ':';
}

// Pieces of a long system-exclusive message on ALSA, well below the
// sequencer's output buffer.
constexpr std::size_t AlsaSysExChunk = 256;

}  // namespace

struct RtMidiSystem::Impl {
    RtMidi::Api api = RtMidi::UNSPECIFIED;
    std::string client;
    bool open = false;
    std::vector<QString> outputs;
    std::vector<QString> inputs;

    // Set by the error callback, which RtMidi calls synchronously from the
    // failing call on our thread.
    bool failed = false;
    std::string lastError;

    MidiHandle nextHandle = 1;
    // Our own handles for asking who listens to the mapper; RtMidi keeps its own hidden.
    snd_seq_t* watchSeq = nullptr;
    jack_client_t* watchJack = nullptr;

    ~Impl()
    {
        if (watchSeq)
            snd_seq_close(watchSeq);
        if (watchJack)
            jack_client_close(watchJack);
    }

    // The JACK name of our mapper port ("Orvell-01:MIDI Mapper Out"), found
    // as the one that appeared when we opened it: another copy of the
    // program may have one of the same name.
    std::string jackMapper;

    std::optional<int> alsaMapperListeners();
    bool openWatchJack();
    std::vector<std::string> jackMapperPorts();
    std::optional<int> jackMapperListeners();
    // Declared last so that the connections, whose error callback points
    // here, go before the members the callback writes.
    std::map<MidiHandle, std::unique_ptr<RtMidiOut>> outs;

    static void onError(RtMidiError::Type type, const std::string& text, void* self)
    {
        if (type == RtMidiError::DEBUG_WARNING)
            return;
        auto* d = static_cast<Impl*>(self);
        d->failed = true;
        d->lastError = text;
    }

    void watch(RtMidi& midi) { midi.setErrorCallback(&Impl::onError, this); }

    // Runs RtMidi calls; a warning reported through the callback or anything
    // thrown counts as a failure.
    template <class F>
    int call(F&& f)
    {
        failed = false;
        try {
            f();
        } catch (const RtMidiError& e) {
            lastError = e.getMessage();
            return MidiResult::Error;
        } catch (const std::bad_alloc&) {
            return MidiResult::NoMemory;
        } catch (const std::exception& e) {
            lastError = e.what();
            return MidiResult::Error;
        }
        return failed ? MidiResult::Error : MidiResult::Ok;
    }

    template <class Port>
    std::vector<QString> listPorts(Port& port)
    {
        std::vector<QString> names;
        const unsigned count = port.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            const std::string name = port.getPortName(i);
            if (!name.empty() && !belongsToClient(name, client))
                names.push_back(QString::fromStdString(name));
        }
        return names;
    }

    // Index of the port with this name now, if it is still there.
    std::optional<unsigned> findOutput(RtMidiOut& out, const std::string& name)
    {
        const unsigned count = out.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            if (out.getPortName(i) == name)
                return i;
        }
        return std::nullopt;
    }

    MidiHandle takeHandle()
    {
        MidiHandle h = nextHandle++;
        if (h == 0)  // wrapped: 0 means "never opened"
            h = nextHandle++;
        return h;
    }
};

RtMidiSystem::RtMidiSystem(RtMidi::Api api, const QString& clientName) : d_(std::make_unique<Impl>())
{
    d_->api = api;
    d_->client = clientName.toStdString();

    // RtMidi prints to stderr when its constructor fails (the error callback
    // can only be set afterwards), so probe quietly first.
    if (api == RtMidi::LINUX_ALSA && !alsaSequencerAvailable()) {
        d_->lastError = "The ALSA sequencer cannot be opened.";
        return;
    }
    if (api == RtMidi::UNIX_JACK && !jackServerRunning()) {
        d_->lastError = "No JACK server is running.";
        return;
    }

    // Short-lived clients under names of their own: a busy JACK server now
    // and then refuses a client named like one that closed a moment ago, and
    // the plain name stays free for the mapper.
    static std::atomic<int> scans{0};
    const std::string scanner = d_->client + " scan " + std::to_string(scans.fetch_add(1) + 1);
    const int result = d_->call([&] {
        RtMidiOut out(d_->api, scanner);
        d_->watch(out);
        d_->api = out.getCurrentApi();
        d_->outputs = d_->listPorts(out);
        RtMidiIn in(d_->api, scanner);
        d_->watch(in);
        d_->inputs = d_->listPorts(in);
    });
    d_->open = result == MidiResult::Ok;
    if (!d_->open) {
        d_->outputs.clear();
        d_->inputs.clear();
    }
}

RtMidiSystem::~RtMidiSystem() = default;

bool RtMidiSystem::isOpen() const
{
    return d_->open;
}

QString RtMidiSystem::backendName() const
{
    return QString::fromStdString(RtMidi::getApiName(d_->api));
}

int RtMidiSystem::outputCount()
{
    return static_cast<int>(d_->outputs.size());
}

std::optional<QString> RtMidiSystem::outputName(int device)
{
    if (device == -1)
        return mapperPortName();
    if (device < 0 || device >= outputCount())
        return std::nullopt;
    return d_->outputs[static_cast<std::size_t>(device)];
}

int RtMidiSystem::inputCount()
{
    return static_cast<int>(d_->inputs.size());
}

std::optional<QString> RtMidiSystem::inputName(int device)
{
    if (device < 0 || device >= inputCount())
        return std::nullopt;
    return d_->inputs[static_cast<std::size_t>(device)];
}

int RtMidiSystem::openOutput(int device, MidiHandle& handle)
{
    handle = 0;
    if (!d_->open)
        return MidiResult::NoDriver;
    if (device < -1 || device >= outputCount())
        return MidiResult::BadDeviceId;

    std::unique_ptr<RtMidiOut> out;
    bool present = true;
    const bool jackMapper = device == -1 && d_->api == RtMidi::UNIX_JACK;
    const std::vector<std::string> mappersBefore = jackMapper ? d_->jackMapperPorts() : std::vector<std::string>{};
    const int result = d_->call([&] {
        out = std::make_unique<RtMidiOut>(d_->api, d_->client);
        d_->watch(*out);
        if (device == -1) {
            out->openVirtualPort(mapperPortName().toStdString());
            return;
        }
        const std::string name = d_->outputs[static_cast<std::size_t>(device)].toStdString();
        const std::optional<unsigned> index = d_->findOutput(*out, name);
        if (!index) {
            present = false;
            return;
        }
        out->openPort(*index, "MIDI Out");
    });
    if (result != MidiResult::Ok)
        return result;
    if (!present)
        return MidiResult::NoDevice;

    if (jackMapper) {
        for (const std::string& name : d_->jackMapperPorts()) {
            if (std::find(mappersBefore.begin(), mappersBefore.end(), name) == mappersBefore.end())
                d_->jackMapper = name;
        }
    }
    handle = d_->takeHandle();
    d_->outs.emplace(handle, std::move(out));
    return MidiResult::Ok;
}

int RtMidiSystem::closeOutput(MidiHandle handle)
{
    const auto it = d_->outs.find(handle);
    if (it == d_->outs.end())
        return MidiResult::InvalidHandle;
    // The handle is gone whatever closing reports.
    std::unique_ptr<RtMidiOut> out = std::move(it->second);
    d_->outs.erase(it);
    return d_->call([&] { out.reset(); });
}

int RtMidiSystem::sendShort(MidiHandle handle, std::uint32_t packed)
{
    const auto it = d_->outs.find(handle);
    if (it == d_->outs.end())
        return MidiResult::InvalidHandle;
    const unsigned char bytes[3] = {
        static_cast<unsigned char>(packed & 0xFF),
        static_cast<unsigned char>((packed >> 8) & 0xFF),
        static_cast<unsigned char>((packed >> 16) & 0xFF),
    };
    const auto length = static_cast<std::size_t>(shortMessageLength(bytes[0]));
    RtMidiOut& out = *it->second;
    return d_->call([&] { out.sendMessage(bytes, length); });
}

int RtMidiSystem::sendLong(MidiHandle handle, const std::uint8_t* bytes, std::size_t size)
{
    const auto it = d_->outs.find(handle);
    if (it == d_->outs.end())
        return MidiResult::InvalidHandle;
    RtMidiOut& out = *it->second;
    if (d_->api == RtMidi::UNIX_JACK && size > JackMaxMessageBytes) {
        d_->lastError = "JACK takes messages of up to " + std::to_string(JackMaxMessageBytes) + " bytes; this one has " +
                        std::to_string(size) + ".";
        return MidiResult::Error;
    }
    if (d_->api != RtMidi::LINUX_ALSA || size <= AlsaSysExChunk)
        return d_->call([&] { out.sendMessage(bytes, size); });
    // ALSA cannot queue one event larger than the client's output buffer, so
    // a long message goes as equal pieces of one open system-exclusive event:
    // the encoder emits a piece each time its buffer (sized by the first
    // piece) fills and keeps the message open, and receivers join the pieces
    // up to F7. No other message can come between, as sends are made on
    // this thread only.
    return d_->call([&] {
        for (std::size_t offset = 0; offset < size && !d_->failed; offset += AlsaSysExChunk)
            out.sendMessage(bytes + offset, std::min(AlsaSysExChunk, size - offset));
    });
}

std::optional<int> RtMidiSystem::Impl::alsaMapperListeners()
{
    if (!watchSeq && snd_seq_open(&watchSeq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
        watchSeq = nullptr;
        return std::nullopt;
    }
    snd_seq_client_info_t* clientInfo = nullptr;
    snd_seq_port_info_t* portInfo = nullptr;
    snd_seq_query_subscribe_t* subscribers = nullptr;
    snd_seq_client_info_alloca(&clientInfo);
    snd_seq_port_info_alloca(&portInfo);
    snd_seq_query_subscribe_alloca(&subscribers);
    const std::string mapper = mapperPortName().toStdString();
    int count = 0;
    snd_seq_client_info_set_client(clientInfo, -1);
    while (snd_seq_query_next_client(watchSeq, clientInfo) >= 0) {
        // Another copy of the program has a mapper of its own.
        const int pid = snd_seq_client_info_get_pid(clientInfo);
        if (pid > 0 ? pid != ::getpid() : client != snd_seq_client_info_get_name(clientInfo))
            continue;
        snd_seq_port_info_set_client(portInfo, snd_seq_client_info_get_client(clientInfo));
        snd_seq_port_info_set_port(portInfo, -1);
        while (snd_seq_query_next_port(watchSeq, portInfo) >= 0) {
            if (mapper != snd_seq_port_info_get_name(portInfo))
                continue;
            snd_seq_query_subscribe_set_root(subscribers, snd_seq_port_info_get_addr(portInfo));
            snd_seq_query_subscribe_set_type(subscribers, SND_SEQ_QUERY_SUBS_READ);
            snd_seq_query_subscribe_set_index(subscribers, 0);
            if (snd_seq_query_port_subscribers(watchSeq, subscribers) >= 0)
                count += snd_seq_query_subscribe_get_num_subs(subscribers);
        }
    }
    return count;
}

bool RtMidiSystem::Impl::openWatchJack()
{
    if (watchJack)
        return true;
    jack_status_t status{};
    watchJack = jack_client_open((client + " watch").c_str(), JackNoStartServer, &status);
    return watchJack != nullptr;
}

std::vector<std::string> RtMidiSystem::Impl::jackMapperPorts()
{
    std::vector<std::string> names;
    if (!openWatchJack())
        return names;
    const char** ports = jack_get_ports(watchJack, (":" + mapperPortName().toStdString() + "$").c_str(),
                                        JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    if (!ports)
        return names;
    for (const char** name = ports; *name; ++name) {
        if (belongsToClient(*name, client))
            names.emplace_back(*name);
    }
    jack_free(ports);
    return names;
}

std::optional<int> RtMidiSystem::Impl::jackMapperListeners()
{
    if (!openWatchJack())
        return std::nullopt;
    if (jackMapper.empty())
        return 0;
    const jack_port_t* port = jack_port_by_name(watchJack, jackMapper.c_str());
    return port ? jack_port_connected(port) : 0;
}

std::optional<int> RtMidiSystem::mapperListeners()
{
    if (!d_->open)
        return std::nullopt;
    if (d_->api == RtMidi::LINUX_ALSA)
        return d_->alsaMapperListeners();
    if (d_->api == RtMidi::UNIX_JACK)
        return d_->jackMapperListeners();
    return std::nullopt;
}

std::optional<QString> RtMidiSystem::errorText(int code) const
{
    if (code == MidiResult::Error && !d_->lastError.empty())
        return QString::fromStdString(d_->lastError);
    return standardMidiErrorText(code);
}

}  // namespace orvell
