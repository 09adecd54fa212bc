// RtMidiSystem against a private JACK server on the dummy driver: what another
// JACK client receives is compared byte for byte with what was sent.

#include "core/AppFlags.h"
#include "core/Clock.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "support/RecordingReporter.h"
#include "midi/MidiBackend.h"
#include "midi/RtMidiSystem.h"
#include "midi/VirtualMidiSystem.h"
#include "support/JackProbe.h"
#include "support/JackServer.h"

#include <gtest/gtest.h>

#include <RtMidi.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvell {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

const QString testClient = QStringLiteral("OrvellUnderTest");

using test::nextId;
using test::Probe;
using test::sendAndReceive;
using test::uniquePortName;

QString uniqueClient()
{
    return testClient + QString::number(nextId());
}

std::optional<Bytes> deliver(MidiSystem& system, MidiHandle handle, std::uint32_t packed, Probe& probe)
{
    return sendAndReceive(probe, [&] { return system.sendShort(handle, packed) == MidiResult::Ok; });
}

// The device number under which `system` lists a port called `portName`.
std::optional<int> outputDevice(MidiSystem& system, const std::string& portName)
{
    const QString suffix = QStringLiteral(":") + QString::fromStdString(portName);
    for (int i = 0; i < system.outputCount(); ++i) {
        if (system.outputName(i).value_or(QString()).endsWith(suffix))
            return i;
    }
    return std::nullopt;
}

bool namesContain(MidiSystem& system, bool outputs, const QString& prefix)
{
    const int count = outputs ? system.outputCount() : system.inputCount();
    for (int i = 0; i < count; ++i) {
        const QString name = (outputs ? system.outputName(i) : system.inputName(i)).value_or(QString());
        if (name.startsWith(prefix))
            return true;
    }
    return false;
}

class JackMidiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<test::JackServer>(64, 48000); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override
    {
        if (!server_->ok())
            GTEST_SKIP() << "No private JACK server: " << server_->errorText().toStdString();
    }

    static inline std::unique_ptr<test::JackServer> server_;
};

TEST_F(JackMidiTest, SendsEachMessageWithExactlyItsOwnBytes)
{
    const std::string port = uniquePortName("bytes");
    Probe probe;
    probe.openVirtual(port);
    RtMidiSystem system(RtMidi::UNIX_JACK, uniqueClient());
    ASSERT_TRUE(system.isOpen());
    const std::optional<int> device = outputDevice(system, port);
    ASSERT_TRUE(device);
    MidiHandle handle = 0;
    ASSERT_EQ(system.openOutput(*device, handle), MidiResult::Ok);

    // Unused high bytes are filled with junk where the message is shorter
    // than three bytes: it must not be sent.
    const struct {
        const char* what;
        std::uint32_t packed;
        Bytes expected;
    } cases[] = {
        {"control change, channel 1", 0x6407B0, {0xB0, 0x07, 0x64}},
        {"control change, channel 10", 0x6407B9, {0xB9, 0x07, 0x64}},
        {"program change", 0x7F05C3, {0xC3, 0x05}},
        {"channel aftertouch", 0x0040D0, {0xD0, 0x40}},
        {"pitch bend -8192", 0x0000E0, {0xE0, 0x00, 0x00}},
        {"pitch bend 0", 0x4000E0, {0xE0, 0x00, 0x40}},
        {"pitch bend 8191", 0x7F7FE0, {0xE0, 0x7F, 0x7F}},
        {"real-time stop", 0x1234FC, {0xFC}},
    };
    std::vector<Bytes> expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(deliver(system, handle, c.packed, probe), c.expected);
        expected.push_back(c.expected);
    }
    // Several periods for anything extra to show up.
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(probe.received(), expected);
    EXPECT_EQ(system.closeOutput(handle), MidiResult::Ok);
}

TEST_F(JackMidiTest, MapperIsAPortOtherClientsCanReceiveFrom)
{
    const QString client = uniqueClient();
    RtMidiSystem system(RtMidi::UNIX_JACK, client);
    ASSERT_TRUE(system.isOpen());
    EXPECT_EQ(system.outputName(-1), QStringLiteral("MIDI Mapper Out"));

    MidiHandle mapper = 0;
    ASSERT_EQ(system.openOutput(-1, mapper), MidiResult::Ok);
    EXPECT_NE(mapper, 0u);

    // Under the plain client name: nothing of ours took it before.
    const std::string mapperName = client.toStdString() + ":MIDI Mapper Out";
    Probe probe;
    ASSERT_TRUE(probe.connectTo(mapperName));
    // JACK connects between periods; resend until the connection carries.
    bool arrived = false;
    for (int i = 0; i < 200 && !arrived; ++i) {
        ASSERT_EQ(system.sendShort(mapper, 0x6407B0), MidiResult::Ok);
        arrived = probe.waitFor(1, 10ms);
    }
    ASSERT_TRUE(arrived);
    EXPECT_EQ(probe.received().front(), (Bytes{0xB0, 0x07, 0x64}));

    EXPECT_EQ(system.closeOutput(mapper), MidiResult::Ok);
    EXPECT_FALSE(probe.lists(mapperName));
}

TEST_F(JackMidiTest, MapperListenersCountTheClientsReadingIt)
{
    const QString client = uniqueClient();
    RtMidiSystem system(RtMidi::UNIX_JACK, client);
    ASSERT_TRUE(system.isOpen());
    // JACK connects and disconnects between periods.
    auto settlesAt = [](RtMidiSystem& which, int count) {
        for (int i = 0; i < 200 && which.mapperListeners() != count; ++i)
            std::this_thread::sleep_for(10ms);
        return which.mapperListeners() == std::optional<int>(count);
    };
    EXPECT_EQ(system.mapperListeners(), 0) << "no mapper yet";
    MidiHandle mapper = 0;
    ASSERT_EQ(system.openOutput(-1, mapper), MidiResult::Ok);
    EXPECT_EQ(system.mapperListeners(), 0);

    // Another system's mapper and its listener are not ours.
    const QString other = uniqueClient();
    RtMidiSystem otherSystem(RtMidi::UNIX_JACK, other);
    MidiHandle otherMapper = 0;
    ASSERT_EQ(otherSystem.openOutput(-1, otherMapper), MidiResult::Ok);
    Probe otherProbe;
    ASSERT_TRUE(otherProbe.connectTo(other.toStdString() + ":MIDI Mapper Out"));
    EXPECT_TRUE(settlesAt(otherSystem, 1));
    EXPECT_EQ(system.mapperListeners(), 0);
    {
        Probe probe;
        ASSERT_TRUE(probe.connectTo(client.toStdString() + ":MIDI Mapper Out"));
        EXPECT_TRUE(settlesAt(system, 1));
    }
    EXPECT_TRUE(settlesAt(system, 0));
    EXPECT_EQ(system.closeOutput(mapper), MidiResult::Ok);
    EXPECT_EQ(otherSystem.closeOutput(otherMapper), MidiResult::Ok);
}

TEST_F(JackMidiTest, EachOpenHasItsOwnHandleUntilClosed)
{
    const std::string port = uniquePortName("handles");
    Probe probe;
    probe.openVirtual(port);
    RtMidiSystem system(RtMidi::UNIX_JACK, uniqueClient());
    const std::optional<int> device = outputDevice(system, port);
    ASSERT_TRUE(device);

    MidiHandle first = 0;
    MidiHandle second = 0;
    ASSERT_EQ(system.openOutput(*device, first), MidiResult::Ok);
    ASSERT_EQ(system.openOutput(*device, second), MidiResult::Ok);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);

    ASSERT_EQ(system.closeOutput(first), MidiResult::Ok);
    EXPECT_EQ(system.sendShort(first, 0x6407B0), MidiResult::InvalidHandle);
    EXPECT_EQ(system.closeOutput(first), MidiResult::InvalidHandle);

    // The other open of the same device still works.
    EXPECT_EQ(deliver(system, second, 0x05C3, probe), (Bytes{0xC3, 0x05}));

    // A closed handle is never given out again.
    MidiHandle third = 0;
    ASSERT_EQ(system.openOutput(*device, third), MidiResult::Ok);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);

    for (MidiHandle unknown : {MidiHandle{0}, MidiHandle{0xFFFF}}) {
        EXPECT_EQ(system.sendShort(unknown, 0x6407B0), MidiResult::InvalidHandle);
        EXPECT_EQ(system.closeOutput(unknown), MidiResult::InvalidHandle);
    }
    EXPECT_EQ(system.errorText(MidiResult::InvalidHandle), standardMidiErrorText(MidiResult::InvalidHandle));
}

TEST_F(JackMidiTest, OpensDevicesByNameAfterOthersDisappear)
{
    const std::string gonePort = uniquePortName("gone");
    const std::string stayPort = uniquePortName("stays");
    auto gone = std::make_unique<Probe>();
    gone->openVirtual(gonePort);
    Probe stays;
    stays.openVirtual(stayPort);

    RtMidiSystem system(RtMidi::UNIX_JACK, uniqueClient());
    const std::optional<int> goneDevice = outputDevice(system, gonePort);
    const std::optional<int> stayDevice = outputDevice(system, stayPort);
    ASSERT_TRUE(goneDevice);
    ASSERT_TRUE(stayDevice);
    ASSERT_LT(*goneDevice, *stayDevice);  // so the remaining port moves down

    gone.reset();

    // The list is the snapshot taken at construction.
    EXPECT_TRUE(system.outputName(*goneDevice).value_or(QString()).endsWith(QString::fromStdString(gonePort)));
    MidiHandle handle = 0;
    EXPECT_EQ(system.openOutput(*goneDevice, handle), MidiResult::NoDevice);
    EXPECT_EQ(handle, 0u);

    ASSERT_EQ(system.openOutput(*stayDevice, handle), MidiResult::Ok);
    EXPECT_EQ(deliver(system, handle, 0x40D0, stays), (Bytes{0xD0, 0x40}));
}

TEST_F(JackMidiTest, ListsOtherClientsPortsButNotOurs)
{
    const std::string inPort = uniquePortName("in");
    const std::string outPort = uniquePortName("out");
    Probe receiver;
    receiver.openVirtual(inPort);
    RtMidiOut sender(RtMidi::UNIX_JACK, "Sender" + std::to_string(nextId()));
    sender.openVirtualPort(outPort);

    const QString client = uniqueClient();
    RtMidiSystem first(RtMidi::UNIX_JACK, client);
    MidiHandle mapper = 0;
    ASSERT_EQ(first.openOutput(-1, mapper), MidiResult::Ok);
    const std::optional<int> device = outputDevice(first, inPort);
    ASSERT_TRUE(device);
    MidiHandle connection = 0;
    ASSERT_EQ(first.openOutput(*device, connection), MidiResult::Ok);

    // A second system under the same client name must not offer the first
    // one's mapper or connection ports.
    RtMidiSystem second(RtMidi::UNIX_JACK, client);
    ASSERT_TRUE(second.isOpen());
    EXPECT_TRUE(outputDevice(second, inPort));
    bool listsSender = false;
    for (int i = 0; i < second.inputCount(); ++i)
        listsSender = listsSender || second.inputName(i).value_or(QString()).endsWith(QString::fromStdString(":" + outPort));
    EXPECT_TRUE(listsSender);
    EXPECT_FALSE(namesContain(second, false, client));
    EXPECT_FALSE(namesContain(second, true, client));

    for (int bad : {-2, second.outputCount()}) {
        MidiHandle handle = 7;
        EXPECT_EQ(second.openOutput(bad, handle), MidiResult::BadDeviceId) << bad;
        EXPECT_EQ(handle, 0u);
        EXPECT_FALSE(second.outputName(bad)) << bad;
    }
    EXPECT_FALSE(second.inputName(-1));
    EXPECT_FALSE(second.inputName(second.inputCount()));
}

TEST_F(JackMidiTest, JackChoiceOpensTheRunningServer)
{
    ASSERT_TRUE(jackServerRunning());
    SteadyClock clock;
    MidiBackendOptions options;
    options.choice = MidiBackendChoice::Jack;
    MidiBackend backend = createMidiBackend(options, clock);
    ASSERT_TRUE(backend.system) << backend.error.toStdString();
    EXPECT_TRUE(backend.error.isEmpty());
    EXPECT_EQ(backend.virtualSystem, nullptr);
    EXPECT_EQ(backend.system->backendName(), QStringLiteral("jack"));
}

// Points JACK clients at a server that does not exist, for one test.
class NoJackServer {
public:
    NoJackServer()
    {
        if (const char* value = std::getenv("JACK_DEFAULT_SERVER"))
            saved_ = value;
        ::setenv("JACK_DEFAULT_SERVER", "orvell-no-such-server", 1);
    }
    ~NoJackServer()
    {
        if (saved_)
            ::setenv("JACK_DEFAULT_SERVER", saved_->c_str(), 1);
        else
            ::unsetenv("JACK_DEFAULT_SERVER");
    }
    NoJackServer(const NoJackServer&) = delete;
    NoJackServer& operator=(const NoJackServer&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(MidiBackendWithoutServer, UnavailableRtMidiApisFailQuietly)
{
    NoJackServer noServer;
    const bool alsa = alsaSequencerAvailable();

    testing::internal::CaptureStderr();
    EXPECT_FALSE(jackServerRunning());
    RtMidiSystem jack(RtMidi::UNIX_JACK, testClient);
    std::optional<RtMidiSystem> alsaSystem;
    if (!alsa)
        alsaSystem.emplace(RtMidi::LINUX_ALSA, testClient);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");

    const struct {
        const char* what;
        RtMidiSystem* system;
    } unavailable[] = {
        {"jack", &jack},
        {"alsa", alsaSystem ? &*alsaSystem : nullptr},
    };
    for (const auto& u : unavailable) {
        if (!u.system)
            continue;
        SCOPED_TRACE(u.what);
        EXPECT_FALSE(u.system->isOpen());
        EXPECT_EQ(u.system->backendName(), QString::fromLatin1(u.what));
        EXPECT_EQ(u.system->outputCount(), 0);
        EXPECT_EQ(u.system->inputCount(), 0);
        MidiHandle handle = 0;
        EXPECT_EQ(u.system->openOutput(-1, handle), MidiResult::NoDriver);
        EXPECT_EQ(u.system->sendShort(1, 0x6407B0), MidiResult::InvalidHandle);
        EXPECT_FALSE(u.system->errorText(MidiResult::Error).value_or(QString()).isEmpty());
    }
}

TEST(MidiBackendWithoutServer, ExplicitChoiceThatCannotOpenGivesAnError)
{
    NoJackServer noServer;
    SteadyClock clock;
    MidiBackendOptions options;

    options.choice = MidiBackendChoice::Jack;
    MidiBackend jack = createMidiBackend(options, clock);
    EXPECT_FALSE(jack.system);
    EXPECT_EQ(jack.error, QStringLiteral("No JACK server is running."));

    if (alsaSequencerAvailable())
        return;
    options.choice = MidiBackendChoice::Alsa;
    MidiBackend alsa = createMidiBackend(options, clock);
    EXPECT_FALSE(alsa.system);
    EXPECT_EQ(alsa.error, QStringLiteral("The ALSA sequencer cannot be opened."));
}

TEST(MidiBackendWithoutServer, AutomaticFallsBackToVirtualPorts)
{
    NoJackServer noServer;
    if (alsaSequencerAvailable())
        GTEST_SKIP() << "This machine has an ALSA sequencer";
    SteadyClock clock;
    MidiBackendOptions options;
    options.virtualInputs = 3;
    options.virtualOutputs = 4;
    MidiBackend backend = createMidiBackend(options, clock);
    ASSERT_TRUE(backend.system);
    EXPECT_EQ(backend.virtualSystem, backend.system.get());
    EXPECT_TRUE(backend.error.isEmpty());
    EXPECT_EQ(backend.notice, QStringLiteral("No ALSA sequencer or JACK server found: using virtual MIDI ports"));
    EXPECT_EQ(backend.system->inputCount(), 3);
    EXPECT_EQ(backend.system->outputCount(), 4);
}

TEST(MidiBackendWithoutServer, VirtualLogFileThatCannotBeWrittenIsAnError)
{
    SteadyClock clock;
    MidiBackendOptions options;
    options.choice = MidiBackendChoice::Virtual;
    options.logFile = QStringLiteral("/nonexistent-orvell-dir/midi.log");
    MidiBackend backend = createMidiBackend(options, clock);
    EXPECT_FALSE(backend.system);
    EXPECT_EQ(backend.virtualSystem, nullptr);
    EXPECT_EQ(backend.error, QStringLiteral("Cannot write the MIDI log file /nonexistent-orvell-dir/midi.log"));
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

// The engine on JACK with the probe's port open, as a panel uses it.
struct JackEngine {
    explicit JackEngine(const std::string& probePort) : device(outputDevice(system, probePort))
    {
        if (!device)
            return;
        engine.InitMidiDevs();
        portText = QString::number(*device + 1);
        engine.OpenMidiOut(portText);
    }

    RtMidiSystem system{RtMidi::UNIX_JACK, uniqueClient()};
    std::optional<int> device;
    MessageTable msgs;
    test::RecordingReporter reporter;
    QtScheduler scheduler;
    AppFlags flags;
    MidiEngine engine{system, msgs, reporter, scheduler, flags};
    QString portText;
};

// The whole path a panel uses: port and channel texts into the senders, the
// status line reports, and the exact bytes at another JACK client.
TEST(JackEngine, SendersDeliverTheirBytesToAJackPort)
{
    test::JackServer server(64, 48000);
    if (!server.ok())
        GTEST_SKIP() << "No private JACK server: " << server.errorText().toStdString();
    const std::string port = uniquePortName("engine");
    Probe probe;
    probe.openVirtual(port);

    JackEngine desk(port);
    ASSERT_TRUE(desk.system.isOpen());
    ASSERT_TRUE(desk.device);
    MidiEngine& engine = desk.engine;
    test::RecordingReporter& reporter = desk.reporter;
    const QString& portText = desk.portText;
    ASSERT_EQ(reporter.fields[1], " Done");

    const struct {
        std::function<void()> send;
        Bytes expected;
        QString description;
    } cases[] = {
        {[&] { engine.SendCtrlChg(portText, 7, 100, "1"); }, {0xB0, 0x07, 0x64},
         " Controller 7 Data 100 Chan 1 Port " + portText},
        {[&] { engine.SendProgChg(portText, 5, "4"); }, {0xC3, 0x05}, " Program Change 5 Chan 4 Port " + portText},
        {[&] { engine.SendAftrTch(portText, 64, "1"); }, {0xD0, 0x40}, " AfterTouch  Data 64 Chan 1 Port " + portText},
        {[&] { engine.SendPBend(portText, -8192, "1"); }, {0xE0, 0x00, 0x00},
         " Pitch Bend  Data -8192 Chan 1 Port " + portText},
        {[&] { engine.SendPBend(portText, 0, "1"); }, {0xE0, 0x00, 0x40}, " Pitch Bend  Data 0 Chan 1 Port " + portText},
        {[&] { engine.SendPBend(portText, 8191, "1"); }, {0xE0, 0x7F, 0x7F},
         " Pitch Bend  Data 8191 Chan 1 Port " + portText},
        {[&] { engine.SendRealTime(portText, 0xFC); }, {0xFC}, " RealTime mesg: FC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description.toStdString());
        EXPECT_EQ(sendAndReceive(probe,
                                 [&] {
                                     c.send();
                                     return true;
                                 }),
                  c.expected);
        EXPECT_EQ(reporter.fields[0], c.description);
        EXPECT_EQ(reporter.fields[1], " Sent");
    }
    EXPECT_TRUE(reporter.boxes.empty());
    engine.CloseMidiOut(portText);
    EXPECT_EQ(reporter.fields[0], " Close MIDI OUT Port " + portText);
}

// A stored bulk message longer than one JACK period's worth of short ones
// goes out as one message with every byte in place.
TEST_F(JackMidiTest, StoredTwoKilobyteSysExArrivesWholeAtAnotherClient)
{
    const std::string port = uniquePortName("sysex");
    Probe probe;
    probe.openVirtual(port);
    JackEngine desk(port);
    ASSERT_TRUE(desk.system.isOpen());
    ASSERT_TRUE(desk.device);
    MidiEngine& engine = desk.engine;
    test::RecordingReporter& reporter = desk.reporter;
    const QString& portText = desk.portText;

    std::vector<std::uint8_t> bytes(2048);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 37 + i / 128) & 0x7F);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    const std::vector<SysExEntry> table = {{"Short", "F0 7E 7F 09 01 F7"}, {"Bulk", sysExText(bytes)}};

    const std::optional<Bytes> got = sendAndReceive(probe, [&] {
        engine.SendSysEx(portText, 1, table);
        return reporter.fields[1] == " Sent";
    });
    ASSERT_EQ(reporter.fields[1], " Sent");
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, Bytes(bytes.begin(), bytes.end()));
    std::this_thread::sleep_for(30ms);
    for (const Bytes& message : probe.received())
        EXPECT_EQ(message.size(), bytes.size());  // never in pieces
    EXPECT_TRUE(reporter.boxes.empty());
}

// JACK carries a message only as a whole and only up to its client's buffer:
// the largest it takes arrives whole, a longer one is refused with a reason
// rather than lost.
TEST_F(JackMidiTest, SysExLongerThanJackTakesIsRefusedNotLost)
{
    const std::string port = uniquePortName("bulk");
    Probe probe;
    probe.openVirtual(port);
    RtMidiSystem system(RtMidi::UNIX_JACK, uniqueClient());
    const std::optional<int> device = outputDevice(system, port);
    ASSERT_TRUE(device);
    MidiHandle handle = 0;
    ASSERT_EQ(system.openOutput(*device, handle), MidiResult::Ok);
    auto message = [](std::size_t size) {
        std::vector<std::uint8_t> bytes(size, 0x55);
        bytes.front() = 0xF0;
        bytes.back() = 0xF7;
        return bytes;
    };
    const auto largest = message(RtMidiSystem::JackMaxMessageBytes);
    ASSERT_EQ(system.sendLong(handle, largest.data(), largest.size()), MidiResult::Ok);
    ASSERT_TRUE(probe.waitFor(1));
    EXPECT_EQ(probe.received().front(), Bytes(largest.begin(), largest.end()));

    for (std::size_t size : {RtMidiSystem::JackMaxMessageBytes + 1, MaxSysExBytes}) {
        const auto bytes = message(size);
        const int result = system.sendLong(handle, bytes.data(), bytes.size());
        EXPECT_EQ(result, MidiResult::Error);
        EXPECT_TRUE(system.errorText(result).value_or(QString()).contains("JACK"));
    }
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(probe.received().size(), 1u);
    // The port still carries the next message.
    EXPECT_EQ(deliver(system, handle, 0x6407B0, probe), (Bytes{0xB0, 0x07, 0x64}));
}

// A synth's port that goes and comes back under its name is found by the
// device watch and opened again on the same port number.
TEST(JackEngine, APortThatReturnsIsReopenedOnItsPortNumber)
{
    test::JackServer server(64, 48000);
    if (!server.ok())
        GTEST_SKIP() << "No private JACK server: " << server.errorText().toStdString();
    const std::string port = uniquePortName("replug");
    Probe probe;
    probe.openVirtual(port);
    std::atomic<int> changes{0};  // outlives the watch, which ends with the desk
    JackEngine desk(port);
    ASSERT_TRUE(desk.device);
    desk.system.setDeviceWatcher([&changes] { ++changes; });
    // The watch's word, then the engine's turn as the window would give it.
    const auto waitForPresence = [&](bool present) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (desk.system.outputPresent(*desk.device) != present && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        desk.engine.DevicesChanged();
        return desk.system.outputPresent(*desk.device) == present;
    };

    probe.closeVirtual();
    ASSERT_TRUE(waitForPresence(false));
    EXPECT_TRUE(desk.reporter.fields[0].endsWith(QStringLiteral(") is unplugged")));
    probe.openVirtual(port);
    ASSERT_TRUE(waitForPresence(true));
    EXPECT_EQ(desk.reporter.fields[0], " Open MIDI OUT Port " + desk.portText + " (" +
                                           desk.system.outputName(*desk.device).value_or(QString()) + ") again");
    EXPECT_EQ(desk.reporter.fields[1], " Done");
    EXPECT_GE(changes.load(), 2);

    desk.engine.SendCtrlChg(desk.portText, 7, 80, "1");
    ASSERT_TRUE(probe.waitFor(1));
    EXPECT_EQ(probe.received(), (std::vector<Bytes>{{0xB0, 0x07, 0x50}}));
    desk.system.setDeviceWatcher({});
}

// A keyboard's port that goes and comes back is opened again on its input
// port number, with its thru route to the synth.
TEST(JackEngine, AKeyboardThatReturnsFeedsItsThruAgain)
{
    test::JackServer server(64, 48000);
    if (!server.ok())
        GTEST_SKIP() << "No private JACK server: " << server.errorText().toStdString();
    test::Keyboard keyboard;
    const std::string port = uniquePortName("thru-replug");
    Probe synth;
    synth.openVirtual(port);
    JackEngine desk(port);
    ASSERT_TRUE(desk.device);
    const auto in = test::findDevice(desk.system, false, keyboard.port);
    ASSERT_TRUE(in);
    const QString inText = QString::number(*in + 1);
    desk.engine.OpenMidiIn(inText);
    desk.engine.AddThru(inText, desk.portText);
    ASSERT_TRUE(desk.engine.thruConnected(*in + 1));
    desk.system.setDeviceWatcher([] {});

    const auto waitForPresence = [&](bool present) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (desk.system.inputPresent(*in) != present && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        desk.engine.DevicesChanged();
        return desk.system.inputPresent(*in) == present;
    };
    // A new connection carries from a period after it was made.
    const auto carries = [&] {
        for (int i = 0; i < 200; ++i) {
            keyboard.play({0xB0, 0x7F, 0x00});
            if (synth.waitFor(1, 10ms))
                return true;
        }
        return false;
    };
    ASSERT_TRUE(carries());

    keyboard.out.closePort();
    ASSERT_TRUE(waitForPresence(false));
    const QString where = "MIDI IN Port " + inText + " (" + QString::fromStdString(keyboard.port) + ")";
    EXPECT_EQ(desk.reporter.fields[0], u' ' + where + " is unplugged");
    keyboard.out.openVirtualPort("keys");
    ASSERT_TRUE(waitForPresence(true));
    EXPECT_EQ(desk.reporter.fields[0], " Open " + where + " again");
    EXPECT_EQ(desk.reporter.fields[1], " Done");
    synth.clear();
    EXPECT_TRUE(carries());
    desk.system.setDeviceWatcher({});
}

}  // namespace
}  // namespace orvell
