#include "controllers/ButtonsPanel.h"

#include "app/Dialogs.h"
#include "controllers/AutoDlgBox.h"
#include "controllers/AutoSweep.h"
#include "controllers/ButtonModel.h"
#include "controllers/FaderModel.h"
#include "controllers/FaderPanel.h"
#include "controllers/SelectorTools.h"
#include "core/Numeric.h"
#include "core/Shared.h"
#include "midi/MidiEngine.h"
#include "midi/PortLists.h"
#include "panels/PanelHost.h"
#include "panels/SectionFile.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
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
const QColor OptionColor(128, 0, 0);

}  // namespace

ButtonsPanel::ButtonsPanel(PanelHost& host, QWidget* parent)
    : Panel(PanelClass::Buttons, host, parent), shared_(host.shared()), midi_(host.shared().midi)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();

    buildControls();
    FillOutPortList(*combos_.port, midi_);
    const QString firstPort = combos_.port->count() > 0 ? QString::number(combos_.port->itemData(0).toInt()) : QStringLiteral("0");
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
        slot.cntrlLbl = makePanelLabel(this, QStringLiteral("CntrlLbl") + n, QStringLiteral("Contrl"), ControlColor, true);
        slot.cntrlLbl->setWordWrap(true);
        slot.cntrlLbl->setGeometry(x, 31, width, 27);
        slot.button = new QLabel(this);
        slot.button->setObjectName(QStringLiteral("MButton") + n);
        slot.button->setAlignment(Qt::AlignCenter);
        slot.button->setAcceptDrops(true);
        slot.button->setGeometry(x + (width - 27) / 2, 60, 27, 27);  // 372 twips and the border
        slot.optLbl = makePanelLabel(this, QStringLiteral("BtnOptLbl") + n, QString(), OptionColor, true);
        slot.optLbl->setGeometry(x + 4, 89, width - 8, 14);
        slot.chanLbl = makePanelLabel(this, QStringLiteral("ChanLbl") + n, QString(), ChannelColor, true);
        slot.chanLbl->setGeometry(x + 6, 104, width - 12, 14);
        slot.portLbl = makePanelLabel(this, QStringLiteral("PortLbl") + n, QString(), PortColor, true);
        slot.portLbl->setGeometry(x + 6, 119, width - 12, 14);
        for (QWidget* w : {static_cast<QWidget*>(slot.button), static_cast<QWidget*>(slot.optLbl),
                           static_cast<QWidget*>(slot.cntrlLbl), static_cast<QWidget*>(slot.chanLbl),
                           static_cast<QWidget*>(slot.portLbl)})
            w->installEventFilter(this);
    }
    label1_ = makePanelLabel(this, QStringLiteral("Label1"), QStringLiteral("Chn"), palette().color(QPalette::WindowText), false);
    label1_->setGeometry(2, 104, 28, 14);
    label2_ = makePanelLabel(this, QStringLiteral("Label2"), QStringLiteral("Prt"), palette().color(QPalette::WindowText), false);
    label2_->setGeometry(2, 119, 28, 14);
    dupIcon_ = new QToolButton(this);
    dupIcon_->setObjectName(QStringLiteral("DupIcon"));
    dupIcon_->setText(QStringLiteral("Dup"));
    dupIcon_->setAutoRaise(true);
    dupIcon_->setGeometry(2, 60, 28, 26);
    connect(dupIcon_, &QToolButton::clicked, this, &ButtonsPanel::DupIcon_Click);
    for (QWidget* w : {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_), static_cast<QWidget*>(dupIcon_)})
        w->installEventFilter(this);

    // Kept outside the visible area, as the design has it.
    auto* iconMenu = new QListWidget(this);
    iconMenu->setObjectName(QStringLiteral("IconMenu"));
    iconMenu->setGeometry(-200, -200, 60, 60);
    combos_ = makeSlotSelectors(*this, *this, [this] { SelPatch_Click(); });
    fillControlList();
}

void ButtonsPanel::fillControlList() { fillControlChoices(*combos_.control, custom_); }

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
        for (QComboBox* combo : {combos_.control, combos_.channel, combos_.port, combos_.selPatch})
            hideSelector(combo);
    }
    CIndx = index;
}

void ButtonsPanel::showSelector(QComboBox* combo, QLabel* at)
{
    showSelectorAt(*this, combo, *at, {combos_.control, combos_.channel, combos_.port, combos_.selPatch});
}

void ButtonsPanel::Channel_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || combos_.channel->currentIndex() < 0)
        return;
    const QString chosen = QString::number(combos_.channel->currentIndex() + 1);
    if (chosen != channelText(i)) {
        setChannel(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = Selected::Channel;
    hideSelector(combos_.channel);
}

void ButtonsPanel::Port_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || combos_.port->currentIndex() < 0)
        return;
    const QString chosen = QString::number(combos_.port->currentData().toInt());
    if (chosen != portText(i)) {
        setPort(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = Selected::Port;
    hideSelector(combos_.port);
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
    const QSignalBlocker block(combos_.selPatch);
    combos_.selPatch->clear();
    for (Panel* panel : targetsFor(code))
        combos_.selPatch->addItem(panel->caption(), panel->Tag.toInt());
    combos_.selPatch->setCurrentIndex(std::max(0, combos_.selPatch->findData(slots_[CIndx].patchId)));
}

void ButtonsPanel::revertControl()
{
    const int i = CIndx;
    combos_.control->setCurrentIndex(combos_.control->findData(slots_[i].code));
    combos_.control->setEditText(slots_[i].cntrlLbl->text());
}

void ButtonsPanel::Control_Click()
{
    const int i = CIndx;
    if (i < 0 || i >= Slots || combos_.control->currentIndex() < 0)
        return;
    const int code = combos_.control->currentData().toInt();
    const int refusal = refusalMessage(code);
    if (refusal != 0 && !targetExists(code)) {
        host_.dialogs().MsgBox(shared_.msg(refusal), MsgButtons::Ok, MsgIcon::Exclamation);
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
    if (refusal != 0) {
        fillTargetList(code);
        showSelector(combos_.selPatch, slots_[i].cntrlLbl);
        host_.ShowHint(shared_.msg(MsgSelectPatchList));
    }
}

void ButtonsPanel::SelPatch_Click()
{
    const int i = CIndx;
    if (i >= 0 && i < Slots && combos_.selPatch->currentIndex() >= 0) {
        slots_[i].patchId = combos_.selPatch->currentData().toInt();
        markChanged();
    }
    hideSelector(combos_.selPatch);
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
    duplicateSlot(*this,
                  lastSelected_ == Selected::Channel ? DupSetting::Channel
                  : lastSelected_ == Selected::Port  ? DupSetting::Port
                                                     : DupSetting::Control,
                  Slots);
    markChanged();
    QApplication::restoreOverrideCursor();
}

// Custom controllers.

void ButtonsPanel::SetUpCtrlEdit()
{
    const int i = std::clamp(CIndx, 0, Slots - 1);
    const auto result =
        editSlotController(this, slots_[i].code, slots_[i].cntrlLbl->text(), custom_, false, shared_.Msgs,
                           host_.dialogs(), [this](const QString& text) { host_.ShowHint(text); });
    if (!result)
        return;
    CIndx = i;
    CtrlWasChanged(result->name, result->isOnOff, result->canTogl, result->deleted);
}

void ButtonsPanel::CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry)
{
    const int code = slots_[CIndx].code;
    applyControllerEdit(custom_, code, {name, isOnOff, canTogl, deleteEntry});
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

void ButtonsPanel::RefreshPortLists() { FillOutPortList(*combos_.port, midi_); }

bool ButtonsPanel::loadKey(const QString& key, const QString& value)
{
    if (key == u"CstmCtrlr") {
        // A malformed line is reported here and skipped.
        if (addCustomLine(custom_, value))
            fillControlList();
        else
            host_.dialogs().MsgBox(shared_.msg(MsgBadCustomLine), MsgButtons::Ok, MsgIcon::Exclamation);
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
        } else if (key == u"Astart" || key == u"Aend") {
            // Values beyond pitch bend's range mean nothing to any controller.
            (key == u"Astart" ? a.Astart : a.Aend) = std::clamp(*number, -8192, 8191);
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
