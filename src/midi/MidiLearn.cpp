#include "midi/MidiLearn.h"

#include "midi/MidiEngine.h"
#include "midi/MidiSystem.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace orvell {

std::optional<LearnedInput> learnedInput(std::span<const std::uint8_t> message)
{
    if (message.size() < 3 || message[1] > 127 || message[2] > 127)
        return std::nullopt;
    const int status = message[0] & 0xF0;
    const int channel = (message[0] & 0x0F) + 1;
    switch (status) {
    case 0xB0:
        return LearnedInput{{LearnSource::Kind::Controller, channel, message[1]}, message[2], 127};
    case 0x90:
        // A note on with velocity 0 is a note off.
        return LearnedInput{{LearnSource::Kind::Note, channel, message[1]}, message[2], 127};
    case 0x80:
        return LearnedInput{{LearnSource::Kind::Note, channel, message[1]}, 0, 127};
    case 0xE0:
        return LearnedInput{{LearnSource::Kind::PitchBend, channel, 0}, message[1] + message[2] * 128, 16383};
    default:
        return std::nullopt;
    }
}

namespace {

const QString ControllerWord = QStringLiteral("CC");
const QString NoteWord = QStringLiteral("Note");
const QString BendWord = QStringLiteral("Bend");

std::optional<int> numberIn(const QString& text, int low, int high)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= low && n <= high ? std::optional(n) : std::nullopt;
}

}  // namespace

QString formatLearnSource(const LearnSource& source)
{
    const QString channel = QString::number(source.channel);
    switch (source.kind) {
    case LearnSource::Kind::Controller:
        return ControllerWord + u' ' + channel + u' ' + QString::number(source.number);
    case LearnSource::Kind::Note:
        return NoteWord + u' ' + channel + u' ' + QString::number(source.number);
    case LearnSource::Kind::PitchBend:
        break;
    }
    return BendWord + u' ' + channel;
}

std::optional<LearnSource> parseLearnSource(const QString& text)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    const bool bend = words[0] == BendWord;
    if (words.size() != (bend ? 2 : 3))
        return std::nullopt;
    const auto channel = numberIn(words[1], 1, 16);
    if (!channel)
        return std::nullopt;
    if (bend)
        return LearnSource{LearnSource::Kind::PitchBend, *channel, 0};
    const auto number = numberIn(words[2], 0, 127);
    if (!number || (words[0] != ControllerWord && words[0] != NoteWord))
        return std::nullopt;
    return LearnSource{words[0] == NoteWord ? LearnSource::Kind::Note : LearnSource::Kind::Controller, *channel,
                       *number};
}

MidiLearn::MidiLearn(MidiEngine& midi) : midi_(midi) {}

MidiLearn::~MidiLearn()
{
    bindings_.clear();
    pending_.reset();
    holdInputs();
}

void MidiLearn::learn(LearnClient* client, int slot)
{
    pending_ = Target{client, slot};
    holdInputs();
}

void MidiLearn::bind(LearnClient* client, int slot, const LearnSource& source)
{
    eraseTarget({client, slot});
    bindings_[source] = {client, slot};
    holdInputs();
}

void MidiLearn::forget(LearnClient* client, int slot)
{
    eraseTarget({client, slot});
    if (pending_ == Target{client, slot})
        pending_.reset();
    holdInputs();
}

void MidiLearn::forgetAll(LearnClient* client)
{
    std::erase_if(bindings_, [client](const auto& entry) { return entry.second.client == client; });
    if (pending_ && pending_->client == client)
        pending_.reset();
    holdInputs();
}

std::optional<LearnSource> MidiLearn::bindingOf(const LearnClient* client, int slot) const
{
    const auto found = std::ranges::find_if(
        bindings_, [&](const auto& entry) { return entry.second.client == client && entry.second.slot == slot; });
    return found == bindings_.end() ? std::nullopt : std::optional(found->first);
}

bool MidiLearn::learning(const LearnClient* client, int slot) const
{
    return pending_ && pending_->client == client && pending_->slot == slot;
}

void MidiLearn::eraseTarget(const Target& target)
{
    std::erase_if(bindings_, [&](const auto& entry) { return entry.second == target; });
}

void MidiLearn::receive(std::span<const std::uint8_t> message)
{
    const auto input = learnedInput(message);
    if (!input)
        return;
    bool first = false;
    {
        const std::lock_guard lock(queueMutex_);
        first = queue_.empty();
        queue_.push_back(*input);
    }
    // One queued call carries everything that arrives before it runs.
    if (first)
        QMetaObject::invokeMethod(this, [this] { deliverQueued(); }, Qt::QueuedConnection);
}

void MidiLearn::deliverQueued()
{
    std::vector<LearnedInput> inputs;
    {
        const std::lock_guard lock(queueMutex_);
        inputs.swap(queue_);
    }
    for (const LearnedInput& input : inputs) {
        if (pending_) {
            const Target target = *pending_;
            pending_.reset();
            // The control that taught the binding does not also move the slot.
            bind(target.client, target.slot, input.source);
            target.client->learnedBinding(target.slot);
            continue;
        }
        const auto found = bindings_.find(input.source);
        if (found != bindings_.end())
            found->second.client->learnedInput(found->second.slot, input);
    }
}

void MidiLearn::holdInputs()
{
    const bool wanted = pending_ || !bindings_.empty();
    if (wanted == holding_)
        return;
    holding_ = wanted;
    MidiSystem& system = midi_.system();
    if (!wanted) {
        system.setInputListener({});
        for (const QString& port : heldInputs_) {
            midi_.StopMidiIn(port);
            midi_.CloseMidiIn(port);
        }
        heldInputs_.clear();
        return;
    }
    for (int port = 1; port <= midi_.NumInDevs && port < int(midi_.MidiInPorts.size()); ++port) {
        const MidiPort& record = midi_.MidiInPorts[size_t(port)];
        if (!record.Enabled)
            continue;
        const QString text = QString::number(port);
        const int before = record.OpenCount;
        midi_.OpenMidiIn(text);
        // An input that would not open is not ours to close later.
        if (midi_.MidiInPorts[size_t(port)].OpenCount == before)
            continue;
        heldInputs_.push_back(text);
        midi_.StartMidiIn(text);
    }
    system.setInputListener([this](MidiHandle, std::span<const std::uint8_t> message) { receive(message); });
}

}  // namespace orvell
