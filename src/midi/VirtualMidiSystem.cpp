#include "midi/VirtualMidiSystem.h"

#include "core/Clock.h"

#include <algorithm>

namespace orvell {

VirtualMidiSystem::VirtualMidiSystem(int inputs, int outputs, const Clock& clock)
    : inputs_(std::max(0, inputs)), outputs_(std::max(0, outputs)), clock_(clock)
{
}

VirtualMidiSystem::~VirtualMidiSystem() = default;

std::optional<QString> VirtualMidiSystem::outputName(int device)
{
    if (device < -1 || device >= outputs_ || std::ranges::count(absent_, device))
        return std::nullopt;
    if (device == -1)
        return QStringLiteral("MIDI Mapper Out");
    if (!outPlugs_.plugged(device))
        return std::nullopt;
    if (device < outputNames_.size())
        return outputNames_[device];
    return QStringLiteral("Virtual Out %1").arg(device + 1);
}

void VirtualMidiSystem::setOutputNames(const QStringList& names)
{
    outputNames_ = names;
    outputs_ = static_cast<int>(names.size());
}

bool VirtualMidiSystem::setPlugged(const QString& name, bool plugged)
{
    bool found = false;
    for (int device = 0; device < outputs_; ++device) {
        const QString own = device < outputNames_.size() ? outputNames_[device]
                                                         : QStringLiteral("Virtual Out %1").arg(device + 1);
        if (own != name)
            continue;
        found = true;
        outPlugs_.set(device, plugged);
    }
    if (found && watcher_)
        watcher_();
    return found;
}

bool VirtualMidiSystem::setInputPlugged(int device, bool plugged)
{
    if (device < 0 || device >= inputs_)
        return false;
    inPlugs_.set(device, plugged);
    if (watcher_)
        watcher_();
    return true;
}

void VirtualMidiSystem::Plugs::set(int device, bool plugged)
{
    const bool wasPlugged = std::erase(unplugged, device) == 0;
    if (!plugged) {
        unplugged.push_back(device);
        if (wasPlugged)
            ++vanished[device];
    }
}

bool VirtualMidiSystem::Plugs::lost(MidiHandle handle, int device) const
{
    const auto opened = openedAfter.find(handle);
    const auto gone = vanished.find(device);
    return opened != openedAfter.end() && opened->second != (gone == vanished.end() ? 0 : gone->second);
}

bool VirtualMidiSystem::unplugOutput(const QString& name) { return setPlugged(name, false); }
bool VirtualMidiSystem::replugOutput(const QString& name) { return setPlugged(name, true); }
bool VirtualMidiSystem::unplugInput(int device) { return setInputPlugged(device, false); }
bool VirtualMidiSystem::replugInput(int device) { return setInputPlugged(device, true); }

bool VirtualMidiSystem::outputPresent(int device)
{
    return device >= -1 && device < outputs_ && outPlugs_.plugged(device) &&
           !std::ranges::count(absent_, device);
}

bool VirtualMidiSystem::outputLost(MidiHandle handle)
{
    const auto it = openHandles_.find(handle);
    if (it == openHandles_.end())
        return false;
    return outPlugs_.lost(handle, it->second);
}

bool VirtualMidiSystem::inputPresent(int device)
{
    return device >= 0 && device < inputs_ && inPlugs_.plugged(device);
}

bool VirtualMidiSystem::inputLost(MidiHandle handle)
{
    const auto it = openInputs_.find(handle);
    return it != openInputs_.end() && inPlugs_.lost(handle, it->second.device);
}

std::optional<QString> VirtualMidiSystem::inputName(int device)
{
    if (device < 0 || device >= inputs_ || !inPlugs_.plugged(device))
        return std::nullopt;
    return QStringLiteral("Virtual In %1").arg(device + 1);
}

int VirtualMidiSystem::failureFor(const std::map<int, Failure>& table, int device) const
{
    auto it = table.find(device);
    return it == table.end() ? MidiResult::Ok : it->second.code;
}

int VirtualMidiSystem::fail(std::map<int, Failure>& table, int device, int code, const QString& text)
{
    if (code == MidiResult::Ok) {
        table.erase(device);
    } else {
        table[device] = Failure{code};
        if (!text.isEmpty())
            errorTexts_[code] = text;
    }
    return code;
}

void VirtualMidiSystem::failOpen(int device, int code, const QString& text) { fail(openFailures_, device, code, text); }
void VirtualMidiSystem::failSend(int device, int code, const QString& text) { fail(sendFailures_, device, code, text); }
void VirtualMidiSystem::failClose(int device, int code, const QString& text) { fail(closeFailures_, device, code, text); }
void VirtualMidiSystem::setAbsent(int device) { absent_.push_back(device); }

int VirtualMidiSystem::openOutput(int device, MidiHandle& handle)
{
    if (device < -1 || device >= outputs_)
        return MidiResult::BadDeviceId;
    if (int code = failureFor(openFailures_, device))
        return code;
    if (!outPlugs_.plugged(device))
        return MidiResult::NoDevice;
    handle = nextHandle_++;
    openHandles_[handle] = device;
    outPlugs_.opened(handle, device);
    ++openCounts_[device];
    ++totalOpens_[device];
    return MidiResult::Ok;
}

int VirtualMidiSystem::closeOutput(MidiHandle handle)
{
    auto it = openHandles_.find(handle);
    if (it == openHandles_.end())
        return MidiResult::InvalidHandle;
    if (int code = failureFor(closeFailures_, it->second))
        return code;
    --openCounts_[it->second];
    openHandles_.erase(it);
    outPlugs_.openedAfter.erase(handle);
    for (auto& [inputHandle, input] : openInputs_)
        std::erase(input.outputs, handle);
    return MidiResult::Ok;
}

int VirtualMidiSystem::sendShort(MidiHandle handle, std::uint32_t packed)
{
    const auto status = static_cast<std::uint8_t>(packed & 0xFF);
    const int length = shortMessageLength(status);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < length; ++i)
        bytes.push_back(static_cast<std::uint8_t>((packed >> (8 * i)) & 0xFF));
    return deliver(handle, std::move(bytes));
}

int VirtualMidiSystem::sendLong(MidiHandle handle, const std::uint8_t* bytes, std::size_t size)
{
    return deliver(handle, std::vector<std::uint8_t>(bytes, bytes + size));
}

int VirtualMidiSystem::deliver(MidiHandle handle, std::vector<std::uint8_t> bytes)
{
    auto it = openHandles_.find(handle);
    if (it == openHandles_.end())
        return MidiResult::InvalidHandle;
    if (int code = failureFor(sendFailures_, it->second))
        return code;
    if (outputLost(handle))
        return MidiResult::NoDevice;

    SentMessage message;
    message.micros = clock_.nowMicros();
    message.port = it->second + 1;
    message.bytes = std::move(bytes);

    if (log_) {
        QByteArray line = QByteArray::number(message.micros / 1000) + ' ' + QByteArray::number(message.port);
        for (auto byte : message.bytes)
            line += ' ' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        line += '\n';
        log_->write(line);
        log_->flush();
    }
    if (message.port == 0 && mapperTap_)
        mapperTap_->mapperSent(message.bytes);
    sent_.push_back(std::move(message));
    return MidiResult::Ok;
}

namespace {

const char* callName(VirtualMidiSystem::InputCall call)
{
    using Call = VirtualMidiSystem::InputCall;
    switch (call) {
    case Call::Open: return "open";
    case Call::Close: return "close";
    case Call::Start: return "start";
    case Call::Stop: return "stop";
    case Call::Reset: return "reset";
    case Call::Connect: return "connect";
    case Call::Disconnect: return "disconnect";
    }
    return "";
}

}  // namespace

void VirtualMidiSystem::failInput(InputCall call, int device, int code, const QString& text)
{
    if (code == MidiResult::Ok) {
        inputFailures_.erase({call, device});
        return;
    }
    inputFailures_[{call, device}] = code;
    if (!text.isEmpty())
        errorTexts_[code] = text;
}

VirtualMidiSystem::Input* VirtualMidiSystem::inputCall(InputCall call, MidiHandle handle, int& result,
                                                       const QString& detail)
{
    auto it = openInputs_.find(handle);
    const QString device = it == openInputs_.end() ? QStringLiteral("?") : QString::number(it->second.device);
    inputCalls_.append(QString::fromLatin1(callName(call)) + u' ' + device + detail);
    if (it == openInputs_.end()) {
        result = MidiResult::InvalidHandle;
        return nullptr;
    }
    const auto failure = inputFailures_.find({call, it->second.device});
    result = failure == inputFailures_.end() ? MidiResult::Ok : failure->second;
    return result == MidiResult::Ok ? &it->second : nullptr;
}

int VirtualMidiSystem::openInput(int device, MidiHandle& handle)
{
    inputCalls_.append(QStringLiteral("open %1").arg(device));
    if (device < 0 || device >= inputs_)
        return MidiResult::BadDeviceId;
    const auto failure = inputFailures_.find({InputCall::Open, device});
    if (failure != inputFailures_.end())
        return failure->second;
    if (!inPlugs_.plugged(device))
        return MidiResult::NoDevice;
    handle = nextHandle_++;
    openInputs_[handle] = Input{device, false, {}};
    inPlugs_.opened(handle, device);
    return MidiResult::Ok;
}

int VirtualMidiSystem::closeInput(MidiHandle handle)
{
    int result = MidiResult::Ok;
    if (inputCall(InputCall::Close, handle, result)) {
        openInputs_.erase(handle);
        inPlugs_.openedAfter.erase(handle);
    }
    return result;
}

int VirtualMidiSystem::setStarted(InputCall call, MidiHandle handle, bool started)
{
    int result = MidiResult::Ok;
    if (Input* input = inputCall(call, handle, result))
        input->started = started;
    return result;
}

int VirtualMidiSystem::startInput(MidiHandle handle) { return setStarted(InputCall::Start, handle, true); }
int VirtualMidiSystem::stopInput(MidiHandle handle) { return setStarted(InputCall::Stop, handle, false); }
int VirtualMidiSystem::resetInput(MidiHandle handle) { return setStarted(InputCall::Reset, handle, false); }

VirtualMidiSystem::Input* VirtualMidiSystem::routeCall(InputCall call, MidiHandle inputHandle, MidiHandle output,
                                                      int& result)
{
    const auto out = openHandles_.find(output);
    const QString detail = u' ' + (out == openHandles_.end() ? QStringLiteral("?") : QString::number(out->second));
    Input* input = inputCall(call, inputHandle, result, detail);
    if (input && out == openHandles_.end()) {
        result = MidiResult::InvalidHandle;
        return nullptr;
    }
    return input;
}

int VirtualMidiSystem::connect(MidiHandle inputHandle, MidiHandle output)
{
    int result = MidiResult::Ok;
    Input* input = routeCall(InputCall::Connect, inputHandle, output, result);
    if (input && !std::ranges::count(input->outputs, output))
        input->outputs.push_back(output);
    return result;
}

int VirtualMidiSystem::disconnect(MidiHandle inputHandle, MidiHandle output)
{
    int result = MidiResult::Ok;
    Input* input = routeCall(InputCall::Disconnect, inputHandle, output, result);
    if (input && std::erase(input->outputs, output) == 0)
        return MidiResult::InvalidParam;
    return result;
}

int VirtualMidiSystem::playInto(int device, std::span<const std::uint8_t> message)
{
    if (device < 0 || device >= inputs_)
        return MidiResult::BadDeviceId;
    if (!inPlugs_.plugged(device))
        return MidiResult::Ok;  // nobody hears a keyboard that is not there
    for (const auto& [handle, input] : openInputs_) {
        if (input.device != device || !input.started || inPlugs_.lost(handle, device))
            continue;
        for (MidiHandle output : input.outputs)
            deliver(output, std::vector<std::uint8_t>(message.begin(), message.end()));
        if (listener_)
            listener_(handle, message);
    }
    return MidiResult::Ok;
}

bool VirtualMidiSystem::inputStarted(int device) const
{
    return std::ranges::any_of(openInputs_,
                               [device](const auto& entry) { return entry.second.device == device && entry.second.started; });
}

int VirtualMidiSystem::openInputCount(int device) const
{
    return static_cast<int>(
        std::ranges::count_if(openInputs_, [device](const auto& entry) { return entry.second.device == device; }));
}

std::optional<QString> VirtualMidiSystem::errorText(int code) const
{
    auto it = errorTexts_.find(code);
    if (it != errorTexts_.end())
        return it->second;
    return standardMidiErrorText(code);
}

int VirtualMidiSystem::openDeviceCount(int device) const
{
    auto it = openCounts_.find(device);
    return it == openCounts_.end() ? 0 : it->second;
}

int VirtualMidiSystem::totalOpens(int device) const
{
    auto it = totalOpens_.find(device);
    return it == totalOpens_.end() ? 0 : it->second;
}

bool VirtualMidiSystem::setLogFile(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    log_ = std::move(file);
    return true;
}

}  // namespace orvell
