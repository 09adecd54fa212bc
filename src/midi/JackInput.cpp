#include "midi/JackInput.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>

namespace orvell {

JackInput::JackInput(const std::atomic<bool>& started, Receive receive)
    : started_(started), receive_(std::move(receive))
{
}

std::unique_ptr<JackInput> JackInput::open(const std::string& clientName, const std::string& source,
                                           const std::atomic<bool>& started, Receive receive, std::string& error)
{
    std::unique_ptr<JackInput> input(new JackInput(started, std::move(receive)));
    jack_status_t status{};
    input->client_ = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!input->client_) {
        error = "JACK refused a client for the input.";
        return nullptr;
    }
    input->in_ = jack_port_register(input->client_, "MIDI In", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!input->in_ || jack_set_process_callback(input->client_, &JackInput::process, input.get()) != 0 ||
        jack_activate(input->client_) != 0) {
        error = "JACK refused the input port.";
        return nullptr;
    }
    if (jack_connect(input->client_, source.c_str(), jack_port_name(input->in_)) != 0) {
        error = "JACK cannot connect " + source + " to our input.";
        return nullptr;
    }
    return input;
}

JackInput::~JackInput()
{
    // Closing waits for the process thread to leave and ends every connection.
    if (client_)
        jack_client_close(client_);
}

bool JackInput::addRoute(MidiHandle key, const std::string& destination, std::string& error)
{
    const std::string name = "MIDI Thru " + std::to_string(++portsMade_);
    jack_port_t* port = jack_port_register(client_, name.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!port) {
        error = "JACK refused a thru port.";
        return false;
    }
    // Listed before it is connected, so that the process thread fills its
    // buffer in every cycle JACK reads it.
    {
        const std::lock_guard lock(routesMutex_);
        routes_.push_back(Route{key, port, false});
    }
    if (jack_connect(client_, jack_port_name(port), destination.c_str()) != 0) {
        removeRoute(key);
        error = "JACK cannot connect our thru port to " + destination + ".";
        return false;
    }
    return true;
}

bool JackInput::hasRoute(MidiHandle key)
{
    const std::lock_guard lock(routesMutex_);
    return std::ranges::any_of(routes_, [key](const Route& route) { return route.key == key; });
}

bool JackInput::removeRoute(MidiHandle key)
{
    jack_port_t* port = nullptr;
    {
        const std::lock_guard lock(routesMutex_);
        const auto it = std::ranges::find_if(routes_, [key](const Route& route) { return route.key == key; });
        if (it == routes_.end())
            return false;
        // From now on it goes out empty, so a cycle that reads it after it
        // leaves the list finds nothing to repeat.
        it->retired = true;
        port = it->port;
    }
    jack_port_disconnect(client_, port);
    {
        const std::lock_guard lock(routesMutex_);
        std::erase_if(routes_, [key](const Route& route) { return route.key == key; });
    }
    jack_port_unregister(client_, port);
    return true;
}

int JackInput::process(std::uint32_t frames, void* self)
{
    auto* input = static_cast<JackInput*>(self);
    void* in = jack_port_get_buffer(input->in_, frames);
    const bool started = input->started_.load(std::memory_order_acquire);
    const std::uint32_t count = started ? jack_midi_get_event_count(in) : 0;
    {
        const std::lock_guard lock(input->routesMutex_);
        for (const Route& route : input->routes_) {
            void* out = jack_port_get_buffer(route.port, frames);
            jack_midi_clear_buffer(out);
            jack_midi_event_t event;
            for (std::uint32_t i = 0; i < count && !route.retired; ++i) {
                if (jack_midi_event_get(&event, in, i) == 0)
                    jack_midi_event_write(out, event.time, event.buffer, event.size);
            }
        }
    }
    jack_midi_event_t event;
    for (std::uint32_t i = 0; i < count && input->receive_; ++i) {
        if (jack_midi_event_get(&event, in, i) == 0 && event.size > 0)
            input->receive_(std::span<const std::uint8_t>(event.buffer, event.size));
    }
    return 0;
}

}  // namespace orvell
