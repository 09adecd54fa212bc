#include "controllers/SlotPanel.h"

#include "panels/Shared.h"

#include <QMenu>

namespace orvell {

void SlotPanel::Learn_Click(int index)
{
    if (index >= 0 && index < Slots)
        shared_.learn.learn(this, index);
}

void SlotPanel::Forget_Click(int index)
{
    if (index < 0 || index >= Slots || !shared_.learn.bindingOf(this, index))
        return;
    shared_.learn.forget(this, index);
    markChanged();
}

void SlotPanel::showSlotMenu(int index, QPoint at)
{
    makeCurrent(index);
    QMenu menu(this);
    menu.addAction(QStringLiteral("Learn"), this, [this, index] { Learn_Click(index); });
    QAction* forget = menu.addAction(QStringLiteral("Forget"), this, [this, index] { Forget_Click(index); });
    forget->setEnabled(shared_.learn.bindingOf(this, index).has_value());
    menu.exec(at);
}

void SlotPanel::learnedBinding(int slot)
{
    (void)slot;
    markChanged();
}

void SlotPanel::learnedInput(int slot, const LearnedInput& input)
{
    // A session being loaded does not play.
    if (!shared_.flags.Initializing)
        moveLearned(slot, input.value, input.maximum);
}

void SlotPanel::moveLearned(int index, int value, int maximum)
{
    const bool down = value * 2 > maximum;
    bool& held = learnedDown_[size_t(index)];
    if (down == held)
        return;
    held = down;
    if (down)
        pressDown(index);
    else
        pressUp(index);
}

}  // namespace orvell
