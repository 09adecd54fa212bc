#include "midi/PortLists.h"

#include "midi/MidiEngine.h"

#include <QComboBox>

namespace orvell {

namespace {

void fill(QComboBox& list, const std::vector<std::pair<QString, int>>& choices)
{
    list.clear();
    for (const auto& [name, port] : choices)
        list.addItem(name, port);
    list.setCurrentIndex(list.count() > 0 ? 0 : -1);
}

}  // namespace

void FillOutPortList(QComboBox& list, const MidiEngine& midi) { fill(list, midi.OutPortChoices()); }

void FillInPortList(QComboBox& list, const MidiEngine& midi) { fill(list, midi.InPortChoices()); }

}  // namespace orvell
