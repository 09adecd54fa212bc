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
    return QStringLiteral("Virtual Out %1").arg(device + 1);
}

std::optional<QString> VirtualMidiSystem::inputName(int device)
{
    if (device < 0 || device >= inputs_)
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
    handle = nextHandle_++;
    openHandles_[handle] = device;
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
    sent_.push_back(std::move(message));
    return MidiResult::Ok;
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
