// The patch group's keyboard and mouse: the pick lists of the output channel
// and port and of the audition input, the lists' keys, and the hints.
#include "panels/PanelHost.h"
#include "panels/SelectorTools.h"
#include "panels/Shared.h"
#include "patches/PatchGroup.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgChannelHint = 19,
    MsgSaveHint = 20,
    MsgLoadInsHint = 22,
    MsgDelSynthHint = 23,
    MsgDelPatchHint = 24,
    MsgAddFavHint = 25,
    MsgLoadMultiHint = 26,
    MsgPatchListHint = 27,
    MsgRoutedHint = 55,
    MsgPortHint = 87,
    MsgAuditionHint = 88,
    MsgCountHint = 124,
    MsgSynthsHint = 159,
    MsgEmptySubGroupHint = 175,
};

// The entry of a pick list whose item data is `value`, else the first.
int entryFor(const QComboBox& combo, const QString& value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? std::max(0, combo.findData(number)) : 0;
}

}  // namespace

void PatchGroup::OChannel_Click()
{
    if (Initializing || oChannel_->currentIndex() < 0 || shownSynth_ < 0)
        return;
    const QString chosen = QString::number(oChannel_->currentData().toInt());
    hideSelector(oChannel_);
    if (chosen == outChannelText())
        return;
    setChanLbl(chosen);
    markChanged();
}

void PatchGroup::OPort_Click()
{
    if (Initializing || oPort_->currentIndex() < 0 || shownSynth_ < 0)
        return;
    const QString chosen = QString::number(oPort_->currentData().toInt());
    hideSelector(oPort_);
    if (chosen == outPortText())
        return;
    setPortLbl(chosen);
    markChanged();
}

void PatchGroup::Channel_Click()
{
    if (Initializing || channel_->currentIndex() < 0)
        return;
    const QString chosen = QString::number(channel_->currentData().toInt());
    hideSelector(channel_);
    if (chosen == inChannelText())
        return;
    chanLbl_->setText(chosen);
    markChanged();
}

void PatchGroup::Port_Click()
{
    if (Initializing || port_->currentIndex() < 0)
        return;
    const QString chosen = QString::number(port_->currentData().toInt());
    hideSelector(port_);
    if (chosen == inPortText())
        return;
    portLbl_->setText(chosen);
    ResetMyThru();
    markChanged();
}

void PatchGroup::openPicker(QLabel* label)
{
    const std::initializer_list<QComboBox*> all = {oChannel_, oPort_, channel_, port_};
    QComboBox* combo = label == ochnLbl_ ? oChannel_ : label == oprtLbl_ ? oPort_ : label == chanLbl_ ? channel_ : port_;
    // The output pair belongs to a synth: without one there is nothing to set.
    if ((combo == oChannel_ || combo == oPort_) && shownSynth_ < 0)
        return;
    if (combo->count() == 0)
        return;
    combo->setCurrentIndex(entryFor(*combo, label->text()));
    showSelectorAt(*this, combo, *label, all);
}

bool PatchGroup::instrumentsHaveFocus() const { return lastListWasInstruments_; }

void PatchGroup::showHintFor(QObject* control)
{
    const auto hint = [&]() -> int {
        if (control == synthsBox_)
            return MsgSynthsHint;
        if (control == loadInsBtn_)
            return MsgLoadInsHint;
        if (control == delSynthBtn_)
            return MsgDelSynthHint;
        if (control == insLbl_ || control == favLbl_)
            return MsgCountHint;
        if (control == ochnLbl_ || control == oChannel_)
            return MsgChannelHint;
        if (control == oprtLbl_ || control == oPort_)
            return MsgPortHint;
        if (control == addFavBtn_)
            return MsgAddFavHint;
        if (control == patchLst_ || control == patchLst_->viewport())
            return entries_.isEmpty() ? MsgEmptySubGroupHint : MsgPatchListHint;
        if (control == loadMultiBtn_)
            return MsgLoadMultiHint;
        if (control == saveBtn_)
            return MsgSaveHint;
        if (control == delPatchBtn_)
            return MsgDelPatchHint;
        if (control == port_)
            return MsgRoutedHint;
        if (control == auditionLbl_ || control == chanLbl_ || control == portLbl_ || control == channel_)
            return MsgAuditionHint;
        return -1;
    }();
    if (hint >= 0)
        host_.ShowHint(shared_.msg(hint));
}

bool PatchGroup::keyOnLabel(QObject* watched, int key)
{
    for (QLabel* label : {ochnLbl_, oprtLbl_, chanLbl_, portLbl_}) {
        if (watched == label &&
            (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space || key == Qt::Key_F4)) {
            openPicker(label);
            return true;
        }
    }
    for (QComboBox* combo : {oChannel_, oPort_, channel_, port_}) {
        if (watched == combo && key == Qt::Key_Escape) {
            hideSelector(combo);
            return true;
        }
    }
    return false;
}

bool PatchGroup::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter) {
        showHintFor(watched);
        return Panel::eventFilter(watched, event);
    }
    // The edit commands act on the list the user last worked in.
    if (type == QEvent::FocusIn || type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
        if (watched == synthInstr_ || watched == synthInstr_->viewport())
            lastListWasInstruments_ = true;
        else if (watched == patchLst_ || watched == patchLst_->viewport())
            lastListWasInstruments_ = false;
    }
    if (type == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (QLabel* label : {ochnLbl_, oprtLbl_, chanLbl_, portLbl_}) {
            if (watched == label) {
                openPicker(label);
                return true;
            }
        }
    }
    if (type == QEvent::KeyPress && keyOnLabel(watched, static_cast<QKeyEvent*>(event)->key()))
        return true;
    if (listViewEvent(patchLst_, watched, event, [this] { RmtDblClick(); }))
        return true;
    if (listViewEvent(synthInstr_, watched, event, [this] { sendInstrument(synthInstr_->currentIndex().row()); }))
        return true;
    return Panel::eventFilter(watched, event);
}

}  // namespace orvell
