#pragma once

#include "midi/MidiSystem.h"
#include "midi/SysEx.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace orvell {

struct AppFlags;
class MessageTable;
class Reporter;
class Scheduler;

// One row of a port table.
struct MidiPort {
    QString Name;
    MidiHandle Handle = 0;
    bool Present = false;  // the device answered at enumeration
    bool Enabled = false;  // the port may be offered to panels
    int OpenCount = 0;     // panels holding the port open
    int Listeners = 0;     // holders of an input that need it started without a thru
};

// Receives each message sent while the event recorder runs.
class RecorderHook {
public:
    virtual ~RecorderHook() = default;
    virtual QString timeStampText() const = 0;
    virtual void recordEvent(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int channel, int port) = 0;
};

// The port tables and the senders of short messages. Ports and channels
// arrive as the texts of the panels' selectors: output port 0 is the mapper,
// port n is device n-1; channels are 1 to 16. Every call reports on the status
// line (field 0: what, field 1: outcome) and turns a device error into a box.
class MidiEngine {
public:
    MidiEngine(MidiSystem& system, const MessageTable& msgs, Reporter& reporter, Scheduler& scheduler,
               const AppFlags& flags);

    void InitMidiDevs();

    void OpenMidiOut(const QString& port);
    void CloseMidiOut(const QString& port);

    // Input ports: 0 is "Empty In", port n is input device n-1.
    void OpenMidiIn(const QString& port);
    void CloseMidiIn(const QString& port);
    // Lets an open input deliver to the listener without a thru, until the
    // last StopMidiIn; false when it cannot.
    bool StartMidiIn(const QString& port);
    void StopMidiIn(const QString& port);
    // Routes every message of an open input to an open output inside the MIDI
    // system; one output per input, so a new one replaces the old.
    void AddThru(const QString& inPort, const QString& outPort);
    void RemoveThru(const QString& inPort, const QString& outPort);

    void SendCtrlChg(const QString& port, int controller, int value, const QString& channel);
    void SendProgChg(const QString& port, int program, const QString& channel);
    void SendAftrTch(const QString& port, int pressure, const QString& channel);
    void SendPBend(const QString& port, int bend, const QString& channel);
    void SendRealTime(const QString& port, int status);
    // Sends entry `index` (from 0) of the table; an index past the end sends nothing.
    void SendSysEx(const QString& port, int index, const std::vector<SysExEntry>& table);

    // Sends the rest value of a controller code; panel-directed codes release
    // the remote hold on the panel with tag `targetTag` instead.
    void ResetControl(const QString& port, int code, const QString& channel, int targetTag);
    // Fades the channel's volume 100, 80 ... 0 at 100 ms steps, then All Sound
    // Off, and then calls `done`. Returns at once; the fade stops early when
    // the port is closed meanwhile.
    void SilenceChannel(const QString& port, const QString& channel, std::function<void()> done = {});

    // The entries of an output port selector: (name, port number), enabled
    // devices first, the mapper last.
    std::vector<std::pair<QString, int>> OutPortChoices() const;
    // The entries of an input port selector: the enabled devices ("Empty In" never).
    std::vector<std::pair<QString, int>> InPortChoices() const;

    // Each open port is bound to its device name: one whose device went
    // away and is back is opened again into the same row, its thru routes
    // with it (and an input started again), so panels and learned controls
    // keep their port numbers. Called on the user-interface thread after the
    // system's device watcher spoke; notes what went and what came back on
    // the status line.
    void DevicesChanged();

    // While a session loads: its output port numbers moved to the ports of
    // this machine that have the same device names (see portsByName).
    void setSessionPortMap(std::map<int, int> map) { sessionPortMap_ = std::move(map); }
    // A port text read from the session, moved by the map.
    QString portFromSession(const QString& port) const;

    void ShowMidiError(const QString& routine, int code);
    static QString Hex2(int byte);

    // The sequence player's path, safe from any thread: sends one short
    // message to output port `port` through the port table's handle and
    // returns the result, reporting nothing. The player hands failures to the
    // user-interface thread, which reports them with ReportSendFailure.
    int SendFromThread(int port, std::uint32_t packed);
    int SendFromThread(int port, std::span<const std::uint8_t> bytes);
    // "FAIL!" and the error box, as for a failed send of the routine; a port
    // of 0 or more is named in the description field first.
    void ReportSendFailure(const QString& routine, int port, int code);

    void setRecorder(RecorderHook* recorder) { recorder_ = recorder; }
    // Hears what goes out on port 0, thru included; null removes it.
    void setMapperTap(MapperTap* tap);
    // How many other programs read from the mapper now; nothing when the
    // MIDI system cannot tell.
    std::optional<int> mapperListeners();
    // All Notes Off, All Sound Off and Reset All Controllers on every channel
    // of every open port, as one action with one report.
    void Panic();
    // Called after a failed open disabled a port, so every selector is rebuilt.
    void setPortListsChanged(std::function<void()> callback) { portListsChanged_ = std::move(callback); }
    // Called by ResetControl for the panel-directed codes: (code, target tag).
    void setRemoteRelease(std::function<void(int, int)> callback) { remoteRelease_ = std::move(callback); }

    MidiSystem& system() { return system_; }

    std::vector<MidiPort> MidiOutPorts;  // 0 .. NumOutDevs
    std::vector<MidiPort> MidiInPorts;   // 0 .. NumInDevs; 0 is "Empty In"
    int NumOutDevs = 0;
    int NumInDevs = 0;
    int LastMidiErr = 0;
    // Per input port, the output port it feeds; 0 = no connection (a route to
    // the mapper is told apart by thruToMapper).
    std::vector<int> ThruMap;
    // The port texts the patch-group panel read when it last loaded its
    // settings, named when a thru cannot be removed.
    QString ThruLoadedIn, ThruLoadedOut;

    // Whether input port `in` feeds an output now.
    bool thruConnected(int in) const;

private:
    // The common argument check; the port number, or -1 when nothing may be sent.
    int checkPort(const QString& port) { return checkPort(port, MidiOutPorts, NumOutDevs); }
    int checkPort(const QString& port, const std::vector<MidiPort>& table, int count);
    // The first holder opens the device; a failed open disables the port.
    void openRecord(MidiPort& record, const QString& description, const QString& routine,
                    const std::function<int(MidiHandle&)>& open);
    // The last holder closes the device; false when closing failed.
    bool closeRecord(MidiPort& record, const QString& description, const QString& routine,
                     const std::function<int(MidiHandle)>& close);
    // Both port numbers of a thru call, or nothing when the call stops here.
    std::optional<std::pair<int, int>> checkThruPair(const QString& in, const QString& out);
    void setThru(int in, std::optional<int> out);
    int checkChannel(const QString& channel) const;
    // Port and channel of a channel message, checked in that order; nothing
    // when either text is refused.
    std::optional<std::pair<int, int>> checkSend(const QString& port, const QString& channel);
    void sendShort(const char* routine, const QString& description, int port, std::uint8_t status,
                   std::uint8_t data1, std::uint8_t data2, int channel, bool record);
    QString stamped(const QString& description) const;
    // One open port after the watcher spoke. `lostAndPresent` says nothing
    // while the port's handle works, else whether its device is back;
    // `failed` is set once a reopen in this pass failed, and keeps its report.
    void followDevice(MidiPort& record, const QString& side, int port, std::vector<bool>& noted, bool& failed,
                      const std::function<std::optional<bool>()>& lostAndPresent, const std::function<int()>& reopen);
    // A new handle in place of a lost one; with the lock held.
    int reopenOutput(int port);
    int reopenInput(int port);
    void silenceStep(const QString& port, const QString& channel, int level, const std::function<void()>& done);

    MidiSystem& system_;
    const MessageTable& msgs_;
    Reporter& reporter_;
    Scheduler& scheduler_;
    const AppFlags& flags_;
    RecorderHook* recorder_ = nullptr;
    std::function<void()> portListsChanged_;
    std::function<void(int, int)> remoteRelease_;
    // Held around every call into the MIDI system and every change of a
    // port's handle, so the player's thread can send beside this one.
    std::mutex systemMutex_;
    std::vector<bool> thruToMapper_;  // ThruMap's 0 is a live route to port 0
    std::vector<bool> goneNoted_;     // per output port: its unplugging is on the status line
    std::vector<bool> inGoneNoted_;   // the same per input port
    std::map<int, int> sessionPortMap_;
};

}  // namespace orvell
