#include "controllers/SelectorTools.h"

#include "app/Dialogs.h"
#include "core/Numeric.h"
#include "help/MessageTable.h"
#include "midi/MidiEngine.h"
#include "panels/Panel.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace orvell {

namespace {
constexpr char TypableProperty[] = "orvellTypable";
}  // namespace

std::optional<int> typedChannel(const QString& text)
{
    const auto number = parseInteger(text);
    if (!number || *number < 1 || *number > 16 || parseNumber(text) != double(*number))
        return std::nullopt;
    return number;
}

int typedPortEntry(const QComboBox& ports, const QString& text)
{
    const auto number = parseInteger(text);
    return number ? ports.findData(*number) : -1;
}

AskFn askThrough(Dialogs& dialogs, const MessageTable& msgs)
{
    return [&dialogs, &msgs](int message, bool withCancel) {
        switch (dialogs.MsgBox(msgs[message], withCancel ? MsgButtons::YesNoCancel : MsgButtons::YesNo,
                               MsgIcon::Question)) {
        case MsgAnswer::Yes:
            return Answer::Yes;
        case MsgAnswer::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    };
}

void showSelectorAt(QWidget& panel, QComboBox* combo, const QLabel& at, std::initializer_list<QComboBox*> all)
{
    for (QComboBox* other : all) {
        if (other != combo)
            hideSelector(other);
    }
    const int width = std::max(at.width(), 120);
    const int x = std::clamp(at.x(), 0, std::max(0, panel.width() - width));
    combo->setGeometry(x, std::min(at.y(), panel.height() - 24), width, 24);
    if (combo->property(TypableProperty).toBool() && !combo->isEditable()) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->lineEdit()->installEventFilter(&panel);
        // Typing acts on Enter only: leaving the box must not pick the entry it names.
        QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, nullptr, nullptr);
    }
    combo->show();
    combo->raise();
    combo->setFocus();
    if (combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void hideSelector(QComboBox* combo)
{
    if (combo->isVisible() && combo->hasFocus())
        combo->parentWidget()->setFocus(Qt::OtherFocusReason);
    combo->hide();
}

QString portHint(const MidiEngine& midi, int port, const QString& invalidText)
{
    const bool known = port >= 0 && port <= midi.NumOutDevs && port < int(midi.MidiOutPorts.size()) &&
                       midi.MidiOutPorts[size_t(port)].Present;
    return known ? midi.MidiOutPorts[size_t(port)].Name : invalidText;
}

std::optional<CtrlEditResult> editSlotController(QWidget* parent, int code, const QString& label,
                                                 const CustomControllers& custom, bool continuousOnly,
                                                 const MessageTable& msgs, Dialogs& dialogs, CtrlEdit::Hint hint)
{
    // Custom entries name MIDI controller numbers; the special codes keep their names.
    if (code < 0 || code > 127)
        return std::nullopt;
    const CtrlRecord* record = findController(code, custom);
    CtrlEditRequest request;
    request.code = code;
    request.name = record ? record->CtrlName : label;
    request.isOnOff = record && record->IsOnOff;
    request.canTogl = record && record->CanTogl;
    request.continuousOnly = continuousOnly;
    request.isCustom =
        std::any_of(custom.begin(), custom.end(), [code](const CtrlRecord& r) { return r.CtrlNo == code; });
    return CtrlEdit::ask(parent, request, msgs, dialogs, std::move(hint));
}

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

bool addCustomLine(CustomControllers& custom, const QString& value)
{
    const auto record = parseCustomLine(value);
    if (!record)
        return false;
    std::erase_if(custom, [&](const CtrlRecord& r) { return r.CtrlNo == record->CtrlNo; });
    custom.push_back(*record);
    return true;
}

void fillControlChoices(QComboBox& list, const CustomControllers& custom)
{
    const QSignalBlocker block(&list);
    list.clear();
    for (const CtrlRecord& record : controllerChoices(custom))
        list.addItem(record.CtrlName, record.CtrlNo);
}

SlotSelectorCombos makeSlotSelectors(QWidget& panel, SlotSelectors& handlers, std::function<void()> selPatchClick)
{
    auto make = [&panel](const char* name, bool typable) {
        auto* combo = new QComboBox(&panel);
        combo->setObjectName(QString::fromLatin1(name));
        // The line edit is made when the selector is first shown: most
        // panels never open most selectors, and a session loads many panels.
        combo->setProperty(TypableProperty, typable);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(16);
        combo->hide();
        return combo;
    };
    SlotSelectorCombos combos{make("Control", true), make("Channel", true), make("Port", true),
                              make("SelPatch", false)};
    for (int ch = 1; ch <= 16; ++ch)
        combos.channel->addItem(QString::number(ch), ch);
    // Typed keys reach the selector itself, which hands them to its line
    // edit past any filter there; the panel reads Enter and Escape first.
    for (QComboBox* combo : {combos.control, combos.channel, combos.port, combos.selPatch})
        combo->installEventFilter(&panel);
    QObject::connect(combos.control, &QComboBox::activated, &panel, [&handlers] { handlers.Control_Click(); });
    QObject::connect(combos.channel, &QComboBox::activated, &panel, [&handlers] { handlers.Channel_Click(); });
    QObject::connect(combos.port, &QComboBox::activated, &panel, [&handlers] { handlers.Port_Click(); });
    QObject::connect(combos.selPatch, &QComboBox::activated, &panel, std::move(selPatchClick));
    return combos;
}

SelectorKey selectorKey(const SlotSelectorCombos& combos, const QObject* watched, int key)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    for (QComboBox* combo : {combos.control, combos.channel, combos.port}) {
        if (watched != combo && watched != combo->lineEdit())
            continue;
        if (enter)
            return combo == combos.control ? SelectorKey::EnterControl
                   : combo == combos.channel ? SelectorKey::EnterChannel
                                             : SelectorKey::EnterPort;
        if (key != Qt::Key_Escape)
            return SelectorKey::None;
        hideSelector(combo);
        return SelectorKey::Closed;
    }
    if (watched == combos.selPatch && key == Qt::Key_Escape) {
        hideSelector(combos.selPatch);
        return SelectorKey::Closed;
    }
    return SelectorKey::None;
}

void enterChannel(SlotSelectors& selectors, const QString& shown)
{
    QComboBox* list = selectors.Channel();
    const int current = selectors.channelOfSlot(selectors.CIndx);
    const auto channel = typedChannel(list->currentText());
    if (!channel) {
        list->setCurrentIndex(current - 1);
        list->setEditText(shown);
    } else if (*channel != current) {
        list->setCurrentIndex(*channel - 1);
        selectors.Channel_Click();
    }
    hideSelector(list);
}

void enterPort(SlotSelectors& selectors, const QString& shown)
{
    QComboBox* list = selectors.Port();
    const int current = selectors.portOfSlot(selectors.CIndx);
    const int entry = typedPortEntry(*list, list->currentText());
    if (entry < 0) {
        list->setCurrentIndex(list->findData(current));
        list->setEditText(shown);
    } else if (list->itemData(entry).toInt() != current) {
        list->setCurrentIndex(entry);
        selectors.Port_Click();
    }
    hideSelector(list);
}

void enterControl(SlotSelectors& selectors, CustomControllers& custom, bool continuousOnly, const AskFn& ask,
                  const std::function<void()>& refill, const std::function<void()>& revert)
{
    QComboBox* list = selectors.Control();
    const QString text = list->currentText();
    const auto number = parseInteger(text);
    if (!number || parseNumber(text) != double(*number) || *number < 0) {
        revert();
    } else if (const int entry = list->findData(*number); entry >= 0) {
        list->setCurrentIndex(entry);
        selectors.Control_Click();
    } else if (*number > 127) {
        revert();  // special codes come only from the list
    } else if (const auto record = nameUnlistedController(*number, continuousOnly, ask)) {
        custom.push_back(*record);
        refill();
        list->setCurrentIndex(list->findData(record->CtrlNo));
        selectors.Control_Click();
    } else {
        revert();
    }
    hideSelector(list);
}

void duplicateSlot(SlotSelectors& selectors, DupSetting setting, int slotCount)
{
    const int from = selectors.CIndx;
    QComboBox* list = setting == DupSetting::Channel ? selectors.Channel()
                      : setting == DupSetting::Port  ? selectors.Port()
                                                     : selectors.Control();
    const int entry = setting == DupSetting::Channel ? selectors.channelOfSlot(from) - 1
                      : setting == DupSetting::Port  ? list->findData(selectors.portOfSlot(from))
                                                     : list->findData(selectors.CurCtrl(from));
    if (entry < 0)
        return;
    selectors.DupIndx = from;
    list->setCurrentIndex(entry);
    for (int slot = 0; slot < slotCount; ++slot) {
        selectors.CIndx = slot;
        if (setting == DupSetting::Channel)
            selectors.Channel_Click();
        else if (setting == DupSetting::Port)
            selectors.Port_Click();
        else if (slot != from)
            selectors.Control_Click();
    }
    selectors.CIndx = from;
    selectors.DupIndx = -1;
    if (setting == DupSetting::Control)
        selectors.OptDsply();
}

}  // namespace orvell
