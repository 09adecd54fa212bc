#pragma once

#include "panels/Panel.h"
#include "patches/RemotePatch.h"
#include "pointer/PointerTargets.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orvell {

class SlotPanel;

// Re-points the remote controls of one panel at another while the program
// runs: the user picks a kind of control, a controlling panel and a target.
// Controls of types PnlPtr Down, Up and Chg step through its target list as
// they do through a patch list.
class PanlPointer : public Panel, public RemotePatchTarget {
    Q_OBJECT

public:
    // The kinds of control, as the entries of CtrldType.
    enum Kind { PatchControls = 0, ButtonControls = 1, SequenceControls = 2 };

    explicit PanlPointer(PanelHost& host, QWidget* parent = nullptr);
    ~PanlPointer() override;

    // Rebuild the controlling panels and the targets from the open panels.
    void ReFreshPnlLst();
    void ReFreshPtchLst();
    // Drops targets that no longer exist, and repeats; false when that left none.
    bool CheckMyPointers();
    // The panel with that tag leaves both lists.
    void ErasePointer(const QString& ThisTag);
    // Points the controlling panel's controls of the kind at the selected target.
    void RmtDblClick() override;

    void CtrldType_Click();
    void PanlLst_Click();
    void RefreshBtn_Click();

    Kind kind() const;
    QComboBox* CtrldType() const { return ctrldType_; }
    QComboBox* PanlLst() const { return panlLst_; }
    QListWidget* PatchLst() const { return patchLst_; }
    const PointerTargets& targets() const { return targets_; }
    // Every tag the lists hold.
    QStringList listedTags() const;

    // RemotePatchTarget
    int remoteCount() const override { return targets_.count(); }
    int remoteIndex() const override;
    void setRemoteIndex(int index) override;

    void Clone(const QString& fromTag) override;
    // Refused while other panels' PnlPtr controls step through it.
    bool queryOwnClose(CloseReason reason) override;

protected:
    void beginLoad() override;
    bool loadKey(const QString& key, const QString& value) override;
    void saveOwnKeys(SectionWriter& out) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QList<SlotPanel*> controllers() const;
    QList<Panel*> candidates(const QString& controllerTag) const;
    SlotPanel* controller(const QString& tag) const;
    Panel* target(const QString& tag) const;
    QString controllerTag() const;
    // The tag the controlling panel's controls of the kind act on now.
    QString currentTargetOf(const SlotPanel& panel) const;
    void showTargets(const QString& currentTag);
    void reportGone(const QString& tag);

    PointerTargets targets_;
    QString loadingController_;  // CtrlPanl= waits for its PanlTag=
    QComboBox* ctrldType_ = nullptr;
    QComboBox* panlLst_ = nullptr;
    QListWidget* patchLst_ = nullptr;
    QPushButton* refreshBtn_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
};

// What the main window asks of the panel pointers.
// A panel has closed: every pointer forgets the tags that are gone.
void ErasePointers(PanelHost& host);
// After a load: each pointer checks its stored targets.
void CheckAllPointers(PanelHost& host);
// Before a save: pointers whose targets are all gone are closed, unless
// remote controls still step through them.
void DropEmptyPointers(PanelHost& host);
// ResetControl of a panel-directed code: a push-button control held down
// lets go of the buttons of the panel it pressed.
void ReleaseRemoteHold(PanelHost& host, int code, int tag);

}  // namespace orvell
