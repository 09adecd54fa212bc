#include "pointer/PanlPointer.h"

#include "controllers/ButtonsPanel.h"
#include "controllers/SlotPanel.h"
#include "core/SectionFile.h"
#include "midi/CtrlCodes.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/SelectorTools.h"
#include "panels/Shared.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSet>

#include <algorithm>
#include <array>
#include <vector>

namespace orvell {

namespace {

enum : int {
    MsgFail = 3,
    MsgPanelGone = 72,
    MsgCantCloseKind = 229,
    MsgNoPatchTargets = 169,
    MsgNoPatchControllers = 170,
    MsgPatchTargetHint = 174,
    MsgControllerHint = 177,
    MsgButtonsTargetHint = 192,
    MsgSequenceTargetHint = 193,
    MsgKindHint = 194,
    MsgNoButtonsTargets = 196,
    MsgNoButtonsControllers = 197,
    MsgNoSequenceTargets = 198,
    MsgNoSequenceControllers = 199,
    MsgDeletedInvalid = 207,
    MsgNoneLeft = 208,
    MsgNotUnique = 212,
};

// What differs between the three kinds of control.
struct KindInfo {
    const char* name;  // the entry of CtrldType
    std::vector<int> codes;
    std::vector<PanelClass> controllers;
    std::vector<PanelClass> targets;
    int selects;  // the status text between the two captions
    int targetHint;
    int noTargets;
    int noControllers;
};

const std::array<KindInfo, 3>& kinds()
{
    static const std::array<KindInfo, 3> table{{
        {"PatchList",
         {CtrlCode::PatchDown, CtrlCode::PatchUp, CtrlCode::PatchChange},
         {PanelClass::Buttons, PanelClass::HFaders, PanelClass::JstkCtrl, PanelClass::VFaders},
         {PanelClass::PatchList, PanelClass::PatchGroup},
         214, MsgPatchTargetHint, MsgNoPatchTargets, MsgNoPatchControllers},
        {"Buttons",
         {CtrlCode::PushButtons},
         {PanelClass::Buttons, PanelClass::JstkCtrl},
         {PanelClass::Buttons},
         215, MsgButtonsTargetHint, MsgNoButtonsTargets, MsgNoButtonsControllers},
        {"Sequence",
         {CtrlCode::PlayOnOff},
         {PanelClass::Buttons, PanelClass::JstkCtrl},
         {PanelClass::Sequencer},
         216, MsgSequenceTargetHint, MsgNoSequenceTargets, MsgNoSequenceControllers},
    }};
    return table;
}

bool controlsKind(const SlotPanel& panel, PanlPointer::Kind kind)
{
    switch (kind) {
    case PanlPointer::PatchControls:
        return panel.IsPatchController();
    case PanlPointer::ButtonControls:
        return panel.IsButtonsController();
    case PanlPointer::SequenceControls:
        return panel.IsSequenceController();
    }
    return false;
}

QList<PanlPointer*> pointersOf(PanelHost& host)
{
    QList<PanlPointer*> pointers;
    for (Panel* panel : host.panelsOf(PanelClass::PanlPointer)) {
        if (auto* pointer = qobject_cast<PanlPointer*>(panel))
            pointers << pointer;
    }
    return pointers;
}

}  // namespace

PanlPointer::PanlPointer(PanelHost& host, QWidget* parent) : Panel(PanelClass::PanlPointer, host, parent)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
    buildControls();
    // A new pointer shows what it could re-map at once; only a choice of kind complains.
    ReFreshPnlLst();
    ReFreshPtchLst();
}

PanlPointer::~PanlPointer() = default;

void PanlPointer::buildControls()
{
    const QColor text = palette().color(QPalette::WindowText);
    label1_ = makePanelLabel(this, QStringLiteral("Label1"), QStringLiteral("Controls"), text, false);
    label1_->setGeometry(34, 2, 96, 14);
    label2_ = makePanelLabel(this, QStringLiteral("Label2"), QStringLiteral("Controller Panel"), text, false);
    label2_->setGeometry(134, 2, 96, 14);
    ctrldType_ = makePanelSelector(this, QStringLiteral("CtrldType"), false);
    for (const KindInfo& info : kinds())
        ctrldType_->addItem(QString::fromLatin1(info.name));
    ctrldType_->setCurrentIndex(PatchControls);
    ctrldType_->setGeometry(34, 17, 96, 22);
    panlLst_ = makePanelSelector(this, QStringLiteral("PanlLst"), false);
    panlLst_->setGeometry(134, 17, 96, 22);
    patchLst_ = new QListWidget(this);
    patchLst_->setObjectName(QStringLiteral("PatchLst"));
    patchLst_->setSelectionMode(QAbstractItemView::SingleSelection);
    patchLst_->setGeometry(4, 44, 188, 76);
    refreshBtn_ = new QPushButton(QStringLiteral("Refresh"), this);
    refreshBtn_->setObjectName(QStringLiteral("RefreshBtn"));
    refreshBtn_->setGeometry(198, 44, 60, 26);
    for (QWidget* control : std::initializer_list<QWidget*>{ctrldType_, panlLst_, patchLst_, refreshBtn_}) {
        control->show();
        control->installEventFilter(this);
    }
    setTabOrder(ctrldType_, panlLst_);
    setTabOrder(panlLst_, patchLst_);
    setTabOrder(patchLst_, refreshBtn_);

    connect(ctrldType_, &QComboBox::activated, this, &PanlPointer::CtrldType_Click);
    connect(panlLst_, &QComboBox::activated, this, &PanlPointer::PanlLst_Click);
    connect(patchLst_, &QListWidget::itemClicked, this, &PanlPointer::RmtDblClick);
    connect(refreshBtn_, &QPushButton::clicked, this, &PanlPointer::RefreshBtn_Click);
}

PanlPointer::Kind PanlPointer::kind() const
{
    const int index = ctrldType_->currentIndex();
    return index == ButtonControls || index == SequenceControls ? Kind(index) : PatchControls;
}

QString PanlPointer::controllerTag() const { return panlLst_->currentData().toString(); }

QList<SlotPanel*> PanlPointer::controllers() const
{
    QList<SlotPanel*> found;
    for (PanelClass id : kinds()[kind()].controllers) {
        for (Panel* panel : host_.panelsOf(id)) {
            auto* slotPanel = qobject_cast<SlotPanel*>(panel);
            if (slotPanel && controlsKind(*slotPanel, kind()))
                found << slotPanel;
        }
    }
    return found;
}

QList<Panel*> PanlPointer::candidates(const QString& controllerTag) const
{
    QList<Panel*> found;
    for (PanelClass id : kinds()[kind()].targets) {
        for (Panel* panel : host_.panelsOf(id)) {
            if (kind() == PatchControls) {
                // Only a panel with a list to step through is a patch target.
                const auto* list = dynamic_cast<const RemotePatchTarget*>(panel);
                if (!list || list->dontUseMyPnlPtr())
                    continue;
            } else if (kind() == ButtonControls) {
                // Never the controlling panel itself, nor one whose buttons would come back to it.
                const auto* buttons = qobject_cast<const ButtonsPanel*>(panel);
                if (!buttons || panel->Tag == controllerTag || buttons->CausesLoop(controllerTag))
                    continue;
            }
            found << panel;
        }
    }
    return found;
}

SlotPanel* PanlPointer::controller(const QString& tag) const
{
    if (tag.isEmpty())
        return nullptr;
    for (PanelClass id : kinds()[kind()].controllers) {
        if (auto* panel = qobject_cast<SlotPanel*>(host_.findPanel(id, tag)))
            return panel;
    }
    return nullptr;
}

Panel* PanlPointer::target(const QString& tag) const
{
    if (tag.isEmpty())
        return nullptr;
    for (PanelClass id : kinds()[kind()].targets) {
        if (Panel* panel = host_.findPanel(id, tag))
            return panel;
    }
    return nullptr;
}

QString PanlPointer::currentTargetOf(const SlotPanel& panel) const
{
    const std::vector<int>& codes = kinds()[kind()].codes;
    for (int i = 0; i < SlotPanel::Slots; ++i) {
        if (std::ranges::find(codes, panel.CurCtrl(i)) != codes.end())
            return QString::number(panel.patchId(i));
    }
    return {};
}

void PanlPointer::showTargets(const QString& currentTag)
{
    patchLst_->clear();
    for (const PointerEntry& entry : targets_.entries()) {
        auto* item = new QListWidgetItem(entry.name, patchLst_);
        item->setData(Qt::UserRole, entry.tag);
    }
    const int row = currentTag.isEmpty() ? -1 : targets_.indexOf(currentTag);
    patchLst_->setCurrentRow(row);
}

void PanlPointer::ReFreshPnlLst()
{
    const QString keep = controllerTag();
    panlLst_->clear();
    for (SlotPanel* panel : controllers())
        panlLst_->addItem(panel->caption(), panel->Tag);
    panlLst_->setCurrentIndex(std::max(0, panlLst_->findData(keep)));
}

void PanlPointer::ReFreshPtchLst()
{
    const QString from = controllerTag();
    targets_.clear();
    for (Panel* panel : candidates(from))
        targets_.add(panel->caption(), panel->Tag);
    // The entry the controls act on now is the one to step on from.
    const SlotPanel* panel = controller(from);
    showTargets(panel ? currentTargetOf(*panel) : QString());
}

void PanlPointer::CtrldType_Click()
{
    ReFreshPnlLst();
    ReFreshPtchLst();
    markChanged();
    const KindInfo& info = kinds()[kind()];
    const Shared& shared = host_.shared();
    if (targets_.isEmpty())
        host_.dialogs().MsgBox(shared.msg(info.noTargets), MsgButtons::Ok, MsgIcon::Exclamation);
    else if (panlLst_->count() == 0)
        host_.dialogs().MsgBox(shared.msg(info.noControllers), MsgButtons::Ok, MsgIcon::Exclamation);
}

void PanlPointer::PanlLst_Click()
{
    // Which panels a push-button control may press depends on who presses.
    ReFreshPtchLst();
    markChanged();
}

void PanlPointer::RefreshBtn_Click()
{
    const QList<PointerEntry> before = targets_.entries();
    const QString controllerBefore = controllerTag();
    ReFreshPnlLst();
    ReFreshPtchLst();
    if (targets_.entries() != before || controllerTag() != controllerBefore)
        markChanged();
}

void PanlPointer::reportGone(const QString& tag)
{
    host_.dialogs().MsgBox(QStringLiteral("PanlPointer: ") + caption() + host_.shared().msg(MsgPanelGone) +
                               QStringLiteral(" (") + tag + u')',
                           MsgButtons::Ok, MsgIcon::Exclamation);
}

void PanlPointer::RmtDblClick()
{
    const int row = patchLst_->currentRow();
    if (row < 0 || row >= targets_.count() || panlLst_->currentIndex() < 0)
        return;
    const QString fromTag = controllerTag();
    const QString toTag = targets_.entries()[row].tag;
    SlotPanel* from = controller(fromTag);
    if (!from) {
        reportGone(fromTag);
        return;
    }
    Panel* to = target(toTag);
    if (!to) {
        reportGone(toTag);
        return;
    }
    const Shared& shared = host_.shared();
    switch (kind()) {
    case PatchControls:
        from->SetPatchController(toTag);
        break;
    case ButtonControls: {
        // The desk may have changed since the list was made; a ring of presses is never made.
        const auto* buttons = qobject_cast<const ButtonsPanel*>(to);
        if (to == from || !buttons || buttons->CausesLoop(fromTag)) {
            host_.ShowStatusText(1, shared.msg(MsgFail));
            return;
        }
        from->SetButtonsController(toTag);
        break;
    }
    case SequenceControls:
        from->SetSequenceController(toTag);
        break;
    }
    host_.ShowStatusText(0, from->caption() + shared.msg(kinds()[kind()].selects) + to->caption());
}

int PanlPointer::remoteIndex() const { return patchLst_->currentRow(); }

void PanlPointer::setRemoteIndex(int index) { patchLst_->setCurrentRow(index); }

QStringList PanlPointer::listedTags() const
{
    QStringList tags;
    for (const PointerEntry& entry : targets_.entries())
        tags << entry.tag;
    for (int i = 0; i < panlLst_->count(); ++i)
        tags << panlLst_->itemData(i).toString();
    return tags;
}

bool PanlPointer::CheckMyPointers()
{
    const QString current = remoteIndex() >= 0 ? targets_.entries()[remoteIndex()].tag : QString();
    const PointerTargets::Check result = targets_.check([this](const QString& tag) { return target(tag) != nullptr; });
    const Shared& shared = host_.shared();
    for (const QString& name : result.repeated)
        host_.dialogs().MsgBox(name + shared.msg(MsgNotUnique), MsgButtons::Ok, MsgIcon::Exclamation);
    if (result.dropped > 0)
        host_.ShowStatusText(0, shared.msg(targets_.isEmpty() ? MsgNoneLeft : MsgDeletedInvalid) + caption());
    if (result.dropped > 0 || !result.repeated.isEmpty())
        showTargets(current);
    return !(result.dropped > 0 && targets_.isEmpty());
}

void PanlPointer::ErasePointer(const QString& ThisTag)
{
    const QString current = remoteIndex() >= 0 ? targets_.entries()[remoteIndex()].tag : QString();
    bool changed = targets_.erase(ThisTag) > 0;
    for (int i = panlLst_->count() - 1; i >= 0; --i) {
        if (panlLst_->itemData(i).toString() == ThisTag) {
            panlLst_->removeItem(i);
            changed = true;
        }
    }
    if (!changed)
        return;
    showTargets(current);
    markChanged();
}

void PanlPointer::Clone(const QString& fromTag)
{
    Panel::Clone(fromTag);
    auto* source = qobject_cast<PanlPointer*>(host_.findPanel(PanelClass::PanlPointer, fromTag));
    if (!source || source == this)
        return;
    ctrldType_->setCurrentIndex(source->kind());
    panlLst_->clear();
    for (int i = 0; i < source->panlLst_->count(); ++i)
        panlLst_->addItem(source->panlLst_->itemText(i), source->panlLst_->itemData(i));
    panlLst_->setCurrentIndex(source->panlLst_->currentIndex());
    targets_ = source->targets_;
    const int row = source->remoteIndex();
    showTargets(row >= 0 ? targets_.entries()[row].tag : QString());
}

bool PanlPointer::queryOwnClose(CloseReason reason) { return !refusedWhileTargeted(reason, MsgCantCloseKind); }

// Data section.

void PanlPointer::saveOwnKeys(SectionWriter& out)
{
    out.keyInt(QStringLiteral("CtrldType"), kind());
    out.key(QStringLiteral("CtrlPanl"), panlLst_->currentIndex() >= 0 ? panlLst_->currentText() : QString());
    out.key(QStringLiteral("PanlTag"), controllerTag());
    for (const PointerEntry& entry : targets_.entries()) {
        out.key(QStringLiteral("PanlName"), entry.name);
        out.key(QStringLiteral("ToPanlTag"), entry.tag);
    }
}

void PanlPointer::beginLoad()
{
    targets_.clear();
    panlLst_->clear();
    loadingController_.clear();
    showTargets({});
}

bool PanlPointer::loadKey(const QString& key, const QString& value)
{
    if (key == u"CtrldType") {
        const auto index = parseSectionInt(value);
        if (!index || *index < PatchControls || *index > SequenceControls)
            return false;
        ctrldType_->setCurrentIndex(*index);
    } else if (key == u"CtrlPanl") {
        loadingController_ = value;
    } else if (key == u"PanlTag") {
        panlLst_->clear();
        if (!value.isEmpty())
            panlLst_->addItem(loadingController_, value);
    } else if (key == u"PanlName") {
        targets_.loadName(value);
        showTargets({});
    } else if (key == u"ToPanlTag") {
        targets_.loadTag(value);
        showTargets({});
    } else {
        return false;
    }
    return true;
}

QList<QWidget*> PanlPointer::textControls() const { return {label1_, label2_}; }

bool PanlPointer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        const Shared& shared = host_.shared();
        if (watched == ctrldType_)
            host_.ShowHint(shared.msg(MsgKindHint));
        else if (watched == panlLst_)
            host_.ShowHint(shared.msg(MsgControllerHint));
        else if (watched == patchLst_)
            host_.ShowHint(shared.msg(kinds()[kind()].targetHint));
        else if (watched == refreshBtn_)
            host_.ShowHint(QStringLiteral("Rebuild both lists from the open panels"));
    } else if (event->type() == QEvent::KeyPress && watched == patchLst_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            RmtDblClick();
            return true;
        }
    }
    return Panel::eventFilter(watched, event);
}

// What the main window asks of every pointer.

void ErasePointers(PanelHost& host)
{
    QSet<QString> open;
    for (const PanelClassInfo& info : panelClasses()) {
        for (const Panel* panel : host.panelsOf(info.id))
            open.insert(panel->Tag);
    }
    for (PanlPointer* pointer : pointersOf(host)) {
        for (const QString& tag : pointer->listedTags()) {
            if (!open.contains(tag))
                pointer->ErasePointer(tag);
        }
    }
}

void CheckAllPointers(PanelHost& host)
{
    for (PanlPointer* pointer : pointersOf(host))
        pointer->CheckMyPointers();
}

void DropEmptyPointers(PanelHost& host)
{
    for (PanlPointer* pointer : pointersOf(host)) {
        // Closing one that controls still step through would cut their link.
        if (pointer->CheckMyPointers() || pointer->targetingControls() > 0)
            continue;
        if (QMdiSubWindow* window = pointer->subWindow())
            delete window;
        else
            delete pointer;
    }
}

void ReleaseRemoteHold(PanelHost& host, int code, int tag)
{
    if (code != CtrlCode::PushButtons)
        return;
    auto* buttons = qobject_cast<ButtonsPanel*>(host.findPanel(PanelClass::Buttons, QString::number(tag)));
    if (!buttons)
        return;
    for (int k = 0; k < SlotPanel::Slots; ++k)
        buttons->MButton_MouseUp(k, ButtonsPanel::LeftButton, 0, 0, 0);
}

}  // namespace orvell
