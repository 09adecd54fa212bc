#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace orvell {

// Result codes of MidiSystem calls. The numbers follow the classic multimedia
// error codes so that logs and error boxes read the same on every backend.
namespace MidiResult {
constexpr int Ok = 0;
constexpr int Error = 1;          // unspecified failure; the backend keeps its text
constexpr int BadDeviceId = 2;
constexpr int Allocated = 4;
constexpr int InvalidHandle = 5;
constexpr int NoDriver = 6;
constexpr int NoMemory = 7;
constexpr int InvalidParam = 11;
constexpr int NotReady = 67;
constexpr int NoDevice = 68;
}  // namespace MidiResult

using MidiHandle = std::uint32_t;  // 0 = never opened

// Hears every message that went out on the mapper (output device -1): what
// the program sent there and what a thru route forwarded, from whichever
// thread sent it. It must not call back into the MIDI system.
class MapperTap {
public:
    virtual ~MapperTap() = default;
    virtual void mapperSent(std::span<const std::uint8_t> message) = 0;
};

// The MIDI services the engine needs. Device -1 is the mapper: our own virtual
// output port that other programs connect to. Devices 0..count-1 are the
// system's ports in enumeration order.
class MidiSystem {
public:
    virtual ~MidiSystem() = default;

    virtual QString backendName() const = 0;

    virtual int outputCount() = 0;
    // Name of output device `device` (-1 = mapper), or nothing when the device
    // does not answer.
    virtual std::optional<QString> outputName(int device) = 0;
    virtual int inputCount() = 0;
    virtual std::optional<QString> inputName(int device) = 0;

    virtual int openOutput(int device, MidiHandle& handle) = 0;
    virtual int closeOutput(MidiHandle handle) = 0;
    // Sends the bytes of one short message packed as status + d1*256 + d2*65536.
    // Real-time and other one-byte status values send only the status byte.
    virtual int sendShort(MidiHandle handle, std::uint32_t packed) = 0;
    // Sends one system-exclusive message, F0 to F7, so that it arrives whole.
    virtual int sendLong(MidiHandle handle, const std::uint8_t* bytes, std::size_t size) = 0;

    // Inputs are numbered as outputs, 0..inputCount()-1 (there is no mapper).
    // An open input delivers nothing until started; stop and reset halt it.
    virtual int openInput(int device, MidiHandle& handle) = 0;
    virtual int closeInput(MidiHandle handle) = 0;
    virtual int startInput(MidiHandle handle) = 0;
    virtual int stopInput(MidiHandle handle) = 0;
    virtual int resetInput(MidiHandle handle) = 0;
    // Thru: each message a started input receives goes out whole on every
    // output connected to it, on the backend's own thread. Closing either
    // side ends the connection.
    virtual int connect(MidiHandle input, MidiHandle output) = 0;
    virtual int disconnect(MidiHandle input, MidiHandle output) = 0;

    // Sees each message of a started input, on the backend's thread. The
    // listener must not call back into the system; once setInputListener
    // returns, the previous listener is no longer called.
    using InputListener = std::function<void(MidiHandle input, std::span<const std::uint8_t> message)>;
    virtual void setInputListener(InputListener listener) = 0;

    // Null removes the tap; once this returns the previous one is no longer
    // called.
    virtual void setMapperTap(MapperTap* tap) = 0;

    // How many ports of other programs are connected to the mapper's
    // output, or nothing when the system cannot tell.
    virtual std::optional<int> mapperListeners() { return std::nullopt; }

    // The text of a result code, or nothing when the code is unknown.
    virtual std::optional<QString> errorText(int code) const = 0;

    // Devices that come and go after enumeration. `changed` is called, on
    // any thread, whenever an output or input device may have gone or come
    // back; an empty function ends the watch, and once this returns the
    // previous one is no longer called. A system without such devices never
    // calls it.
    virtual void setDeviceWatcher(std::function<void()> changed) { (void)changed; }
    // Whether output device `device` of the enumeration answers now.
    virtual bool outputPresent(int device) { return device >= -1 && device < outputCount(); }
    // Whether the device behind an open output went away since the open:
    // its sends reach nothing, even once the device is back, until it is
    // opened again.
    virtual bool outputLost(MidiHandle handle) { (void)handle; return false; }
    // The same for input devices: a lost input hears nothing until opened again.
    virtual bool inputPresent(int device) { return device >= 0 && device < inputCount(); }
    virtual bool inputLost(MidiHandle handle) { (void)handle; return false; }
};

// Number of bytes a short message with this status byte carries.
int shortMessageLength(std::uint8_t status);

// Standard texts for the codes above.
std::optional<QString> standardMidiErrorText(int code);

}  // namespace orvell
