#include "controllers/FaderPanel.h"

#include "controllers/SelectorTools.h"
#include "app/Dialogs.h"
#include "controllers/CtrlEdit.h"
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
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgSelectPatchList = 34,
    MsgBadCustomLine = 153,
};

const QColor ControlColor(0, 0, 255);
const QColor ChannelColor(0, 64, 0);
const QColor PortColor(0, 0, 128);
const QColor RangeColor(0, 128, 0);

// The design value of a fader before its controller type is chosen.
constexpr int DesignValue = 64;

}  // namespace

QLabel* makePanelLabel(QWidget* parent, const QString& name, const QString& text, const QColor& color, bool boxed)
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

QComboBox* makePanelSelector(QWidget* parent, const QString& name, bool editable)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(16);
    combo->hide();
    return combo;
}

FaderPanel::FaderPanel(PanelClass id, PanelHost& host, QWidget* parent)
    : Panel(id, host, parent), shared_(host.shared()), midi_(host.shared().midi)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
    buildControls();
    if (vertical())
        layoutVertical();
    else
        layoutHorizontal();

    FillOutPortList(*combos_.port, midi_);
    const QString firstPort = combos_.port->count() > 0 ? QString::number(combos_.port->itemData(0).toInt()) : QStringLiteral("0");
    for (int i = 0; i < Slots; ++i) {
        Slot& slot = slots_[i];
        slot.range = faderRange(slot.code, vertical());
        slot.fader->setRange(slot.range.lower, slot.range.upper);
        slot.fader->setSingleStep(slot.range.smallChange);
        slot.fader->setPageStep(slot.range.largeChange);
        slot.fader->setValue(DesignValue);
        slot.dataVal->setText(QString::number(DesignValue));
        slot.chanLbl->setText(QStringLiteral("1"));
        slot.portLbl->setText(firstPort);
        midi_.OpenMidiOut(firstPort);

        // Connected after the design values, so creating a panel sends nothing.
        connect(slot.fader, &QScrollBar::valueChanged, this, [this, i](int value) { onValueChanged(i, value); });
        connect(slot.fader, &QScrollBar::actionTriggered, this, [this, i](int action) { onAction(i, action); });
    }
    makeCurrent(0);
}

FaderPanel::~FaderPanel()
{
    // The boxes lose focus while they are destroyed; that must not send.
    for (Slot& slot : slots_)
        slot.dataVal->removeEventFilter(this);
    for (int i = 0; i < Slots; ++i)
        midi_.CloseMidiOut(portText(i));
}

void FaderPanel::buildControls()
{
    for (int i = 0; i < Slots; ++i) {
        Slot& slot = slots_[i];
        const QString n = QString::number(i);
        slot.fader = new QScrollBar(vertical() ? Qt::Vertical : Qt::Horizontal, this);
        slot.fader->setObjectName(QStringLiteral("Fader") + n);
        // Qt keeps the low end at the top of a vertical bar; turned over, the top is high.
        slot.fader->setInvertedAppearance(vertical());
        slot.fader->setInvertedControls(false);
        // Tab and a click give a fader the keyboard; its keys move it.
        slot.fader->setFocusPolicy(Qt::StrongFocus);
        slot.fader->setCursor(vertical() ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        slot.dataVal = new QLineEdit(this);
        slot.dataVal->setObjectName(QStringLiteral("DataVal") + n);
        slot.dataVal->setMaxLength(5);
        slot.dataVal->setAlignment(Qt::AlignCenter);
        slot.cntrlLbl =
            makePanelLabel(this, QStringLiteral("CntrlLbl") + n, QStringLiteral("Contrl"), ControlColor, true);
        slot.cntrlLbl->setWordWrap(true);
        slot.chanLbl = makePanelLabel(this, QStringLiteral("ChanLbl") + n, QString(), ChannelColor, true);
        slot.portLbl = makePanelLabel(this, QStringLiteral("PortLbl") + n, QString(), PortColor, true);
        slot.midPt = new QFrame(this);
        slot.midPt->setObjectName(QStringLiteral("MidPt") + n);
        slot.midPt->setStyleSheet(QStringLiteral("background-color: rgb(0, 128, 0);"));
        slot.midPt->setAttribute(Qt::WA_TransparentForMouseEvents);
        for (QWidget* w : {static_cast<QWidget*>(slot.fader), static_cast<QWidget*>(slot.dataVal),
                           static_cast<QWidget*>(slot.cntrlLbl), static_cast<QWidget*>(slot.chanLbl),
                           static_cast<QWidget*>(slot.portLbl)})
            w->installEventFilter(this);
    }

    dMinLbl_ = makePanelLabel(this, QStringLiteral("DMinLbl"), QStringLiteral("0"), RangeColor, false);
    dMaxLbl_ = makePanelLabel(this, QStringLiteral("DMaxLbl"), QStringLiteral("127"), RangeColor, false);
    const QColor text = palette().color(QPalette::WindowText);
    label1_ = makePanelLabel(this, QStringLiteral("Label1"), QStringLiteral("Chn"), text, false);
    label2_ = makePanelLabel(this, QStringLiteral("Label2"), vertical() ? QStringLiteral("Prt") : QStringLiteral("prt"),
                             text, false);
    dupIcon_ = new QToolButton(this);
    dupIcon_->setObjectName(QStringLiteral("DupIcon"));
    dupIcon_->setText(QStringLiteral("Dup"));
    dupIcon_->setAutoRaise(true);
    connect(dupIcon_, &QToolButton::clicked, this, &FaderPanel::DupIcon_Click);
    for (QWidget* w : {static_cast<QWidget*>(dMinLbl_), static_cast<QWidget*>(dMaxLbl_),
                       static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_),
                       static_cast<QWidget*>(dupIcon_)})
        w->installEventFilter(this);

    combos_ = makeSlotSelectors(*this, *this, [this] { SelPatch_Click(); });
    fillControlList();
}

void FaderPanel::layoutHorizontal()
{
    constexpr int top = 32, pitch = 30, height = 26;
    for (int i = 0; i < Slots; ++i) {
        const int y = top + i * pitch;
        Slot& slot = slots_[i];
        slot.cntrlLbl->setGeometry(2, y, 56, height);
        slot.fader->setGeometry(60, y + 4, 126, 18);
        slot.midPt->setGeometry(60 + 63 - 1, y + 1, 2, 3);
        slot.dataVal->setGeometry(188, y + 3, 38, 20);
        slot.chanLbl->setGeometry(228, y + 3, 24, 20);
        slot.portLbl->setGeometry(254, y + 3, 24, 20);
    }
    dMinLbl_->setGeometry(60, 14, 40, 16);
    dMaxLbl_->setGeometry(146, 14, 40, 16);
    label1_->setGeometry(228, 14, 24, 16);
    label2_->setGeometry(254, 14, 24, 16);
    dupIcon_->setGeometry(280, top + pitch, 26, 26);
}

void FaderPanel::layoutVertical()
{
    constexpr int left = 30, pitch = 39, width = 37;
    for (int i = 0; i < Slots; ++i) {
        const int x = left + i * pitch;
        Slot& slot = slots_[i];
        slot.cntrlLbl->setGeometry(x, 30, width, 28);
        slot.dataVal->setGeometry(x, 60, width, 20);
        slot.fader->setGeometry(x + (width - 18) / 2, 84, 18, 104);
        slot.midPt->setGeometry(x + 2, 84 + 52 - 1, 4, 2);
        slot.chanLbl->setGeometry(x + 4, 192, width - 8, 20);
        slot.portLbl->setGeometry(x + 4, 216, width - 8, 20);
    }
    dMaxLbl_->setGeometry(0, 84, 30, 16);
    dMinLbl_->setGeometry(0, 172, 30, 16);
    dupIcon_->setGeometry(2, 124, 26, 26);
    label1_->setGeometry(0, 194, 30, 16);
    label2_->setGeometry(0, 218, 30, 16);
}

void FaderPanel::fillControlList() { fillControlChoices(*combos_.control, custom_); }

QString FaderPanel::portText(int i) const { return slots_[i].portLbl->text(); }

QString FaderPanel::channelText(int i) const { return slots_[i].chanLbl->text(); }

int FaderPanel::channelOfSlot(int slot) const { return parseInteger(channelText(slot)).value_or(1); }

int FaderPanel::portOfSlot(int slot) const { return parseInteger(portText(slot)).value_or(-1); }

int FaderPanel::CurCtrl(int slot) const { return slots_[slot].code; }

// Sending.

void FaderPanel::MidiSend(int index)
{
    // A session being loaded restores positions without playing them.
    if (shared_.flags.Initializing)
        return;
    const Slot& slot = slots_[index];
    const FaderMessage message = faderMessage(slot.code, slot.fader->value(), slot.patchId);
    switch (message.kind) {
    case FaderMessage::Kind::ControlChange:
        midi_.SendCtrlChg(portText(index), message.controller, message.value, channelText(index));
        break;
    case FaderMessage::Kind::AfterTouch:
        midi_.SendAftrTch(portText(index), message.value, channelText(index));
        break;
    case FaderMessage::Kind::PitchBend:
        midi_.SendPBend(portText(index), message.value, channelText(index));
        break;
    case FaderMessage::Kind::PatchChange:
    case FaderMessage::Kind::PanelPointerChange:
        // The target is looked up by its tag now; it may have gone meanwhile.
        RemotePatchChange(host_, QString::number(message.target), message.value);
        break;
    case FaderMessage::Kind::None:
        break;
    }
}

void FaderPanel::onValueChanged(int index, int value)
{
    Slot& slot = slots_[index];
    slot.dataVal->setText(QString::number(value));
    MidiSend(index);
    // Pitch bend springs back in play; its position is no setting.
    if (slot.code != CtrlCode::PitchBend)
        markChanged();
}

namespace {

// The step a scroll-bar part or menu entry asks for, as a vertical fader
// shows it: turned over, the bar's upper arrow and trough and its "Top" would
// otherwise move away from the top.
int turnedOverPosition(const QScrollBar& bar, int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderPageStepSub: {
        const bool page = action == QAbstractSlider::SliderPageStepAdd || action == QAbstractSlider::SliderPageStepSub;
        const bool add = action == QAbstractSlider::SliderSingleStepAdd || action == QAbstractSlider::SliderPageStepAdd;
        const int step = page ? bar.pageStep() : bar.singleStep();
        return std::clamp(bar.value() + (add ? -step : step), bar.minimum(), bar.maximum());
    }
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        return bar.minimum() + bar.maximum() - bar.sliderPosition();
    default:
        return bar.sliderPosition();
    }
}

}  // namespace

void FaderPanel::onAction(int index, int action)
{
    QScrollBar* bar = slots_[index].fader;
    if (vertical() && action != QAbstractSlider::SliderMove) {
        bar->setSliderPosition(turnedOverPosition(*bar, action));
        return;
    }
    if (action != QAbstractSlider::SliderMove || !bar->isSliderDown())
        return;
    const int position = bar->sliderPosition();
    const int shown = dragSnap(slots_[index].code, position);
    if (shown != position)
        bar->setSliderPosition(shown);
    // Every drag step plays; when it leaves the value as it is, no change
    // notification follows to do it.
    if (shown == bar->value()) {
        slots_[index].dataVal->setText(QString::number(shown));
        MidiSend(index);
    }
    ShowDataHelp(index);
}

// Current fader and selectors.

void FaderPanel::makeCurrent(int index)
{
    // A selector shown for another fader would act on this one now.
    if (index != CIndx) {
        for (QComboBox* combo : {combos_.control, combos_.channel, combos_.port, combos_.selPatch})
            hideSelector(combo);
    }
    CIndx = index;
    dMinLbl_->setText(QString::number(slots_[index].range.lower));
    dMaxLbl_->setText(QString::number(slots_[index].range.upper));
}

void FaderPanel::Channel_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || combos_.channel->currentIndex() < 0)
        return;
    const QString chosen = QString::number(combos_.channel->currentIndex() + 1);
    if (chosen != channelText(i)) {
        // The old channel gets the controller's rest value before it is left.
        midi_.ResetControl(portText(i), slots_[i].code, channelText(i), slots_[i].patchId);
        setChannel(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = Selected::Channel;
    hideSelector(combos_.channel);
}

void FaderPanel::Port_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || combos_.port->currentIndex() < 0)
        return;
    const QString chosen = QString::number(combos_.port->currentData().toInt());
    if (chosen != portText(i)) {
        midi_.ResetControl(portText(i), slots_[i].code, channelText(i), slots_[i].patchId);
        setPort(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = Selected::Port;
    hideSelector(combos_.port);
}

void FaderPanel::setChannel(int index, const QString& channel) { slots_[index].chanLbl->setText(channel); }

void FaderPanel::setPort(int index, const QString& port)
{
    if (port == portText(index))
        return;
    // Ports are counted open per fader, so each label holds its port.
    midi_.CloseMidiOut(portText(index));
    slots_[index].portLbl->setText(port);
    midi_.OpenMidiOut(port);
}

bool FaderPanel::targetExists(int code) const
{
    // The system-exclusive table is not reachable from a panel yet.
    if (code == CtrlCode::SysEx)
        return false;
    return !host_.panelsOf(faderTargetClass(code)).isEmpty();
}

void FaderPanel::fillTargetList(int code)
{
    const QSignalBlocker block(combos_.selPatch);
    combos_.selPatch->clear();
    for (Panel* panel : host_.panelsOf(faderTargetClass(code)))
        combos_.selPatch->addItem(panel->caption(), panel->Tag.toInt());
    combos_.selPatch->setCurrentIndex(std::max(0, combos_.selPatch->findData(slots_[CIndx].patchId)));
}

void FaderPanel::revertControl()
{
    const int i = CIndx;
    combos_.control->setCurrentIndex(combos_.control->findData(slots_[i].code));
    combos_.control->setEditText(slots_[i].cntrlLbl->text());
}

void FaderPanel::Control_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || combos_.control->currentIndex() < 0)
        return;
    const int code = combos_.control->currentData().toInt();
    if (refusalMessage(code) != 0 && !targetExists(code)) {
        host_.dialogs().MsgBox(shared_.msg(refusalMessage(code)), MsgButtons::Ok, MsgIcon::Exclamation);
        revertControl();
        hideSelector(combos_.control);
        return;
    }
    setCode(i, code, false);
    markChanged();
    hideSelector(combos_.control);
    if (DupIndx >= 0) {
        slots_[i].patchId = slots_[DupIndx].patchId;
        return;
    }
    lastSelected_ = Selected::Control;
    if (refusalMessage(code) != 0) {
        fillTargetList(code);
        showSelectorAt(*this, combos_.selPatch, *slots_[i].cntrlLbl, {combos_.control, combos_.channel, combos_.port, combos_.selPatch});
        host_.ShowHint(shared_.msg(MsgSelectPatchList));
    }
}

void FaderPanel::SelPatch_Click()
{
    const int i = CIndx;
    if (i >= 0 && i < Slots && combos_.selPatch->currentIndex() >= 0) {
        slots_[i].patchId = combos_.selPatch->currentData().toInt();
        markChanged();
    }
    hideSelector(combos_.selPatch);
}

void FaderPanel::setCode(int index, int code, bool fromFile)
{
    Slot& slot = slots_[index];
    slot.code = code;
    if (!fromFile) {
        const CtrlRecord* record = findController(code, custom_);
        slot.cntrlLbl->setText(record ? record->CtrlName : QString::number(code));
    }
    const bool remote = isPanelDirected(code);
    slot.chanLbl->setVisible(!remote);
    slot.portLbl->setVisible(!remote);

    slot.range = faderRange(code, vertical());
    const int before = slot.fader->value();
    {
        // One notification for the whole change, not one per step of it.
        const QSignalBlocker block(slot.fader);
        slot.fader->setRange(slot.range.lower, slot.range.upper);
        slot.fader->setSingleStep(slot.range.smallChange);
        slot.fader->setPageStep(slot.range.largeChange);
        slot.fader->setValue(fromFile && slot.loadedValue ? *slot.loadedValue : faderStartValue(code));
    }
    if (slot.fader->value() != before)
        onValueChanged(index, slot.fader->value());
    else
        slot.dataVal->setText(QString::number(before));
    if (index == CIndx)
        makeCurrent(index);
}

// Duplicate.

void FaderPanel::DupIcon_Click()
{
    if (lastSelected_ == Selected::None || CIndx < 0 || CIndx >= Slots)
        return;
    const Slot& from = slots_[CIndx];
    QList<QPalette> saved;
    for (QLabel* label : {from.cntrlLbl, from.chanLbl, from.portLbl}) {
        saved.append(label->palette());
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
        palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);

    duplicateSlot(*this,
                  lastSelected_ == Selected::Channel ? DupSetting::Channel
                  : lastSelected_ == Selected::Port  ? DupSetting::Port
                                                     : DupSetting::Control,
                  Slots);
    markChanged();

    QApplication::restoreOverrideCursor();
    int k = 0;
    for (QLabel* label : {from.cntrlLbl, from.chanLbl, from.portLbl}) {
        label->setPalette(saved[k++]);
        label->setAutoFillBackground(IsOpaque);
    }
}

// Custom controllers.

void FaderPanel::SetUpCtrlEdit()
{
    const int i = std::clamp(CIndx, 0, Slots - 1);
    const Slot& slot = slots_[i];
    const auto result = editSlotController(this, slot.code, slot.cntrlLbl->text(), custom_, true, shared_.Msgs,
                                           host_.dialogs(), [this](const QString& text) { host_.ShowHint(text); });
    if (!result)
        return;
    CIndx = i;
    CtrlWasChanged(result->name, result->isOnOff, result->canTogl, result->deleted);
}

void FaderPanel::CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry)
{
    const int code = slots_[CIndx].code;
    applyControllerEdit(custom_, code, {name, isOnOff, canTogl, deleteEntry});
    fillControlList();
    const CtrlRecord* record = findController(code, custom_);
    // A deleted name with no built-in entry behind it leaves the bare number.
    const QString label = record ? record->CtrlName : QString::number(code);
    for (Slot& slot : slots_) {
        if (slot.code == code)
            slot.cntrlLbl->setText(label);
    }
    markChanged();
}

void FaderPanel::Clone(const QString& fromTag)
{
    Panel::Clone(fromTag);
    auto* source = qobject_cast<FaderPanel*>(host_.findPanel(panelClass(), fromTag));
    if (!source || source == this)
        return;
    custom_ = source->custom_;
    fillControlList();
    for (int i = 0; i < Slots; ++i) {
        const Slot& from = source->slots_[i];
        Slot& slot = slots_[i];
        // Channel and port first, so the value the type brings goes where the source sends.
        setChannel(i, source->channelText(i));
        setPort(i, source->portText(i));
        slot.patchId = from.patchId;
        slot.loadedValue = from.fader->value();
        slot.cntrlLbl->setText(from.cntrlLbl->text());
        setCode(i, from.code, true);
        slot.loadedValue.reset();
    }
    markChanged();
}

int FaderPanel::controlsTargeting(PanelClass targetClass, const QString& targetTag) const
{
    const auto tag = parseSectionInt(targetTag);
    if (!tag)
        return 0;
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [&](const Slot& slot) {
        return isPanelDirected(slot.code) && faderTargetClass(slot.code) == targetClass && slot.patchId == *tag;
    }));
}

// Data section.

void FaderPanel::saveOwnKeys(SectionWriter& out)
{
    for (const CtrlRecord& record : custom_)
        out.key(QStringLiteral("CstmCtrlr"), formatCustomLine(record));
    for (const Slot& slot : slots_) {
        out.key(QStringLiteral("Control"), slot.cntrlLbl->text());
        out.keyInt(QStringLiteral("ControlNum"), slot.code);
        out.keyInt(QStringLiteral("FaderVal"), slot.code == CtrlCode::PitchBend ? 0 : slot.fader->value());
        out.keyInt(QStringLiteral("PatchID"), slot.patchId);
        out.key(QStringLiteral("Channel"), slot.chanLbl->text());
        out.key(QStringLiteral("Port"), slot.portLbl->text());
    }
}

void FaderPanel::beginLoad() { loadIndex_ = -1; }

void FaderPanel::RefreshPortLists() { FillOutPortList(*combos_.port, midi_); }

bool FaderPanel::loadKey(const QString& key, const QString& value)
{
    if (key == u"CstmCtrlr") {
        if (!addCustomLine(custom_, value)) {
            host_.dialogs().MsgBox(shared_.msg(MsgBadCustomLine), MsgButtons::Ok, MsgIcon::Exclamation);
            return true;  // reported here; the line is skipped
        }
        fillControlList();
        return true;
    }
    if (key == u"Control") {
        // Faders are counted by this key; a fifth one is not understood.
        if (loadIndex_ + 1 >= Slots) {
            loadIndex_ = Slots;
            return false;
        }
        ++loadIndex_;
        slots_[loadIndex_].loadedValue.reset();
        slots_[loadIndex_].cntrlLbl->setText(value);
        return true;
    }
    if (loadIndex_ < 0 || loadIndex_ >= Slots)
        return false;
    Slot& slot = slots_[loadIndex_];
    if (key == u"Channel") {
        setChannel(loadIndex_, value.trimmed());
        return true;
    }
    if (key == u"Port") {
        setPort(loadIndex_, value.trimmed());
        return true;
    }
    const auto number = parseSectionInt(value);
    if (!number)
        return false;
    if (key == u"ControlNum") {
        // The range comes with the type; a value read before it is applied again.
        setCode(loadIndex_, *number, true);
    } else if (key == u"FaderVal") {
        slot.loadedValue = *number;
        slot.fader->setValue(*number);
    } else if (key == u"PatchID") {
        slot.patchId = *number;
    } else {
        return false;
    }
    return true;
}

QList<QWidget*> FaderPanel::textControls() const
{
    QList<QWidget*> controls;
    for (const Slot& slot : slots_)
        controls << slot.cntrlLbl << slot.chanLbl << slot.portLbl;
    controls << dMinLbl_ << dMaxLbl_ << label1_ << label2_;
    return controls;
}

}  // namespace orvell
