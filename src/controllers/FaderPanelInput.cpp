// The panel's keyboard and mouse: typed values and selector entries, label
// clicks that open the selectors, and the status-line hints.
#include "app/Dialogs.h"
#include "controllers/FaderPanel.h"
#include "controllers/SelectorTools.h"
#include "core/Numeric.h"
#include "core/Shared.h"
#include "midi/MidiEngine.h"
#include "panels/PanelHost.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
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

bool FaderPanel::moveByKey(int index, int key)
{
    Slot& slot = slots_[index];
    const FaderRange& range = slot.range;
    const int value = slot.fader->value();
    int target = value;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        target = value + range.smallChange;
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        target = value - range.smallChange;
        break;
    case Qt::Key_PageUp:
        target = value + range.largeChange;
        break;
    case Qt::Key_PageDown:
        target = value - range.largeChange;
        break;
    case Qt::Key_Home:
        target = range.minimum;
        break;
    case Qt::Key_End:
        target = range.maximum;
        break;
    default:
        return false;
    }
    // Up is up the range whichever way the bar is drawn.
    slot.fader->setValue(std::clamp(target, range.lower, range.upper));
    ShowDataHelp(index);
    return true;
}

void FaderPanel::keyPressEvent(QKeyEvent* event)
{
    // With the keyboard on the panel (a selector just closed), the keys move the current fader.
    // Keys a child left unused are not meant for a fader.
    if (hasFocus() && CIndx >= 0 && CIndx < Slots && moveByKey(CIndx, event->key()))
        return;
    Panel::keyPressEvent(event);
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
        if (i >= 0 && watched == slots_[i].fader && moveByKey(i, key))
            return true;
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
        // Leaving the box acts as Enter, once, for what was typed. A popup or
        // another window borrowing the keyboard is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (slot.dataVal->isModified() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
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
