// The panel's mouse on its buttons and option labels, picture drops and the
// status-line hints of the controls that are its own.
#include "controllers/ButtonModel.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/FaderModel.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QDropEvent>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace orvell {

namespace {

enum : int {
    MsgClickToSend = 33,
    MsgPictureHint = 92,
    MsgCantChange = 97,
    MsgRemoteControl = 143,
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

}  // namespace

// Hints.

bool ButtonsPanel::ownsInSlot(int index, const QObject* control) const
{
    return control == buttons_[index].button || control == buttons_[index].optLbl;
}

void ButtonsPanel::showOwnHint(int index, QObject* control)
{
    const int code = core(index).code;
    if (control == buttons_[index].optLbl) {
        const int option = BtnOpt(index);
        if (const int hint = optionHintMessage(option))
            host_.ShowHint(shared_.msg(hint) + (option == BtnOption::Auto ? shared_.msg(MsgCantChange) : QString()));
    } else if (code == CtrlCode::NoOp) {
        host_.ShowHint(shared_.msg(MsgNoOp));
    } else {
        const QString remote = buttonTargetsPanel(code) ? shared_.msg(MsgRemoteControl) : QString();
        host_.ShowHint(remote + shared_.msg(MsgClickToSend));
    }
}

// Picture drops.

bool ButtonsPanel::handleDrop(int index, QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const auto palette = paletteIndexOf(drop->mimeData());
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
    const int i = slotOf(watched);
    if (i < 0 || !ownsInSlot(i, watched) || event->type() == QEvent::Enter)
        return SlotPanel::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    const Button& slot = buttons_[i];
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
            return SlotPanel::eventFilter(watched, event);
        }
    }
    if (watched == slot.optLbl) {
        if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            BtnOptLbl_Click(i);
            return true;
        }
        // The sweep settings of a button that sweeps open from its option label.
        if (type == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (buttonKind(core(i).code, custom_) == ButtonKind::Continuous)
                AutoSettings_Click(i);
            else
                BtnOptLbl_Click(i);
            return true;
        }
        return SlotPanel::eventFilter(watched, event);
    }
    return SlotPanel::eventFilter(watched, event);
}

}  // namespace orvell
