#include "controllers/SlotPanel.h"

#include "controllers/CtrlEdit.h"
#include "controllers/FaderModel.h"
#include "core/Numeric.h"
#include "core/SectionFile.h"
#include "help/MessageTable.h"
#include "midi/AutoSweep.h"
#include "midi/MidiEngine.h"
#include "midi/PortLists.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"
#include "patches/RemotePatch.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgChannelHint = 19,
    MsgMessageType = 32,
    MsgSelectPatchList = 34,
    MsgSysExMsg = 259,
    MsgSelectSysEx = 261,
    MsgInvalidPort = 62,
    MsgDupHint = 84,
    MsgPortHint = 87,
    MsgRemoteControl = 143,
    MsgBadCustomLine = 153,
    MsgClickToChange = 188,
};

const QString LearnKey = QStringLiteral("MidiLearn");

const QColor ControlColor(0, 0, 255);
const QColor ChannelColor(0, 64, 0);
const QColor PortColor(0, 0, 128);

// The naming questions of an unlisted controller, asked with the program's boxes.
AskFn askThrough(Dialogs& dialogs, const MessageTable& msgs)
{
    return [&dialogs, &msgs](int message, bool withCancel) {
        const MsgAnswer answer =
            dialogs.MsgBox(msgs[message], withCancel ? MsgButtons::YesNoCancel : MsgButtons::YesNo, MsgIcon::Question);
        return answer == MsgAnswer::Yes ? Answer::Yes : answer == MsgAnswer::No ? Answer::No : Answer::Cancel;
    };
}

// The panel's list after the editor's decision for `code`.
void applyControllerEdit(CustomControllers& custom, int code, const CtrlEditResult& edit)
{
    const auto existing =
        std::find_if(custom.begin(), custom.end(), [code](const CtrlRecord& r) { return r.CtrlNo == code; });
    if (edit.deleted) {
        if (existing != custom.end())
            custom.erase(existing);
    } else if (existing != custom.end()) {
        *existing = {code, edit.name, edit.isOnOff, edit.canTogl};
    } else {
        custom.push_back({code, edit.name, edit.isOnOff, edit.canTogl});
    }
}

// A "CstmCtrlr=" line read from a file: its entry replaces one of the same
// code. False when the line is malformed.
bool addCustomLine(CustomControllers& custom, const QString& value)
{
    const auto record = parseCustomLine(value);
    if (!record)
        return false;
    std::erase_if(custom, [&](const CtrlRecord& r) { return r.CtrlNo == record->CtrlNo; });
    custom.push_back(*record);
    return true;
}

}  // namespace

SlotPanel::SlotPanel(PanelClass id, PanelHost& host, QWidget* parent)
    : Panel(id, host, parent), shared_(host.shared()), midi_(host.shared().midi)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
}

SlotPanel::~SlotPanel()
{
    shared_.learn.forgetAll(this);
    for (int i = 0; i < Slots; ++i)
        releaseHold(i);
    // A held sweep runs out its current pass, ends with its rest value and never repeats.
    for (PressState& slot : presses_) {
        if (slot.autoIndex >= 0)
            shared_.autoSweep.requestStop(slot.autoIndex);
        slot.autoIndex = -1;
    }
    // Ports are counted open per slot.
    for (const SlotCore& slot : core_) {
        if (slot.portLbl)
            midi_.CloseMidiOut(slot.portLbl->text());
    }
}

void SlotPanel::buildSlotLabels(int index, const QString& controlName, int number)
{
    SlotCore& slot = core(index);
    const QString n = QString::number(index);
    slot.cntrlLbl = makePanelLabel(this, controlName + QString::number(number < 0 ? index : number), QStringLiteral("Contrl"), ControlColor, true);
    slot.cntrlLbl->setWordWrap(true);
    slot.chanLbl = makePanelLabel(this, QStringLiteral("ChanLbl") + n, QString(), ChannelColor, true);
    slot.portLbl = makePanelLabel(this, QStringLiteral("PortLbl") + n, QString(), PortColor, true);
    for (QWidget* w : {slot.cntrlLbl, slot.chanLbl, slot.portLbl})
        w->installEventFilter(this);
}

void SlotPanel::buildSharedControls(const QString& portCaption, int buttonListFrom)
{
    buttonListFrom_ = buttonListFrom;
    const QColor text = palette().color(QPalette::WindowText);
    label1_ = makePanelLabel(this, QStringLiteral("Label1"), QStringLiteral("Chn"), text, false);
    label2_ = makePanelLabel(this, QStringLiteral("Label2"), portCaption, text, false);
    dupIcon_ = new QToolButton(this);
    dupIcon_->setObjectName(QStringLiteral("DupIcon"));
    dupIcon_->setText(QStringLiteral("Dup"));
    dupIcon_->setAutoRaise(true);
    connect(dupIcon_, &QToolButton::clicked, this, &SlotPanel::DupIcon_Click);
    for (QWidget* w : {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_), static_cast<QWidget*>(dupIcon_)})
        w->installEventFilter(this);
    combos_ = makeSlotSelectors(*this, *this, [this] { SelPatch_Click(); }, buttonListFrom < Slots);
    fillControlList();
}

void SlotPanel::openFirstPorts()
{
    FillOutPortList(*combos_.port, midi_);
    const QString firstPort =
        combos_.port->count() > 0 ? QString::number(combos_.port->itemData(0).toInt()) : QStringLiteral("0");
    for (SlotCore& slot : core_) {
        slot.chanLbl->setText(QStringLiteral("1"));
        slot.portLbl->setText(firstPort);
        midi_.OpenMidiOut(firstPort);
    }
}

void SlotPanel::fillControlList()
{
    const QSignalBlocker block(combos_.control);
    combos_.control->clear();
    for (const CtrlRecord& record : controllerChoices(custom_)) {
        const bool continuous = !record.IsOnOff && record.CtrlNo <= CtrlCode::PitchBend;
        if (!combos_.rControl || continuous)
            combos_.control->addItem(record.CtrlName, record.CtrlNo);
    }
    if (offersSysEx())
        combos_.control->addItem(shared_.msg(MsgSysExMsg), CtrlCode::SysEx);
    if (!combos_.rControl)
        return;
    const QSignalBlocker blockButtons(combos_.rControl);
    combos_.rControl->clear();
    for (const CtrlRecord& record : controllerChoices(custom_))
        combos_.rControl->addItem(record.CtrlName, record.CtrlNo);
}

QComboBox* SlotPanel::controlList(int index) const
{
    return index >= buttonListFrom_ ? combos_.rControl : combos_.control;
}

void SlotPanel::sendValue(int index, int value)
{
    // A session being loaded restores positions without playing them.
    if (shared_.flags.Initializing)
        return;
    const SlotCore& slot = core(index);
    const FaderMessage message = faderMessage(slot.code, value, slot.patchId);
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

QString SlotPanel::portText(int index) const { return core(index).portLbl->text(); }

QString SlotPanel::channelText(int index) const { return core(index).chanLbl->text(); }

int SlotPanel::channelOfSlot(int slot) const { return parseInteger(channelText(slot)).value_or(1); }

int SlotPanel::portOfSlot(int slot) const { return parseInteger(portText(slot)).value_or(-1); }

int SlotPanel::CurCtrl(int slot) const { return core(slot).code; }

QList<Panel*> SlotPanel::targetsFor(int code) const
{
    if (code == CtrlCode::SysEx)
        return {};
    return drivenBy(code);
}

QList<Panel*> SlotPanel::drivenBy(int code) const
{
    QList<Panel*> panels;
    for (PanelClass id : faderTargetClasses(code))
        panels += host_.panelsOf(id);
    return panels;
}

bool SlotPanel::targetExists(int code) const
{
    if (code == CtrlCode::SysEx)
        return !shared_.SysExList.empty();
    return !targetsFor(code).isEmpty();
}

// Current slot and selectors.

void SlotPanel::makeCurrent(int index)
{
    // A selector shown for another slot would act on this one now.
    if (index != CIndx) {
        for (QComboBox* combo : {combos_.control, combos_.rControl, combos_.channel, combos_.port, combos_.selPatch})
            hideSelector(combo);
    }
    CIndx = index;
    slotMadeCurrent(index);
}

void SlotPanel::showSelector(QComboBox* combo, const QLabel& at)
{
    showSelectorAt(*this, combo, at, {combos_.control, combos_.rControl, combos_.channel, combos_.port, combos_.selPatch});
}

void SlotPanel::Channel_Click()
{
    if (CIndx >= 0 && CIndx < Slots && combos_.channel->currentIndex() >= 0)
        takeOutput(DupSetting::Channel, QString::number(combos_.channel->currentIndex() + 1));
}

void SlotPanel::Port_Click()
{
    if (CIndx >= 0 && CIndx < Slots && combos_.port->currentIndex() >= 0)
        takeOutput(DupSetting::Port, QString::number(combos_.port->currentData().toInt()));
}

void SlotPanel::takeOutput(DupSetting which, const QString& chosen)
{
    const int i = CIndx;
    const bool channel = which == DupSetting::Channel;
    if (chosen != (channel ? channelText(i) : portText(i))) {
        leavingOutput(i);
        if (channel)
            setChannel(i, chosen);
        else
            setPort(i, chosen);
        markChanged();
    }
    if (DupIndx < 0)
        lastSelected_ = which;
    hideSelector(channel ? combos_.channel : combos_.port);
}

void SlotPanel::setChannel(int index, const QString& channel) { core(index).chanLbl->setText(channel); }

void SlotPanel::setPort(int index, const QString& port)
{
    if (port == portText(index))
        return;
    // Ports are counted open per slot, so each label holds its port.
    midi_.CloseMidiOut(portText(index));
    core(index).portLbl->setText(port);
    midi_.OpenMidiOut(port);
}

void SlotPanel::fillTargetList(int code)
{
    const QSignalBlocker block(combos_.selPatch);
    combos_.selPatch->clear();
    // A SysEx button keeps the entry's place in the table.
    if (code == CtrlCode::SysEx) {
        for (std::size_t i = 0; i < shared_.SysExList.size(); ++i)
            combos_.selPatch->addItem(shared_.SysExList[i].label, static_cast<int>(i));
    }
    for (Panel* panel : targetsFor(code))
        combos_.selPatch->addItem(panel->caption(), panel->Tag.toInt());
    combos_.selPatch->setCurrentIndex(std::max(0, combos_.selPatch->findData(core(CIndx).patchId)));
}

void SlotPanel::revertControl()
{
    const SlotCore& slot = core(CIndx);
    QComboBox* list = controlList(CIndx);
    list->setCurrentIndex(list->findData(slot.code));
    list->setEditText(slot.cntrlLbl->text());
}

void SlotPanel::Control_Click()
{
    const int i = CIndx;
    // A duplicate takes the type from the list of the slot copied from, into slots of the same list.
    QComboBox* list = i >= 0 && i < Slots ? controlList(DupIndx >= 0 ? DupIndx : i) : nullptr;
    if (!list || list->currentIndex() < 0 || list != controlList(i))
        return;
    const int code = list->currentData().toInt();
    const int refusal = refusalMessage(code);
    if (refusal != 0 && !targetExists(code)) {
        host_.dialogs().MsgBox(shared_.msg(refusal), MsgButtons::Ok, MsgIcon::Exclamation);
        revertControl();
        hideSelector(list);
        return;
    }
    setCode(i, code, false);
    markChanged();
    hideSelector(list);
    if (DupIndx >= 0) {
        core(i).patchId = core(DupIndx).patchId;
        host_.remoteLinksChanged();
        return;
    }
    host_.remoteLinksChanged();
    lastSelected_ = DupSetting::Control;
    if (refusal != 0) {
        fillTargetList(code);
        showSelector(combos_.selPatch, *core(i).cntrlLbl);
        host_.ShowHint(shared_.msg(code == CtrlCode::SysEx ? MsgSelectSysEx : MsgSelectPatchList));
    }
}

void SlotPanel::SelPatch_Click()
{
    const int i = CIndx;
    if (i >= 0 && i < Slots && combos_.selPatch->currentIndex() >= 0) {
        core(i).patchId = combos_.selPatch->currentData().toInt();
        markChanged();
        host_.remoteLinksChanged();
    }
    hideSelector(combos_.selPatch);
}

void SlotPanel::showCode(int index, int code, bool fromFile)
{
    SlotCore& slot = core(index);
    slot.code = code;
    if (!fromFile) {
        const CtrlRecord* record = findController(code, custom_);
        if (code == CtrlCode::SysEx)
            slot.cntrlLbl->setText(shared_.msg(MsgSysExMsg));
        else
            slot.cntrlLbl->setText(record ? record->CtrlName : QString::number(code));
    }
    const bool remote = targetsPanel(code);
    slot.chanLbl->setVisible(!remote);
    slot.portLbl->setVisible(!remote);
}

void SlotPanel::Channel_KeyPress() { enterChannel(*this, channelText(CIndx)); }

void SlotPanel::Port_KeyPress() { enterPort(*this, portText(CIndx)); }

void SlotPanel::Control_KeyPress()
{
    // A listed code is taken; an unlisted MIDI controller number is named
    // (asking where its kind is open) and added; anything else reverts.
    QComboBox* list = controlList(CIndx);
    const QString text = list->currentText();
    const auto number = parseInteger(text);
    if (!number || parseNumber(text) != double(*number) || *number < 0) {
        revertControl();
    } else if (const int entry = list->findData(*number); entry >= 0) {
        list->setCurrentIndex(entry);
        Control_Click();
    } else if (*number > 127) {
        revertControl();  // special codes come only from the list
    } else if (const auto record =
                   nameUnlistedController(*number, continuousOnly(CIndx), askThrough(host_.dialogs(), shared_.Msgs))) {
        custom_.push_back(*record);
        fillControlList();
        list->setCurrentIndex(list->findData(record->CtrlNo));
        Control_Click();
    } else {
        revertControl();
    }
    hideSelector(list);
}

// Duplicate.

void SlotPanel::DupIcon_Click()
{
    if (!lastSelected_ || CIndx < 0 || CIndx >= Slots)
        return;
    // The slot copied from shows in the highlight colour while it runs.
    const SlotCore& from = core(CIndx);
    const std::array<QLabel*, 3> labels{from.cntrlLbl, from.chanLbl, from.portLbl};
    std::array<QPalette, 3> saved;
    for (size_t k = 0; k < labels.size(); ++k) {
        saved[k] = labels[k]->palette();
        QPalette lit = saved[k];
        lit.setColor(QPalette::Window, saved[k].color(QPalette::Highlight));
        lit.setColor(QPalette::WindowText, saved[k].color(QPalette::HighlightedText));
        labels[k]->setPalette(lit);
        labels[k]->setAutoFillBackground(true);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    duplicateSlot(*this, *lastSelected_, Slots);
    markChanged();
    QApplication::restoreOverrideCursor();
    for (size_t k = 0; k < labels.size(); ++k) {
        labels[k]->setPalette(saved[k]);
        labels[k]->setAutoFillBackground(IsOpaque);
    }
}

// Custom controllers.

void SlotPanel::SetUpCtrlEdit()
{
    const int i = std::clamp(CIndx, 0, Slots - 1);
    const SlotCore& slot = core(i);
    // Custom entries name MIDI controller numbers; the special codes keep their names.
    if (slot.code < 0 || slot.code > 127)
        return;
    const CtrlRecord* record = findController(slot.code, custom_);
    CtrlEditRequest request;
    request.code = slot.code;
    request.name = record ? record->CtrlName : slot.cntrlLbl->text();
    request.isOnOff = record && record->IsOnOff;
    request.canTogl = record && record->CanTogl;
    request.continuousOnly = continuousOnly(i);
    request.isCustom = std::any_of(custom_.begin(), custom_.end(),
                                   [code = slot.code](const CtrlRecord& r) { return r.CtrlNo == code; });
    const auto result = CtrlEdit::ask(this, request, shared_.Msgs, host_.dialogs(),
                                      [this](const QString& text) { host_.ShowHint(text); });
    if (!result)
        return;
    CIndx = i;
    CtrlWasChanged(result->name, result->isOnOff, result->canTogl, result->deleted);
}

void SlotPanel::CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry)
{
    const int code = core(CIndx).code;
    applyControllerEdit(custom_, code, {name, isOnOff, canTogl, deleteEntry});
    fillControlList();
    const CtrlRecord* record = findController(code, custom_);
    // A deleted name with no built-in entry behind it leaves the bare number.
    const QString label = record ? record->CtrlName : QString::number(code);
    for (int i = 0; i < Slots; ++i) {
        if (core(i).code != code)
            continue;
        core(i).cntrlLbl->setText(label);
        controllerEdited(i);
    }
    markChanged();
}

void SlotPanel::Clone(const QString& fromTag)
{
    Panel::Clone(fromTag);
    auto* source = qobject_cast<SlotPanel*>(host_.findPanel(panelClass(), fromTag));
    if (!source || source == this)
        return;
    custom_ = source->custom_;
    fillControlList();
    for (int i = 0; i < Slots; ++i) {
        // Channel and port first, so what the type brings goes where the source sends.
        setChannel(i, source->channelText(i));
        setPort(i, source->portText(i));
        core(i).patchId = source->core(i).patchId;
        core(i).cntrlLbl->setText(source->core(i).cntrlLbl->text());
        cloneSlot(i, *source);
    }
    markChanged();
}

int SlotPanel::controlsTargeting(PanelClass targetClass, const QString& targetTag) const
{
    const auto tag = parseSectionInt(targetTag);
    if (!tag)
        return 0;
    return static_cast<int>(std::count_if(core_.begin(), core_.end(), [&](const SlotCore& slot) {
        if (!targetsPanel(slot.code) || slot.patchId != *tag)
            return false;
        const std::vector<PanelClass> classes = faderTargetClasses(slot.code);
        return std::find(classes.begin(), classes.end(), targetClass) != classes.end();
    }));
}

// Data section.

void SlotPanel::saveOwnKeys(SectionWriter& out)
{
    for (const CtrlRecord& record : custom_)
        out.key(QStringLiteral("CstmCtrlr"), formatCustomLine(record));
    for (int i = 0; i < Slots; ++i) {
        const SlotCore& slot = core(i);
        out.key(i >= buttonListFrom_ ? QStringLiteral("RControl") : QStringLiteral("Control"), slot.cntrlLbl->text());
        out.keyInt(QStringLiteral("ControlNum"), slot.code);
        saveSlotKeys(out, i, SlotKeys::AfterCode);
        out.keyInt(QStringLiteral("PatchID"), slot.patchId);
        saveSlotKeys(out, i, SlotKeys::AfterTarget);
        out.key(QStringLiteral("Channel"), slot.chanLbl->text());
        out.key(QStringLiteral("Port"), slot.portLbl->text());
        saveSlotKeys(out, i, SlotKeys::AfterPort);
        // Older files have no binding and stay as they were.
        if (const auto source = shared_.learn.bindingOf(this, i))
            out.key(LearnKey, formatLearnSource(*source));
    }
}

void SlotPanel::beginLoad()
{
    loadIndex_ = -1;
    shared_.learn.forgetAll(this);
    // Every button starts off.
    for (int i = 0; i < Slots; ++i) {
        endSweep(i, true);
        setBorder(i, false);
    }
}

void SlotPanel::RefreshPortLists() { FillOutPortList(*combos_.port, midi_); }

bool SlotPanel::loadKey(const QString& key, const QString& value)
{
    if (key == u"CstmCtrlr") {
        // A malformed line is reported here and skipped.
        if (addCustomLine(custom_, value))
            fillControlList();
        else
            host_.dialogs().MsgBox(shared_.msg(MsgBadCustomLine), MsgButtons::Ok, MsgIcon::Exclamation);
        return true;
    }
    if (key == u"Control" || key == u"RControl") {
        // Slots are counted by this key; a fifth one is not understood.
        if (loadIndex_ + 1 >= Slots) {
            loadIndex_ = Slots;
            return false;
        }
        ++loadIndex_;
        slotLoadStarted(loadIndex_);
        core(loadIndex_).cntrlLbl->setText(value);
        return true;
    }
    if (loadIndex_ < 0 || loadIndex_ >= Slots)
        return false;
    if (key == u"Channel") {
        setChannel(loadIndex_, value.trimmed());
        return true;
    }
    if (key == u"Port") {
        setPort(loadIndex_, midi_.portFromSession(value.trimmed()));
        return true;
    }
    if (key == LearnKey) {
        const auto source = parseLearnSource(value.trimmed());
        if (source)
            shared_.learn.bind(this, loadIndex_, *source);
        return source.has_value();
    }
    if (key == u"ControlNum" || key == u"PatchID") {
        const auto number = parseSectionInt(value);
        if (!number)
            return false;
        // The range and kind come with the type; what was read before it is applied again.
        if (key == u"ControlNum")
            setCode(loadIndex_, *number, true);
        else
            core(loadIndex_).patchId = *number;
        return true;
    }
    return loadSlotKey(loadIndex_, key, value);
}

QList<QWidget*> SlotPanel::textControls() const
{
    QList<QWidget*> controls;
    for (const SlotCore& slot : core_)
        controls << slot.cntrlLbl << slot.chanLbl << slot.portLbl;
    controls << label1_ << label2_;
    return controls;
}

// Hints and input.

int SlotPanel::slotOf(QObject* control) const
{
    for (int i = 0; i < Slots; ++i) {
        const SlotCore& s = core(i);
        if (control == s.cntrlLbl || control == s.chanLbl || control == s.portLbl || ownsInSlot(i, control))
            return i;
    }
    return -1;
}

Panel* SlotPanel::targetOf(int index) const
{
    const SlotCore& slot = core(index);
    if (!targetsPanel(slot.code))
        return nullptr;
    for (PanelClass id : faderTargetClasses(slot.code)) {
        if (Panel* panel = host_.findPanel(id, QString::number(slot.patchId)))
            return panel;
    }
    return nullptr;
}

void SlotPanel::showHintFor(QObject* control)
{
    const int i = slotOf(control);
    if (control == label1_) {
        host_.ShowHint(shared_.msg(MsgChannelHint));
    } else if (control == label2_) {
        host_.ShowHint(shared_.msg(MsgPortHint));
    } else if (control == dupIcon_) {
        host_.ShowHint(shared_.msg(MsgDupHint));
    } else if (i < 0) {
        showPanelHint(control);
    } else if (control == core(i).chanLbl) {
        host_.ShowHint(shared_.msg(MsgChannelHint));
    } else if (control == core(i).portLbl) {
        host_.ShowHint(portHint(midi_, portOfSlot(i), shared_.msg(MsgInvalidPort)));
    } else if (control == core(i).cntrlLbl) {
        Panel* target = targetOf(i);
        const QString what = target ? shared_.msg(MsgRemoteControl) + target->caption()
                                    : shared_.msg(MsgMessageType) + QStringLiteral(" ") + core(i).cntrlLbl->text();
        host_.ShowHint(what + shared_.msg(MsgClickToChange));
    } else {
        showOwnHint(i, control);
    }
}

bool SlotPanel::valueBoxEvent(QLineEdit* box, QEvent* event, const std::function<void()>& commit)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        commit();
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        // Leaving the box acts as Enter, once, for what was typed. A popup or
        // another window borrowing the keyboard is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (box->isModified() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            commit();
    }
    return false;
}

bool SlotPanel::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter) {
        showHintFor(watched);
        return Panel::eventFilter(watched, event);
    }
    if (type == QEvent::KeyPress) {
        const SelectorEnter enter{[this] { Control_KeyPress(); }, [this] { Channel_KeyPress(); },
                                  [this] { Port_KeyPress(); }};
        if (takeSelectorKey(combos_, watched, static_cast<QKeyEvent*>(event)->key(), enter))
            return true;
        return Panel::eventFilter(watched, event);
    }
    const int i = slotOf(watched);
    if (i < 0)
        return Panel::eventFilter(watched, event);
    // A value box keeps its own editing menu.
    if (type == QEvent::ContextMenu && !qobject_cast<QLineEdit*>(watched)) {
        showSlotMenu(i, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (type == QEvent::FocusIn) {
        makeCurrent(i);
    } else if (type == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const SlotCore& slot = core(i);
        if (watched == slot.chanLbl) {
            makeCurrent(i);
            combos_.channel->setCurrentIndex(channelOfSlot(i) - 1);
            showSelector(combos_.channel, *slot.chanLbl);
            return true;
        }
        if (watched == slot.portLbl) {
            makeCurrent(i);
            combos_.port->setCurrentIndex(combos_.port->findData(portOfSlot(i)));
            showSelector(combos_.port, *slot.portLbl);
            return true;
        }
        if (watched == slot.cntrlLbl) {
            makeCurrent(i);
            QComboBox* list = controlList(i);
            list->setCurrentIndex(list->findData(slot.code));
            showSelector(list, *slot.cntrlLbl);
            return true;
        }
    }
    return Panel::eventFilter(watched, event);
}

}  // namespace orvell
