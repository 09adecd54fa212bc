#include "panels/SelectorTools.h"

#include "core/Numeric.h"
#include "midi/MidiEngine.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"

#include <QComboBox>
#include <QFrame>
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
    if (!combo)
        return;
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

SlotSelectorCombos makeSlotSelectors(QWidget& panel, SlotSelectors& handlers, std::function<void()> selPatchClick,
                                     bool withRControl)
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
    if (withRControl) {
        combos.rControl = make("RControl", true);
        combos.rControl->installEventFilter(&panel);
        QObject::connect(combos.rControl, &QComboBox::activated, &panel, [&handlers] { handlers.Control_Click(); });
    }
    QObject::connect(combos.channel, &QComboBox::activated, &panel, [&handlers] { handlers.Channel_Click(); });
    QObject::connect(combos.port, &QComboBox::activated, &panel, [&handlers] { handlers.Port_Click(); });
    QObject::connect(combos.selPatch, &QComboBox::activated, &panel, std::move(selPatchClick));
    return combos;
}

bool takeSelectorKey(const SlotSelectorCombos& combos, const QObject* watched, int key, const SelectorEnter& enter)
{
    const bool isEnter = key == Qt::Key_Return || key == Qt::Key_Enter;
    for (QComboBox* combo : {combos.control, combos.rControl, combos.channel, combos.port}) {
        if (!combo || (watched != combo && watched != combo->lineEdit()))
            continue;
        if (isEnter) {
            const auto& handler = combo == combos.control || combo == combos.rControl ? enter.control
                                  : combo == combos.channel                          ? enter.channel
                                                                                     : enter.port;
            if (handler)
                handler();
            return true;
        }
        if (key != Qt::Key_Escape)
            return false;
        hideSelector(combo);
        return true;
    }
    if (combos.selPatch && watched == combos.selPatch && key == Qt::Key_Escape) {
        hideSelector(combos.selPatch);
        return true;
    }
    return false;
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
