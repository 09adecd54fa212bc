#include "app/PanicControl.h"

#include "app/AOrvell.h"
#include "panels/Shared.h"
#include "sequencer/SequencerPanel.h"

#include <QKeyEvent>
#include <QShortcut>

namespace orvell {

PanicControl::PanicControl(AOrvell& window) : QObject(&window), window_(window)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period), &window);
    shortcut->setObjectName(QStringLiteral("PanicShortcut"));
    connect(shortcut, &QShortcut::activated, this, &PanicControl::Panic_Click);
    // Esc is watched, not taken, and only once no control has used it: the
    // first press that closes a selector or list does not count.
    window.installEventFilter(this);
}

void PanicControl::Panic_Click()
{
    // The players and sweeps stop first, so nothing sounds again after the reset.
    for (Panel* panel : window_.panelsOf(PanelClass::Sequencer)) {
        auto* sequencer = qobject_cast<SequencerPanel*>(panel);
        if (sequencer && sequencer->isPlaying())
            sequencer->StopBtn_Click();
    }
    Shared& shared = window_.shared();
    shared.autoSweep.Halt();
    shared.midi.Panic();
}

bool PanicControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &window_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->isAutoRepeat())
        return QObject::eventFilter(watched, event);
    if (lastEsc_.isValid() && lastEsc_.elapsed() <= DoubleEscMs) {
        lastEsc_.invalidate();
        Panic_Click();
    } else {
        lastEsc_.start();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvell
