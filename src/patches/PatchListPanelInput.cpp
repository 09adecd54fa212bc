// The patch list's keyboard and mouse: the channel and port pick lists, the
// list's keys and edit menu, and the status-line hints.
#include "core/Numeric.h"
#include "midi/MidiEngine.h"
#include "panels/PanelHost.h"
#include "panels/SelectorTools.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgChannelHint = 19,
    MsgInvalidPort = 62,
    MsgPortHint = 87,
};

}  // namespace

void PatchListPanel::Channel_Click()
{
    if (Initializing || channel_->currentIndex() < 0)
        return;
    const QString chosen = QString::number(channel_->currentIndex() + 1);
    if (chosen != channelText()) {
        setChanLbl(chosen);
        markChanged();
    }
    hideSelector(channel_);
}

void PatchListPanel::Port_Click()
{
    if (Initializing || port_->currentIndex() < 0)
        return;
    const QString chosen = QString::number(port_->currentData().toInt());
    if (chosen != portText()) {
        setPortLbl(chosen);
        markChanged();
    }
    hideSelector(port_);
}

void PatchListPanel::Channel_KeyPress()
{
    if (const auto channel = typedChannel(channel_->currentText())) {
        channel_->setCurrentIndex(*channel - 1);
        Channel_Click();
    } else {
        channel_->setEditText(channelText());
    }
    hideSelector(channel_);
}

// Two characters are all a channel can have, so a second one decides.
void PatchListPanel::checkTypedChannel(const QString& text)
{
    if (text.size() >= 2)
        Channel_KeyPress();
}

void PatchListPanel::Port_KeyPress()
{
    const int entry = typedPortEntry(*port_, port_->currentText());
    if (entry >= 0) {
        port_->setCurrentIndex(entry);
        Port_Click();
    } else {
        port_->setEditText(portText());
    }
    hideSelector(port_);
}

void PatchListPanel::showHintFor(QObject* control)
{
    if (control == patchLst_ || control == patchLst_->viewport()) {
        host_.ShowHint(listHint());
    } else if (control == label1_ || control == chanLbl_) {
        host_.ShowHint(shared_.msg(MsgChannelHint));
    } else if (control == label2_) {
        host_.ShowHint(shared_.msg(MsgPortHint));
    } else if (control == portLbl_) {
        host_.ShowHint(portHint(midi_, parseInteger(portText()).value_or(-1), shared_.msg(MsgInvalidPort)));
    }
}

bool PatchListPanel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter) {
        showHintFor(watched);
        return Panel::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == chanLbl_) {
            channel_->setCurrentIndex(typedChannel(channelText()).value_or(1) - 1);
            showSelectorAt(*this, channel_, *chanLbl_, {channel_, port_});
            return true;
        }
        if (watched == portLbl_) {
            const auto port = parseInteger(portText());
            port_->setCurrentIndex(port ? std::max(0, port_->findData(*port)) : 0);
            showSelectorAt(*this, port_, *portLbl_, {channel_, port_});
            return true;
        }
    }
    if (listViewEvent(patchLst_, watched, event, [this] { RmtDblClick(); }))
        return true;
    if (type != QEvent::KeyPress)
        return Panel::eventFilter(watched, event);

    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int key = keyEvent->key();
    // Typed keys reach the selector itself, which has the keyboard for its line edit.
    const SelectorEnter selectors{{}, [this] { Channel_KeyPress(); }, [this] { Port_KeyPress(); }};
    if (takeSelectorKey(SlotSelectorCombos{nullptr, channel_, port_}, watched, key, selectors))
        return true;
    return Panel::eventFilter(watched, event);
}

}  // namespace orvell
