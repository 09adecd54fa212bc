#pragma once

#include "midi/MidiSystem.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

#include <map>
#include <memory>
#include <vector>

namespace orvell {

class Clock;

// In-process MIDI devices: every message sent is recorded with its time, and
// any call can be told to fail. Used by the tests and as the fallback backend
// on machines without a MIDI system.
class VirtualMidiSystem final : public MidiSystem {
public:
    struct SentMessage {
        std::int64_t micros = 0;
        int port = 0;  // the program's numbering: 0 = mapper, n = device n-1
        std::vector<std::uint8_t> bytes;
    };

    VirtualMidiSystem(int inputs, int outputs, const Clock& clock);
    ~VirtualMidiSystem() override;

    QString backendName() const override { return QStringLiteral("virtual"); }
    int outputCount() override { return outputs_; }
    std::optional<QString> outputName(int device) override;
    int inputCount() override { return inputs_; }
    std::optional<QString> inputName(int device) override;

    int openOutput(int device, MidiHandle& handle) override;
    int closeOutput(MidiHandle handle) override;
    int sendShort(MidiHandle handle, std::uint32_t packed) override;
    int sendLong(MidiHandle handle, const std::uint8_t* bytes, std::size_t size) override;
    std::optional<QString> errorText(int code) const override;
    // No program listens to the mapper until a test says so.
    std::optional<int> mapperListeners() override { return mapperListeners_; }
    void setMapperListeners(std::optional<int> count) { mapperListeners_ = count; }
    void setMapperTap(MapperTap* tap) override { mapperTap_ = tap; }

    int openInput(int device, MidiHandle& handle) override;
    int closeInput(MidiHandle handle) override;
    int startInput(MidiHandle handle) override;
    int stopInput(MidiHandle handle) override;
    int resetInput(MidiHandle handle) override;
    int connect(MidiHandle input, MidiHandle output) override;
    int disconnect(MidiHandle input, MidiHandle output) override;
    void setInputListener(InputListener listener) override { listener_ = std::move(listener); }

    // A keyboard on input `device` plays one message: every started open of
    // the device passes it to its connected outputs and to the listener, on
    // the caller's thread. BadDeviceId for a device that does not exist.
    int playInto(int device, std::span<const std::uint8_t> message);

    enum class InputCall { Open, Close, Start, Stop, Reset, Connect, Disconnect };
    // Makes `call` on input `device` fail; MidiResult::Ok removes the failure.
    void failInput(InputCall call, int device, int code, const QString& text = {});
    // Every input call that reached the system, in order: "open 0", "start 0",
    // "connect 0 1" (input device, output device; -1 is the mapper)...
    const QStringList& inputCalls() const { return inputCalls_; }
    void clearInputCalls() { inputCalls_.clear(); }
    bool inputStarted(int device) const;
    int openInputCount(int device) const;

    // Failure injection. A code of MidiResult::Ok removes the failure.
    void failOpen(int device, int code, const QString& text = {});
    void failSend(int device, int code, const QString& text = {});
    void failClose(int device, int code, const QString& text = {});
    // A device whose name query fails is not present.
    void setAbsent(int device);

    // Output devices named as given instead of "Virtual Out n"; before the
    // engine enumerates them.
    void setOutputNames(const QStringList& names);
    // A USB synth pulled out and plugged in again: every output of that name
    // goes (its open handles are lost for good) or comes back, and the
    // device watcher hears of it on the caller's thread. False when no
    // output has the name.
    bool unplugOutput(const QString& name);
    bool replugOutput(const QString& name);
    // The same for a keyboard on input `device`; false when there is none.
    bool unplugInput(int device);
    bool replugInput(int device);
    void setDeviceWatcher(std::function<void()> changed) override { watcher_ = std::move(changed); }
    bool outputPresent(int device) override;
    bool outputLost(MidiHandle handle) override;
    bool inputPresent(int device) override;
    bool inputLost(MidiHandle handle) override;

    const std::vector<SentMessage>& sent() const { return sent_; }
    void clearSent() { sent_.clear(); }
    int openDeviceCount(int device) const;  // how many times the device is open now
    int totalOpens(int device) const;       // how many opens ever succeeded

    // Writes one line per message: milliseconds, port, bytes in upper-case hex.
    bool setLogFile(const QString& path);

private:
    struct Failure {
        int code = MidiResult::Ok;
    };
    int fail(std::map<int, Failure>& table, int device, int code, const QString& text);
    int failureFor(const std::map<int, Failure>& table, int device) const;
    // Keeps a message sent on `handle`, or says why it cannot go.
    int deliver(MidiHandle handle, std::vector<std::uint8_t> bytes);

    struct Input {
        int device = 0;
        bool started = false;
        std::vector<MidiHandle> outputs;  // thru destinations
    };
    // The open input behind `handle`, after recording the call and applying
    // an injected failure; the result code is set when there is none.
    Input* inputCall(InputCall call, MidiHandle handle, int& result, const QString& detail = {});
    int setStarted(InputCall call, MidiHandle handle, bool started);
    // As inputCall, for a call that names an output too.
    Input* routeCall(InputCall call, MidiHandle input, MidiHandle output, int& result);

    // The devices of one side that were pulled out.
    struct Plugs {
        std::vector<int> unplugged;
        std::map<int, int> vanished;            // device -> how often it went away
        std::map<MidiHandle, int> openedAfter;  // handle -> its device's `vanished` at the open
        bool plugged(int device) const { return !std::ranges::count(unplugged, device); }
        void set(int device, bool plugged);
        void opened(MidiHandle handle, int device) { openedAfter[handle] = vanished[device]; }
        bool lost(MidiHandle handle, int device) const;
    };
    // Sets the plugged state of every output called `name`.
    bool setPlugged(const QString& name, bool plugged);
    bool setInputPlugged(int device, bool plugged);

    int inputs_;
    int outputs_;
    QStringList outputNames_;
    Plugs outPlugs_;
    Plugs inPlugs_;
    std::function<void()> watcher_;
    const Clock& clock_;
    std::map<MidiHandle, int> openHandles_;  // handle -> device
    std::map<int, int> openCounts_;
    std::map<int, int> totalOpens_;
    std::map<int, Failure> openFailures_;
    std::map<int, Failure> sendFailures_;
    std::map<int, Failure> closeFailures_;
    std::map<int, QString> errorTexts_;
    std::vector<int> absent_;
    std::map<MidiHandle, Input> openInputs_;
    std::map<std::pair<InputCall, int>, int> inputFailures_;  // (call, device) -> code
    QStringList inputCalls_;
    InputListener listener_;
    MapperTap* mapperTap_ = nullptr;
    std::vector<SentMessage> sent_;
    MidiHandle nextHandle_ = 1;
    std::optional<int> mapperListeners_ = 0;
    std::unique_ptr<QFile> log_;
};

}  // namespace orvell
