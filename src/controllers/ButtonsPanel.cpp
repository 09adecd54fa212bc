#include "controllers/ButtonsPanel.h"

#include "controllers/AutoDlgBox.h"
#include "controllers/ButtonModel.h"
#include "controllers/FaderModel.h"
#include "core/SectionFile.h"
#include "midi/AutoSweep.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <algorithm>

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QToolButton>

namespace orvell {

namespace {

const QColor OptionColor(128, 0, 0);

}  // namespace

ButtonsPanel::ButtonsPanel(PanelHost& host, QWidget* parent) : SlotPanel(PanelClass::Buttons, host, parent)
{
    buildControls();
    openFirstPorts();
    for (int i = 0; i < Slots; ++i) {
        setCode(i, core(i).code, true);  // the design caption stays until a type is chosen
        showFace(i);
    }
    makeCurrent(0);
}

ButtonsPanel::~ButtonsPanel() = default;

void ButtonsPanel::buildControls()
{
    constexpr int left = 32, pitch = 45, width = 43;
    for (int i = 0; i < Slots; ++i) {
        Button& slot = buttons_[i];
        const QString n = QString::number(i);
        const int x = left + i * pitch;
        buildSlotLabels(i);
        core(i).cntrlLbl->setGeometry(x, 31, width, 27);
        slot.button = new QLabel(this);
        slot.button->setObjectName(QStringLiteral("MButton") + n);
        slot.button->setAlignment(Qt::AlignCenter);
        slot.button->setAcceptDrops(true);
        slot.button->setGeometry(x + (width - 27) / 2, 60, 27, 27);  // 372 twips and the border
        slot.optLbl = makePanelLabel(this, QStringLiteral("BtnOptLbl") + n, QString(), OptionColor, true);
        slot.optLbl->setGeometry(x + 4, 89, width - 8, 14);
        core(i).chanLbl->setGeometry(x + 6, 104, width - 12, 14);
        core(i).portLbl->setGeometry(x + 6, 119, width - 12, 14);
        slot.button->installEventFilter(this);
        slot.optLbl->installEventFilter(this);
    }
    buildSharedControls(QStringLiteral("Prt"));
    label1_->setGeometry(2, 104, 28, 14);
    label2_->setGeometry(2, 119, 28, 14);
    dupIcon_->setGeometry(2, 60, 28, 26);

    // Kept outside the visible area, as the design has it.
    auto* iconMenu = new QListWidget(this);
    iconMenu->setObjectName(QStringLiteral("IconMenu"));
    iconMenu->setGeometry(-200, -200, 60, 60);
}

bool ButtonsPanel::targetsPanel(int code) const { return buttonTargetsPanel(code); }

// Button state and faces.

void ButtonsPanel::setBorder(int index, bool on)
{
    SlotPanel::setBorder(index, on);
    Button& slot = buttons_[index];
    slot.button->setFrameStyle(on ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    slot.button->setLineWidth(on ? 2 : 1);
}

void ButtonsPanel::showOption(int index)
{
    const int message = optionWordMessage(BtnOpt(index));
    buttons_[index].optLbl->setText(message ? shared_.msg(message) : QString());
}

void ButtonsPanel::showFace(int index)
{
    Button& slot = buttons_[index];
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

void ButtonsPanel::paletteChanged(int slot)
{
    SlotPanel::paletteChanged(slot);
    for (int i = 0; i < Slots; ++i) {
        if (buttons_[i].icon == slot)
            showFace(i);
    }
}

void ButtonsPanel::setBtnIcon(int index, int paletteIndex)
{
    if (index < 0 || index >= Slots || paletteIndex < 0)
        return;
    buttons_[index].icon = paletteIndex;
    showFace(index);
    markChanged();
}

// Controller types.

QList<Panel*> ButtonsPanel::targetsFor(int code) const
{
    QList<Panel*> targets = drivenBy(code);
    if (code == CtrlCode::PushButtons) {
        // Never this panel, nor one whose buttons would come back to press it.
        targets.removeIf([this](Panel* panel) {
            auto* other = qobject_cast<ButtonsPanel*>(panel);
            return panel == this || !other || other->CausesLoop(Tag);
        });
    }
    return targets;
}

void ButtonsPanel::setCode(int index, int code, bool fromFile)
{
    setButtonCode(index, code, fromFile);
}

// The kind may have changed in the editor, and with it what the button does.
void ButtonsPanel::controllerEdited(int index) { setCode(index, core(index).code, true); }

void ButtonsPanel::cloneSlot(int index, const SlotPanel& source)
{
    const Button& from = static_cast<const ButtonsPanel&>(source).buttons_[index];
    Button& slot = buttons_[index];
    cloneButton(index, source);
    slot.icon = from.icon;
    showFace(index);
}

// Data section.

void ButtonsPanel::saveSlotKeys(SectionWriter& out, int index, SlotKeys at)
{
    const Button& button = buttons_[index];
    if (at == SlotKeys::AfterTarget) {
        out.keyInt(QStringLiteral("BtnIcon"), button.icon);
    } else if (at == SlotKeys::AfterPort) {
        saveButtonKeys(out, index);
    }
}

bool ButtonsPanel::loadSlotKey(int index, const QString& key, const QString& value)
{
    if (key != u"BtnIcon")
        return loadButtonKey(index, key, value);
    const auto number = parseSectionInt(value);
    if (!number)
        return false;
    buttons_[index].icon = *number;
    showFace(index);
    return true;
}

QList<QWidget*> ButtonsPanel::textControls() const
{
    QList<QWidget*> controls = SlotPanel::textControls();
    for (const Button& slot : buttons_)
        controls << slot.optLbl;
    return controls;
}

}  // namespace orvell
