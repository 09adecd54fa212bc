#include "controllers/CtrlEdit.h"

#include "core/Numeric.h"
#include "core/Twips.h"
#include "help/MessageTable.h"
#include "panels/Dialogs.h"
#include "panels/HoverHints.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace orvell {

namespace {

constexpr int MsgNumericName = 154;
constexpr int MsgBackgroundHint = 155;
constexpr int MsgNameHint = 156;
constexpr int MsgOnOffHint = 157;
constexpr int MsgNoDataHint = 158;
constexpr int MsgOkHint = 160;
constexpr int MsgCancelHint = 161;
constexpr int MsgDelHint = 162;

constexpr int MaxNameLength = 13;

// Design geometry, in twips.
constexpr int Margin = 120;
constexpr int NameWidth = 2415;
constexpr int RowHeight = 315;
constexpr int ButtonWidth = 735;
constexpr int ButtonHeight = 375;
constexpr int Gap = 105;

// Numbers 0..63 are continuous by the MIDI standard, 96 and 97 are the data
// step commands and everything above 119 is a mode message or a special
// code: the kind of these is fixed.
bool kindIsOpen(int code, bool continuousOnly)
{
    if (continuousOnly)
        return false;
    return code >= 64 && code <= 119 && code != 96 && code != 97;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

}  // namespace

CtrlEdit::CtrlEdit(const CtrlEditRequest& request, const MessageTable& messages, Dialogs& dialogs, Hint hint,
                   QWidget* parent)
    : QDialog(parent), messages_(messages), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("CtrlEdit"));
    setWindowTitle(QStringLiteral("Customize Controller") + u' ' + QString::number(request.code));

    int top = Margin;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("CName"));
    name_->setMaxLength(MaxNameLength);
    // "|" separates the fields of the saved entry, so a name cannot hold it.
    name_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^|]*")), name_));
    name_->setText(request.name);
    name_->setGeometry(twipsRect(Margin, top, NameWidth, RowHeight));
    connect(name_, &QLineEdit::returnPressed, this, &CtrlEdit::OkBtn_Click);

    top += RowHeight + Gap;
    onOff_ = new QCheckBox(QStringLiteral("On/Off Control"), this);
    onOff_->setObjectName(QStringLiteral("OnOffChk"));
    onOff_->setChecked(request.isOnOff);
    onOff_->setGeometry(twipsRect(Margin, top, NameWidth, RowHeight));
    onOff_->setVisible(kindIsOpen(request.code, request.continuousOnly));
    connect(onOff_, &QCheckBox::toggled, this, &CtrlEdit::OnOffChk_Click);

    top += RowHeight + Gap;
    noData_ = new QCheckBox(QStringLiteral("No Data"), this);
    noData_->setObjectName(QStringLiteral("DataChk"));
    noData_->setChecked(request.isOnOff && !request.canTogl);
    noData_->setGeometry(twipsRect(Margin, top, NameWidth, RowHeight));
    OnOffChk_Click();

    top += RowHeight + Gap;
    auto makeButton = [&](const char* name, const char* text, int column) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        // Enter is handled by CName alone, so it never presses a button too.
        button->setAutoDefault(false);
        button->setGeometry(twipsRect(Margin + column * (ButtonWidth + Gap), top, ButtonWidth, ButtonHeight));
        return button;
    };
    okBtn_ = makeButton("OkBtn", "OK", 0);
    cancelBtn_ = makeButton("CancelBtn", "Cancel", 1);
    delBtn_ = makeButton("DelBtn", "Del", 2);
    delBtn_->setEnabled(request.isCustom);
    connect(okBtn_, &QPushButton::clicked, this, &CtrlEdit::OkBtn_Click);
    connect(cancelBtn_, &QPushButton::clicked, this, &CtrlEdit::reject);
    connect(delBtn_, &QPushButton::clicked, this, &CtrlEdit::DelBtn_Click);

    auto* hints = new HoverHints(std::move(hint), this);
    const std::pair<QWidget*, int> hinted[] = {{this, MsgBackgroundHint}, {name_, MsgNameHint},
                                               {onOff_, MsgOnOffHint},    {noData_, MsgNoDataHint},
                                               {okBtn_, MsgOkHint},       {cancelBtn_, MsgCancelHint},
                                               {delBtn_, MsgDelHint}};
    for (const auto& [widget, message] : hinted)
        hints->add(widget, messages_[message]);

    setFixedSize(twipsToPixels(Margin + 3 * ButtonWidth + 2 * Gap + Margin),
                 twipsToPixels(top + ButtonHeight + Margin));
}

std::optional<CtrlEditResult> CtrlEdit::ask(QWidget* parent, const CtrlEditRequest& request,
                                            const MessageTable& messages, Dialogs& dialogs, Hint hint)
{
    CtrlEdit edit(request, messages, dialogs, std::move(hint), parent);
    edit.setModal(true);
    edit.exec();
    return edit.outcome();
}

void CtrlEdit::OnOffChk_Click()
{
    // Only a visible, checked On/Off box offers the choice of a data value.
    noData_->setVisible(!onOff_->isHidden() && onOff_->isChecked());
}

CtrlEditResult CtrlEdit::current(bool deleted) const
{
    // A hidden On/Off box still holds the record's kind: hiding it only stops
    // the user changing a kind that is fixed, it must not turn a one-shot
    // such as All Notes Off into a continuous controller.
    return {name_->text(), onOff_->isChecked(), !noData_->isChecked(), deleted};
}

void CtrlEdit::OkBtn_Click()
{
    if (parseNumber(name_->text())) {
        if (dialogs_.MsgBox(messages_[MsgNumericName], MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
            name_->setFocus();
            name_->selectAll();
            return;
        }
    }
    outcome_ = current(false);
    accept();
}

void CtrlEdit::DelBtn_Click()
{
    outcome_ = current(true);
    accept();
}

void CtrlEdit::reject()
{
    outcome_.reset();
    QDialog::reject();
}

}  // namespace orvell
