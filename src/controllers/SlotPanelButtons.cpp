// Button slots of the slot panels: options, sweep settings and their keys.
// Pressing and releasing them is in ButtonsPanelPlay.cpp.
#include "controllers/AutoDlgBox.h"
#include "controllers/ButtonModel.h"
#include "controllers/SlotPanel.h"
#include "core/SectionFile.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <algorithm>

#include <QLabel>
#include <QPointer>

namespace orvell {

namespace {

constexpr int MsgCantChange = 97;

}  // namespace

void SlotPanel::BtnOptLbl_Click(int index)
{
    if (index < 0 || index >= Slots)
        return;
    makeCurrent(index);
    PressState& slot = press(index);
    if (slot.option == BtnOption::Momentary || slot.option == BtnOption::Toggle) {
        slot.option = slot.option == BtnOption::Momentary ? BtnOption::Toggle : BtnOption::Momentary;
        showOption(index);
        markChanged();
    } else if (slot.option == BtnOption::Auto) {
        host_.ShowStatusText(2, shared_.msg(optionHintMessage(BtnOption::Auto)) + shared_.msg(MsgCantChange));
    }
}

void SlotPanel::OptDsply()
{
    for (int i = 0; i < Slots; ++i)
        showOption(i);
}

AutoDlgBox* SlotPanel::AutoSettings_Click(int index)
{
    if (index < 0 || index >= Slots)
        return nullptr;
    makeCurrent(index);
    auto* dialog =
        new AutoDlgBox(core(index).cntrlLbl->text(), core(index).code, press(index).autoSettings, shared_.Msgs,
                       host_.dialogs(), [this](const QString& text) { host_.ShowHint(text); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<SlotPanel> self(this);
    connect(dialog, &QDialog::accepted, this, [self, dialog, index] {
        if (self && dialog->outcome())
            self->setAutoSettings(index, *dialog->outcome());
    });
    dialog->show();
    return dialog;
}

void SlotPanel::setAutoSettings(int index, const AutoSettings& settings)
{
    press(index).autoSettings = settings;
    press(index).autoSettings.AIsSet = true;
    markChanged();
}

void SlotPanel::CloneAfcg(int adx, const AutoSettings& from)
{
    if (adx >= 0 && adx < Slots)
        press(adx).autoSettings = from;
}

void SlotPanel::setButtonCode(int index, int code, bool fromFile)
{
    releaseHold(index);
    endSweep(index, true);
    setBorder(index, false);
    showCode(index, code, fromFile);
    press(index).option = defaultButtonOption(code, custom_);
    showOption(index);
}

void SlotPanel::cloneButton(int index, const SlotPanel& source)
{
    setCode(index, source.CurCtrl(index), true);
    press(index).option = source.BtnOpt(index);
    showOption(index);
    CloneAfcg(index, source.autoSettings(index));
}

void SlotPanel::saveButtonKeys(SectionWriter& out, int index) const
{
    out.keyInt(QStringLiteral("BtnOpt"), BtnOpt(index));
    const AutoSettings& a = autoSettings(index);
    out.key(QStringLiteral("AMCName"), a.AMCName);
    out.keyInt(QStringLiteral("ADuration"), a.Aduration);
    out.keyInt(QStringLiteral("Astart"), a.Astart);
    out.keyInt(QStringLiteral("Aend"), a.Aend);
    out.keyBool(QStringLiteral("ARepeat"), a.ARepeat);
    out.keyBool(QStringLiteral("ATriangle"), a.ATriangle);
    out.keyBool(QStringLiteral("AIsSet"), a.AIsSet);
}

bool SlotPanel::loadButtonKey(int index, const QString& key, const QString& value)
{
    AutoSettings& a = press(index).autoSettings;
    if (key == u"AMCName") {
        a.AMCName = value.left(MaxAutoNameLength);
        return true;
    }
    if (key == u"ARepeat" || key == u"ATriangle" || key == u"AIsSet") {
        const auto flag = parseSectionBool(value);
        if (!flag)
            return false;
        (key == u"ARepeat" ? a.ARepeat : key == u"ATriangle" ? a.ATriangle : a.AIsSet) = *flag;
        return true;
    }
    const auto number = parseSectionInt(value);
    if (!number)
        return false;
    if (key == u"BtnOpt") {
        if (*number < BtnOption::None || *number > BtnOption::Auto)
            return false;
        press(index).option = *number;
        showOption(index);
    } else if (key == u"ADuration") {
        a.Aduration = std::clamp(*number, 0, MaxAutoDuration);
    } else if (key == u"Astart" || key == u"Aend") {
        // Values beyond pitch bend's range mean nothing to any controller.
        (key == u"Astart" ? a.Astart : a.Aend) = std::clamp(*number, -8192, 8191);
    } else {
        return false;
    }
    return true;
}

}  // namespace orvell
