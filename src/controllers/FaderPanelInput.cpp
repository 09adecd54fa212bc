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

void FaderPanel::Channel_KeyPress()
{
    const int i = CIndx;
    const auto number = typedChannel(channel_->currentText());
    if (!number) {
        channel_->setCurrentIndex(channelOfSlot(i) - 1);
        channel_->setEditText(channelText(i));
    } else if (*number != channelOfSlot(i)) {
        channel_->setCurrentIndex(*number - 1);
        Channel_Click();
    }
    channel_->hide();
}

void FaderPanel::Port_KeyPress()
{
    const int i = CIndx;
    const int entry = typedPortEntry(*port_, port_->currentText());
    if (entry < 0) {
        port_->setCurrentIndex(port_->findData(portOfSlot(i)));
        port_->setEditText(portText(i));
    } else if (port_->itemData(entry).toInt() != portOfSlot(i)) {
        port_->setCurrentIndex(entry);
        Port_Click();
    }
    port_->hide();
}

void FaderPanel::Control_KeyPress()
{
    const QString text = control_->currentText();
    const auto number = parseInteger(text);
    const auto exact = parseNumber(text);
    if (!number || exact != double(*number) || *number < 0 || *number > 256) {
        revertControl();
    } else if (const int entry = control_->findData(*number); entry >= 0) {
        control_->setCurrentIndex(entry);
        Control_Click();
    } else if (*number > 127) {
        revertControl();
    } else {
        const AskFn ask = askThrough(host_.dialogs(), shared_.Msgs);
        // Faders only take continuous types.
        const auto record = nameUnlistedController(*number, true, ask);
        if (!record) {
            revertControl();
        } else {
            custom_.push_back(*record);
            fillControlList();
            control_->setCurrentIndex(control_->findData(record->CtrlNo));
            Control_Click();
        }
    }
    control_->hide();
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
        if (control_->lineEdit() == watched || channel_->lineEdit() == watched || port_->lineEdit() == watched) {
            QComboBox* combo = qobject_cast<QComboBox*>(watched->parent());
            if (enter) {
                if (combo == control_)
                    Control_KeyPress();
                else if (combo == channel_)
                    Channel_KeyPress();
                else
                    Port_KeyPress();
                return true;
            }
            if (key == Qt::Key_Escape && combo) {
                combo->hide();
                return true;
            }
        }
        if (watched == selPatch_ && key == Qt::Key_Escape) {
            selPatch_->hide();
            return true;
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
            channel_->setCurrentIndex(channelOfSlot(i) - 1);
            showSelectorAt(*this, channel_, *slot.chanLbl, {control_, channel_, port_, selPatch_});
            return true;
        }
        if (watched == slot.portLbl) {
            port_->setCurrentIndex(port_->findData(portOfSlot(i)));
            showSelectorAt(*this, port_, *slot.portLbl, {control_, channel_, port_, selPatch_});
            return true;
        }
        if (watched == slot.cntrlLbl) {
            control_->setCurrentIndex(control_->findData(slot.code));
            showSelectorAt(*this, control_, *slot.cntrlLbl, {control_, channel_, port_, selPatch_});
            return true;
        }
    }
    return Panel::eventFilter(watched, event);
}

}  // namespace orvell
