#pragma once

#include "panels/Panel.h"
#include "patches/PatchClipboard.h"
#include "patches/PatchEntries.h"
#include "patches/PatchTarget.h"
#include "patches/RemotePatch.h"

#include <QColor>
#include <QPoint>

#include <functional>
#include <vector>

class QEvent;
class QListView;

namespace orvell {

class MidiEngine;
class Shared;

// What the patch-list and patch-group panels share: the PatchLst list with
// its selection, keys and edit menu, the list's file name and unsaved flag,
// remote stepping, and the questions before the panel closes.
class PatchPanel : public Panel, public PatchTarget, public RemotePatchTarget, public PatchEditTarget {
    Q_OBJECT

public:
    // PatchLst: the list view over the entries.
    QListView* PatchLst() const { return patchLst_; }
    const PatchEntries& entries() const { return entries_; }
    // The current entry, -1 when none is selected.
    int ListIndex() const;
    QList<int> selectedRows() const;

    virtual void SaveBtn_Click() = 0;

    QString MyFileName;
    QString DefCaption;
    bool NeedInsSave = false;  // the list changed since it was loaded or saved
    bool Initializing = false;
    bool DontUseMyPnlPtr = false;
    QColor ChanColor{0, 64, 0};
    QColor PortColor{0, 0, 128};

    // PatchTarget
    QString listName() const override { return caption(); }
    void setListName(const QString& name) override { setCaption(name); }
    void setInitializing(bool on) override { Initializing = on; }
    PatchEntries& patchEntries() override { return entries_; }
    void selectPatch(int index) override;
    QString myFileName() const override { return MyFileName; }
    void setMyFileName(const QString& path) override { MyFileName = path; }
    QString defCaption() const override { return DefCaption; }

    // RemotePatchTarget
    int remoteCount() const override { return entries_.count(); }
    int remoteIndex() const override { return ListIndex(); }
    bool dontUseMyPnlPtr() const override { return DontUseMyPnlPtr; }
    void setRemoteIndex(int index) override { selectPatch(index); }

    // PatchEditTarget, on PatchLst.
    void CopyPatch(PatchClipboard& clipboard) override;
    void CutPatch(PatchClipboard& clipboard) override;
    void PastePatch(const PatchClipboard& clipboard, bool addAfter) override;

    // Refused while other panels' controls step through the list (unless the
    // whole desk closes); an unsaved list is offered for saving. False keeps
    // the panel open.
    bool queryOwnClose(CloseReason reason) override;

protected:
    PatchPanel(PanelClass id, PanelHost& host, PatchClipboard& clipboard, QWidget* parent);

    // The clipboard form of entry `row`: with the channel and port it plays on.
    virtual PatchEntry clipEntry(int row) const = 0;
    // How a pasted entry is kept, and whether its port counts when looking for a duplicate.
    virtual PatchEntry pastedEntry(const PatchEntry& entry) const = 0;
    virtual bool duplicatesByPort() const = 0;
    // After a cut or paste changed the list.
    virtual void listEdited() = 0;

    // The keys and right-click menu of a patch list view (Enter and Space
    // send, Ctrl+C copies, Ctrl+X or Delete cut, Ctrl+V or Insert paste);
    // `send` acts for Enter and Space. True when the event was taken.
    bool listViewEvent(QListView* list, QObject* watched, QEvent* event, const std::function<void()>& send);
    // Makes the panel active, so the Patch Edit menu acts on it, and pops the menu up.
    void popupEditMenu(QPoint globalPos);

    Shared& shared_;
    MidiEngine& midi_;  // kept apart from the host, which may be gone first on shut-down
    PatchClipboard& clipboard_;
    PatchEntries entries_;
    QListView* patchLst_ = nullptr;

private:
    bool askToSaveList();
};

// The selected rows of a list view in order.
QList<int> selectedRowsOf(const QListView& list);
// Selects one row alone, -1 none, and shows it.
void selectRowOf(QListView& list, int row);

}  // namespace orvell
