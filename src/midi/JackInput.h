#pragma once

#include "midi/MidiSystem.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

using jack_client_t = struct _jack_client;
using jack_port_t = struct _jack_port;

namespace orvell {

// A MIDI input on a JACK client of our own. Thru routes are output ports of
// the same client, filled in the same process cycle as the input is read:
// a route adds no period to the way, and it ends with our process.
class JackInput {
public:
    // Each message received while `started` is set, on JACK's process thread.
    using Receive = std::function<void(std::span<const std::uint8_t>)>;

    // A client called `clientName` whose port "MIDI In" is connected from
    // the output port `source`; nothing and a reason when that fails.
    static std::unique_ptr<JackInput> open(const std::string& clientName, const std::string& source,
                                           const std::atomic<bool>& started, Receive receive, std::string& error);
    ~JackInput();
    JackInput(const JackInput&) = delete;
    JackInput& operator=(const JackInput&) = delete;

    // A port of ours connected to the input port `destination`, known by `key`.
    bool addRoute(MidiHandle key, const std::string& destination, std::string& error);
    bool hasRoute(MidiHandle key);
    // False when there is no such route.
    bool removeRoute(MidiHandle key);

private:
    JackInput(const std::atomic<bool>& started, Receive receive);
    static int process(std::uint32_t frames, void* self);

    const std::atomic<bool>& started_;
    Receive receive_;
    jack_client_t* client_ = nullptr;
    jack_port_t* in_ = nullptr;
    int portsMade_ = 0;
    // Held by the process thread for one cycle's copying and by the caller
    // only to change the list, never around a JACK call.
    struct Route {
        MidiHandle key = 0;
        jack_port_t* port = nullptr;
        bool retired = false;  // being taken down: filled with nothing
    };
    std::mutex routesMutex_;
    std::vector<Route> routes_;
};

}  // namespace orvell
