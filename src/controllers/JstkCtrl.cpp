#include "controllers/JstkCtrl.h"

#include "controllers/ButtonModel.h"
#include "controllers/FaderModel.h"
#include "core/Numeric.h"
#include "core/SectionFile.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgPollRate = 52,
    MsgReverse = 53,
    MsgCantPoll = 54,
    MsgTooManyPanels = 70,
    MsgSensitivity = 86,
    MsgCantChange = 97,
    MsgJoystickController = 106,
    MsgCenter = 203,
};

const QColor ValueColor(192, 0, 0);
const QColor OptionColor(128, 0, 0);

constexpr int DefaultPoll = 50;
constexpr int DefaultSensitivity = 70;
constexpr int PanCode = 10;

const char* const SlotCaptions[] = {"X Axis", "Y Axis", "Firebutton A", "Firebutton B"};

}  // namespace

JstkCtrl* JstkCtrl::create(PanelHost& host, JoystickSystem* joysticks, QWidget* parent)
{
    auto link = joysticks ? std::make_unique<JoystickLink>(*joysticks) : nullptr;
    if (!link || !link->openFree()) {
        const QString text = host.shared().msg(MsgTooManyPanels);
        host.ShowStatusText(0, text);
        host.dialogs().MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation, host.shared().msg(MsgJoystickController));
        return nullptr;
    }
    return new JstkCtrl(host, std::move(link), parent);
}

JstkCtrl::JstkCtrl(PanelHost& host, std::unique_ptr<JoystickLink> link, QWidget* parent)
    : SlotPanel(PanelClass::JstkCtrl, host, parent), link_(std::move(link))
{
    setCaption(caption() + QString::number(link_->number()));
    buildControls();
    openFirstPorts();
    for (int i = 0; i < Slots; ++i)
        setCode(i, i < FireA ? PanCode : core(i).code, i >= FireA);
    model_.setSensitivity(DefaultSensitivity);
    // Where the stick rests now is its centre.
    if (const auto at = link_->read())
        model_.start(*at);
    else
        lost_ = true;
    joyPoll_ = new QTimer(this);
    joyPoll_->setObjectName(QStringLiteral("JoyPoll"));
    joyPoll_->setInterval(DefaultPoll);
    connect(joyPoll_, &QTimer::timeout, this, &JstkCtrl::JoyPoll_Timer);
    joyPoll_->start();
    makeCurrent(0);
}

JstkCtrl::~JstkCtrl() = default;

void JstkCtrl::buildControls()
{
    constexpr int left = 30, pitch = 50, width = 48;
    for (int i = 0; i < Slots; ++i) {
        const int x = left + i * pitch;
        captions_[size_t(i)] =
            makePanelLabel(this, QStringLiteral("Label3") + QString::number(i),
                           QString::fromLatin1(SlotCaptions[i]), palette().color(QPalette::WindowText), false);
        captions_[size_t(i)]->setGeometry(x, 27, width, 24);
        captions_[size_t(i)]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        captions_[size_t(i)]->setWordWrap(true);
        if (i < FireA)
            buildSlotLabels(i);
        else
            buildSlotLabels(i, QStringLiteral("RCntrlLbl"), i - FireA);
        core(i).cntrlLbl->setGeometry(x, 52, width, 27);
        core(i).chanLbl->setGeometry(x + 8, 120, width - 16, 14);
        core(i).portLbl->setGeometry(x + 8, 134, width - 16, 14);
    }
    for (int a = 0; a < 2; ++a) {
        Axis& axis = axes_[size_t(a)];
        const int x = left + a * pitch;
        const QString n = QString::number(a);
        axis.value = makePanelLabel(this, a == XAxis ? QStringLiteral("Xval") : QStringLiteral("Yval"),
                                    QStringLiteral("0"), ValueColor, false);
        axis.value->setGeometry(x, 80, width, 13);
        axis.value->setAlignment(Qt::AlignCenter);
        axis.center = new QCheckBox(QStringLiteral("center"), this);
        axis.center->setObjectName(QStringLiteral("CenterChk") + n);
        axis.center->setGeometry(x, 93, width + 2, 14);
        axis.reverse = new QCheckBox(QStringLiteral("rev"), this);
        axis.reverse->setObjectName(QStringLiteral("Check2") + n);
        axis.reverse->setGeometry(x, 106, width + 2, 14);
        connect(axis.center, &QCheckBox::clicked, this, [this, a] { CenterChk_Click(a); });
        connect(axis.reverse, &QCheckBox::clicked, this, [this, a] { Check2_Click(a); });
        for (QWidget* w : {static_cast<QWidget*>(axis.center), static_cast<QWidget*>(axis.reverse)}) {
            w->setStyleSheet(QStringLiteral("QCheckBox { spacing: 1px; }"));
            w->installEventFilter(this);
        }
    }
    for (int b = 0; b < 2; ++b) {
        QLabel*& label = optLbls_[size_t(b)];
        label = makePanelLabel(this, QStringLiteral("BtnOptLbl") + QString::number(b), QString(), OptionColor, true);
        label->setGeometry(left + (FireA + b) * pitch + 8, 93, width - 16, 14);
        label->installEventFilter(this);
    }
    buildSharedControls(QStringLiteral("Prt"), FireA);
    label1_->setGeometry(2, 120, 26, 14);
    label2_->setGeometry(2, 134, 26, 14);
    dupIcon_->setGeometry(2, 52, 26, 26);

    const QColor text = palette().color(QPalette::WindowText);
    auto box = [this](const QString& name, int value, int x) {
        auto* edit = new QLineEdit(QString::number(value), this);
        edit->setObjectName(name);
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        edit->setGeometry(x, 150, 24, 16);
        edit->installEventFilter(this);
        return edit;
    };
    auto slider = [this](const QString& name, int low, int high, int small, int large, int value, int x, int w) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(name);
        bar->setRange(low, high);
        bar->setSingleStep(small);
        bar->setPageStep(large);
        bar->setValue(value);
        bar->setGeometry(x, 151, w, 14);
        bar->installEventFilter(this);
        return bar;
    };
    auto caption = [this, &text](const QString& words, int x, int w) {
        QLabel* label = makePanelLabel(this, words, words, text, false);
        label->setGeometry(x, 151, w, 14);
        label->installEventFilter(this);
        return label;
    };
    pollLabels_ << caption(QStringLiteral("pollrate"), 2, 36);
    pollRate_ = box(QStringLiteral("PollRate"), DefaultPoll, 38);
    pollLabels_ << caption(QStringLiteral("ms"), 63, 12);
    pollSlider_ = slider(QStringLiteral("PollSlider"), 20, 150, 5, 30, DefaultPoll, 76, 38);
    sensLabel_ = caption(QStringLiteral("sens"), 118, 22);
    sens_ = box(QStringLiteral("Sens"), DefaultSensitivity, 140);
    percentLabel_ = caption(QStringLiteral("%"), 165, 10);
    sensSlider_ = slider(QStringLiteral("SensSlider"), 1, 100, 1, 10, DefaultSensitivity, 176, 52);
    connect(pollSlider_, &QScrollBar::valueChanged, this, &JstkCtrl::PollSlider_Change);
    connect(sensSlider_, &QScrollBar::valueChanged, this, &JstkCtrl::SensSlider_Change);
}

bool JstkCtrl::targetsPanel(int code) const { return buttonTargetsPanel(code); }

// Sending and polling.

void JstkCtrl::MidiSend(int index)
{
    if (index < FireA)
        sendValue(index, axisValue(index));
    else
        sendButtonValue(index);
}

void JstkCtrl::JoyPoll_Timer()
{
    const auto at = link_->read();
    if (!at) {
        lost_ = true;
        host_.ShowStatusText(0, shared_.msg(MsgCantPoll) + QString::number(link_->number()));
        return;
    }
    if (lost_) {
        // Back again: where it rests now is its centre, and nothing jumps.
        lost_ = false;
        model_.start(*at);
        return;
    }
    const JoyChanges found = model_.poll(*at);
    for (int a = 0; a < 2; ++a) {
        if (!found.axes[size_t(a)])
            continue;
        showAxisValue(a);
        MidiSend(a);
    }
    for (int b = 0; b < 2; ++b) {
        if (const auto down = found.buttons[size_t(b)]) {
            if (*down)
                pressDown(FireA + b);
            else
                pressUp(FireA + b);
        }
    }
}

void JstkCtrl::moveLearned(int index, int value, int maximum)
{
    if (index >= FireA) {
        SlotPanel::moveLearned(index, value, maximum);
        return;
    }
    // A learned control stands in for the stick over its whole travel.
    JoystickAxis& axis = model_.axes[size_t(index)];
    const int moved = joyMappedValue(axis.code(), static_cast<int>(value * 65535LL / maximum), axis.reverse);
    if (moved == axis.value())
        return;
    axis.setValue(moved);
    showAxisValue(index);
    MidiSend(index);
}

void JstkCtrl::showAxisValue(int axis) { axes_[size_t(axis)].value->setText(QString::number(axisValue(axis))); }

// Settings.

void JstkCtrl::PollSlider_Change(int value)
{
    pollRate_->setText(QString::number(value));
    joyPoll_->setInterval(value);
    markChanged();
}

void JstkCtrl::SensSlider_Change(int value)
{
    sens_->setText(QString::number(value));
    model_.setSensitivity(value);
    markChanged();
}

void JstkCtrl::CenterChk_Click(int axis)
{
    model_.axes[size_t(axis)].center = axes_[size_t(axis)].center->isChecked();
    markChanged();
}

void JstkCtrl::Check2_Click(int axis)
{
    model_.axes[size_t(axis)].reverse = axes_[size_t(axis)].reverse->isChecked();
    markChanged();
}

void JstkCtrl::commitBox(QLineEdit* box, QScrollBar* slider)
{
    const auto typed = parseInteger(box->text());
    box->setModified(false);
    if (!typed) {
        box->setText(QString::number(slider->value()));
        return;
    }
    const int value = std::clamp(*typed, slider->minimum(), slider->maximum());
    box->setText(QString::number(value));
    slider->setValue(value);
}

// Controller types.

void JstkCtrl::setCode(int index, int code, bool fromFile)
{
    if (index >= FireA) {
        setButtonCode(index, code, fromFile);
        return;
    }
    showCode(index, code, fromFile);
    JoystickAxis& axis = model_.axes[size_t(index)];
    axis.setCode(code);
    // A new type starts from its rest value; the stick then moves it.
    axis.setValue(code == CtrlCode::PitchBend ? 0 : faderStartValue(code));
    showAxisValue(index);
}

// The kind of a fire button's type may have changed in the editor.
void JstkCtrl::controllerEdited(int index)
{
    if (index >= FireA)
        setCode(index, core(index).code, true);
}

void JstkCtrl::setBorder(int index, bool on)
{
    SlotPanel::setBorder(index, on);
    // The fire button's caption shows it held or toggled on.
    captions_[size_t(index)]->setFrameStyle(on ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
}

void JstkCtrl::showOption(int index)
{
    if (index < FireA)
        return;
    const int message = optionWordMessage(BtnOpt(index));
    optLbls_[size_t(index - FireA)]->setText(message ? shared_.msg(message) : QString());
}

void JstkCtrl::Clone(const QString& fromTag)
{
    SlotPanel::Clone(fromTag);
    auto* source = qobject_cast<JstkCtrl*>(host_.findPanel(panelClass(), fromTag));
    if (!source || source == this)
        return;
    pollSlider_->setValue(source->pollSlider_->value());
    sensSlider_->setValue(source->sensSlider_->value());
}

void JstkCtrl::cloneSlot(int index, const SlotPanel& source)
{
    if (index >= FireA) {
        cloneButton(index, source);
        return;
    }
    const auto& from = static_cast<const JstkCtrl&>(source);
    setCode(index, source.CurCtrl(index), true);
    for (const bool center : {true, false}) {
        QCheckBox* box = center ? axes_[size_t(index)].center : axes_[size_t(index)].reverse;
        box->setChecked((center ? from.axes_[size_t(index)].center : from.axes_[size_t(index)].reverse)->isChecked());
    }
    CenterChk_Click(index);
    Check2_Click(index);
}

// Data section.

void JstkCtrl::saveSlotKeys(SectionWriter& out, int index, SlotKeys at)
{
    if (index < FireA && at == SlotKeys::AfterTarget) {
        out.keyInt(QStringLiteral("Center"), axes_[size_t(index)].center->isChecked() ? 1 : 0);
        out.keyInt(QStringLiteral("Reverse"), axes_[size_t(index)].reverse->isChecked() ? 1 : 0);
    } else if (index >= FireA && at == SlotKeys::AfterPort) {
        saveButtonKeys(out, index);
    }
}

void JstkCtrl::saveOwnKeys(SectionWriter& out)
{
    SlotPanel::saveOwnKeys(out);
    out.key(QStringLiteral("PollRate"), pollRate_->text());
    out.key(QStringLiteral("Sensitivity"), sens_->text());
}

bool JstkCtrl::loadSlotKey(int index, const QString& key, const QString& value)
{
    if (index >= FireA)
        return loadButtonKey(index, key, value);
    if (key != u"Center" && key != u"Reverse")
        return false;
    const auto number = parseSectionInt(value);
    if (!number)
        return false;
    QCheckBox* box = key == u"Center" ? axes_[size_t(index)].center : axes_[size_t(index)].reverse;
    box->setChecked(*number != 0);
    CenterChk_Click(index);
    Check2_Click(index);
    return true;
}

bool JstkCtrl::loadKey(const QString& key, const QString& value)
{
    if (key != u"PollRate" && key != u"Sensitivity")
        return SlotPanel::loadKey(key, value);
    QLineEdit* box = key == u"PollRate" ? pollRate_ : sens_;
    box->setText(value.trimmed());
    commitBox(box, key == u"PollRate" ? pollSlider_ : sensSlider_);
    return true;
}

QList<QWidget*> JstkCtrl::textControls() const
{
    QList<QWidget*> controls = SlotPanel::textControls();
    for (QLabel* label : captions_)
        controls << label;
    for (QLabel* label : optLbls_)
        controls << label;
    for (const Axis& axis : axes_)
        controls << axis.value << axis.center << axis.reverse;
    for (QLabel* label : pollLabels_)
        controls << label;
    controls << sensLabel_ << percentLabel_;
    return controls;
}

// Hints and input.

bool JstkCtrl::ownsInSlot(int index, const QObject* control) const
{
    if (index < FireA) {
        const Axis& axis = axes_[size_t(index)];
        return control == axis.center || control == axis.reverse || control == axis.value;
    }
    return control == optLbls_[size_t(index - FireA)];
}

void JstkCtrl::showOwnHint(int index, QObject* control)
{
    if (index < FireA) {
        if (control == axes_[size_t(index)].center)
            host_.ShowHint(shared_.msg(MsgCenter));
        else if (control == axes_[size_t(index)].reverse)
            host_.ShowHint(shared_.msg(MsgReverse));
        return;
    }
    const int option = BtnOpt(index);
    if (const int hint = optionHintMessage(option))
        host_.ShowHint(shared_.msg(hint) + (option == BtnOption::Auto ? shared_.msg(MsgCantChange) : QString()));
}

bool JstkCtrl::showPanelHint(QObject* control)
{
    if (control == pollRate_ || control == pollSlider_ || pollLabels_.contains(control)) {
        host_.ShowHint(shared_.msg(MsgPollRate));
        return true;
    }
    if (control == sens_ || control == sensSlider_ || control == sensLabel_) {
        host_.ShowHint(shared_.msg(MsgSensitivity));
        return true;
    }
    return false;
}

bool JstkCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pollRate_ || watched == sens_) {
        auto* box = static_cast<QLineEdit*>(watched);
        if (valueBoxEvent(box, event, [this, box] { commitBox(box, box == pollRate_ ? pollSlider_ : sensSlider_); }))
            return true;
        return SlotPanel::eventFilter(watched, event);
    }
    const int b = optLbls_[0] == watched ? 0 : optLbls_[1] == watched ? 1 : -1;
    if (b >= 0 && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // The sweep settings of a fire button that sweeps open from its option label.
        if (event->type() == QEvent::MouseButtonDblClick &&
            buttonKind(core(FireA + b).code, custom_) == ButtonKind::Continuous)
            AutoSettings_Click(FireA + b);
        else
            BtnOptLbl_Click(FireA + b);
        return true;
    }
    return SlotPanel::eventFilter(watched, event);
}

}  // namespace orvell
