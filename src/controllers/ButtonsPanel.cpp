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

ButtonsPanel::~ButtonsPanel()
{
    // A held sweep runs out its current pass, ends with its rest value and never repeats.
    for (Button& slot : buttons_) {
        if (slot.autoIndex >= 0)
            shared_.autoSweep.requestStop(slot.autoIndex);
        slot.autoIndex = -1;
    }
}

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
    Button& slot = buttons_[index];
    slot.on = on;
    slot.button->setFrameStyle(on ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    slot.button->setLineWidth(on ? 2 : 1);
}

void ButtonsPanel::showOption(int index)
{
    const int message = optionWordMessage(buttons_[index].option);
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

void ButtonsPanel::setBtnIcon(int index, int paletteIndex)
{
    if (index < 0 || index >= Slots || paletteIndex < 0)
        return;
    buttons_[index].icon = paletteIndex;
    showFace(index);
    markChanged();
}

// Options and sweep settings.

void ButtonsPanel::BtnOptLbl_Click(int index)
{
    if (index < 0 || index >= Slots)
        return;
    makeCurrent(index);
    Button& slot = buttons_[index];
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
    const Button& slot = buttons_[index];
    auto* dialog = new AutoDlgBox(core(index).cntrlLbl->text(), core(index).code, slot.autoSettings, shared_.Msgs, host_.dialogs(),
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
    buttons_[index].autoSettings = settings;
    buttons_[index].autoSettings.AIsSet = true;
    markChanged();
}

void ButtonsPanel::CloneAfcg(int adx, const AutoSettings& from)
{
    if (adx >= 0 && adx < Slots)
        buttons_[adx].autoSettings = from;
}

// Controller types.

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

void ButtonsPanel::setCode(int index, int code, bool fromFile)
{
    // A type change ends what the old type was doing.
    endSweep(index, true);
    setBorder(index, false);
    showCode(index, code, fromFile);
    buttons_[index].option = defaultButtonOption(code, custom_);
    showOption(index);
}

// The kind may have changed in the editor, and with it what the button does.
void ButtonsPanel::controllerEdited(int index) { setCode(index, core(index).code, true); }

void ButtonsPanel::cloneSlot(int index, const SlotPanel& source)
{
    const Button& from = static_cast<const ButtonsPanel&>(source).buttons_[index];
    Button& slot = buttons_[index];
    setCode(index, source.CurCtrl(index), true);
    slot.option = from.option;
    showOption(index);
    slot.icon = from.icon;
    showFace(index);
    CloneAfcg(index, from.autoSettings);
}

// Data section.

void ButtonsPanel::saveSlotKeys(SectionWriter& out, int index, SlotKeys at)
{
    const Button& button = buttons_[index];
    if (at == SlotKeys::AfterTarget) {
        out.keyInt(QStringLiteral("BtnIcon"), button.icon);
    } else if (at == SlotKeys::AfterPort) {
        out.keyInt(QStringLiteral("BtnOpt"), button.option);
        const AutoSettings& a = button.autoSettings;
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
    SlotPanel::beginLoad();
    // Every button starts off.
    for (int i = 0; i < Slots; ++i) {
        endSweep(i, true);
        setBorder(i, false);
    }
}

bool ButtonsPanel::loadSlotKey(int index, const QString& key, const QString& value)
{
    Button& slot = buttons_[index];
    AutoSettings& a = slot.autoSettings;
    if (key == u"AMCName") {
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
        if (key == u"BtnIcon") {
            slot.icon = *number;
            showFace(index);
        } else if (key == u"BtnOpt") {
            if (*number < BtnOption::None || *number > BtnOption::Auto)
                return false;
            slot.option = *number;
            showOption(index);
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
    QList<QWidget*> controls = SlotPanel::textControls();
    for (const Button& slot : buttons_)
        controls << slot.optLbl;
    return controls;
}

}  // namespace orvell
