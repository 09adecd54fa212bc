#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>

class QColor;
class QComboBox;
class QLabel;
class QObject;
class QWidget;

namespace orvell {

class MidiEngine;
class SlotSelectors;

// The captions and selector lists of the panels that send on a channel and
// port: the patch list and the panels with controller slots, and the
// Duplicate commands of the latter.

// A caption label in its own colour (boxed for the labels that open a
// selector), and a selector list that stays hidden until a label is clicked.
QLabel* makePanelLabel(QWidget* parent, const QString& name, const QString& text, const QColor& color, bool boxed);
QComboBox* makePanelSelector(QWidget* parent, const QString& name, bool editable);

// A channel typed into the channel selector: a whole number 1..16, else nothing.
std::optional<int> typedChannel(const QString& text);
// The entry of the port selector for a typed port number; -1 when there is none.
int typedPortEntry(const QComboBox& ports, const QString& text);

// Shows `combo` over the label it selects for and hides the panel's other selectors.
void showSelectorAt(QWidget& panel, QComboBox* combo, const QLabel& at, std::initializer_list<QComboBox*> all);

// Hides a selector; when it has the keyboard, the panel takes it, so that
// neither later typing nor the focus chain lands on another slot's control.
void hideSelector(QComboBox* combo);

// The hint of a port label: the port's name, or the invalid-port text.
QString portHint(const MidiEngine& midi, int port, const QString& invalidText);

// The four selectors of a panel with controller slots.
struct SlotSelectorCombos {
    QComboBox* control = nullptr;
    QComboBox* channel = nullptr;
    QComboBox* port = nullptr;
    QComboBox* selPatch = nullptr;
    QComboBox* rControl = nullptr;  // a second controller list, for a joystick's fire buttons
};
// Makes them hidden, with the channel list filled and their typing filtered
// by `panel`. A choice from a list goes to the handlers; the Duplicate
// commands set entries without choosing them.
SlotSelectorCombos makeSlotSelectors(QWidget& panel, SlotSelectors& handlers, std::function<void()> selPatchClick,
                                     bool withRControl = false);

// A key typed into one of the selectors: Enter runs the handler of that
// selector, Escape closes it. True when the key was taken.
struct SelectorEnter {
    std::function<void()> control, channel, port;
};
bool takeSelectorKey(const SlotSelectorCombos& combos, const QObject* watched, int key, const SelectorEnter& enter);

// Enter in the channel or port selector of slot CIndx: a new valid entry is
// taken, anything else shows the slot's own again (`shown`, its label text).
void enterChannel(SlotSelectors& selectors, const QString& shown);
void enterPort(SlotSelectors& selectors, const QString& shown);
// The Duplicate commands: the setting of slot CIndx goes to every slot.
enum class DupSetting { Channel, Port, Control };
void duplicateSlot(SlotSelectors& selectors, DupSetting setting, int slotCount);

}  // namespace orvell
