#include "controllers/ButtonsPanel.h"

#include "app/Dialogs.h"
#include "controllers/AutoDlgBox.h"
#include "controllers/AutoSweep.h"
#include "controllers/ButtonModel.h"
#include "controllers/CtrlEdit.h"
#include "controllers/FaderModel.h"
#include "core/Numeric.h"
#include "core/Shared.h"
#include "midi/MidiEngine.h"
#include "midi/PortLists.h"
#include "panels/PanelHost.h"
#include "panels/SectionFile.h"
#include "patches/RemotePatch.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgSelectPatchList = 34,
    MsgPanelGone = 72,
    MsgBadCustomLine = 153,
};

constexpr int MidiStart = 0xFA;
constexpr int MidiStop = 0xFC;

const QColor ControlColor(0, 0, 255);
const QColor ChannelColor(0, 64, 0);
const QColor PortColor(0, 0, 128);
const QColor OptionColor(128, 0, 0);

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QColor& color, bool boxed)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    if (boxed)
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QComboBox* makeSelector(QWidget* parent, const QString& name, bool editable)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(16);
    combo->hide();
    return combo;
}

}  // namespace

ButtonsPanel::ButtonsPanel(PanelHost& host, QWidget* parent)
    : Panel(PanelClass::Buttons, host, parent), shared_(host.shared()), midi_(host.shared().midi)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
    // Sweeps of patch changes reach the patch panels through the host of the
    // panels that start them; the reset warning goes to the status line.
    shared_.autoSweep.setReporter(&shared_.reporter(), &shared_.Msgs);
    shared_.autoSweep.setPatchChange([hostPtr = &host](int, int patchId, int value) {
        return RemotePatchChange(*hostPtr, QString::number(patchId), value);
    });

    buildControls();
    FillOutPortList(*port_, midi_);
    const QString firstPort = port_->count() > 0 ? QString::number(port_->itemData(0).toInt()) : QStringLiteral("0");
    for (int i = 0; i < Slots; ++i) {
        Slot& slot = slots_[i];
        slot.chanLbl->setText(QStringLiteral("1"));
        slot.portLbl->setText(firstPort);
        midi_.OpenMidiOut(firstPort);
        setCode(i, slot.code, true);  // the design caption stays until a type is chosen
        showFace(i);
    }
    makeCurrent(0);
}

ButtonsPanel::~ButtonsPanel()
{
    // A held sweep runs out its current pass, ends with its rest value and never repeats.
    for (Slot& slot : slots_) {
        if (slot.autoIndex >= 0)
            shared_.autoSweep.requestStop(slot.autoIndex);
        slot.autoIndex = -1;
    }
    for (int i = 0; i < Slots; ++i)
        midi_.CloseMidiOut(portText(i));
}

void ButtonsPanel::buildControls()
{
    constexpr int left = 32, pitch = 45, width = 43;
    for (int i = 0; i < Slots; ++i) {
        Slot& slot = slots_[i];
        const QString n = QString::number(i);
        const int x = left + i * pitch;
        slot.cntrlLbl = makeLabel(this, QStringLiteral("CntrlLbl") + n, QStringLiteral("Contrl"), ControlColor, true);
        slot.cntrlLbl->setWordWrap(true);
        slot.cntrlLbl->setGeometry(x, 31, width, 27);
        slot.button = new QLabel(this);
        slot.button->setObjectName(QStringLiteral("MButton") + n);
        slot.button->setAlignment(Qt::AlignCenter);
        slot.button->setAcceptDrops(true);
        slot.button->setGeometry(x + (width - 27) / 2, 60, 27, 27);  // 372 twips and the border
        slot.optLbl = makeLabel(this, QStringLiteral("BtnOptLbl") + n, QString(), OptionColor, true);
        slot.optLbl->setGeometry(x + 4, 89, width - 8, 14);
        slot.chanLbl = makeLabel(this, QStringLiteral("ChanLbl") + n, QString(), ChannelColor, true);
        slot.chanLbl->setGeometry(x + 6, 104, width - 12, 14);
        slot.portLbl = makeLabel(this, QStringLiteral("PortLbl") + n, QString(), PortColor, true);
        slot.portLbl->setGeometry(x + 6, 119, width - 12, 14);
        for (QWidget* w : {static_cast<QWidget*>(slot.button), static_cast<QWidget*>(slot.optLbl),
                           static_cast<QWidget*>(slot.cntrlLbl), static_cast<QWidget*>(slot.chanLbl),
                           static_cast<QWidget*>(slot.portLbl)})
            w->installEventFilter(this);
    }
    label1_ = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Chn"), palette().color(QPalette::WindowText), false);
    label1_->setGeometry(2, 104, 28, 14);
    label2_ = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Prt"), palette().color(QPalette::WindowText), false);
    label2_->setGeometry(2, 119, 28, 14);
    dupIcon_ = new QToolButton(this);
    dupIcon_->setObjectName(QStringLiteral("DupIcon"));
    dupIcon_->setText(QStringLiteral("Dup"));
    dupIcon_->setAutoRaise(true);
    dupIcon_->setGeometry(2, 60, 28, 26);
    connect(dupIcon_, &QToolButton::clicked, this, &ButtonsPanel::DupIcon_Click);
    for (QWidget* w : {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_), static_cast<QWidget*>(dupIcon_)})
        w->installEventFilter(this);

    control_ = makeSelector(this, QStringLiteral("Control"), true);
    channel_ = makeSelector(this, QStringLiteral("Channel"), true);
    port_ = makeSelector(this, QStringLiteral("Port"), true);
    selPatch_ = makeSelector(this, QStringLiteral("SelPatch"), false);
    for (int ch = 1; ch <= 16; ++ch)
        channel_->addItem(QString::number(ch), ch);
    fillControlList();
    for (QComboBox* combo : {control_, channel_, port_})
        combo->lineEdit()->installEventFilter(this);
    selPatch_->installEventFilter(this);

    connect(control_, &QComboBox::activated, this, [this] { Control_Click(); });
    connect(channel_, &QComboBox::activated, this, [this] { Channel_Click(); });
    connect(port_, &QComboBox::activated, this, [this] { Port_Click(); });
    connect(selPatch_, &QComboBox::activated, this, [this] { SelPatch_Click(); });
}

void ButtonsPanel::fillControlList()
{
    const QSignalBlocker block(control_);
    control_->clear();
    for (const CtrlRecord& record : controllerChoices(custom_))
        control_->addItem(record.CtrlName, record.CtrlNo);
}

QString ButtonsPanel::portText(int i) const { return slots_[i].portLbl->text(); }

QString ButtonsPanel::channelText(int i) const { return slots_[i].chanLbl->text(); }

int ButtonsPanel::channelOfSlot(int slot) const { return parseInteger(channelText(slot)).value_or(1); }

int ButtonsPanel::portOfSlot(int slot) const { return parseInteger(portText(slot)).value_or(-1); }

int ButtonsPanel::CurCtrl(int slot) const { return slots_[slot].code; }

// Button state and faces.

void ButtonsPanel::setBorder(int index, bool on)
{
    Slot& slot = slots_[index];
    slot.on = on;
    slot.button->setFrameStyle(on ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    slot.button->setLineWidth(on ? 2 : 1);
}

void ButtonsPanel::showOption(int index)
{
    const int message = optionWordMessage(slots_[index].option);
    slots_[index].optLbl->setText(message ? shared_.msg(message) : QString());
}

void ButtonsPanel::showFace(int index)
{
    Slot& slot = slots_[index];
    const QPixmap picture = slot.icon >= 0 ? host_.paletteIcon(slot.icon) : QPixmap();
    if (picture.isNull()) {
        // The plain face: a raised square the size of a palette picture.
        slot.button->clear();
        slot.button->setAutoFillBackground(true);
        QPalette palette = slot.button->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Button).darker(115));
        slot.button->setPalette(palette);
    } else {
        slot.button->setAutoFillBackground(false);
        slot.button->setPixmap(picture);
    }
}

void ButtonsPanel::setBtnIcon(int index, int paletteIndex)
{
    if (index < 0 || index >= Slots || paletteIndex < 0)
        return;
    slots_[index].icon = paletteIndex;
    showFace(index);
    markChanged();
}

// Sending.

void ButtonsPanel::MidiSend(int index)
{
    if (shared_.flags.Initializing)
        return;
    const Slot& slot = slots_[index];
    // Only MIDI controller numbers make a control change; the other codes act on panels.
    if (slot.code < 0 || slot.code > 127)
        return;
    midi_.SendCtrlChg(portText(index), slot.code, buttonValue(slot.code, slot.on, custom_), channelText(index));
}

void ButtonsPanel::MButton_MouseDown(int index, int button, int shift, int x, int y)
{
    (void)shift;
    (void)x;
    (void)y;
    if (index < 0 || index >= Slots)
        return;
    makeCurrent(index);
    // The right button belongs to the picture.
    if (button != LeftButton)
        return;
    Slot& slot = slots_[index];
    setBorder(index, !slot.on);
    if (buttonKind(slot.code, custom_) == ButtonKind::Continuous) {
        if (slot.on)
            startSweep(index);
        else
            endSweep(index, false);
        return;
    }
    MidiSend(index);
    pressAction(index);
}

void ButtonsPanel::MButton_MouseUp(int index, int button, int shift, int x, int y)
{
    (void)shift;
    (void)x;
    (void)y;
    if (index < 0 || index >= Slots || button != LeftButton)
        return;
    Slot& slot = slots_[index];
    const ButtonKind kind = buttonKind(slot.code, custom_);
    if (kind == ButtonKind::OneShot) {
        setBorder(index, false);
        return;
    }
    if (slot.option != BtnOption::Momentary && slot.option != BtnOption::Auto)
        return;
    setBorder(index, false);
    if (kind == ButtonKind::Switch)
        releaseSwitch(index);
    else
        endSweep(index, true);
}

void ButtonsPanel::pressAction(int index)
{
    const Slot& slot = slots_[index];
    const QString tag = QString::number(slot.patchId);
    switch (slot.code) {
    case CtrlCode::StartStop:
        if (!shared_.flags.Initializing)
            midi_.SendRealTime(portText(index), slot.on ? MidiStart : MidiStop);
        break;
    case CtrlCode::PatchDown:
    case CtrlCode::PnlPtrDown:
        RemotePatchDown(host_, tag);
        break;
    case CtrlCode::PatchUp:
    case CtrlCode::PnlPtrUp:
        RemotePatchUp(host_, tag);
        break;
    case CtrlCode::PushButtons:
        pushRemote(index, true);
        break;
    default:
        // Sequencer play (205), the recorder (206) and stored SysEx (217)
        // have nothing to drive yet: the press only shows on the button.
        // 300 does nothing by design.
        break;
    }
}

void ButtonsPanel::releaseSwitch(int index)
{
    switch (slots_[index].code) {
    case CtrlCode::StartStop:
        if (!shared_.flags.Initializing)
            midi_.SendRealTime(portText(index), MidiStop);
        break;
    case CtrlCode::PushButtons:
        pushRemote(index, false);
        break;
    default:
        MidiSend(index);
        break;
    }
}

void ButtonsPanel::reportMissingTarget(int index)
{
    host_.dialogs().MsgBox(caption() + QStringLiteral(": ") + shared_.msg(MsgPanelGone) + QStringLiteral(" (") +
                               QString::number(slots_[index].patchId) + u')',
                           MsgButtons::Ok, MsgIcon::Exclamation);
}

void ButtonsPanel::pushRemote(int index, bool down)
{
    auto* target = qobject_cast<ButtonsPanel*>(
        host_.findPanel(PanelClass::Buttons, QString::number(slots_[index].patchId)));
    if (!target || target == this) {
        reportMissingTarget(index);
        return;
    }
    // A chain of panels read from a file may lead back here; it stops at the
    // first panel already pressing.
    if (pushing_ || target->pushing_)
        return;
    pushing_ = true;
    const QPointer<ButtonsPanel> alive(target);
    for (int k = 0; k < Slots && alive; ++k) {
        if (down)
            target->MButton_MouseDown(k, LeftButton, 0, 0, 0);
        else
            target->MButton_MouseUp(k, LeftButton, 0, 0, 0);
    }
    pushing_ = false;
}

void ButtonsPanel::startSweep(int index)
{
    Slot& slot = slots_[index];
    // A second start without a release (a remote press) replaces the first.
    endSweep(index, true);
    if (shared_.flags.Initializing)
        return;
    const AutoSettings settings = dialogAutoSettings(slot.autoSettings, slot.code);
    AutoRequest request;
    request.duration = settings.Aduration;
    request.start = settings.Astart;
    request.end = settings.Aend;
    request.code = slot.code;
    request.channel = channelText(index);
    request.port = portText(index);
    request.patchId = slot.patchId;
    request.repeat = settings.ARepeat;
    request.triangle = settings.ATriangle;
    slot.autoIndex = shared_.autoSweep.AutoSetUp(request);
}

void ButtonsPanel::endSweep(int index, bool reset)
{
    Slot& slot = slots_[index];
    if (slot.autoIndex < 0)
        return;
    if (reset)
        shared_.autoSweep.AutoReset(slot.autoIndex);
    else
        shared_.autoSweep.requestStop(slot.autoIndex);
    slot.autoIndex = -1;
}

// Options and sweep settings.

void ButtonsPanel::BtnOptLbl_Click(int index)
{
    if (index < 0 || index >= Slots)
        return;
    makeCurrent(index);
    Slot& slot = slots_[index];
    if (slot.option == BtnOption::Momentary || slot.option == BtnOption::Toggle) {
        slot.option = slot.option == BtnOption::Momentary ? BtnOption::Toggle : BtnOption::Momentary;
        showOption(index);
        markChanged();
    } else if (slot.option == BtnOption::Auto) {
        host_.ShowStatusText(2, shared_.msg(optionHintMessage(BtnOption::Auto)) + shared_.msg(97));
    }
}

void ButtonsPanel::OptDsply()
{
    for (int i = 0; i < Slots; ++i)
        showOption(i);
}

AutoDlgBox* ButtonsPanel::AutoSettings_Click(int index)
{
    if (index < 0 || index >= Slots)
        return nullptr;
    makeCurrent(index);
    const Slot& slot = slots_[index];
    auto* dialog = new AutoDlgBox(slot.cntrlLbl->text(), slot.code, slot.autoSettings, shared_.Msgs, host_.dialogs(),
                                  [this](const QString& text) { host_.ShowHint(text); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<ButtonsPanel> self(this);
    connect(dialog, &QDialog::accepted, this, [self, dialog, index] {
        if (self && dialog->outcome())
            self->setAutoSettings(index, *dialog->outcome());
    });
    dialog->show();
    return dialog;
}

void ButtonsPanel::setAutoSettings(int index, const AutoSettings& settings)
{
    slots_[index].autoSettings = settings;
    slots_[index].autoSettings.AIsSet = true;
    markChanged();
}

void ButtonsPanel::CloneAfcg(int adx, const AutoSettings& from)
{
    if (adx >= 0 && adx < Slots)
        slots_[adx].autoSettings = from;
}

// Current button and selectors.

void ButtonsPanel::makeCurrent(int index)
{
    if (index != CIndx) {
        for (QComboBox* combo : {control_, channel_, port_, selPatch_})
            combo->hide();
    }
    CIndx = index;
}

void ButtonsPanel::showSelector(QComboBox* combo, QLabel* at)
{
    for (QComboBox* other : {control_, channel_, port_, selPatch_}) {
        if (other != combo)
            other->hide();
    }
    const int w = std::max(at->width(), 120);
    const int x = std::clamp(at->x(), 0, std::max(0, width() - w));
    combo->setGeometry(x, std::min(at->y(), height() - 24), w, 24);
    combo->show();
    combo->raise();
    combo->setFocus();
    if (combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void ButtonsPanel::Channel_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || channel_->currentIndex() < 0)
        return;
    const QString chosen = QString::number(channel_->currentIndex() + 1);
    if (chosen != channelText(i)) {
        setChannel(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = Selected::Channel;
    channel_->hide();
}

void ButtonsPanel::Port_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || port_->currentIndex() < 0)
        return;
    const QString chosen = QString::number(port_->currentData().toInt());
    if (chosen != portText(i)) {
        setPort(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = Selected::Port;
    port_->hide();
}

void ButtonsPanel::setChannel(int index, const QString& channel) { slots_[index].chanLbl->setText(channel); }

void ButtonsPanel::setPort(int index, const QString& port)
{
    if (port == portText(index))
        return;
    midi_.CloseMidiOut(portText(index));
    slots_[index].portLbl->setText(port);
    midi_.OpenMidiOut(port);
}

QList<Panel*> ButtonsPanel::targetsFor(int code) const
{
    QList<Panel*> targets = host_.panelsOf(faderTargetClass(code));
    if (code == CtrlCode::PushButtons) {
        // Never this panel, nor one whose buttons would come back to press it.
        targets.removeIf([this](Panel* panel) {
            auto* other = qobject_cast<ButtonsPanel*>(panel);
            return panel == this || !other || other->CausesLoop(Tag);
        });
    }
    return targets;
}

bool ButtonsPanel::targetExists(int code) const
{
    // The stored SysEx messages cannot be reached from a panel yet.
    if (code == CtrlCode::SysEx)
        return false;
    return !targetsFor(code).isEmpty();
}

void ButtonsPanel::fillTargetList(int code)
{
    const QSignalBlocker block(selPatch_);
    selPatch_->clear();
    for (Panel* panel : targetsFor(code))
        selPatch_->addItem(panel->caption(), panel->Tag.toInt());
    selPatch_->setCurrentIndex(std::max(0, selPatch_->findData(slots_[CIndx].patchId)));
}

void ButtonsPanel::revertControl()
{
    const int i = CIndx;
    control_->setCurrentIndex(control_->findData(slots_[i].code));
    control_->setEditText(slots_[i].cntrlLbl->text());
}

void ButtonsPanel::Control_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || control_->currentIndex() < 0)
        return;
    const int code = control_->currentData().toInt();
    const int refusal = refusalMessage(code);
    if (refusal != 0 && !targetExists(code)) {
        host_.dialogs().MsgBox(shared_.msg(refusal), MsgButtons::Ok, MsgIcon::Exclamation);
        revertControl();
        control_->hide();
        return;
    }
    setCode(i, code, false);
    markChanged();
    control_->hide();
    if (DupIndx >= 0) {
        slots_[i].patchId = slots_[DupIndx].patchId;
        return;
    }
    lastSelected_ = Selected::Control;
    if (refusal != 0) {
        fillTargetList(code);
        showSelector(selPatch_, slots_[i].cntrlLbl);
        host_.ShowHint(shared_.msg(MsgSelectPatchList));
    }
}

void ButtonsPanel::SelPatch_Click()
{
    const int i = CIndx;
    if (i >= 0 && i < Slots && selPatch_->currentIndex() >= 0) {
        slots_[i].patchId = selPatch_->currentData().toInt();
        markChanged();
    }
    selPatch_->hide();
}

void ButtonsPanel::setCode(int index, int code, bool fromFile)
{
    Slot& slot = slots_[index];
    // A type change ends what the old type was doing.
    endSweep(index, true);
    setBorder(index, false);
    slot.code = code;
    if (!fromFile) {
        const CtrlRecord* record = findController(code, custom_);
        slot.cntrlLbl->setText(record ? record->CtrlName : QString::number(code));
    }
    slot.option = defaultButtonOption(code, custom_);
    showOption(index);
    const bool remote = buttonTargetsPanel(code);
    slot.chanLbl->setVisible(!remote);
    slot.portLbl->setVisible(!remote);
}

// Duplicate.

void ButtonsPanel::DupIcon_Click()
{
    if (lastSelected_ == Selected::None || CIndx < 0 || CIndx >= Slots)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DupIndx = CIndx;
    if (lastSelected_ == Selected::Channel) {
        channel_->setCurrentIndex(channelOfSlot(DupIndx) - 1);
        for (int slot = 0; slot < Slots; ++slot) {
            CIndx = slot;
            Channel_Click();
        }
    } else if (lastSelected_ == Selected::Port) {
        if (const int entry = port_->findData(portOfSlot(DupIndx)); entry >= 0) {
            port_->setCurrentIndex(entry);
            for (int slot = 0; slot < Slots; ++slot) {
                CIndx = slot;
                Port_Click();
            }
        }
    } else if (const int entry = control_->findData(CurCtrl(DupIndx)); entry >= 0) {
        control_->setCurrentIndex(entry);
        for (int slot = 0; slot < Slots; ++slot) {
            if (slot == DupIndx)
                continue;
            CIndx = slot;
            Control_Click();
        }
    }
    CIndx = DupIndx;
    DupIndx = -1;
    markChanged();
    QApplication::restoreOverrideCursor();
}

// Custom controllers.

void ButtonsPanel::SetUpCtrlEdit()
{
    const int i = std::clamp(CIndx, 0, Slots - 1);
    const Slot& slot = slots_[i];
    if (slot.code > 127)
        return;
    const CtrlRecord* record = findController(slot.code, custom_);
    CtrlEditRequest request;
    request.code = slot.code;
    request.name = record ? record->CtrlName : slot.cntrlLbl->text();
    request.isOnOff = record && record->IsOnOff;
    request.canTogl = record && record->CanTogl;
    request.continuousOnly = false;
    request.isCustom = std::any_of(custom_.begin(), custom_.end(),
                                   [&](const CtrlRecord& r) { return r.CtrlNo == slot.code; });
    const auto result = CtrlEdit::ask(this, request, shared_.Msgs, host_.dialogs(),
                                      [this](const QString& text) { host_.ShowHint(text); });
    if (!result)
        return;
    CIndx = i;
    CtrlWasChanged(result->name, result->isOnOff, result->canTogl, result->deleted);
}

void ButtonsPanel::CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry)
{
    const int code = slots_[CIndx].code;
    const auto existing =
        std::find_if(custom_.begin(), custom_.end(), [code](const CtrlRecord& r) { return r.CtrlNo == code; });
    if (deleteEntry) {
        if (existing != custom_.end())
            custom_.erase(existing);
    } else if (existing != custom_.end()) {
        *existing = {code, name, isOnOff, canTogl};
    } else {
        custom_.push_back({code, name, isOnOff, canTogl});
    }
    fillControlList();
    const CtrlRecord* record = findController(code, custom_);
    const QString label = record ? record->CtrlName : QString::number(code);
    for (int i = 0; i < Slots; ++i) {
        if (slots_[i].code != code)
            continue;
        slots_[i].cntrlLbl->setText(label);
        // The kind may have changed, and with it what the button does.
        setCode(i, code, true);
    }
    markChanged();
}

// Remote links.

bool ButtonsPanel::CausesLoop(const QString& myTag) const
{
    QSet<const ButtonsPanel*> seen;
    return causesLoop(myTag, seen);
}

bool ButtonsPanel::causesLoop(const QString& myTag, QSet<const ButtonsPanel*>& seen) const
{
    // A file may hold a ring that does not pass myTag; each panel is asked once.
    if (seen.contains(this))
        return false;
    seen.insert(this);
    for (const Slot& slot : slots_) {
        if (slot.code != CtrlCode::PushButtons)
            continue;
        const QString target = QString::number(slot.patchId);
        if (target == myTag)
            return true;
        auto* next = qobject_cast<const ButtonsPanel*>(host_.findPanel(PanelClass::Buttons, target));
        if (next && next->causesLoop(myTag, seen))
            return true;
    }
    return false;
}

int ButtonsPanel::controlsTargeting(PanelClass targetClass, const QString& targetTag) const
{
    int count = 0;
    for (const Slot& slot : slots_) {
        if (buttonTargetsPanel(slot.code) && faderTargetClass(slot.code) == targetClass &&
            QString::number(slot.patchId) == targetTag)
            ++count;
    }
    return count;
}

// Clone and data section.

void ButtonsPanel::Clone(const QString& fromTag)
{
    Panel::Clone(fromTag);
    auto* source = qobject_cast<ButtonsPanel*>(host_.findPanel(PanelClass::Buttons, fromTag));
    if (!source || source == this)
        return;
    custom_ = source->custom_;
    fillControlList();
    for (int i = 0; i < Slots; ++i) {
        const Slot& from = source->slots_[i];
        Slot& slot = slots_[i];
        setChannel(i, source->channelText(i));
        setPort(i, source->portText(i));
        slot.cntrlLbl->setText(from.cntrlLbl->text());
        setCode(i, from.code, true);
        slot.option = from.option;
        showOption(i);
        slot.patchId = from.patchId;
        slot.icon = from.icon;
        showFace(i);
        CloneAfcg(i, from.autoSettings);
    }
    markChanged();
}

void ButtonsPanel::saveOwnKeys(SectionWriter& out)
{
    for (const CtrlRecord& record : custom_)
        out.key(QStringLiteral("CstmCtrlr"), formatCustomLine(record));
    for (const Slot& slot : slots_) {
        out.key(QStringLiteral("Control"), slot.cntrlLbl->text());
        out.keyInt(QStringLiteral("ControlNum"), slot.code);
        out.keyInt(QStringLiteral("PatchID"), slot.patchId);
        out.keyInt(QStringLiteral("BtnIcon"), slot.icon);
        out.key(QStringLiteral("Channel"), slot.chanLbl->text());
        out.key(QStringLiteral("Port"), slot.portLbl->text());
        out.keyInt(QStringLiteral("BtnOpt"), slot.option);
        const AutoSettings& a = slot.autoSettings;
        out.key(QStringLiteral("AMCName"), a.AMCName);
        out.keyInt(QStringLiteral("ADuration"), a.Aduration);
        out.keyInt(QStringLiteral("Astart"), a.Astart);
        out.keyInt(QStringLiteral("Aend"), a.Aend);
        out.keyBool(QStringLiteral("ARepeat"), a.ARepeat);
        out.keyBool(QStringLiteral("ATriangle"), a.ATriangle);
        out.keyBool(QStringLiteral("AIsSet"), a.AIsSet);
    }
}

void ButtonsPanel::beginLoad()
{
    loadIndex_ = -1;
    // Every button starts off.
    for (int i = 0; i < Slots; ++i) {
        endSweep(i, true);
        setBorder(i, false);
    }
}

void ButtonsPanel::RefreshPortLists() { FillOutPortList(*port_, midi_); }

bool ButtonsPanel::loadKey(const QString& key, const QString& value)
{
    if (key == u"CstmCtrlr") {
        const auto record = parseCustomLine(value);
        if (!record) {
            host_.dialogs().MsgBox(shared_.msg(MsgBadCustomLine), MsgButtons::Ok, MsgIcon::Exclamation);
            return true;  // reported here; the line is skipped
        }
        std::erase_if(custom_, [&](const CtrlRecord& r) { return r.CtrlNo == record->CtrlNo; });
        custom_.push_back(*record);
        fillControlList();
        return true;
    }
    if (key == u"Control") {
        // Buttons are counted by this key; a fifth one is not understood.
        if (loadIndex_ + 1 >= Slots) {
            loadIndex_ = Slots;
            return false;
        }
        ++loadIndex_;
        slots_[loadIndex_].cntrlLbl->setText(value);
        return true;
    }
    if (loadIndex_ < 0 || loadIndex_ >= Slots)
        return false;
    Slot& slot = slots_[loadIndex_];
    AutoSettings& a = slot.autoSettings;
    if (key == u"Channel") {
        setChannel(loadIndex_, value.trimmed());
    } else if (key == u"Port") {
        setPort(loadIndex_, value.trimmed());
    } else if (key == u"AMCName") {
        a.AMCName = value.left(MaxAutoNameLength);
    } else if (key == u"ARepeat" || key == u"ATriangle" || key == u"AIsSet") {
        const auto flag = parseSectionBool(value);
        if (!flag)
            return false;
        (key == u"ARepeat" ? a.ARepeat : key == u"ATriangle" ? a.ATriangle : a.AIsSet) = *flag;
    } else {
        const auto number = parseSectionInt(value);
        if (!number)
            return false;
        if (key == u"ControlNum") {
            setCode(loadIndex_, *number, true);
        } else if (key == u"PatchID") {
            slot.patchId = *number;
        } else if (key == u"BtnIcon") {
            slot.icon = *number;
            showFace(loadIndex_);
        } else if (key == u"BtnOpt") {
            if (*number < BtnOption::None || *number > BtnOption::Auto)
                return false;
            slot.option = *number;
            showOption(loadIndex_);
        } else if (key == u"ADuration") {
            a.Aduration = std::clamp(*number, 0, MaxAutoDuration);
        } else if (key == u"Astart") {
            a.Astart = *number;
        } else if (key == u"Aend") {
            a.Aend = *number;
        } else {
            return false;
        }
    }
    return true;
}

QList<QWidget*> ButtonsPanel::textControls() const
{
    QList<QWidget*> controls;
    for (const Slot& slot : slots_)
        controls << slot.cntrlLbl << slot.optLbl << slot.chanLbl << slot.portLbl;
    controls << label1_ << label2_;
    return controls;
}

}  // namespace orvell
