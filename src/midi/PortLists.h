#pragma once

class QComboBox;

namespace orvell {

class MidiEngine;

// Fills a panel's port selector: the enabled devices, then the mapper, each
// with its port number as item data; the first entry is selected.
void FillOutPortList(QComboBox& list, const MidiEngine& midi);
// Fills an input selector: the enabled input devices only.
void FillInPortList(QComboBox& list, const MidiEngine& midi);

}  // namespace orvell
