// The panel's keyboard and mouse: typed values and selector entries, label
// clicks that open the selectors, and the status-line hints.
#include "controllers/FaderPanel.h"
#include "controllers/SelectorTools.h"
#include "core/Numeric.h"
#include "midi/MidiEngine.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgData = 11,
    MsgChannelHint = 19,
    MsgMessageType = 32,
    MsgFor = 40,
    MsgInvalidPort = 62,
    MsgDupHint = 84,
    MsgPortHint = 87,
    MsgDataHint = 89,
    MsgRemoteControl = 143,
    MsgClickToChange = 188,
};

}  // namespace

void FaderPanel::DataVal_KeyPress(int index)
{
    Slot& slot = slots_[index];
    const TypedValue typed = typedFaderValue(slot.dataVal->text(), slot.range, slot.fader->value());
    switch (typed.action) {
    case TypedValue::Action::Revert:
        slot.dataVal->setText(QString::number(typed.value));
        break;
    case TypedValue::Action::SendAgain:
        slot.dataVal->setText(QString::number(typed.value));
        MidiSend(index);
        break;
    case TypedValue::Action::Move:
        slot.fader->setValue(typed.value);
        break;
    }
    slot.dataVal->setModified(false);
    slot.dataVal->selectAll();
}

void FaderPanel::Channel_KeyPress() { enterChannel(*this, channelText(CIndx)); }

void FaderPanel::Port_KeyPress() { enterPort(*this, portText(CIndx)); }

void FaderPanel::Control_KeyPress()
{
    // Faders only take continuous types.
    enterControl(*this, custom_, true, askThrough(host_.dialogs(), shared_.Msgs), [this] { fillControlList(); },
                 [this] { revertControl(); });
}

// Hints and input.

void FaderPanel::ShowDataHelp(int index)
{
    const Slot& slot = slots_[index];
    Panel* target = isPanelDirected(slot.code)
                        ? host_.findPanel(faderTargetClass(slot.code), QString::number(slot.patchId))
                        : nullptr;
    if (target)
        host_.ShowHint(shared_.msg(MsgRemoteControl) + shared_.msg(MsgData) + shared_.msg(MsgFor) + target->caption());
    else
        host_.ShowHint(shared_.msg(MsgDataHint));
}

int FaderPanel::slotOf(QObject* control) const
{
    for (int i = 0; i < Slots; ++i) {
        const Slot& s = slots_[i];
        if (control == s.fader || control == s.dataVal || control == s.cntrlLbl || control == s.chanLbl ||
            control == s.portLbl)
            return i;
    }
    return -1;
}

void FaderPanel::showHintFor(QObject* control)
{
    const int i = slotOf(control);
    if (control == dMinLbl_ || control == dMaxLbl_) {
        host_.ShowHint(shared_.msg(MsgDataHint));
    } else if (control == label1_) {
        host_.ShowHint(shared_.msg(MsgChannelHint));
    } else if (control == label2_) {
        host_.ShowHint(shared_.msg(MsgPortHint));
    } else if (control == dupIcon_) {
        host_.ShowHint(shared_.msg(MsgDupHint));
    } else if (i < 0) {
        return;
    } else if (control == slots_[i].chanLbl) {
        host_.ShowHint(shared_.msg(MsgChannelHint));
    } else if (control == slots_[i].portLbl) {
        host_.ShowHint(portHint(midi_, portOfSlot(i), shared_.msg(MsgInvalidPort)));
    } else if (control == slots_[i].cntrlLbl) {
        const Slot& slot = slots_[i];
        Panel* target = isPanelDirected(slot.code)
                            ? host_.findPanel(faderTargetClass(slot.code), QString::number(slot.patchId))
                            : nullptr;
        const QString what = target ? shared_.msg(MsgRemoteControl) + target->caption()
                                    : shared_.msg(MsgMessageType) + QStringLiteral(" ") + slot.cntrlLbl->text();
        host_.ShowHint(what + shared_.msg(MsgClickToChange));
    } else {
        ShowDataHelp(i);
    }
}

bool FaderPanel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter) {
        showHintFor(watched);
        return Panel::eventFilter(watched, event);
    }
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        const int i = slotOf(watched);
        if (enter && i >= 0 && watched == slots_[i].dataVal) {
            DataVal_KeyPress(i);
            return true;
        }
        switch (selectorKey(combos_, watched, key)) {
        case SelectorKey::EnterControl:
            Control_KeyPress();
            return true;
        case SelectorKey::EnterChannel:
            Channel_KeyPress();
            return true;
        case SelectorKey::EnterPort:
            Port_KeyPress();
            return true;
        case SelectorKey::Closed:
            return true;
        case SelectorKey::None:
            break;
        }
        return Panel::eventFilter(watched, event);
    }
    const int i = slotOf(watched);
    if (i < 0)
        return Panel::eventFilter(watched, event);
    Slot& slot = slots_[i];
    if (type == QEvent::FocusIn) {
        makeCurrent(i);
        if (watched == slot.dataVal) {
            ShowDataHelp(i);
            QTimer::singleShot(0, slot.dataVal, [box = slot.dataVal] { box->selectAll(); });
        }
    } else if (type == QEvent::FocusOut && watched == slot.dataVal) {
        // Leaving the box acts as Enter.
        DataVal_KeyPress(i);
    } else if (type == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        makeCurrent(i);
        if (watched == slot.chanLbl) {
            combos_.channel->setCurrentIndex(channelOfSlot(i) - 1);
            showSelectorAt(*this, combos_.channel, *slot.chanLbl, {combos_.control, combos_.channel, combos_.port, combos_.selPatch});
            return true;
        }
        if (watched == slot.portLbl) {
            combos_.port->setCurrentIndex(combos_.port->findData(portOfSlot(i)));
            showSelectorAt(*this, combos_.port, *slot.portLbl, {combos_.control, combos_.channel, combos_.port, combos_.selPatch});
            return true;
        }
        if (watched == slot.cntrlLbl) {
            combos_.control->setCurrentIndex(combos_.control->findData(slot.code));
            showSelectorAt(*this, combos_.control, *slot.cntrlLbl, {combos_.control, combos_.channel, combos_.port, combos_.selPatch});
            return true;
        }
    }
    return Panel::eventFilter(watched, event);
}

}  // namespace orvell
