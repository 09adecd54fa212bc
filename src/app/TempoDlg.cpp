#include "app/TempoDlg.h"

#include "core/Numeric.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgDiscard = 161,
    MsgTempoHint = 244,
};

constexpr int MinTempo = 10;
constexpr int MaxTempo = 250;

}  // namespace

TempoDlg::TempoDlg(PanelHost& host, int tempo, QWidget* parent) : QDialog(parent), host_(host), result_(tempo)
{
    setObjectName(QStringLiteral("TempoDlg"));
    setWindowTitle(QStringLiteral("Tempo"));
    setModal(true);

    TempoVal = new QLineEdit(QString::number(tempo), this);
    TempoVal->setObjectName(QStringLiteral("TempoVal"));
    TempoVal->setMaxLength(3);
    TempoVal->setMaximumWidth(48);
    TempoScrol = new QScrollBar(Qt::Horizontal, this);
    TempoScrol->setObjectName(QStringLiteral("TempoScrol"));
    TempoScrol->setRange(MinTempo, MaxTempo);
    TempoScrol->setPageStep(10);
    TempoScrol->setValue(tempo);
    TempoScrol->setMinimumWidth(160);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setAutoDefault(false);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(TempoVal, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("BPM"), this), 0, 1);
    grid->addWidget(TempoScrol, 1, 0, 1, 2);
    grid->addWidget(OkBtn, 2, 0);
    grid->addWidget(CancelBtn, 2, 1);

    for (QWidget* w : std::initializer_list<QWidget*>{TempoVal, TempoScrol, OkBtn, CancelBtn})
        w->installEventFilter(this);
    connect(TempoScrol, &QScrollBar::valueChanged, this,
            [this](int value) { TempoVal->setText(QString::number(value)); });
    connect(OkBtn, &QPushButton::clicked, this, [this] {
        take();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TempoDlg::take() { result_ = TempoScrol->value(); }

void TempoDlg::closeEvent(QCloseEvent* event)
{
    take();
    QDialog::closeEvent(event);
}

bool TempoDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == TempoVal) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A typed tempo moves the scroll bar, clamped; other text reverts.
            if (auto number = parseInteger(TempoVal->text()))
                TempoScrol->setValue(std::clamp(*number, MinTempo, MaxTempo));
            TempoVal->setText(QString::number(TempoScrol->value()));
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut && watched == TempoVal) {
        if (auto number = parseInteger(TempoVal->text()))
            TempoScrol->setValue(std::clamp(*number, MinTempo, MaxTempo));
        TempoVal->setText(QString::number(TempoScrol->value()));
    }
    if (event->type() == QEvent::Enter || event->type() == QEvent::FocusIn)
        host_.ShowHint(host_.shared().msg(watched == CancelBtn ? MsgDiscard : MsgTempoHint));
    return QDialog::eventFilter(watched, event);
}

}  // namespace orvell
