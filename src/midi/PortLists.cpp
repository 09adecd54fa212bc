#include "midi/PortLists.h"

#include "midi/MidiEngine.h"

#include <QComboBox>

namespace orvell {

void FillOutPortList(QComboBox& list, const MidiEngine& midi)
{
    list.clear();
    for (const auto& [name, port] : midi.OutPortChoices())
        list.addItem(name, port);
    list.setCurrentIndex(list.count() > 0 ? 0 : -1);
}

}  // namespace orvell
