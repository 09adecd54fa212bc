// Thru on a private JACK server: a keyboard client plays into a port the
// engine routes to a synth client, in a process of its own that then ends.

#include "midi/RtMidiSystem.h"
#include "support/JackProbe.h"
#include "support/JackServer.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include <RtMidi.h>

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace orvell {
namespace {

using namespace std::chrono_literals;
using test::Probe;
using Bytes = Probe::Bytes;

// Every port of the server and the ports it is connected to, as jack_lsp -c
// prints them: a port's name, then its connections indented.
std::map<std::string, std::vector<std::string>> jackConnections()
{
    QProcess lsp;
    lsp.start(QStringLiteral("jack_lsp"), {QStringLiteral("-c")});
    lsp.waitForFinished(5000);
    std::map<std::string, std::vector<std::string>> ports;
    std::string current;
    for (const QByteArray& line : lsp.readAllStandardOutput().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.startsWith(' ') || line.startsWith('\t'))
            ports[current].push_back(line.trimmed().toStdString());
        else
            ports[current = line.toStdString()];
    }
    return ports;
}

bool hasPortOf(const std::map<std::string, std::vector<std::string>>& ports, const std::string& client)
{
    for (const auto& [port, connections] : ports) {
        if (port.rfind(client, 0) == 0)
            return true;
    }
    return false;
}

std::string describe(const std::map<std::string, std::vector<std::string>>& ports)
{
    std::string text;
    for (const auto& [port, connections] : ports) {
        text += port + "\n";
        for (const std::string& to : connections)
            text += "   " + to + "\n";
    }
    return text;
}

// The messages a keyboard sends, played in one go.
std::vector<Bytes> keyboardMessages()
{
    Bytes sysEx(1024);
    for (std::size_t i = 0; i < sysEx.size(); ++i)
        sysEx[i] = static_cast<unsigned char>((i * 7) & 0x7F);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    return {
        {0x90, 0x3C, 0x64},  // note on
        {0xB0, 0x07, 0x50},  // volume
        {0xE0, 0x11, 0x48},  // pitch bend
        sysEx,
        {0xF8},              // clock
        {0x80, 0x3C, 0x40},  // note off
    };
}

TEST(JackThru, EveryMessageReachesTheSynthAndNothingOutlivesTheProgram)
{
    test::JackServer server(64, 48000);
    if (!server.ok())
        GTEST_SKIP() << "No private JACK server: " << server.errorText().toStdString();

    for (const char* ending : {"killed", "exits"}) {
        SCOPED_TRACE(ending);
        test::Keyboard keyboard;
        const std::string& keys = keyboard.port;
        Probe synth;
        synth.openVirtual("synth");
        const std::string synthPort = synth.client() + ":synth";

        const std::string host = "ThruHost" + std::to_string(test::nextId());
        QProcess program;
        program.start(QStringLiteral(ORVELL_THRU_HOST),
                      {QString::fromStdString(host), QString::fromStdString(keys), QString::fromStdString(synthPort)});
        ASSERT_TRUE(program.waitForStarted(5000));
        while (!program.canReadLine() && program.waitForReadyRead(10000)) {
        }
        ASSERT_EQ(program.readLine().trimmed(), "ready") << program.readAllStandardError().toStdString();

        // Only our own ports are connected: the keyboard to the program, the
        // program to the synth; never the keyboard to the synth.
        const auto during = jackConnections();
        for (const std::string& port : {keys, synthPort}) {
            SCOPED_TRACE(port);
            ASSERT_FALSE(during.at(port).empty()) << describe(during);
            for (const std::string& to : during.at(port))
                EXPECT_EQ(to.rfind(host, 0), 0u) << describe(during);
        }

        // Connections are made between periods: wait until one carries.
        bool carries = false;
        for (int i = 0; i < 200 && !carries; ++i) {
            keyboard.play({0xB0, 0x7F, 0x00});
            carries = synth.waitFor(1, 10ms);
        }
        ASSERT_TRUE(carries);
        std::this_thread::sleep_for(30ms);

        // A busy machine's non-realtime server drops whole cycles now and
        // then; the whole sequence is played again then, and must arrive
        // exactly, in order, within one try.
        const std::vector<Bytes> played = keyboardMessages();
        std::vector<Bytes> got;
        for (int attempt = 0; attempt < 3 && got != played; ++attempt) {
            synth.clear();
            for (const Bytes& message : played)
                keyboard.play(message);
            synth.waitFor(played.size(), 1s);
            std::this_thread::sleep_for(30ms);  // for anything extra
            got = synth.received();
        }
        EXPECT_EQ(got, played);

        if (std::string(ending) == "killed")
            program.kill();  // SIGKILL: nothing of ours runs any more
        else
            program.closeWriteChannel();
        ASSERT_TRUE(program.waitForFinished(10000));
        if (std::string(ending) == "exits") {
            EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        }

        // JACK notices a dead client at once but removes it in its own time.
        auto after = jackConnections();
        for (int i = 0; i < 100 && (hasPortOf(after, host) || !after[keys].empty()); ++i) {
            std::this_thread::sleep_for(50ms);
            after = jackConnections();
        }
        EXPECT_FALSE(hasPortOf(after, host)) << describe(after);
        EXPECT_TRUE(after[keys].empty()) << describe(after);
        EXPECT_TRUE(after[synthPort].empty()) << describe(after);

        // The keyboard no longer sounds the synth.
        synth.clear();
        keyboard.play({0x90, 0x40, 0x64});
        std::this_thread::sleep_for(50ms);
        EXPECT_TRUE(synth.received().empty());
    }
}

// Hears what went out on the mapper, on JACK's threads.
class TapSpy final : public MapperTap {
public:
    void mapperSent(std::span<const std::uint8_t> message) override
    {
        const std::lock_guard lock(mutex_);
        heard_.emplace_back(message.begin(), message.end());
    }
    std::vector<Bytes> heard() const
    {
        const std::lock_guard lock(mutex_);
        return heard_;
    }
    void clear()
    {
        const std::lock_guard lock(mutex_);
        heard_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<Bytes> heard_;
};

// The system's own calls: only a started input feeds its routes, the mapper
// among them (and its tap), and the listener; a route that is gone stays gone.
TEST(JackThru, StartedInputsFeedTheirRoutesAndTheListener)
{
    test::JackServer server(64, 48000);
    if (!server.ok())
        GTEST_SKIP() << "No private JACK server: " << server.errorText().toStdString();
    test::Keyboard keyboard;
    Probe synth;
    synth.openVirtual("synth");
    const std::string host = "ThruSystem" + std::to_string(test::nextId());
    TapSpy tap;  // outlives the system's threads
    RtMidiSystem system(RtMidi::UNIX_JACK, QString::fromStdString(host));
    const auto in = test::findDevice(system, false, keyboard.port);
    const auto out = test::findDevice(system, true, synth.client() + ":synth");
    ASSERT_TRUE(in && out);

    MidiHandle mapper = 0;
    MidiHandle output = 0;
    MidiHandle input = 0;
    ASSERT_EQ(system.openOutput(-1, mapper), MidiResult::Ok);
    ASSERT_EQ(system.openOutput(*out, output), MidiResult::Ok);
    ASSERT_EQ(system.openInput(*in, input), MidiResult::Ok);
    Probe listening;
    ASSERT_TRUE(listening.connectTo(host + ":MIDI Mapper Out"));
    system.setMapperTap(&tap);
    std::mutex heardMutex;
    std::vector<Bytes> heard;
    system.setInputListener([&](MidiHandle from, std::span<const std::uint8_t> message) {
        const std::lock_guard lock(heardMutex);
        if (from == input)
            heard.emplace_back(message.begin(), message.end());
    });
    ASSERT_EQ(system.connect(input, output), MidiResult::Ok);
    ASSERT_EQ(system.connect(input, mapper), MidiResult::Ok);
    ASSERT_EQ(system.connect(input, output), MidiResult::Ok);  // once is enough
    for (auto [bad, other] : {std::pair{output, output}, std::pair{input, input}, std::pair{MidiHandle{0}, output}}) {
        EXPECT_EQ(system.connect(bad, other), MidiResult::InvalidHandle);
        EXPECT_EQ(system.disconnect(bad, other), MidiResult::InvalidHandle);
    }

    const auto play = [&](const Bytes& message) { keyboard.play(message); };
    play({0x90, 0x3C, 0x01});  // not started: goes nowhere
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(synth.received().empty());
    EXPECT_TRUE(listening.received().empty());

    ASSERT_EQ(system.startInput(input), MidiResult::Ok);
    bool carries = false;
    for (int i = 0; i < 200 && !carries; ++i) {
        play({0xB0, 0x7F, 0x00});
        carries = synth.waitFor(1, 10ms) && listening.waitFor(1, 10ms);
    }
    ASSERT_TRUE(carries);
    std::this_thread::sleep_for(30ms);
    synth.clear();
    listening.clear();
    tap.clear();
    {
        const std::lock_guard lock(heardMutex);
        heard.clear();
    }
    const Bytes note{0x90, 0x3C, 0x64};
    ASSERT_TRUE(test::sendAndReceive(synth, [&] {
        play(note);
        return true;
    }));
    ASSERT_TRUE(listening.waitFor(1));
    // A retry may still be on its way on a busy machine: let the three counts meet.
    const auto heardCount = [&] {
        const std::lock_guard lock(heardMutex);
        return heard.size();
    };
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(10ms);
        const std::size_t count = heardCount();
        if (synth.received().size() == count && listening.received().size() == count)
            break;
    }
    const std::vector<Bytes> once = synth.received();
    EXPECT_EQ(once, std::vector<Bytes>(once.size(), note));  // sent again only if a cycle was lost
    EXPECT_EQ(listening.received(), once);
    EXPECT_EQ(tap.heard(), once);
    {
        const std::lock_guard lock(heardMutex);
        EXPECT_EQ(heard, once);
    }

    ASSERT_EQ(system.disconnect(input, output), MidiResult::Ok);
    EXPECT_EQ(system.disconnect(input, output), MidiResult::InvalidParam);
    ASSERT_EQ(system.stopInput(input), MidiResult::Ok);
    synth.clear();
    listening.clear();
    tap.clear();
    play({0x80, 0x3C, 0x00});
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(synth.received().empty());
    EXPECT_TRUE(listening.received().empty());
    EXPECT_TRUE(tap.heard().empty());

    // What the program itself sends there is heard too.
    ASSERT_EQ(system.sendShort(mapper, 0x00640BB0u), MidiResult::Ok);
    EXPECT_EQ(tap.heard(), (std::vector<Bytes>{{0xB0, 0x0B, 0x64}}));
    system.setMapperTap(nullptr);

    system.setInputListener({});
    EXPECT_EQ(system.closeInput(input), MidiResult::Ok);
    EXPECT_EQ(system.startInput(input), MidiResult::InvalidHandle);
    EXPECT_EQ(system.closeInput(input), MidiResult::InvalidHandle);
}

}  // namespace
}  // namespace orvell
