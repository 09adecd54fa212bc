#pragma once

#include "midi/MidiSystem.h"

#include <RtMidi.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvell::test {

// JACK now and then refuses a client whose name was closed a moment ago, so
// every test uses fresh names.
inline int nextId()
{
    static int counter = 0;
    return ++counter;
}

inline std::string uniquePortName(const char* stem)
{
    return std::string(stem) + " " + std::to_string(nextId());
}

// The device number under which `system` lists the port `fullName`
// ("client:port") among its outputs or inputs.
inline std::optional<int> findDevice(MidiSystem& system, bool output, const std::string& fullName)
{
    const QString wanted = QString::fromStdString(fullName);
    const int count = output ? system.outputCount() : system.inputCount();
    for (int i = 0; i < count; ++i) {
        if ((output ? system.outputName(i) : system.inputName(i)) == wanted)
            return i;
    }
    return std::nullopt;
}

// A keyboard: a JACK client of its own whose output port "keys" plays into
// the inputs it is connected to.
struct Keyboard {
    Keyboard() { out.openVirtualPort("keys"); }
    void play(const std::vector<unsigned char>& message) { out.sendMessage(&message); }

    const std::string client = "Keyboard" + std::to_string(nextId());
    const std::string port = client + ":keys";
    RtMidiOut out{RtMidi::UNIX_JACK, client};
};

// A second JACK client that records every message it receives. Messages
// arrive on JACK's process thread.
class Probe {
public:
    using Bytes = std::vector<unsigned char>;

    Probe() : client_("Probe" + std::to_string(nextId())), in_(RtMidi::UNIX_JACK, client_)
    {
        in_.ignoreTypes(false, false, false);
        in_.setCallback(&Probe::receive, this);
    }

    const std::string& client() const { return client_; }

    // A port of ours that RtMidiSystem lists as an output device.
    void openVirtual(const std::string& portName) { in_.openVirtualPort(portName); }
    // The port goes away, as an unplugged device's does.
    void closeVirtual() { in_.closePort(); }

    // Connects to the output port called `fullName` ("client:port").
    bool connectTo(const std::string& fullName)
    {
        const std::optional<unsigned> index = find(fullName);
        if (!index)
            return false;
        in_.openPort(*index, "probe");
        return in_.isPortOpen();
    }

    bool lists(const std::string& fullName) { return find(fullName).has_value(); }

    bool waitFor(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(2))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (received().size() >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return received().size() >= count;
    }

    std::vector<Bytes> received()
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }

    void clear()
    {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

private:
    static void receive(double, std::vector<unsigned char>* message, void* self)
    {
        auto* probe = static_cast<Probe*>(self);
        std::lock_guard lock(probe->mutex_);
        probe->messages_.push_back(*message);
    }

    std::optional<unsigned> find(const std::string& fullName)
    {
        const unsigned count = in_.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            if (in_.getPortName(i) == fullName)
                return i;
        }
        return std::nullopt;
    }

    std::string client_;
    RtMidiIn in_;
    std::mutex mutex_;
    std::vector<Bytes> messages_;
};

// Sends one message and returns what the probe received for it. A
// non-realtime JACK server on a busy machine drops whole cycles (xruns) and
// the messages in them, so an unanswered send is repeated.
// `send` says whether the message went out; nothing is awaited when it did not.
inline std::optional<Probe::Bytes> sendAndReceive(Probe& probe, const std::function<bool()>& send)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::size_t before = probe.received().size();
        if (!send())
            return std::nullopt;
        if (probe.waitFor(before + 1, std::chrono::milliseconds(300)))
            return probe.received().at(before);
    }
    return std::nullopt;
}

}  // namespace orvell::test
