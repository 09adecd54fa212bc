#pragma once

#include "midi/MidiSystem.h"

#include <QFile>

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

    // Failure injection. A code of MidiResult::Ok removes the failure.
    void failOpen(int device, int code, const QString& text = {});
    void failSend(int device, int code, const QString& text = {});
    void failClose(int device, int code, const QString& text = {});
    // A device whose name query fails is not present.
    void setAbsent(int device);

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

    int inputs_;
    int outputs_;
    const Clock& clock_;
    std::map<MidiHandle, int> openHandles_;  // handle -> device
    std::map<int, int> openCounts_;
    std::map<int, int> totalOpens_;
    std::map<int, Failure> openFailures_;
    std::map<int, Failure> sendFailures_;
    std::map<int, Failure> closeFailures_;
    std::map<int, QString> errorTexts_;
    std::vector<int> absent_;
    std::vector<SentMessage> sent_;
    MidiHandle nextHandle_ = 1;
    std::optional<int> mapperListeners_ = 0;
    std::unique_ptr<QFile> log_;
};

}  // namespace orvell
