// The panel's keyboard and mouse: selector entries, label clicks that open
// the selectors, presses of the buttons, picture drops and the status-line hints.
#include "controllers/ButtonModel.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/FaderModel.h"
#include "controllers/SelectorTools.h"
#include "midi/MidiEngine.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QComboBox>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgChannelHint = 19,
    MsgMessageType = 32,
    MsgClickToSend = 33,
    MsgInvalidPort = 62,
    MsgDupHint = 84,
    MsgPortHint = 87,
    MsgPictureHint = 92,
    MsgCantChange = 97,
    MsgRemoteControl = 143,
    MsgClickToChange = 188,
    MsgNoOp = 263,
};

// The press handlers number mouse buttons 1 (left), 2 (right) and 4 (middle).
int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return ButtonsPanel::LeftButton;
    case Qt::RightButton:
        return ButtonsPanel::RightButton;
    case Qt::MiddleButton:
        return 4;
    default:
        return 8;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

std::optional<int> droppedIndex(const QMimeData* data)
{
    if (!data || !data->hasFormat(QString::fromLatin1(PaletteIndexMime)))
        return std::nullopt;
    bool ok = false;
    const int index = QString::fromLatin1(data->data(QString::fromLatin1(PaletteIndexMime))).trimmed().toInt(&ok);
    if (!ok || index < 0)
        return std::nullopt;
    return index;
}

}  // namespace

void ButtonsPanel::Channel_KeyPress() { enterChannel(*this, channelText(CIndx)); }

void ButtonsPanel::Port_KeyPress() { enterPort(*this, portText(CIndx)); }

void ButtonsPanel::Control_KeyPress()
{
    // Buttons take switches as well as continuous types.
    enterControl(*this, custom_, false, askThrough(host_.dialogs(), shared_.Msgs), [this] { fillControlList(); },
                 [this] { revertControl(); });
}

// Hints.

int ButtonsPanel::slotOf(QObject* control) const
{
    for (int i = 0; i < Slots; ++i) {
        const Slot& s = slots_[i];
        if (control == s.button || control == s.optLbl || control == s.cntrlLbl || control == s.chanLbl ||
            control == s.portLbl)
            return i;
    }
    return -1;
}

void ButtonsPanel::showHintFor(QObject* control)
{
    const int i = slotOf(control);
    if (control == label1_) {
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
    } else if (control == slots_[i].optLbl) {
        const int option = slots_[i].option;
        if (const int hint = optionHintMessage(option))
            host_.ShowHint(shared_.msg(hint) + (option == BtnOption::Auto ? shared_.msg(MsgCantChange) : QString()));
    } else if (control == slots_[i].cntrlLbl) {
        const Slot& slot = slots_[i];
        Panel* target = buttonTargetsPanel(slot.code)
                            ? host_.findPanel(faderTargetClass(slot.code), QString::number(slot.patchId))
                            : nullptr;
        const QString what = target ? shared_.msg(MsgRemoteControl) + target->caption()
                                    : shared_.msg(MsgMessageType) + QStringLiteral(" ") + slot.cntrlLbl->text();
        host_.ShowHint(what + shared_.msg(MsgClickToChange));
    } else if (slots_[i].code == CtrlCode::NoOp) {
        host_.ShowHint(shared_.msg(MsgNoOp));
    } else {
        const QString remote = buttonTargetsPanel(slots_[i].code) ? shared_.msg(MsgRemoteControl) : QString();
        host_.ShowHint(remote + shared_.msg(MsgClickToSend));
    }
}

// Picture drops.

bool ButtonsPanel::handleDrop(int index, QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const auto palette = droppedIndex(drop->mimeData());
    if (!palette) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        setBtnIcon(index, *palette);
    else
        host_.ShowHint(shared_.msg(MsgPictureHint));
    return true;
}

bool ButtonsPanel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter) {
        showHintFor(watched);
        return Panel::eventFilter(watched, event);
    }
    if (type == QEvent::KeyPress) {
        switch (selectorKey(combos_, watched, static_cast<QKeyEvent*>(event)->key())) {
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
    if (watched == slot.button) {
        switch (type) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return handleDrop(i, event);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // A quick second press is a press too, not a double click.
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            MButton_MouseDown(i, buttonNumber(mouse->button()), shiftState(mouse->modifiers()), at.x(), at.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            MButton_MouseUp(i, buttonNumber(mouse->button()), shiftState(mouse->modifiers()), at.x(), at.y());
            return true;
        }
        default:
            return Panel::eventFilter(watched, event);
        }
    }
    if (watched == slot.optLbl) {
        if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            BtnOptLbl_Click(i);
            return true;
        }
        // The sweep settings of a button that sweeps open from its option label.
        if (type == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (buttonKind(slot.code, custom_) == ButtonKind::Continuous)
                AutoSettings_Click(i);
            else
                BtnOptLbl_Click(i);
            return true;
        }
        return Panel::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        makeCurrent(i);
        if (watched == slot.chanLbl) {
            combos_.channel->setCurrentIndex(channelOfSlot(i) - 1);
            showSelector(combos_.channel, slot.chanLbl);
            return true;
        }
        if (watched == slot.portLbl) {
            combos_.port->setCurrentIndex(combos_.port->findData(portOfSlot(i)));
            showSelector(combos_.port, slot.portLbl);
            return true;
        }
        if (watched == slot.cntrlLbl) {
            combos_.control->setCurrentIndex(combos_.control->findData(slot.code));
            showSelector(combos_.control, slot.cntrlLbl);
            return true;
        }
    }
    return Panel::eventFilter(watched, event);
}

}  // namespace orvell
