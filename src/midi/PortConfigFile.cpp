#include "midi/PortConfigFile.h"

#include "core/SectionFile.h"
#include "midi/MidiEngine.h"

#include <algorithm>

namespace orvell {

namespace {

const QString InHeader = QStringLiteral("MIDI In Devs");
const QString OutHeader = QStringLiteral("MIDI Out Devs");

void writeEnabled(SectionWriter& out, const std::vector<MidiPort>& ports, int last)
{
    for (int i = 0; i <= last && i < static_cast<int>(ports.size()); ++i) {
        if (ports[i].Present && ports[i].Enabled)
            out.line(ports[i].Name);
    }
}

// Enables every present port of the table whose name matches; true when one did.
bool enableMatching(std::vector<bool>& enabled, const std::vector<MidiPort>& ports, QStringView name)
{
    bool matched = false;
    for (size_t i = 0; i < ports.size(); ++i) {
        if (ports[i].Present && QStringView(ports[i].Name).trimmed() == name) {
            enabled[i] = true;
            matched = true;
        }
    }
    return matched;
}

}  // namespace

void WriteMidiDevSections(SectionWriter& out, const MidiEngine& midi)
{
    out.blank();
    out.header(InHeader);
    writeEnabled(out, midi.MidiInPorts, midi.NumInDevs);
    out.blank();
    out.header(OutHeader);
    writeEnabled(out, midi.MidiOutPorts, midi.NumOutDevs);
}

bool ReadMidiDevSections(SectionReader& in, MidiEngine& midi, QStringList* outputNames)
{
    std::vector<bool> inEnabled(midi.MidiInPorts.size(), false);
    std::vector<bool> outEnabled(midi.MidiOutPorts.size(), false);
    bool inMatched = false;
    bool outMatched = false;
    bool outputs = false;
    while (const auto& line = in.peek()) {
        if (line->kind == SectionLine::Kind::Header) {
            if (line->name != OutHeader)
                break;  // the caller's
            outputs = true;
            in.next();
            continue;
        }
        const QString name = in.next()->text.trimmed();
        if (outputs && outputNames)
            outputNames->append(name);
        if (outputs)
            outMatched = enableMatching(outEnabled, midi.MidiOutPorts, name) || outMatched;
        else
            inMatched = enableMatching(inEnabled, midi.MidiInPorts, name) || inMatched;
    }
    if (!inMatched || !outMatched)
        return false;
    for (size_t i = 0; i < inEnabled.size(); ++i)
        midi.MidiInPorts[i].Enabled = inEnabled[i];
    for (size_t i = 0; i < outEnabled.size(); ++i)
        midi.MidiOutPorts[i].Enabled = outEnabled[i];
    return true;
}

std::map<int, int> portsByName(const QStringList& sessionOutputs, const std::vector<MidiPort>& here)
{
    const QString mapper = here.empty() ? QString() : here[0].Name;
    std::vector<bool> taken(here.size(), false);
    std::vector<std::pair<int, int>> pairs;  // (session port, port here)
    int sessionPort = 0;
    for (const QString& name : sessionOutputs) {
        if (name == mapper)
            continue;
        ++sessionPort;
        for (size_t i = 1; i < here.size(); ++i) {
            if (!taken[i] && here[i].Present && QStringView(here[i].Name).trimmed() == name) {
                taken[i] = true;
                pairs.emplace_back(sessionPort, static_cast<int>(i));
                break;
            }
        }
    }
    std::map<int, int> map;
    if (std::ranges::is_sorted(pairs, {}, &std::pair<int, int>::second))
        return map;
    for (const auto& [from, to] : pairs) {
        if (from != to)
            map.emplace(from, to);
    }
    return map;
}

QString describePortMap(const std::map<int, int>& map, const std::vector<MidiPort>& here)
{
    QStringList moves;
    for (const auto& [from, to] : map)
        moves << QStringLiteral("%1 to %2 (%3)").arg(from).arg(to).arg(here[static_cast<size_t>(to)].Name);
    return moves.join(QStringLiteral(", "));
}

}  // namespace orvell
