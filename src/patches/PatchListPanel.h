#pragma once

#include "panels/Panel.h"
#include "patches/PatchClipboard.h"
#include "patches/PatchEntries.h"
#include "patches/PatchTarget.h"
#include "patches/RemotePatch.h"

#include <QColor>

class QComboBox;
class QLabel;
class QListView;
class QPushButton;

namespace orvell {

class MidiEngine;
class Shared;

// One synth's patches, played on the list's channel and port.
class PatchListPanel : public Panel, public PatchTarget, public RemotePatchTarget, public PatchEditTarget {
    Q_OBJECT

public:
    PatchListPanel(PanelHost& host, PatchClipboard& clipboard, QWidget* parent = nullptr);
    ~PatchListPanel() override;

    // No patches yet: New Panel loads a list into it instead of making another.
    bool isEmpty() const { return entries_.isEmpty(); }

    // Reads a patch file into the list; see LoadPatchFile.
    bool loadPatchFile(const QString& path, const QString& wantedBank);

    // Sends the program change of the current entry, as a double-click does.
    void RmtDblClick() override;
    void SaveBtn_Click();
    void Channel_Click();
    void Port_Click();
    // A channel or port typed into its pick list.
    void Channel_KeyPress();
    void Port_KeyPress();

    // PatchLst: the list view over the entries.
    QListView* PatchLst() const { return patchLst_; }
    const PatchEntries& entries() const { return entries_; }
    // The current entry, -1 when none is selected.
    int ListIndex() const;
    QList<int> selectedRows() const;
    QString channelText() const;
    QString portText() const;

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
    void setChanLbl(const QString& channel) override;
    void setPortLbl(const QString& port) override;
    QString myFileName() const override { return MyFileName; }
    void setMyFileName(const QString& path) override { MyFileName = path; }
    QString defCaption() const override { return DefCaption; }

    // RemotePatchTarget
    int remoteCount() const override { return entries_.count(); }
    int remoteIndex() const override { return ListIndex(); }
    void setRemoteIndex(int index) override { selectPatch(index); }
    bool dontUseMyPnlPtr() const override { return DontUseMyPnlPtr; }

    // PatchEditTarget
    void CopyPatch(PatchClipboard& clipboard) override;
    void CutPatch(PatchClipboard& clipboard) override;
    void PastePatch(const PatchClipboard& clipboard, bool addAfter) override;

    void Clone(const QString& fromTag) override;
    void RefreshPortLists() override;
    // The list's own questions before the panel closes: refused while other
    // panels' controls step through it (unless the whole desk closes), and
    // an unsaved list is offered for saving. False keeps the panel open.
    bool queryOwnClose(CloseReason reason) override;

protected:
    bool loadKey(const QString& key, const QString& value) override;
    void saveOwnKeys(SectionWriter& out) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void checkTypedChannel(const QString& text);
    QString listHint() const;
    void showHintFor(QObject* control);
    void listEdited();
    bool askToSaveList();

    Shared& shared_;
    MidiEngine& midi_;  // kept apart from the host, which may be gone first on shut-down
    PatchClipboard& clipboard_;
    PatchEntries entries_;
    QListView* patchLst_ = nullptr;
    QLabel* chanLbl_ = nullptr;
    QLabel* portLbl_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* port_ = nullptr;
    QPushButton* saveBtn_ = nullptr;
};

}  // namespace orvell
