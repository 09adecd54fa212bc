#include "midi/MidiEngine.h"

#include "core/AppFlags.h"
#include "core/Clock.h"
#include "core/Numeric.h"
#include "core/Reporter.h"
#include "help/MessageTable.h"

#include <algorithm>
#include <variant>

namespace orvell {

namespace {

// Message numbers used here.
enum : int {
    MsgDone = 1,
    MsgSent = 2,
    MsgFail = 3,
    MsgClose = 5,
    MsgOpen = 6,
    MsgController = 7,
    MsgProgramChange = 8,
    MsgPitchBend = 9,
    MsgAfterTouch = 10,
    MsgData = 11,
    MsgChan = 12,
    MsgConnect = 13,
    MsgPort = 14,
    MsgToOutput = 16,
    MsgCancel = 17,
    MsgMidiIn = 47,
    MsgMidiOut = 48,
    MsgInvalidPort = 62,
    MsgHexOnly = 258,
    MsgSysExMsg = 259,
    MsgRealTime = 262,
};

// A data byte of 0x80 or more would be read by the device as a new status.
std::uint8_t dataByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }

constexpr int SilenceStepMs = 100;

}  // namespace

MidiEngine::MidiEngine(MidiSystem& system, const MessageTable& msgs, Reporter& reporter, Scheduler& scheduler,
                       const AppFlags& flags)
    : system_(system), msgs_(msgs), reporter_(reporter), scheduler_(scheduler), flags_(flags)
{
}

void MidiEngine::InitMidiDevs()
{
    const std::lock_guard lock(systemMutex_);
    NumInDevs = std::max(0, system_.inputCount());
    MidiInPorts.assign(static_cast<size_t>(NumInDevs) + 1, MidiPort{});
    MidiInPorts[0].Name = QStringLiteral("Empty In");
    for (int i = 1; i <= NumInDevs; ++i) {
        if (auto name = system_.inputName(i - 1)) {
            MidiInPorts[i].Name = *name;
            MidiInPorts[i].Present = MidiInPorts[i].Enabled = true;
        }
    }

    ThruMap.assign(MidiInPorts.size(), 0);
    thruToMapper_.assign(MidiInPorts.size(), false);

    NumOutDevs = std::max(0, system_.outputCount());
    MidiOutPorts.assign(static_cast<size_t>(NumOutDevs) + 1, MidiPort{});
    for (int i = 0; i <= NumOutDevs; ++i) {
        auto name = system_.outputName(i - 1);
        if (name || i == 0) {
            MidiOutPorts[i].Name = i == 0 ? QStringLiteral("MIDI Mapper Out") : *name;
            MidiOutPorts[i].Present = MidiOutPorts[i].Enabled = true;
        }
    }
}

int MidiEngine::checkPort(const QString& port, const std::vector<MidiPort>& table, int count)
{
    auto number = parseInteger(port);
    if (!number)
        return -1;
    if (*number < 0 || *number > count || *number >= static_cast<int>(table.size())) {
        reporter_.ShowStatusText(0, msgs_[MsgInvalidPort]);
        return -1;
    }
    return *number;
}

std::optional<std::pair<int, int>> MidiEngine::checkSend(const QString& port, const QString& channel)
{
    const int portNumber = checkPort(port);
    if (portNumber < 0)
        return std::nullopt;
    const int channelNumber = checkChannel(channel);
    if (channelNumber < 0)
        return std::nullopt;
    return std::pair{portNumber, channelNumber};
}

int MidiEngine::checkChannel(const QString& channel) const
{
    // A channel outside 1-16 would change the kind of message in the status
    // byte, so it is refused like a non-numeric one.
    auto number = parseInteger(channel);
    if (!number || *number < 1 || *number > 16)
        return -1;
    return *number - 1;
}

void MidiEngine::openRecord(MidiPort& record, const QString& description, const QString& routine,
                            const std::function<int(MidiHandle&)>& open)
{
    if (record.OpenCount == 0) {
        reporter_.ShowStatusText(0, description);
        MidiHandle handle = 0;
        {
            const std::lock_guard lock(systemMutex_);
            LastMidiErr = open(handle);
            if (LastMidiErr == MidiResult::Ok)
                record.Handle = handle;
        }
        if (LastMidiErr != MidiResult::Ok) {
            reporter_.ShowStatusText(1, msgs_[MsgFail]);
            ShowMidiError(routine, LastMidiErr);
            record.Enabled = false;
            if (portListsChanged_)
                portListsChanged_();
            return;
        }
        reporter_.ShowStatusText(1, msgs_[MsgDone]);
    }
    ++record.OpenCount;
}

bool MidiEngine::closeRecord(MidiPort& record, const QString& description, const QString& routine,
                             const std::function<int(MidiHandle)>& close)
{
    if (record.OpenCount == 1) {
        reporter_.ShowStatusText(0, description);
        {
            const std::lock_guard lock(systemMutex_);
            LastMidiErr = close(record.Handle);
        }
        if (LastMidiErr != MidiResult::Ok) {
            reporter_.ShowStatusText(1, msgs_[MsgFail]);
            ShowMidiError(routine, LastMidiErr);
            return false;
        }
        reporter_.ShowStatusText(1, msgs_[MsgDone]);
    }
    if (record.OpenCount > 0)
        --record.OpenCount;
    return true;
}

void MidiEngine::OpenMidiOut(const QString& portText)
{
    const int port = checkPort(portText);
    if (port < 0)
        return;
    openRecord(MidiOutPorts[port], msgs_[MsgOpen] + msgs_[MsgMidiOut] + msgs_[MsgPort] + portText,
               QStringLiteral("OpenMidiOut"), [&](MidiHandle& handle) { return system_.openOutput(port - 1, handle); });
}

void MidiEngine::CloseMidiOut(const QString& portText)
{
    const int port = checkPort(portText);
    if (port < 0)
        return;
    MidiPort& record = MidiOutPorts[port];
    const bool last = record.OpenCount == 1;
    if (!closeRecord(record, msgs_[MsgClose] + msgs_[MsgMidiOut] + msgs_[MsgPort] + portText,
                     QStringLiteral("CloseMidiOut"), [&](MidiHandle handle) { return system_.closeOutput(handle); }))
        return;
    // The system ends the routes into a closed output.
    for (std::size_t in = 0; last && in < ThruMap.size(); ++in) {
        if (thruConnected(static_cast<int>(in)) && ThruMap[in] == port)
            setThru(static_cast<int>(in), std::nullopt);
    }
}

void MidiEngine::OpenMidiIn(const QString& portText)
{
    const int port = checkPort(portText, MidiInPorts, NumInDevs);
    if (port < 0)
        return;
    openRecord(MidiInPorts[port], msgs_[MsgOpen] + msgs_[MsgMidiIn] + msgs_[MsgPort] + portText,
               QStringLiteral("OpenMidiIn"), [&](MidiHandle& handle) { return system_.openInput(port - 1, handle); });
}

void MidiEngine::CloseMidiIn(const QString& portText)
{
    const int port = checkPort(portText, MidiInPorts, NumInDevs);
    if (port < 0)
        return;
    MidiPort& record = MidiInPorts[port];
    const bool last = record.OpenCount == 1;
    const bool closed = closeRecord(record, msgs_[MsgClose] + msgs_[MsgMidiIn] + msgs_[MsgPort] + portText,
                                    QStringLiteral("CloseMidiIn"), [&](MidiHandle handle) {
                                        const int result = system_.resetInput(handle);
                                        return result == MidiResult::Ok ? system_.closeInput(handle) : result;
                                    });
    // A closed input feeds nothing any more.
    if (closed && last)
        setThru(port, std::nullopt);
}

bool MidiEngine::StartMidiIn(const QString& portText)
{
    const int port = checkPort(portText, MidiInPorts, NumInDevs);
    if (port < 0 || MidiInPorts[port].OpenCount == 0)
        return false;
    const std::lock_guard lock(systemMutex_);
    LastMidiErr = system_.startInput(MidiInPorts[port].Handle);
    if (LastMidiErr != MidiResult::Ok)
        return false;
    ++MidiInPorts[port].Listeners;
    return true;
}

void MidiEngine::StopMidiIn(const QString& portText)
{
    const int port = checkPort(portText, MidiInPorts, NumInDevs);
    if (port < 0 || MidiInPorts[port].Listeners == 0)
        return;
    // A thru still needs its input running.
    if (--MidiInPorts[port].Listeners == 0 && !thruConnected(port)) {
        const std::lock_guard lock(systemMutex_);
        system_.stopInput(MidiInPorts[port].Handle);
    }
}

bool MidiEngine::thruConnected(int in) const
{
    if (in < 0 || in >= static_cast<int>(ThruMap.size()))
        return false;
    const auto index = static_cast<std::size_t>(in);
    return ThruMap[index] != 0 || thruToMapper_[index];
}

void MidiEngine::setThru(int in, std::optional<int> out)
{
    const auto index = static_cast<std::size_t>(in);
    ThruMap[index] = out.value_or(0);
    thruToMapper_[index] = out == 0;
}

std::optional<std::pair<int, int>> MidiEngine::checkThruPair(const QString& inText, const QString& outText)
{
    const auto in = parseInteger(inText);
    const auto out = parseInteger(outText);
    if (!in || !out)
        return std::nullopt;
    if (*in < 0 || *in > NumInDevs || *in >= static_cast<int>(MidiInPorts.size()) || *out < 0 ||
        *out > NumOutDevs || *out >= static_cast<int>(MidiOutPorts.size())) {
        reporter_.ShowStatusText(0, msgs_[MsgInvalidPort]);
        reporter_.HoldStatus();
        return std::nullopt;
    }
    return std::pair{*in, *out};
}

void MidiEngine::AddThru(const QString& inText, const QString& outText)
{
    const auto pair = checkThruPair(inText, outText);
    if (!pair)
        return;
    const auto [in, out] = *pair;
    if (thruConnected(in)) {
        if (ThruMap[in] == out)
            return;
        RemoveThru(QString::number(in), QString::number(ThruMap[in]));
        // An input still feeding its old output must not feed a second one.
        if (thruConnected(in))
            return;
    }
    reporter_.ShowStatusText(0, msgs_[MsgConnect] + msgs_[MsgPort] + inText + msgs_[MsgToOutput] + outText);
    {
        const std::lock_guard lock(systemMutex_);
        const MidiHandle input = MidiInPorts[in].Handle;
        const MidiHandle output = MidiOutPorts[out].Handle;
        LastMidiErr = system_.connect(input, output);
        if (LastMidiErr == MidiResult::Ok) {
            LastMidiErr = system_.startInput(input);
            // A route the map does not know of would feed a later output too.
            if (LastMidiErr != MidiResult::Ok)
                system_.disconnect(input, output);
        }
    }
    if (LastMidiErr == MidiResult::Ok) {
        reporter_.ShowStatusText(1, msgs_[MsgDone]);
        setThru(in, out);
    } else {
        reporter_.ShowStatusText(1, msgs_[MsgFail]);
        ShowMidiError(QStringLiteral("AddThru"), LastMidiErr);
    }
    reporter_.HoldStatus();
}

void MidiEngine::RemoveThru(const QString& inText, const QString& outText)
{
    const auto pair = checkThruPair(inText, outText);
    if (!pair)
        return;
    const auto [in, out] = *pair;
    if (!thruConnected(in) || ThruMap[in] != out)
        return;
    reporter_.ShowStatusText(0, msgs_[MsgCancel] + msgs_[MsgConnect] + msgs_[MsgPort] + inText + msgs_[MsgToOutput] +
                                    outText);
    {
        const std::lock_guard lock(systemMutex_);
        const MidiHandle input = MidiInPorts[in].Handle;
        // A listener still needs the input running after its thru ends.
        LastMidiErr = MidiInPorts[in].Listeners > 0 ? MidiResult::Ok : system_.stopInput(input);
        if (LastMidiErr == MidiResult::Ok)
            LastMidiErr = system_.disconnect(input, MidiOutPorts[out].Handle);
    }
    if (LastMidiErr == MidiResult::Ok) {
        reporter_.ShowStatusText(1, msgs_[MsgDone]);
        setThru(in, std::nullopt);
    } else {
        reporter_.ShowStatusText(1, msgs_[MsgFail]);
        ShowMidiError(QStringLiteral("RemoveThru, ") + inText + QStringLiteral(", ") + outText + QStringLiteral(" (") +
                          ThruLoadedIn + QStringLiteral(", ") + ThruLoadedOut,
                      LastMidiErr);
    }
    reporter_.HoldStatus();
}

QString MidiEngine::stamped(const QString& description) const
{
    if (flags_.RecorderRunning && recorder_)
        return recorder_->timeStampText() + description;
    return description;
}

void MidiEngine::sendShort(const char* routine, const QString& description, int port, std::uint8_t status,
                           std::uint8_t data1, std::uint8_t data2, int channel, bool record)
{
    reporter_.ShowStatusText(0, stamped(description));
    const std::uint32_t packed = status | (std::uint32_t{data1} << 8) | (std::uint32_t{data2} << 16);
    {
        const std::lock_guard lock(systemMutex_);
        LastMidiErr = system_.sendShort(MidiOutPorts[port].Handle, packed);
    }
    if (LastMidiErr == MidiResult::Ok)
        reporter_.ShowStatusText(1, msgs_[MsgSent]);
    else
        ReportSendFailure(QString::fromLatin1(routine), -1, LastMidiErr);
    if (record && flags_.RecorderRunning && recorder_)
        recorder_->recordEvent(status, data1, data2, channel, port);
}

int MidiEngine::SendFromThread(int port, std::uint32_t packed)
{
    const std::lock_guard lock(systemMutex_);
    if (port < 0 || port >= static_cast<int>(MidiOutPorts.size()))
        return MidiResult::BadDeviceId;
    return system_.sendShort(MidiOutPorts[static_cast<size_t>(port)].Handle, packed);
}

int MidiEngine::SendFromThread(int port, std::span<const std::uint8_t> bytes)
{
    const std::lock_guard lock(systemMutex_);
    if (port < 0 || port >= static_cast<int>(MidiOutPorts.size()))
        return MidiResult::BadDeviceId;
    return system_.sendLong(MidiOutPorts[static_cast<size_t>(port)].Handle, bytes.data(), bytes.size());
}

void MidiEngine::setMapperTap(MapperTap* tap)
{
    const std::lock_guard lock(systemMutex_);  // the player's thread sends too
    system_.setMapperTap(tap);
}

std::optional<int> MidiEngine::mapperListeners()
{
    const std::lock_guard lock(systemMutex_);
    return system_.mapperListeners();
}

void MidiEngine::Panic()
{
    // Per channel: notes off first, then whatever still rings (releases,
    // sustain), then the controllers that could keep it ringing.
    constexpr std::uint8_t Controllers[] = {123, 120, 121};
    reporter_.ShowStatusText(0, QStringLiteral("Panic: All Notes Off, All Sound Off, Reset All Controllers"));
    int firstError = MidiResult::Ok;
    bool sent = false;
    {
        const std::lock_guard lock(systemMutex_);
        for (size_t port = 0; port < MidiOutPorts.size(); ++port) {
            if (MidiOutPorts[port].OpenCount <= 0)
                continue;
            for (std::uint8_t channel = 0; channel < 16; ++channel) {
                for (const std::uint8_t controller : Controllers) {
                    const std::uint32_t packed = (0xB0u | channel) | (std::uint32_t{controller} << 8);
                    const int result = system_.sendShort(MidiOutPorts[port].Handle, packed);
                    if (result != MidiResult::Ok && firstError == MidiResult::Ok)
                        firstError = result;
                    sent = true;
                }
            }
        }
    }
    // One report for the lot: a broken port must not raise 48 boxes.
    LastMidiErr = firstError;
    if (firstError != MidiResult::Ok)
        ReportSendFailure(QStringLiteral("Panic"), -1, firstError);
    else
        reporter_.ShowStatusText(1, msgs_[sent ? MsgSent : MsgDone]);
}

void MidiEngine::ReportSendFailure(const QString& routine, int port, int code)
{
    if (port >= 0)
        reporter_.ShowStatusText(0, msgs_[MsgMidiOut] + msgs_[MsgPort] + QString::number(port));
    LastMidiErr = code;
    reporter_.ShowStatusText(1, msgs_[MsgFail]);
    ShowMidiError(routine, code);
}

void MidiEngine::SendCtrlChg(const QString& portText, int controller, int value, const QString& channelText)
{
    const auto target = checkSend(portText, channelText);
    if (!target)
        return;
    const auto [port, channel] = *target;
    const auto ctrl = dataByte(controller);
    const auto data = dataByte(value);
    const QString description = msgs_[MsgController] + QString::number(ctrl) + msgs_[MsgData] + QString::number(data) +
                                msgs_[MsgChan] + channelText + msgs_[MsgPort] + portText;
    sendShort("SendCtrlChg", description, port, static_cast<std::uint8_t>(0xB0 | channel), ctrl, data, channel + 1,
              true);
}

void MidiEngine::SendProgChg(const QString& portText, int program, const QString& channelText)
{
    const auto target = checkSend(portText, channelText);
    if (!target)
        return;
    const auto [port, channel] = *target;
    const auto data = dataByte(program);
    const QString description =
        msgs_[MsgProgramChange] + QString::number(data) + msgs_[MsgChan] + channelText + msgs_[MsgPort] + portText;
    sendShort("SendProgChg", description, port, static_cast<std::uint8_t>(0xC0 | channel), data, 0, channel + 1,
              true);
}

void MidiEngine::SendAftrTch(const QString& portText, int pressure, const QString& channelText)
{
    const auto target = checkSend(portText, channelText);
    if (!target)
        return;
    const auto [port, channel] = *target;
    const auto data = dataByte(pressure);
    const QString description = msgs_[MsgAfterTouch] + msgs_[MsgData] + QString::number(data) + msgs_[MsgChan] +
                                channelText + msgs_[MsgPort] + portText;
    sendShort("SendAftrTch", description, port, static_cast<std::uint8_t>(0xD0 | channel), data, 0, channel + 1,
              true);
}

void MidiEngine::SendPBend(const QString& portText, int bend, const QString& channelText)
{
    const auto target = checkSend(portText, channelText);
    if (!target)
        return;
    const auto [port, channel] = *target;
    bend = std::clamp(bend, -8192, 8191);
    const int v = bend + 8192;
    const QString description = msgs_[MsgPitchBend] + msgs_[MsgData] + QString::number(bend) + msgs_[MsgChan] +
                                channelText + msgs_[MsgPort] + portText;
    sendShort("SendPBend", description, port, static_cast<std::uint8_t>(0xE0 | channel),
              static_cast<std::uint8_t>(v % 128), static_cast<std::uint8_t>(v / 128), channel + 1, true);
}

void MidiEngine::SendRealTime(const QString& portText, int status)
{
    const int port = checkPort(portText);
    if (port < 0)
        return;
    if (status < 0x80 || status > 0xFF)
        return;
    sendShort("SendRealTime", msgs_[MsgRealTime] + Hex2(status), port, static_cast<std::uint8_t>(status), 0, 0, 0,
              false);
}

void MidiEngine::SendSysEx(const QString& portText, int index, const std::vector<SysExEntry>& table)
{
    if (!parseInteger(portText) || index < 0 || index >= static_cast<int>(table.size()))
        return;
    const int port = checkPort(portText);
    if (port < 0)
        return;
    reporter_.ShowStatusText(0, stamped(msgs_[MsgSysExMsg] + msgs_[MsgPort] + portText));
    const QString& text = table[static_cast<size_t>(index)].message;
    const auto parsed = parseSysEx(text);
    if (const auto* fault = std::get_if<SysExFault>(&parsed)) {
        // A session file may hold an entry the table would refuse: a broken
        // message never goes out.
        reporter_.ShowStatusText(1, msgs_[MsgFail]);
        const QString why = *fault == SysExFault::NotHex ? msgs_[MsgHexOnly] : sysExFaultText(*fault);
        reporter_.ShowMessage(QStringLiteral("SendSysEx:\r") + text + u'\r' + why, QString(), MsgIcon::Exclamation);
        return;
    }
    const auto& bytes = std::get<std::vector<std::uint8_t>>(parsed);
    {
        const std::lock_guard lock(systemMutex_);  // the sequence player sends too
        LastMidiErr = system_.sendLong(MidiOutPorts[port].Handle, bytes.data(), bytes.size());
    }
    if (LastMidiErr == MidiResult::Ok) {
        reporter_.ShowStatusText(1, msgs_[MsgSent]);
    } else {
        reporter_.ShowStatusText(1, msgs_[MsgFail]);
        ShowMidiError(QStringLiteral("SendSysEx"), LastMidiErr);
    }
}

void MidiEngine::ResetControl(const QString& port, int code, const QString& channel, int targetTag)
{
    switch (code) {
    case 7:
    case 11:
        SendCtrlChg(port, code, 127, channel);
        break;
    case 8:
    case 10:
        SendCtrlChg(port, code, 63, channel);
        break;
    case 201:
        SendAftrTch(port, 0, channel);
        break;
    case 202:
        SendPBend(port, 0, channel);
        break;
    case 206:
    case 217:
    case 300:
        break;
    case 207:
        SendRealTime(port, 0xFC);
        break;
    case 205:
    case 210:
    case 211:
    case 212:
    case 213:
    case 214:
    case 215:
    case 216:
        if (remoteRelease_)
            remoteRelease_(code, targetTag);
        break;
    default:
        if (code >= 0 && code <= 127)
            SendCtrlChg(port, code, 0, channel);
        break;
    }
}

void MidiEngine::SilenceChannel(const QString& port, const QString& channel, std::function<void()> done)
{
    // Each step waits on the scheduler rather than the thread, so the window
    // stays live while the volume fades.
    scheduler_.runAfter(SilenceStepMs,
                        [this, port, channel, done = std::move(done)] { silenceStep(port, channel, 5, done); });
}

void MidiEngine::silenceStep(const QString& port, const QString& channel, int level,
                             const std::function<void()>& done)
{
    // A port closed during the fade has nobody left to hear it.
    const auto number = parseInteger(port);
    if (number && *number >= 0 && *number < static_cast<int>(MidiOutPorts.size()) &&
        MidiOutPorts[static_cast<size_t>(*number)].OpenCount == 0)
        return;
    SendCtrlChg(port, 7, 20 * level, channel);
    if (level > 0) {
        scheduler_.runAfter(SilenceStepMs,
                            [this, port, channel, level, done] { silenceStep(port, channel, level - 1, done); });
        return;
    }
    SendCtrlChg(port, 120, 0, channel);
    if (done)
        done();
}

std::vector<std::pair<QString, int>> MidiEngine::OutPortChoices() const
{
    std::vector<std::pair<QString, int>> choices;
    for (int i = 1; i <= NumOutDevs && i < static_cast<int>(MidiOutPorts.size()); ++i) {
        if (MidiOutPorts[i].Present && MidiOutPorts[i].Enabled)
            choices.emplace_back(MidiOutPorts[i].Name, i);
    }
    if (!MidiOutPorts.empty())
        choices.emplace_back(MidiOutPorts[0].Name, 0);
    return choices;
}

std::vector<std::pair<QString, int>> MidiEngine::InPortChoices() const
{
    std::vector<std::pair<QString, int>> choices;
    for (int i = 0; i <= NumInDevs && i < static_cast<int>(MidiInPorts.size()); ++i) {
        if (MidiInPorts[i].Present && MidiInPorts[i].Enabled)
            choices.emplace_back(MidiInPorts[i].Name, i);
    }
    return choices;
}

void MidiEngine::DevicesChanged()
{
    // A port that would not open again stays on the status line: what
    // follows in the same pass does not write over it.
    bool failed = false;
    goneNoted_.resize(MidiOutPorts.size(), false);
    for (int port = 1; port < static_cast<int>(MidiOutPorts.size()); ++port) {
        MidiPort& record = MidiOutPorts[static_cast<size_t>(port)];
        followDevice(record, msgs_[MsgMidiOut], port, goneNoted_, failed, [&] {
            return system_.outputLost(record.Handle) ? std::optional(system_.outputPresent(port - 1)) : std::nullopt;
        }, [&] { return reopenOutput(port); });
    }
    inGoneNoted_.resize(MidiInPorts.size(), false);
    for (int port = 1; port < static_cast<int>(MidiInPorts.size()); ++port) {
        MidiPort& record = MidiInPorts[static_cast<size_t>(port)];
        followDevice(record, msgs_[MsgMidiIn], port, inGoneNoted_, failed, [&] {
            return system_.inputLost(record.Handle) ? std::optional(system_.inputPresent(port - 1)) : std::nullopt;
        }, [&] { return reopenInput(port); });
    }
}

void MidiEngine::followDevice(MidiPort& record, const QString& side, int port, std::vector<bool>& noted, bool& failed,
                              const std::function<std::optional<bool>()>& lostAndPresent,
                              const std::function<int()>& reopen)
{
    if (record.OpenCount == 0)
        return;
    const auto index = static_cast<size_t>(port);
    const QString where = side + msgs_[MsgPort] + QString::number(port) + QStringLiteral(" (") + record.Name + u')';
    std::optional<int> reopened;
    {
        const std::lock_guard lock(systemMutex_);
        const std::optional<bool> present = lostAndPresent();
        if (!present) {
            noted[index] = false;
            return;
        }
        // A failed open keeps the lost handle, so the next change tries again.
        if (*present)
            reopened = reopen();
    }
    if (!reopened) {
        if (!noted[index] && !failed) {
            reporter_.ShowStatusText(0, where + QStringLiteral(" is unplugged"));
            reporter_.ShowStatusText(1, QString());
        }
        noted[index] = true;
        return;
    }
    noted[index] = false;
    if (failed)
        return;
    failed = *reopened != MidiResult::Ok;
    LastMidiErr = *reopened;
    reporter_.ShowStatusText(0, msgs_[MsgOpen] + where + QStringLiteral(" again"));
    reporter_.ShowStatusText(1, msgs_[failed ? MsgFail : MsgDone]);
    reporter_.HoldStatus();
}

int MidiEngine::reopenOutput(int port)
{
    // The lost handle reaches nothing; the new one takes its row, with the
    // routes into it.
    MidiPort& record = MidiOutPorts[static_cast<size_t>(port)];
    MidiHandle handle = 0;
    const int result = system_.openOutput(port - 1, handle);
    if (result != MidiResult::Ok)
        return result;
    system_.closeOutput(record.Handle);
    record.Handle = handle;
    for (size_t in = 0; in < ThruMap.size(); ++in) {
        if (thruConnected(static_cast<int>(in)) && ThruMap[in] == port)
            system_.connect(MidiInPorts[in].Handle, handle);
    }
    return MidiResult::Ok;
}

int MidiEngine::reopenInput(int port)
{
    // The new handle runs as the lost one did: started for its listeners
    // and its thru, and feeding the thru's output.
    MidiPort& record = MidiInPorts[static_cast<size_t>(port)];
    MidiHandle handle = 0;
    int result = system_.openInput(port - 1, handle);
    if (result != MidiResult::Ok)
        return result;
    const bool thru = thruConnected(port);
    // A route to an output that is away now comes back with that output.
    if (thru)
        system_.connect(handle, MidiOutPorts[static_cast<size_t>(ThruMap[static_cast<size_t>(port)])].Handle);
    if (thru || record.Listeners > 0)
        result = system_.startInput(handle);
    if (result != MidiResult::Ok) {
        system_.closeInput(handle);
        return result;
    }
    system_.closeInput(record.Handle);
    record.Handle = handle;
    return MidiResult::Ok;
}

QString MidiEngine::portFromSession(const QString& port) const
{
    const auto number = parseInteger(port);
    if (!number)
        return port;
    const auto moved = sessionPortMap_.find(*number);
    return moved == sessionPortMap_.end() ? port : QString::number(moved->second);
}

void MidiEngine::ShowMidiError(const QString& routine, int code)
{
    if (flags_.ClosingDown)
        return;
    if (auto text = system_.errorText(code))
        reporter_.ShowMessage(routine + QStringLiteral(":\r") + *text, QString(), MsgIcon::Exclamation);
}

QString MidiEngine::Hex2(int byte)
{
    return QString::number(byte & 0xFF, 16).toUpper().rightJustified(2, u'0');
}

}  // namespace orvell
