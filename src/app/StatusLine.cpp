#include "app/StatusLine.h"

#include "core/Twips.h"
#include "help/MessageTable.h"
#include "panels/CompactFont.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgMidiMessages = 110,
    MsgMessageStatus = 111,
    MsgObjectHelp = 112,
    MsgLogHelp = 145,
    MsgViewLog = 183,
    MsgHideLog = 184,
    MsgFullWidthHelp = 190,
    MsgRestoreHelp = 191,
    MsgPanelCounter = 234,
    MsgLogCleared = 243,
};

// Design positions in twips: left, width.
struct FieldPlace {
    int left;
    int width;
};
// The log button and the empty part that moves the bar are a toolbar
// button's size, so they are easy to hit.
constexpr int ClickWidth = 330;
constexpr int BarHeightTwips = 315;
constexpr FieldPlace LogButtonPlace = {330, ClickWidth};
// Field 0 ends where field 1 begins, so the outcome never covers the
// description; field 1 is wide enough for "Loaded" in the program's font.
// The empty part lies between field 1 and field 2.
constexpr std::array<FieldPlace, 4> FieldPlaces = {{{675, 2220}, {2895, 900}, {3795 + ClickWidth, 2355}, {0, 315}}};
constexpr int DesignBarWidth = 7068;
constexpr int LogRowsShown = 12;

}  // namespace

StatusLine::StatusLine(const MessageTable& msgs, QWidget* parent) : QWidget(parent), msgs_(msgs)
{
    setFixedHeight(twipsToPixels(BarHeightTwips));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFont(compactFont(font()));
    for (size_t i = 0; i < fields_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAutoFillBackground(true);
        label->setTextFormat(Qt::PlainText);
        label->setObjectName(QStringLiteral("Message%1").arg(i));
        label->installEventFilter(this);
        fields_[i] = label;
    }
    fields_[3]->setAlignment(Qt::AlignCenter);

    logButton_ = new QToolButton(this);
    logButton_->setObjectName(QStringLiteral("MsgLogBtn"));
    logButton_->setCheckable(true);
    logButton_->setAutoRaise(true);
    logButton_->setIcon(QIcon(QStringLiteral(":/toolbar/MsgLogBtn.svg")));
    logButton_->installEventFilter(this);
    // The release that ends a double-click is no click of the button, and
    // must not reach the bar, where a click moves it.
    logButton_->setAttribute(Qt::WA_NoMousePropagation);
    connect(logButton_, &QToolButton::clicked, this, [this] { MsgLogBtn_Click(); });

    layoutFields();
}

void StatusLine::ShowStatusText(int field, const QString& text)
{
    if (field < 0 || field > 3)
        return;
    QLabel* label = fields_[static_cast<size_t>(field)];
    label->setText(u' ' + text);
    label->setToolTip(text);  // the whole text when the field is too narrow
    if (!logging_ || field > 1)
        return;
    // A description opens an entry; the outcome that follows completes it.
    const QString entry = fieldText(0) + QStringLiteral("     ") + (field == 1 ? fieldText(1) : QString());
    if (field == 1 && pairOpen_) {
        log_.last() = entry;
        if (logView_ && logView_->count() > 0)
            logView_->item(logView_->count() - 1)->setText(entry);
    } else {
        addLogEntry(entry);
    }
    pairOpen_ = field == 0;
}

QString StatusLine::fieldText(int field) const
{
    if (field < 0 || field > 3)
        return {};
    return fields_[static_cast<size_t>(field)]->text();
}

void StatusLine::addLogEntry(const QString& entry)
{
    log_.append(entry);
    if (logView_)
        logView_->addItem(entry);
    if (log_.size() > MaxLogEntries) {
        log_.remove(0, LogTrim);
        if (logView_) {
            for (int i = 0; i < LogTrim; ++i)
                delete logView_->takeItem(0);
        }
    }
}

void StatusLine::ClearStatus()
{
    for (int i = 0; i < 3; ++i)
        clearField(i);
    pairOpen_ = false;
}

void StatusLine::clearField(int field)
{
    if (field >= 0 && field <= 3)
        fields_[static_cast<size_t>(field)]->clear();
}

void StatusLine::ShowHint(const QString& text)
{
    if (!keep_)
        ShowStatusText(2, text);
}

void StatusLine::setPanelCounter(const QString& text) { fields_[3]->setText(text); }

void StatusLine::MsgLogBtn_Click()
{
    logging_ = !logging_;
    logButton_->setChecked(logging_);
    pairOpen_ = false;
    if (!logging_)
        showLog(false);
}

void StatusLine::MsgLogBtn_DblClick()
{
    log_.clear();
    if (logView_)
        logView_->clear();
    logging_ = false;
    logButton_->setChecked(false);
    pairOpen_ = false;
    showLog(false);
    ShowStatusText(0, msgs_[MsgLogCleared]);
}

bool StatusLine::logShown() const { return logView_ && logView_->isVisible(); }

void StatusLine::showLog(bool show)
{
    if (!show) {
        if (logView_)
            logView_->hide();
        return;
    }
    QWidget* host = window();
    if (!logView_ || logView_->parentWidget() != host) {
        delete logView_;
        logView_ = new QListWidget(host);
        logView_->setObjectName(QStringLiteral("MessageLog"));
        logView_->setFont(font());
        logView_->addItems(log_);
    }
    // Over fields 0 and 1, opening away from the edge the bar sits on.
    const QPoint topLeft = fields_[0]->mapTo(host, QPoint(0, 0));
    // At least as wide as fields 0 and 1, wider when the entries need it.
    const int fieldsWidth = fields_[1]->geometry().right() - fields_[0]->geometry().left() + 1;
    const int textWidth = logView_->sizeHintForColumn(0) + 2 * logView_->frameWidth() +
                          logView_->verticalScrollBar()->sizeHint().width() + 4;
    const int width = std::clamp(textWidth, fieldsWidth, std::max(fieldsWidth, host->width() - topLeft.x()));
    const int rows = std::min<int>(LogRowsShown, std::max<qsizetype>(1, log_.size()));
    const int rowHeight = std::max(logView_->sizeHintForRow(0), logView_->fontMetrics().height() + 2);
    const int height = rows * rowHeight + 2 * logView_->frameWidth() +
                       (textWidth > width ? logView_->horizontalScrollBar()->sizeHint().height() : 0);
    const bool opensDown = topLeft.y() < host->height() / 2;
    const int top = opensDown ? topLeft.y() + this->height() : topLeft.y() - height;
    logView_->setGeometry(topLeft.x(), std::max(0, top), width, height);
    logView_->scrollToBottom();
    logView_->raise();
    logView_->show();
}

void StatusLine::Message_MouseDown(int field)
{
    switch (field) {
    case 0:
    case 1:
        ShowStatusText(2, msgs_[field == 0 ? MsgMidiMessages : MsgMessageStatus] +
                              msgs_[logShown() ? MsgHideLog : MsgViewLog]);
        break;
    case 2:
        ShowStatusText(2, msgs_[MsgObjectHelp] + msgs_[fullWidth_ ? MsgRestoreHelp : MsgFullWidthHelp]);
        break;
    case 3:
        ShowStatusText(2, msgs_[MsgPanelCounter]);
        break;
    default:
        break;
    }
}

void StatusLine::Message_Click(int field)
{
    if (field == 0 || field == 1) {
        if (logShown())
            showLog(false);
        else if (!log_.isEmpty())
            showLog(true);
    } else if (field == 2) {
        fullWidth_ = !fullWidth_;
        layoutFields();
    }
}

QSize StatusLine::sizeHint() const
{
    const FieldPlace& hint = FieldPlaces[2];
    return {twipsToPixels(hint.left + hint.width), height()};
}

QSize StatusLine::minimumSizeHint() const { return {twipsToPixels(FieldPlaces[2].left), height()}; }

void StatusLine::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutFields();
}

void StatusLine::layoutFields()
{
    // At the design width the fields sit at their design places; a wider bar
    // gives half of the extra room to field 0, the rest to the hint field.
    const int h = height();
    const int extra = std::max(0, width() - twipsToPixels(DesignBarWidth)) / 2;
    for (size_t i = 0; i < fields_.size(); ++i) {
        int left = twipsToPixels(FieldPlaces[i].left);
        int fieldWidth = twipsToPixels(FieldPlaces[i].width);
        if (i == 0)
            fieldWidth += extra;
        if (i == 1 || i == 2)
            left += extra;
        if (i == 2)
            fieldWidth = std::max(fieldWidth, width() - left);
        fields_[i]->setGeometry(left, 0, fieldWidth, h);
    }
    if (fullWidth_) {
        fields_[2]->setGeometry(0, 0, width(), h);
        fields_[2]->raise();
    }
    logButton_->setGeometry(twipsToPixels(LogButtonPlace.left), 0, twipsToPixels(LogButtonPlace.width), h);
}

bool StatusLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == logButton_) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            MsgLogBtn_DblClick();
            logButton_->setDown(false);  // pressed by the second press
            return true;
        }
        if (event->type() == QEvent::Enter)
            ShowHint(msgs_[MsgLogHelp]);
        return false;
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (watched != fields_[i])
            continue;
        // A quick second click arrives as a double-click; it counts as a press.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            Message_MouseDown(static_cast<int>(i));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (fields_[i]->rect().contains(mouse->position().toPoint()))
                Message_Click(static_cast<int>(i));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvell
