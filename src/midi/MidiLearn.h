#pragma once

#include <QObject>
#include <QString>

#include <compare>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace orvell {

class MidiEngine;

// Where a learned hardware control comes from.
struct LearnSource {
    enum class Kind { Controller, Note, PitchBend };
    Kind kind = Kind::Controller;
    int channel = 1;  // 1..16
    int number = 0;   // controller or note; 0 for pitch bend

    auto operator<=>(const LearnSource&) const = default;
};

// One message of a learnable kind: where it comes from and its value, 0..maximum.
struct LearnedInput {
    LearnSource source;
    int value = 0;
    int maximum = 127;
};

// A controller, note (on or off) or pitch bend message; nothing for any other.
std::optional<LearnedInput> learnedInput(std::span<const std::uint8_t> message);
// "CC 1 7", "Note 10 36", "Bend 2" and back; nothing for any other text.
QString formatLearnSource(const LearnSource& source);
std::optional<LearnSource> parseLearnSource(const QString& text);

// What a bound slot's owner hears from MidiLearn, always on the UI thread.
class LearnClient {
public:
    virtual ~LearnClient() = default;
    virtual void learnedInput(int slot, const LearnedInput& input) = 0;
    // A binding of this client's was made by learning.
    virtual void learnedBinding(int slot) = 0;
};

// Binds hardware controls arriving on any input port to panel slots. Input is
// taken on the backend's thread and handed to the UI thread in one queued call,
// so it reaches its slot at the next turn of the event loop.
class MidiLearn : public QObject {

public:
    explicit MidiLearn(MidiEngine& midi);
    ~MidiLearn() override;

    // The next learnable message binds to (client, slot), replacing what either had.
    void learn(LearnClient* client, int slot);
    void bind(LearnClient* client, int slot, const LearnSource& source);
    void forget(LearnClient* client, int slot);
    // Every binding and a pending learn of the client; before it goes away.
    void forgetAll(LearnClient* client);
    std::optional<LearnSource> bindingOf(const LearnClient* client, int slot) const;
    bool learning(const LearnClient* client, int slot) const;

    // Handles what the listener queued; called by the queued call, and by tests.
    void deliverQueued();

private:
    struct Target {
        LearnClient* client = nullptr;
        int slot = 0;
        bool operator==(const Target&) const = default;
    };
    void receive(std::span<const std::uint8_t> message);
    void eraseTarget(const Target& target);
    // Inputs are held open and started while they may be needed.
    void holdInputs();

    MidiEngine& midi_;
    std::map<LearnSource, Target> bindings_;
    std::optional<Target> pending_;
    bool holding_ = false;
    std::vector<QString> heldInputs_;

    std::mutex queueMutex_;
    std::vector<LearnedInput> queue_;  // guarded by queueMutex_
};

}  // namespace orvell
