#pragma once

#include "controllers/Controllers.h"
#include "controllers/CtrlEdit.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>

class QComboBox;
class QLabel;
class QWidget;

namespace orvell {

class Dialogs;
class MessageTable;
class MidiEngine;
class SlotSelectors;

// What the panels with four controller slots share about their selectors,
// the custom controller list and the Duplicate commands.

// A channel typed into the channel selector: a whole number 1..16, else nothing.
std::optional<int> typedChannel(const QString& text);
// The entry of the port selector for a typed port number; -1 when there is none.
int typedPortEntry(const QComboBox& ports, const QString& text);

// The naming questions of an unlisted controller, asked with the program's boxes.
AskFn askThrough(Dialogs& dialogs, const MessageTable& msgs);

// Shows `combo` over the label it selects for and hides the panel's other selectors.
void showSelectorAt(QWidget& panel, QComboBox* combo, const QLabel& at, std::initializer_list<QComboBox*> all);

// Hides a selector; when it has the keyboard, the panel takes it, so that
// neither later typing nor the focus chain lands on another slot's control.
void hideSelector(QComboBox* combo);

// The hint of a port label: the port's name, or the invalid-port text.
QString portHint(const MidiEngine& midi, int port, const QString& invalidText);

// Opens the controller editor for a slot's code; nothing for special codes or Cancel.
std::optional<CtrlEditResult> editSlotController(QWidget* parent, int code, const QString& label,
                                                 const CustomControllers& custom, bool continuousOnly,
                                                 const MessageTable& msgs, Dialogs& dialogs, CtrlEdit::Hint hint);
// The panel's list after the editor's decision for `code`.
void applyControllerEdit(CustomControllers& custom, int code, const CtrlEditResult& edit);
// A "CstmCtrlr=" line read from a file: its entry replaces one of the same
// code. False when the line is malformed.
bool addCustomLine(CustomControllers& custom, const QString& value);

// Refills a controller selector with the panel's choices, without choosing one.
void fillControlChoices(QComboBox& list, const CustomControllers& custom);

// The four selectors of a panel with controller slots.
struct SlotSelectorCombos {
    QComboBox* control = nullptr;
    QComboBox* channel = nullptr;
    QComboBox* port = nullptr;
    QComboBox* selPatch = nullptr;
};
// Makes them hidden, with the channel list filled and their typing filtered
// by `panel`. A choice from a list goes to the handlers; the Duplicate
// commands set entries without choosing them.
SlotSelectorCombos makeSlotSelectors(QWidget& panel, SlotSelectors& handlers, std::function<void()> selPatchClick);

// What a key typed into one of the selectors asks for; Escape closes it.
enum class SelectorKey { None, Closed, EnterControl, EnterChannel, EnterPort };
SelectorKey selectorKey(const SlotSelectorCombos& combos, const QObject* watched, int key);

// Enter in the channel or port selector of slot CIndx: a new valid entry is
// taken, anything else shows the slot's own again (`shown`, its label text).
void enterChannel(SlotSelectors& selectors, const QString& shown);
void enterPort(SlotSelectors& selectors, const QString& shown);
// Enter in the controller selector: a listed code is taken; an unlisted MIDI
// controller number is named (asking where its kind is open), added to
// `custom` and taken; anything else reverts. `refill` rebuilds the list
// after an addition, `revert` shows the slot's own entry again.
void enterControl(SlotSelectors& selectors, CustomControllers& custom, bool continuousOnly, const AskFn& ask,
                  const std::function<void()>& refill, const std::function<void()>& revert);

// The Duplicate commands: the setting of slot CIndx goes to every slot.
enum class DupSetting { Channel, Port, Control };
void duplicateSlot(SlotSelectors& selectors, DupSetting setting, int slotCount);

}  // namespace orvell
