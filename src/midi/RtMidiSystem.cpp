#include "midi/RtMidiSystem.h"

#include "midi/JackInput.h"
#include "midi/MidiBackend.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <thread>
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

// "Synth:Synth MIDI 1 24:0" without its " 24:0": ALSA gives a device that is
// plugged in again the next free client number.
std::string_view withoutAddress(std::string_view name)
{
    const std::size_t blank = name.rfind(' ');
    if (blank == std::string_view::npos)
        return name;
    const std::string_view address = name.substr(blank + 1);
    const std::size_t colon = address.find(':');
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::ranges::all_of(part, [](char c) { return c >= '0' && c <= '9'; });
    };
    if (colon == std::string_view::npos || !digits(address.substr(0, colon)) || !digits(address.substr(colon + 1)))
        return name;
    return name.substr(0, blank);
}

constexpr auto WatchPeriod = std::chrono::milliseconds(500);

void ignoreError(RtMidiError::Type, const std::string&, void*) {}

// Pieces of a long system-exclusive message on ALSA, well below the
// sequencer's output buffer.
constexpr std::size_t AlsaSysExChunk = 256;

// Set while an input callback forwards a message: RtMidi's failures there
// belong to that thread, not to the call the user-interface thread is in.
thread_local bool forwarding = false;
thread_local bool forwardFailed = false;

}  // namespace

struct RtMidiSystem::Impl {
    RtMidi::Api api = RtMidi::UNSPECIFIED;
    std::string client;
    bool open = false;
    std::vector<QString> outputs;
    std::vector<QString> inputs;

    // Set by the error callback, which RtMidi calls synchronously from the
    // failing call on the calling thread.
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

    // Held around every send and every change of `outs` and of the routes,
    // so the input callbacks' threads can forward beside the callers'. Never
    // held while a connection is made or closed: JACK waits for the process
    // thread then, which may be waiting here.
    std::mutex sendMutex;
    std::map<MidiHandle, std::vector<MidiHandle>> routes;  // input -> outputs
    MidiHandle mapperOut = 0;
    MapperTap* mapperTap = nullptr;

    std::mutex listenerMutex;
    InputListener listener;

    // Under JACK an input is a client of our own (JackInput) whose thru
    // routes go out in the cycle they come in; on ALSA an RtMidiIn whose
    // callback forwards through the output's connection.
    struct Input {
        Impl* owner = nullptr;
        MidiHandle handle = 0;
        int device = -1;
        std::atomic<bool> started{false};
        std::unique_ptr<RtMidiIn> in;
        std::unique_ptr<JackInput> jack;
    };

    // Declared last so that the connections, whose callbacks point here, go
    // before the members the callbacks use; inputs before the outputs they
    // forward to.
    std::map<MidiHandle, std::unique_ptr<RtMidiOut>> outs;
    std::map<MidiHandle, int> outDevices;  // -1: the mapper
    std::map<MidiHandle, std::unique_ptr<Input>> ins;

    static void onError(RtMidiError::Type type, const std::string& text, void* self)
    {
        if (type == RtMidiError::DEBUG_WARNING)
            return;
        if (forwarding) {
            forwardFailed = true;
            return;
        }
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

    bool sameDevice(const std::string& listed, const std::string& found) const
    {
        return listed == found || (api == RtMidi::LINUX_ALSA && withoutAddress(listed) == withoutAddress(found));
    }

    // Index of the port with this name now, if it is still there.
    std::optional<unsigned> findPort(RtMidi& midi, const std::string& name) const
    {
        const unsigned count = midi.getPortCount();
        std::optional<unsigned> moved;
        for (unsigned i = 0; i < count; ++i) {
            const std::string found = midi.getPortName(i);
            if (found == name)
                return i;
            if (!moved && sameDevice(name, found))
                moved = i;
        }
        return moved;
    }

    // The device watch. Its thread lists the outputs and the inputs; per
    // device of the enumeration, whether it is there and how often it went away.
    struct Watched {
        std::vector<std::string> listed;
        std::vector<bool> present;
        std::vector<int> vanished;
        std::map<MidiHandle, int> openedAfter;  // handle -> its device's `vanished` at the open

        void list(const std::vector<QString>& names)
        {
            for (const QString& name : names)
                listed.push_back(name.toStdString());
            present.assign(listed.size(), true);
            vanished.assign(listed.size(), 0);
        }
        bool lost(MidiHandle handle, int device) const
        {
            const auto opened = openedAfter.find(handle);
            return device >= 0 && opened != openedAfter.end() &&
                   opened->second != vanished[static_cast<std::size_t>(device)];
        }
    };
    std::mutex watchMutex;
    std::condition_variable watchWake;
    bool watchStop = false;
    Watched watchedOuts;
    Watched watchedIns;
    std::mutex watcherMutex;  // held while the watcher is called or replaced
    std::function<void()> watcher;
    std::thread watchThread;

    // The names the scanner lists now, or nothing when it cannot tell.
    static std::optional<std::vector<std::string>> portNames(RtMidi& scanner)
    {
        std::vector<std::string> names;
        try {
            const unsigned count = scanner.getPortCount();
            for (unsigned i = 0; i < count; ++i)
                names.push_back(scanner.getPortName(i));
        } catch (const std::exception&) {
            return std::nullopt;
        }
        return names;
    }

    // Notes which devices of `side` are among `names`; true when any came or went.
    bool update(Watched& side, const std::optional<std::vector<std::string>>& names) const
    {
        bool changed = false;
        for (std::size_t device = 0; names && device < side.listed.size(); ++device) {
            const bool now = std::ranges::any_of(*names, [&](const std::string& name) {
                return sameDevice(side.listed[device], name);
            });
            if (now != side.present[device]) {
                changed = true;
                if (!now)
                    ++side.vanished[device];
                side.present[device] = now;
            }
        }
        return changed;
    }

    void watchLoop()
    {
        std::unique_ptr<RtMidiOut> outScanner;
        std::unique_ptr<RtMidiIn> inScanner;
        try {
            outScanner = std::make_unique<RtMidiOut>(api, client + " watch");
            outScanner->setErrorCallback(&ignoreError, nullptr);
            inScanner = std::make_unique<RtMidiIn>(api, client + " watch in");
            inScanner->setErrorCallback(&ignoreError, nullptr);
        } catch (const std::exception&) {
            return;  // nothing to watch with: devices simply stay as enumerated
        }

        std::unique_lock lock(watchMutex);
        while (!watchStop) {
            lock.unlock();
            const auto outNames = portNames(*outScanner);
            const auto inNames = portNames(*inScanner);
            lock.lock();
            const bool outsChanged = update(watchedOuts, outNames);
            const bool changed = update(watchedIns, inNames) || outsChanged;
            lock.unlock();
            if (changed) {
                const std::lock_guard call(watcherMutex);
                if (watcher)
                    watcher();
            }
            lock.lock();
            watchWake.wait_for(lock, WatchPeriod, [this] { return watchStop; });
        }
    }
    void stopWatch()
    {
        if (!watchThread.joinable())
            return;
        {
            const std::lock_guard lock(watchMutex);
            watchStop = true;
        }
        watchWake.notify_all();
        watchThread.join();
        watchStop = false;
    }

    MidiHandle takeHandle()
    {
        MidiHandle h = nextHandle++;
        if (h == 0)  // wrapped: 0 means "never opened"
            h = nextHandle++;
        return h;
    }

    // One whole message; sendMutex is held. What went out on the mapper
    // reaches the tap, whichever thread sent it.
    void sendWhole(MidiHandle handle, RtMidiOut& out, const std::uint8_t* bytes, std::size_t size)
    {
        sendPieces(out, bytes, size);
        if (handle == mapperOut && mapperTap && !(forwarding ? forwardFailed : failed))
            mapperTap->mapperSent(std::span(bytes, size));
    }

    void sendPieces(RtMidiOut& out, const std::uint8_t* bytes, std::size_t size)
    {
        if (api != RtMidi::LINUX_ALSA || size <= AlsaSysExChunk) {
            out.sendMessage(bytes, size);
            return;
        }
        // ALSA cannot queue one event larger than the client's output buffer,
        // so a long message goes as equal pieces of one open system-exclusive
        // event: the encoder emits a piece each time its buffer (sized by the
        // first piece) fills and keeps the message open, and receivers join
        // the pieces up to F7. The mutex keeps other messages from coming
        // between.
        for (std::size_t offset = 0; offset < size && !(forwarding ? forwardFailed : failed);
             offset += AlsaSysExChunk)
            out.sendMessage(bytes + offset, std::min(AlsaSysExChunk, size - offset));
    }

    int send(MidiHandle handle, const std::uint8_t* bytes, std::size_t size)
    {
        const std::lock_guard lock(sendMutex);
        const auto it = outs.find(handle);
        if (it == outs.end())
            return MidiResult::InvalidHandle;
        return call([&] { sendWhole(handle, *it->second, bytes, size); });
    }

    static void onInput(double, std::vector<unsigned char>* message, void* self)
    {
        auto* input = static_cast<Input*>(self);
        if (message && !message->empty() && input->started.load(std::memory_order_acquire))
            input->owner->forward(*input, *message);
    }

    // On the input's callback thread.
    void forward(const Input& input, std::span<const std::uint8_t> message)
    {
        {
            const std::lock_guard lock(sendMutex);
            const auto route = routes.find(input.handle);
            if (route != routes.end()) {
                forwarding = true;
                for (MidiHandle output : route->second) {
                    const auto out = outs.find(output);
                    if (out == outs.end() || (api == RtMidi::UNIX_JACK && message.size() > JackMaxMessageBytes))
                        continue;
                    forwardFailed = false;
                    try {
                        sendWhole(output, *out->second, message.data(), message.size());
                    } catch (const std::exception&) {
                        // Nobody to tell on this thread; the next message tries again.
                    }
                }
                forwarding = false;
            }
        }
        const std::lock_guard lock(listenerMutex);
        if (listener)
            listener(input.handle, message);
    }

    Input* findInput(MidiHandle handle)
    {
        const auto it = ins.find(handle);
        return it == ins.end() ? nullptr : it->second.get();
    }

    // RtMidi delivers from the moment a port opens; the callback drops what
    // comes while the input is not started.
    int setStarted(MidiHandle handle, bool started)
    {
        Input* input = findInput(handle);
        if (!input)
            return MidiResult::InvalidHandle;
        input->started.store(started, std::memory_order_release);
        return MidiResult::Ok;
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
    d_->watchedOuts.list(d_->outputs);
    d_->watchedIns.list(d_->inputs);
}

RtMidiSystem::~RtMidiSystem()
{
    d_->stopWatch();
}

void RtMidiSystem::setDeviceWatcher(std::function<void()> changed)
{
    const bool watch = static_cast<bool>(changed);
    {
        const std::lock_guard call(d_->watcherMutex);
        d_->watcher = std::move(changed);
    }
    if (!watch)
        d_->stopWatch();
    else if (d_->open && !d_->watchThread.joinable())
        d_->watchThread = std::thread([this] { d_->watchLoop(); });
}

bool RtMidiSystem::outputPresent(int device)
{
    if (device == -1)
        return d_->open;
    if (device < 0 || device >= outputCount())
        return false;
    const std::lock_guard lock(d_->watchMutex);
    return d_->watchedOuts.present[static_cast<std::size_t>(device)];
}

bool RtMidiSystem::outputLost(MidiHandle handle)
{
    const auto device = d_->outDevices.find(handle);
    if (device == d_->outDevices.end())
        return false;
    const std::lock_guard lock(d_->watchMutex);
    return d_->watchedOuts.lost(handle, device->second);
}

bool RtMidiSystem::inputPresent(int device)
{
    if (device < 0 || device >= inputCount())
        return false;
    const std::lock_guard lock(d_->watchMutex);
    return d_->watchedIns.present[static_cast<std::size_t>(device)];
}

bool RtMidiSystem::inputLost(MidiHandle handle)
{
    const Impl::Input* input = d_->findInput(handle);
    if (!input)
        return false;
    const std::lock_guard lock(d_->watchMutex);
    return d_->watchedIns.lost(handle, input->device);
}

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
    int vanishedBefore = 0;
    if (device >= 0) {
        const std::lock_guard lock(d_->watchMutex);
        vanishedBefore = d_->watchedOuts.vanished[static_cast<std::size_t>(device)];
    }
    const int result = d_->call([&] {
        out = std::make_unique<RtMidiOut>(d_->api, d_->client);
        d_->watch(*out);
        if (device == -1) {
            out->openVirtualPort(mapperPortName().toStdString());
            return;
        }
        const std::string name = d_->outputs[static_cast<std::size_t>(device)].toStdString();
        const std::optional<unsigned> index = d_->findPort(*out, name);
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
    d_->outDevices.emplace(handle, device);
    {
        const std::lock_guard lock(d_->watchMutex);
        d_->watchedOuts.openedAfter.emplace(handle, vanishedBefore);
    }
    const std::lock_guard lock(d_->sendMutex);
    d_->outs.emplace(handle, std::move(out));
    if (device == -1)
        d_->mapperOut = handle;
    return MidiResult::Ok;
}

int RtMidiSystem::closeOutput(MidiHandle handle)
{
    const auto it = d_->outs.find(handle);
    if (it == d_->outs.end())
        return MidiResult::InvalidHandle;
    // The handle is gone whatever closing reports.
    d_->outDevices.erase(handle);
    {
        const std::lock_guard lock(d_->watchMutex);
        d_->watchedOuts.openedAfter.erase(handle);
    }
    for (auto& entry : d_->ins) {
        if (entry.second->jack)
            entry.second->jack->removeRoute(handle);
    }
    std::unique_ptr<RtMidiOut> out;
    {
        const std::lock_guard lock(d_->sendMutex);
        out = std::move(it->second);
        d_->outs.erase(it);
        if (d_->mapperOut == handle)
            d_->mapperOut = 0;
        for (auto& [input, outputs] : d_->routes)
            std::erase(outputs, handle);
    }
    return d_->call([&] { out.reset(); });
}

int RtMidiSystem::sendShort(MidiHandle handle, std::uint32_t packed)
{
    const std::uint8_t bytes[3] = {
        static_cast<std::uint8_t>(packed & 0xFF),
        static_cast<std::uint8_t>((packed >> 8) & 0xFF),
        static_cast<std::uint8_t>((packed >> 16) & 0xFF),
    };
    return d_->send(handle, bytes, static_cast<std::size_t>(shortMessageLength(bytes[0])));
}

int RtMidiSystem::sendLong(MidiHandle handle, const std::uint8_t* bytes, std::size_t size)
{
    if (!d_->outs.contains(handle))
        return MidiResult::InvalidHandle;
    if (d_->api == RtMidi::UNIX_JACK && size > JackMaxMessageBytes) {
        d_->lastError = "JACK takes messages of up to " + std::to_string(JackMaxMessageBytes) + " bytes; this one has " +
                        std::to_string(size) + ".";
        return MidiResult::Error;
    }
    return d_->send(handle, bytes, size);
}

int RtMidiSystem::openInput(int device, MidiHandle& handle)
{
    handle = 0;
    if (!d_->open)
        return MidiResult::NoDriver;
    if (device < 0 || device >= inputCount())
        return MidiResult::BadDeviceId;

    auto input = std::make_unique<Impl::Input>();
    input->owner = d_.get();
    input->handle = d_->takeHandle();
    input->device = device;
    int vanishedBefore = 0;
    {
        const std::lock_guard lock(d_->watchMutex);
        vanishedBefore = d_->watchedIns.vanished[static_cast<std::size_t>(device)];
    }
    const std::string name = d_->inputs[static_cast<std::size_t>(device)].toStdString();
    if (d_->api == RtMidi::UNIX_JACK) {
        Impl::Input* self = input.get();
        input->jack = JackInput::open(
            d_->client, name, input->started,
            [self](std::span<const std::uint8_t> message) { self->owner->forward(*self, message); }, d_->lastError);
        if (!input->jack)
            return MidiResult::Error;
    } else {
        bool present = true;
        const int result = d_->call([&] {
            input->in = std::make_unique<RtMidiIn>(d_->api, d_->client);
            d_->watch(*input->in);
            // Thru passes every message: SysEx, clock and active sensing too.
            input->in->ignoreTypes(false, false, false);
            input->in->setCallback(&Impl::onInput, input.get());
            const std::optional<unsigned> index = d_->findPort(*input->in, name);
            if (!index) {
                present = false;
                return;
            }
            input->in->openPort(*index, "MIDI In");
        });
        if (result != MidiResult::Ok)
            return result;
        if (!present)
            return MidiResult::NoDevice;
    }
    handle = input->handle;
    {
        const std::lock_guard lock(d_->watchMutex);
        d_->watchedIns.openedAfter.emplace(handle, vanishedBefore);
    }
    d_->ins.emplace(handle, std::move(input));
    return MidiResult::Ok;
}

int RtMidiSystem::closeInput(MidiHandle handle)
{
    const auto it = d_->ins.find(handle);
    if (it == d_->ins.end())
        return MidiResult::InvalidHandle;
    std::unique_ptr<Impl::Input> input = std::move(it->second);
    d_->ins.erase(it);
    {
        const std::lock_guard lock(d_->watchMutex);
        d_->watchedIns.openedAfter.erase(handle);
    }
    input->started = false;
    {
        const std::lock_guard lock(d_->sendMutex);
        d_->routes.erase(handle);
    }
    // Outside the lock: closing waits for a callback that may be waiting on it.
    return d_->call([&] {
        input->jack.reset();
        input->in.reset();
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

int RtMidiSystem::startInput(MidiHandle handle)
{
    return d_->setStarted(handle, true);
}

int RtMidiSystem::stopInput(MidiHandle handle)
{
    return d_->setStarted(handle, false);
}

int RtMidiSystem::resetInput(MidiHandle handle)
{
    // RtMidi keeps no input buffers to hand back: a reset is a stop.
    return stopInput(handle);
}

int RtMidiSystem::connect(MidiHandle input, MidiHandle output)
{
    Impl::Input* in = d_->findInput(input);
    const auto device = d_->outDevices.find(output);
    if (!in || device == d_->outDevices.end())
        return MidiResult::InvalidHandle;
    // The mapper is an output port of ours that nothing can be connected to,
    // so a route to it is forwarded like one on ALSA.
    if (in->jack && device->second >= 0) {
        if (in->jack->hasRoute(output))
            return MidiResult::Ok;
        const std::string destination = d_->outputs[static_cast<std::size_t>(device->second)].toStdString();
        return in->jack->addRoute(output, destination, d_->lastError) ? MidiResult::Ok : MidiResult::Error;
    }
    const std::lock_guard lock(d_->sendMutex);
    std::vector<MidiHandle>& outputs = d_->routes[input];
    if (std::ranges::find(outputs, output) == outputs.end())
        outputs.push_back(output);
    return MidiResult::Ok;
}

int RtMidiSystem::disconnect(MidiHandle input, MidiHandle output)
{
    Impl::Input* in = d_->findInput(input);
    if (!in || !d_->outDevices.contains(output))
        return MidiResult::InvalidHandle;
    if (in->jack && in->jack->removeRoute(output))
        return MidiResult::Ok;
    const std::lock_guard lock(d_->sendMutex);
    const auto route = d_->routes.find(input);
    if (route == d_->routes.end() || std::erase(route->second, output) == 0)
        return MidiResult::InvalidParam;
    return MidiResult::Ok;
}

void RtMidiSystem::setMapperTap(MapperTap* tap)
{
    const std::lock_guard lock(d_->sendMutex);
    d_->mapperTap = tap;
}

void RtMidiSystem::setInputListener(InputListener listener)
{
    const std::lock_guard lock(d_->listenerMutex);
    d_->listener = std::move(listener);
}

std::optional<QString> RtMidiSystem::errorText(int code) const
{
    if (code == MidiResult::Error && !d_->lastError.empty())
        return QString::fromStdString(d_->lastError);
    return standardMidiErrorText(code);
}

}  // namespace orvell
