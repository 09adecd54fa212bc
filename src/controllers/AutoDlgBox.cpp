#include "controllers/AutoDlgBox.h"

#include "core/Numeric.h"
#include "help/MessageTable.h"
#include "panels/Dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgStartHint = 147,
    MsgEndHint = 148,
    MsgDurationHint = 149,
    MsgNumericName = 154,
    MsgNameHint = 156,
    MsgOkHint = 160,
    MsgCancelHint = 161,
    MsgBackgroundHint = 163,
    MsgRepeatHint = 200,
    MsgTriangleHint = 201,
    MsgRampHint = 202,
};

constexpr int DurationSmallStep = 50;
constexpr int DurationLargeStep = 500;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const char* name, QRect geometry)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAlignment(Qt::AlignCenter);
    box->setMaxLength(6);
    box->setGeometry(geometry);
    return box;
}

}  // namespace

AutoDlgBox::AutoDlgBox(const QString& controllerName, int code, const AutoSettings& stored,
                       const MessageTable& messages, Dialogs& dialogs, Hint hint, QWidget* parent)
    : QDialog(parent), messages_(messages), dialogs_(dialogs), hint_(std::move(hint)), code_(code),
      range_(faderRange(code, true))
{
    setObjectName(QStringLiteral("AutoDlgBox"));
    setWindowTitle(controllerName + QStringLiteral(" Auto Settings"));
    buildControls();

    const AutoSettings shown = dialogAutoSettings(stored, code);
    name_->setText(shown.AMCName);
    startScrol_->setValue(shown.Astart);
    startVal_->setText(QString::number(startScrol_->value()));
    endScrol_->setValue(shown.Aend);
    endVal_->setText(QString::number(endScrol_->value()));
    activeScrol_->setValue(snapDuration(shown.Aduration));
    ActiveScrol_Change(activeScrol_->value());
    repeatChk_->setChecked(shown.ARepeat);
    (shown.ATriangle ? triangle_ : ramp_)->setChecked(true);
    updateRepeat();

    connect(activeScrol_, &QScrollBar::valueChanged, this, &AutoDlgBox::ActiveScrol_Change);
    for (auto [bar, box] : {std::pair{startScrol_, startVal_}, std::pair{endScrol_, endVal_}}) {
        connect(bar, &QScrollBar::valueChanged, this, [this, box = box](int value) {
            box->setText(QString::number(value));
            updateRepeat();
        });
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, bar = bar, box = box](int action) { onValueAction(bar, box, action); });
    }
    connect(repeatChk_, &QCheckBox::toggled, this, &AutoDlgBox::RepeatChk_Click);
}

void AutoDlgBox::buildControls()
{
    nameLbl_ = makeLabel(this, "NameLbl", QStringLiteral("Name"), {8, 8, 40, 20});
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("CName"));
    name_->setMaxLength(MaxAutoNameLength);
    name_->setGeometry(50, 8, 130, 20);

    auto makeBar = [this](const char* name, QRect geometry) {
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setRange(range_.lower, range_.upper);
        bar->setSingleStep(range_.smallChange);
        bar->setPageStep(range_.largeChange);
        // Qt keeps the low end at the top; turned over, the top is high.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(false);
        bar->setGeometry(geometry);
        auto* mid = new QFrame(this);
        mid->setObjectName(QStringLiteral("MidPt") + QString::fromLatin1(name).left(3));
        mid->setStyleSheet(QStringLiteral("background-color: rgb(0, 128, 0);"));
        mid->setGeometry(geometry.left() - 5, geometry.center().y(), 4, 2);
        return bar;
    };
    startLbl_ = makeLabel(this, "Label8", QStringLiteral("S t  a  r t"), {40, 36, 50, 16});
    endLbl_ = makeLabel(this, "Label9", QStringLiteral("E n d"), {110, 36, 50, 16});
    startScrol_ = makeBar("StartScrol", {56, 56, 18, 110});
    endScrol_ = makeBar("EndScrol", {126, 56, 18, 110});
    startVal_ = makeBox(this, "StartVal", {40, 170, 50, 20});
    endVal_ = makeBox(this, "EndVal", {110, 170, 50, 20});
    dMaxLbl_ = makeLabel(this, "DMaxLbl", QString::number(range_.upper), {2, 56, 38, 16});
    dMinLbl_ = makeLabel(this, "DMinLbl", QString::number(range_.lower), {2, 150, 38, 16});

    activeLbl_ = makeLabel(this, "Label5", QStringLiteral("Active Time"), {8, 198, 70, 16});
    activeScrol_ = new QScrollBar(Qt::Horizontal, this);
    activeScrol_->setObjectName(QStringLiteral("ActiveScrol"));
    activeScrol_->setRange(0, MaxAutoDuration);
    activeScrol_->setSingleStep(DurationSmallStep);
    activeScrol_->setPageStep(DurationLargeStep);
    activeScrol_->setGeometry(8, 216, 172, 18);
    activeVal_ = makeBox(this, "ActiveVal", {80, 196, 60, 20});
    timeUnits_ = makeLabel(this, "TimeUnits", QStringLiteral("ms"), {142, 198, 30, 16});

    repeatChk_ = new QCheckBox(QStringLiteral("Repeat"), this);
    repeatChk_->setObjectName(QStringLiteral("RepeatChk"));
    repeatChk_->setGeometry(8, 242, 70, 20);
    triangle_ = new QRadioButton(QStringLiteral("Triangle"), this);
    triangle_->setObjectName(QStringLiteral("RptOptn0"));
    triangle_->setGeometry(80, 242, 80, 20);
    ramp_ = new QRadioButton(QStringLiteral("Ramp"), this);
    ramp_->setObjectName(QStringLiteral("RptOptn1"));
    ramp_->setGeometry(80, 262, 80, 20);

    auto makeButton = [this](const char* name, const char* text, int x) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        // Enter belongs to the entry boxes, so it never presses a button too.
        button->setAutoDefault(false);
        button->setGeometry(x, 290, 80, 26);
        return button;
    };
    okBtn_ = makeButton("OkBtn", "OK", 8);
    cancelBtn_ = makeButton("CancelBtn", "Cancel", 100);
    connect(okBtn_, &QPushButton::clicked, this, &AutoDlgBox::OkBtn_Click);
    connect(cancelBtn_, &QPushButton::clicked, this, &AutoDlgBox::reject);

    for (QWidget* w : std::initializer_list<QWidget*>{this, name_, startScrol_, startVal_, endScrol_, endVal_,
                                                      startLbl_, endLbl_, activeScrol_, activeVal_, activeLbl_,
                                                      timeUnits_, repeatChk_, triangle_, ramp_, okBtn_, cancelBtn_})
        w->installEventFilter(this);
    setFixedSize(190, 324);
}

AutoSettings AutoDlgBox::current() const
{
    AutoSettings settings;
    settings.AMCName = name_->text();
    settings.Aduration = activeScrol_->value();
    settings.Astart = startScrol_->value();
    settings.Aend = endScrol_->value();
    settings.ARepeat = repeatChk_->isChecked();
    settings.ATriangle = triangle_->isChecked();
    settings.AIsSet = true;
    return settings;
}

void AutoDlgBox::ActiveScrol_Change(int value)
{
    const int snapped = snapDuration(value);
    if (snapped != value) {
        activeScrol_->setValue(snapped);  // comes back here with the snapped value
        return;
    }
    const DurationText text = durationText(value);
    activeVal_->setText(text.value);
    timeUnits_->setText(text.unit);
    updateRepeat();
}

void AutoDlgBox::ActiveVal_KeyPress()
{
    // The box shows seconds from one second up; what is typed is read in the unit shown.
    const auto number = parseNumber(activeVal_->text());
    if (!number) {
        ActiveScrol_Change(activeScrol_->value());
        return;
    }
    const double factor = timeUnits_->text() == u"s" ? 1000.0 : 1.0;
    const int ms = roundHalfEven(std::clamp(*number * factor, 0.0, double(MaxAutoDuration)));
    if (snapDuration(ms) == activeScrol_->value())
        ActiveScrol_Change(activeScrol_->value());
    else
        activeScrol_->setValue(ms);
    activeVal_->selectAll();
}

void AutoDlgBox::valueBox_KeyPress(QScrollBar* bar, QLineEdit* box)
{
    const TypedValue typed = typedFaderValue(box->text(), range_, bar->value());
    if (typed.action == TypedValue::Action::Move)
        bar->setValue(typed.value);
    box->setText(QString::number(bar->value()));
    box->selectAll();
}

void AutoDlgBox::onValueAction(QScrollBar* bar, QLineEdit* box, int action)
{
    if (action != QAbstractSlider::SliderMove || !bar->isSliderDown())
        return;
    const int position = bar->sliderPosition();
    const int shown = dragSnap(code_, position);
    if (shown != position)
        bar->setSliderPosition(shown);
    box->setText(QString::number(shown));
}

void AutoDlgBox::RepeatChk_Click()
{
    const bool repeat = !repeatChk_->isHidden() && repeatChk_->isChecked();
    triangle_->setVisible(repeat);
    ramp_->setVisible(repeat);
}

void AutoDlgBox::updateRepeat()
{
    repeatChk_->setVisible(repeatOffered(startScrol_->value(), endScrol_->value(), activeScrol_->value()));
    RepeatChk_Click();
}

void AutoDlgBox::CName_KeyPress()
{
    if (!parseNumber(name_->text()))
        return;
    if (dialogs_.MsgBox(messages_[MsgNumericName], MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
        name_->setFocus();
        name_->selectAll();
    }
}

void AutoDlgBox::OkBtn_Click()
{
    // A value typed and not yet entered counts, as leaving its box would.
    valueBox_KeyPress(startScrol_, startVal_);
    valueBox_KeyPress(endScrol_, endVal_);
    if (activeVal_->isModified())
        ActiveVal_KeyPress();
    outcome_ = current();
    accept();
}

void AutoDlgBox::reject()
{
    outcome_.reset();
    QDialog::reject();
}

int AutoDlgBox::hintFor(QObject* watched) const
{
    if (watched == name_)
        return MsgNameHint;
    if (watched == startScrol_ || watched == startVal_ || watched == startLbl_)
        return MsgStartHint;
    if (watched == endScrol_ || watched == endVal_ || watched == endLbl_)
        return MsgEndHint;
    if (watched == activeScrol_ || watched == activeVal_ || watched == activeLbl_ || watched == timeUnits_)
        return MsgDurationHint;
    if (watched == repeatChk_)
        return MsgRepeatHint;
    if (watched == triangle_)
        return MsgTriangleHint;
    if (watched == ramp_)
        return MsgRampHint;
    if (watched == okBtn_)
        return MsgOkHint;
    if (watched == cancelBtn_)
        return MsgCancelHint;
    return watched == this ? MsgBackgroundHint : 0;
}

bool AutoDlgBox::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter && hint_) {
        if (const int message = hintFor(watched))
            hint_(messages_[message]);
    } else if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == name_)
                CName_KeyPress();
            else if (watched == startVal_)
                valueBox_KeyPress(startScrol_, startVal_);
            else if (watched == endVal_)
                valueBox_KeyPress(endScrol_, endVal_);
            else if (watched == activeVal_)
                ActiveVal_KeyPress();
            else
                return QDialog::eventFilter(watched, event);
            return true;
        }
    } else if (type == QEvent::FocusOut) {
        // Leaving a box acts as Enter.
        if (watched == startVal_ && startVal_->isModified())
            valueBox_KeyPress(startScrol_, startVal_);
        else if (watched == endVal_ && endVal_->isModified())
            valueBox_KeyPress(endScrol_, endVal_);
        else if (watched == activeVal_ && activeVal_->isModified())
            ActiveVal_KeyPress();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orvell
