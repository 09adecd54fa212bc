#pragma once

namespace orvell {

class MidiEngine;
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
bool ReadMidiDevSections(SectionReader& in, MidiEngine& midi);

}  // namespace orvell
