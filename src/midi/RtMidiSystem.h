#pragma once

#include "midi/MidiSystem.h"

// Only for RtMidi::Api: a nested enum cannot be forward-declared. Everything
// else of RtMidi stays in the source file.
#include <RtMidi.h>

#include <memory>

namespace orvell {

// MIDI through RtMidi on the ALSA sequencer or JACK.
//
// The device lists are a snapshot taken at construction, without our own
// ports. Opening a device looks its name up again, because the system's port
// indices shift when devices come and go. Every open is a separate RtMidi
// client connection (under JACK a separate client, named Orvell, Orvell-01...).
//
// A device that is unplugged and plugged in again is found by its name; on
// ALSA the client and port numbers at the end of the name may differ then.
//
// Thru never connects other programs' ports to each other, so every route
// ends with our process, however it ends: under JACK an input is a client of
// our own with a port per route, filled in the cycle the input is read
// (JackInput); on ALSA RtMidi's input callback forwards through our output
// connection.
class RtMidiSystem final : public MidiSystem {
public:
    // The longest message a JACK client passes on: RtMidi queues messages in
    // a 16 KB ring buffer and loses, without a word, one that does not fit.
    static constexpr std::size_t JackMaxMessageBytes = 16000;

    // Never throws: when the API cannot be initialised the system has no
    // devices and every open fails with NoDriver.
    explicit RtMidiSystem(RtMidi::Api api, const QString& clientName = QStringLiteral("Orvell"));
    ~RtMidiSystem() override;

    RtMidiSystem(const RtMidiSystem&) = delete;
    RtMidiSystem& operator=(const RtMidiSystem&) = delete;

    // Whether the API could be initialised.
    bool isOpen() const;

    QString backendName() const override;

    int outputCount() override;
    std::optional<QString> outputName(int device) override;
    int inputCount() override;
    std::optional<QString> inputName(int device) override;

    int openOutput(int device, MidiHandle& handle) override;
    int closeOutput(MidiHandle handle) override;
    int sendShort(MidiHandle handle, std::uint32_t packed) override;
    int sendLong(MidiHandle handle, const std::uint8_t* bytes, std::size_t size) override;

    int openInput(int device, MidiHandle& handle) override;
    int closeInput(MidiHandle handle) override;
    int startInput(MidiHandle handle) override;
    int stopInput(MidiHandle handle) override;
    int resetInput(MidiHandle handle) override;
    int connect(MidiHandle input, MidiHandle output) override;
    int disconnect(MidiHandle input, MidiHandle output) override;
    void setInputListener(InputListener listener) override;
    void setMapperTap(MapperTap* tap) override;
    std::optional<int> mapperListeners() override;

    // A thread of its own lists the system's outputs and inputs twice a
    // second while a watcher is set: RtMidi has no word for devices that
    // come and go.
    void setDeviceWatcher(std::function<void()> changed) override;
    bool outputPresent(int device) override;
    bool outputLost(MidiHandle handle) override;
    bool inputPresent(int device) override;
    bool inputLost(MidiHandle handle) override;

    // For MidiResult::Error: RtMidi's text of the last failure.
    std::optional<QString> errorText(int code) const override;

    static QString mapperPortName() { return QStringLiteral("MIDI Mapper Out"); }

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace orvell
