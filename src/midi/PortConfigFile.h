#pragma once

#include <QStringList>

#include <map>
#include <vector>

namespace orvell {

class MidiEngine;
struct MidiPort;
class SectionReader;
class SectionWriter;

// The ports offered to panels, kept by device name so that a configuration
// survives a change of device numbering: "[MIDI In Devs]" and "[MIDI Out Devs]",
// one enabled port's name per line.
void WriteMidiDevSections(SectionWriter& out, const MidiEngine& midi);

// Reads the names after the "[MIDI In Devs]" header (already taken) up to the
// next other header, which is left in the reader for the caller. A present
// port whose trimmed name equals a trimmed line is enabled, every other one
// disabled. False when no input or no output matched: the tables are kept.
// `outputNames`, when given, receives the output lines, trimmed, in order.
bool ReadMidiDevSections(SectionReader& in, MidiEngine& midi, QStringList* outputNames = nullptr);

// Where the output ports of a session land on this machine when each follows
// its device name: session port k is taken to be the k-th output named under
// "[MIDI Out Devs]" (the mapper line aside), as a machine writes them with
// every port in use. Empty when the devices found here keep the session's
// order, so a session read back on the machine that wrote it, some ports
// unused, keeps its numbers. Devices absent here keep their numbers; a name
// given twice pairs off with its namesakes here in order.
std::map<int, int> portsByName(const QStringList& sessionOutputs, const std::vector<MidiPort>& here);

// "1 to 2 (B), 2 to 1 (A)": what the map moved, for the status line.
QString describePortMap(const std::map<int, int>& map, const std::vector<MidiPort>& here);

}  // namespace orvell
