// The panel's keyboard and mouse on its faders and value boxes, and the
// status-line hints of the controls that are its own.
#include "controllers/FaderPanel.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgData = 11,
    MsgFor = 40,
    MsgDataHint = 89,
    MsgRemoteControl = 143,
};

}  // namespace

void FaderPanel::ShowDataHelp(int index)
{
    if (Panel* target = targetOf(index))
        host_.ShowHint(shared_.msg(MsgRemoteControl) + shared_.msg(MsgData) + shared_.msg(MsgFor) + target->caption());
    else
        host_.ShowHint(shared_.msg(MsgDataHint));
}

bool FaderPanel::ownsInSlot(int index, const QObject* control) const
{
    return control == faders_[index].fader || control == faders_[index].dataVal;
}

void FaderPanel::showOwnHint(int index, QObject* control)
{
    (void)control;
    ShowDataHelp(index);
}

bool FaderPanel::showPanelHint(QObject* control)
{
    if (control != dMinLbl_ && control != dMaxLbl_)
        return false;
    host_.ShowHint(shared_.msg(MsgDataHint));
    return true;
}

bool FaderPanel::moveByKey(int index, int key)
{
    Fader& slot = faders_[index];
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
    // With the keyboard on the panel (a selector just closed), the keys move
    // the current fader; keys a child left unused are not meant for it.
    if (hasFocus() && CIndx >= 0 && CIndx < Slots && moveByKey(CIndx, event->key()))
        return;
    SlotPanel::keyPressEvent(event);
}

bool FaderPanel::eventFilter(QObject* watched, QEvent* event)
{
    const int i = slotOf(watched);
    if (i < 0 || !ownsInSlot(i, watched))
        return SlotPanel::eventFilter(watched, event);
    const Fader& slot = faders_[i];
    const QEvent::Type type = event->type();
    if (watched == slot.dataVal) {
        if (valueBoxEvent(slot.dataVal, event, [this, i] { DataVal_KeyPress(i); }))
            return true;
        if (type == QEvent::FocusIn) {
            makeCurrent(i);
            ShowDataHelp(i);
            QTimer::singleShot(0, slot.dataVal, [box = slot.dataVal] { box->selectAll(); });
        }
    } else if (type == QEvent::KeyPress && moveByKey(i, static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        makeCurrent(i);
    return SlotPanel::eventFilter(watched, event);
}

}  // namespace orvell
