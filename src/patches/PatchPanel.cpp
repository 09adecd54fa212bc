#include "patches/PatchPanel.h"

#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgDuplicate = 142,
    MsgPatchControls = 172,
    MsgListChanged = 231,
};

}  // namespace

QList<int> selectedRowsOf(const QListView& list)
{
    QList<int> rows;
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void selectRowOf(QListView& list, int row)
{
    QItemSelectionModel* selection = list.selectionModel();
    if (row < 0 || row >= list.model()->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex at = list.model()->index(row, 0);
    selection->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    list.scrollTo(at);
}

PatchPanel::PatchPanel(PanelClass id, PanelHost& host, PatchClipboard& clipboard, QWidget* parent)
    : Panel(id, host, parent), shared_(host.shared()), midi_(host.shared().midi), clipboard_(clipboard)
{
    DefCaption = caption();
    patchLst_ = new QListView(this);
    patchLst_->setObjectName(QStringLiteral("PatchLst"));
    patchLst_->setModel(&entries_);
    patchLst_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    patchLst_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all, so a list of thousands lays out at once.
    patchLst_->setUniformItemSizes(true);
    patchLst_->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(patchLst_, &QListView::doubleClicked, this, [this] { RmtDblClick(); });
}

int PatchPanel::ListIndex() const
{
    const QModelIndex current = patchLst_->currentIndex();
    if (current.isValid() && patchLst_->selectionModel()->isSelected(current))
        return current.row();
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.front();
}

QList<int> PatchPanel::selectedRows() const { return selectedRowsOf(*patchLst_); }

void PatchPanel::selectPatch(int index) { selectRowOf(*patchLst_, index); }

void PatchPanel::CopyPatch(PatchClipboard& clipboard)
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    clipboard.entries.clear();
    for (int row : rows)
        clipboard.entries.push_back(clipEntry(row));
}

void PatchPanel::CutPatch(PatchClipboard& clipboard)
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    CopyPatch(clipboard);
    entries_.remove(std::vector<int>(rows.begin(), rows.end()));
    listEdited();
}

void PatchPanel::PastePatch(const PatchClipboard& clipboard, bool addAfter)
{
    if (clipboard.entries.empty())
        return;
    const int current = ListIndex();
    const int row = current < 0 ? entries_.count() : current + (addAfter ? 1 : 0);
    std::vector<PatchEntry> pasted;
    for (const PatchEntry& entry : clipboard.entries)
        pasted.push_back(pastedEntry(entry));
    const PasteResult result = pasteEntries(entries_, row, pasted, duplicatesByPort());
    if (result.refused)
        host_.ShowStatusText(0, result.refused->name + shared_.msg(MsgDuplicate) + result.holderName);
    if (result.inserted > 0)
        listEdited();
}

void PatchPanel::popupEditMenu(QPoint globalPos)
{
    if (QMdiSubWindow* window = subWindow(); window && window->mdiArea())
        window->mdiArea()->setActiveSubWindow(window);
    host_.popupPatchMenu(globalPos);
}

bool PatchPanel::listViewEvent(QListView* list, QObject* watched, QEvent* event, const std::function<void()>& send)
{
    if (event->type() == QEvent::MouseButtonRelease && watched == list->viewport() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        popupEditMenu(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() != QEvent::KeyPress || watched != list)
        return false;
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int key = keyEvent->key();
    const bool ctrl = keyEvent->modifiers() & Qt::ControlModifier;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        send();
        return true;
    }
    if (ctrl && key == Qt::Key_C) {
        CopyPatch(clipboard_);
        return true;
    }
    if ((ctrl && key == Qt::Key_X) || key == Qt::Key_Delete) {
        if (!selectedRowsOf(*list).isEmpty())
            CutPatch(clipboard_);
        return true;
    }
    if ((ctrl && key == Qt::Key_V) || key == Qt::Key_Insert) {
        if (!clipboard_.entries.empty())
            PastePatch(clipboard_, false);
        return true;
    }
    return false;
}

bool PatchPanel::askToSaveList()
{
    if (!NeedInsSave || entries_.isEmpty())
        return true;
    const QString question = shared_.msg(MsgListChanged);
    switch (host_.dialogs().MsgBox(question, MsgButtons::YesNoCancel, MsgIcon::Question, caption())) {
    case MsgAnswer::Yes:
        SaveBtn_Click();
        // A list that was not saved keeps its panel open rather than be lost.
        return !NeedInsSave;
    case MsgAnswer::No:
        NeedInsSave = false;
        return true;
    default:
        return false;
    }
}

bool PatchPanel::queryOwnClose(CloseReason reason)
{
    if (refusedWhileTargeted(reason, MsgPatchControls))
        return false;
    return askToSaveList();
}

}  // namespace orvell
