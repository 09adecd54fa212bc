#include "controllers/FaderPanel.h"

#include "core/SectionFile.h"
#include "midi/MidiEngine.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <algorithm>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

namespace orvell {

namespace {

const QColor RangeColor(0, 128, 0);

// The design value of a fader before its controller type is chosen.
constexpr int DesignValue = 64;

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

FaderPanel::FaderPanel(PanelClass id, PanelHost& host, QWidget* parent) : SlotPanel(id, host, parent)
{
    buildControls();
    if (vertical())
        layoutVertical();
    else
        layoutHorizontal();

    openFirstPorts();
    for (int i = 0; i < Slots; ++i) {
        Fader& slot = faders_[i];
        slot.range = faderRange(core(i).code, vertical());
        slot.fader->setRange(slot.range.lower, slot.range.upper);
        slot.fader->setSingleStep(slot.range.smallChange);
        slot.fader->setPageStep(slot.range.largeChange);
        slot.fader->setValue(DesignValue);
        slot.dataVal->setText(QString::number(DesignValue));

        // Connected after the design values, so creating a panel sends nothing.
        connect(slot.fader, &QScrollBar::valueChanged, this, [this, i](int value) { onValueChanged(i, value); });
        connect(slot.fader, &QScrollBar::actionTriggered, this, [this, i](int action) { onAction(i, action); });
    }
    makeCurrent(0);
}

FaderPanel::~FaderPanel()
{
    // The boxes lose focus while they are destroyed; that must not send.
    for (Fader& slot : faders_)
        slot.dataVal->removeEventFilter(this);
}

void FaderPanel::buildControls()
{
    for (int i = 0; i < Slots; ++i) {
        Fader& slot = faders_[i];
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
        buildSlotLabels(i);
        slot.midPt = new QFrame(this);
        slot.midPt->setObjectName(QStringLiteral("MidPt") + n);
        slot.midPt->setStyleSheet(QStringLiteral("background-color: rgb(0, 128, 0);"));
        slot.midPt->setAttribute(Qt::WA_TransparentForMouseEvents);
        slot.fader->installEventFilter(this);
        slot.dataVal->installEventFilter(this);
    }

    dMinLbl_ = makePanelLabel(this, QStringLiteral("DMinLbl"), QStringLiteral("0"), RangeColor, false);
    dMaxLbl_ = makePanelLabel(this, QStringLiteral("DMaxLbl"), QStringLiteral("127"), RangeColor, false);
    dMinLbl_->installEventFilter(this);
    dMaxLbl_->installEventFilter(this);
    buildSharedControls(vertical() ? QStringLiteral("Prt") : QStringLiteral("prt"));
}

void FaderPanel::layoutHorizontal()
{
    constexpr int top = 32, pitch = 30, height = 26;
    for (int i = 0; i < Slots; ++i) {
        const int y = top + i * pitch;
        const Fader& slot = faders_[i];
        core(i).cntrlLbl->setGeometry(2, y, 56, height);
        slot.fader->setGeometry(60, y + 4, 126, 18);
        slot.midPt->setGeometry(60 + 63 - 1, y + 1, 2, 3);
        slot.dataVal->setGeometry(188, y + 3, 38, 20);
        core(i).chanLbl->setGeometry(228, y + 3, 24, 20);
        core(i).portLbl->setGeometry(254, y + 3, 24, 20);
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
        const Fader& slot = faders_[i];
        core(i).cntrlLbl->setGeometry(x, 30, width, 28);
        slot.dataVal->setGeometry(x, 60, width, 20);
        slot.fader->setGeometry(x + (width - 18) / 2, 84, 18, 104);
        slot.midPt->setGeometry(x + 2, 84 + 52 - 1, 4, 2);
        core(i).chanLbl->setGeometry(x + 4, 192, width - 8, 20);
        core(i).portLbl->setGeometry(x + 4, 216, width - 8, 20);
    }
    dMaxLbl_->setGeometry(0, 84, 30, 16);
    dMinLbl_->setGeometry(0, 172, 30, 16);
    dupIcon_->setGeometry(2, 124, 26, 26);
    label1_->setGeometry(0, 194, 30, 16);
    label2_->setGeometry(0, 218, 30, 16);
}

bool FaderPanel::targetsPanel(int code) const { return isPanelDirected(code); }

// Sending.

void FaderPanel::MidiSend(int index) { sendValue(index, faders_[index].fader->value()); }

void FaderPanel::onValueChanged(int index, int value)
{
    faders_[index].dataVal->setText(QString::number(value));
    MidiSend(index);
    // Pitch bend springs back in play; its position is no setting.
    if (core(index).code != CtrlCode::PitchBend)
        markChanged();
}

void FaderPanel::onAction(int index, int action)
{
    QScrollBar* bar = faders_[index].fader;
    if (vertical() && action != QAbstractSlider::SliderMove) {
        bar->setSliderPosition(turnedOverPosition(*bar, action));
        return;
    }
    if (action != QAbstractSlider::SliderMove || !bar->isSliderDown())
        return;
    const int position = bar->sliderPosition();
    const int shown = dragSnap(core(index).code, position);
    if (shown != position)
        bar->setSliderPosition(shown);
    // Every drag step plays; when it leaves the value as it is, no change
    // notification follows to do it.
    if (shown == bar->value()) {
        faders_[index].dataVal->setText(QString::number(shown));
        MidiSend(index);
    }
    ShowDataHelp(index);
}

void FaderPanel::moveLearned(int index, int value, int maximum)
{
    // The whole travel of the hardware control covers the whole fader; an
    // unchanged value sends nothing, as a still fader does.
    const FaderRange& range = faders_[index].range;
    const long long span = static_cast<long long>(range.upper) - range.lower;
    faders_[index].fader->setValue(range.lower + static_cast<int>((value * span + maximum / 2) / maximum));
}

void FaderPanel::DataVal_KeyPress(int index)
{
    Fader& slot = faders_[index];
    const TypedValue typed = typedFaderValue(slot.dataVal->text(), slot.range, slot.fader->value());
    switch (typed.action) {
    case TypedValue::Action::Revert:
        slot.dataVal->setText(QString::number(typed.value));
        break;
    case TypedValue::Action::SendAgain:
        slot.dataVal->setText(QString::number(typed.value));
        MidiSend(index);
        break;
    case TypedValue::Action::Move:
        slot.fader->setValue(typed.value);
        break;
    }
    slot.dataVal->setModified(false);
    slot.dataVal->selectAll();
}

// Slots.

void FaderPanel::slotMadeCurrent(int index)
{
    dMinLbl_->setText(QString::number(faders_[index].range.lower));
    dMaxLbl_->setText(QString::number(faders_[index].range.upper));
}

void FaderPanel::setCode(int index, int code, bool fromFile)
{
    showCode(index, code, fromFile);
    Fader& slot = faders_[index];
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

void FaderPanel::cloneSlot(int index, const SlotPanel& source)
{
    const auto& from = static_cast<const FaderPanel&>(source);
    Fader& slot = faders_[index];
    slot.loadedValue = from.faders_[index].fader->value();
    setCode(index, from.core(index).code, true);
    slot.loadedValue.reset();
}

// Data section.

void FaderPanel::saveSlotKeys(SectionWriter& out, int index, SlotKeys at)
{
    if (at == SlotKeys::AfterCode) {
        const bool bend = core(index).code == CtrlCode::PitchBend;
        out.keyInt(QStringLiteral("FaderVal"), bend ? 0 : faders_[index].fader->value());
    }
}

void FaderPanel::slotLoadStarted(int index) { faders_[index].loadedValue.reset(); }

bool FaderPanel::loadSlotKey(int index, const QString& key, const QString& value)
{
    const auto number = parseSectionInt(value);
    if (key != u"FaderVal" || !number)
        return false;
    faders_[index].loadedValue = *number;
    faders_[index].fader->setValue(*number);
    return true;
}

QList<QWidget*> FaderPanel::textControls() const
{
    return SlotPanel::textControls() << dMinLbl_ << dMaxLbl_;
}

}  // namespace orvell
