#include "app/BigMsgBox.h"

#include "app/QtDialogs.h"
#include "core/Twips.h"
#include "help/MessageTable.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace orvell {

namespace {

// Message numbers of the button hints.
constexpr int MsgPromptedForName = 217;
constexpr int MsgEachRemaining = 218;
constexpr int MsgLosingChange = 219;
constexpr int MsgOtherPanelsAsk = 220;
constexpr int MsgStopExit = 221;

// Design geometry, in twips.
constexpr int TextLeft = 840;
constexpr int TextTop = 180;
constexpr int TextWidth = 3975;
constexpr int TextHeight = 675;
constexpr int ImageLeft = 240;
constexpr int Margin = 120;
constexpr int ButtonWidth = 1095;
constexpr int ButtonHeight = 375;

constexpr int ImageSize = 32;  // pixels, the usual message-box picture

}  // namespace

BigMsgBox::BigMsgBox(const QString& text, const MessageTable& messages, Hint hint, QWidget* parent)
    : QDialog(parent), hint_(std::move(hint))
{
    setObjectName(QStringLiteral("BigMsgBox"));
    setWindowTitle(QStringLiteral("Orvell"));
    setModal(true);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(ImageSize, ImageSize));
    image->setGeometry(twipsToPixels(ImageLeft), twipsToPixels(TextTop), ImageSize, ImageSize);

    auto* label = new QLabel(displayText(text), this);
    label->setObjectName(QStringLiteral("MsgText"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsToPixels(TextLeft), twipsToPixels(TextTop), twipsToPixels(TextWidth),
                       twipsToPixels(TextHeight));

    const QString& prompted = messages[MsgPromptedForName];
    const QString& losing = messages[MsgLosingChange];
    const QString& eachRemaining = messages[MsgEachRemaining];
    const struct {
        const char* name;
        const char* caption;
        BigAnswer answer;
        QString hint;
    } buttons[] = {
        {"BtnYes", "Yes", BigAnswer::Yes, prompted},
        {"BtnYesAll", "Yes To All", BigAnswer::YesToAll, prompted + eachRemaining},
        {"BtnNo", "No", BigAnswer::No, losing + messages[MsgOtherPanelsAsk]},
        {"BtnNoAll", "No To All", BigAnswer::NoToAll, losing + eachRemaining},
        {"BtnCancel", "Cancel", BigAnswer::Cancel, messages[MsgStopExit]},
    };

    // One row under the text, each button wide enough for its caption.
    int width = twipsToPixels(ButtonWidth);
    for (const auto& design : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(design.caption), this);
        button->setObjectName(QLatin1String(design.name));
        button->installEventFilter(this);
        width = std::max(width, button->sizeHint().width());
        const BigAnswer answer = design.answer;
        connect(button, &QPushButton::clicked, this, [this, answer] { finish(answer); });
        choices_.push_back({button, design.answer, design.hint});
    }
    const int margin = twipsToPixels(Margin);
    const int rowWidth = static_cast<int>(choices_.size()) * (width + margin) - margin;
    const int boxWidth = std::max(rowWidth + 2 * margin, twipsToPixels(TextLeft + TextWidth + Margin));
    const int top = twipsToPixels(TextTop + TextHeight + Margin);
    const int height = std::max(twipsToPixels(ButtonHeight), choices_.front().button->sizeHint().height());
    int left = (boxWidth - rowWidth) / 2;
    for (const Choice& choice : choices_) {
        choice.button->setGeometry(left, top, width, height);
        left += width + margin;
    }
    choices_.front().button->setDefault(true);
    setFixedSize(boxWidth, top + height + margin);
}

BigAnswer BigMsgBox::ask(QWidget* parent, const QString& text, const MessageTable& messages, Hint hint)
{
    BigMsgBox box(text, messages, std::move(hint), parent);
    box.exec();
    return box.answer();
}

void BigMsgBox::reject() { finish(BigAnswer::Cancel); }

void BigMsgBox::finish(BigAnswer answer)
{
    answer_ = answer;
    done(static_cast<int>(answer));
}

bool BigMsgBox::eventFilter(QObject* watched, QEvent* event)
{
    if (hint_) {
        for (const Choice& choice : choices_) {
            if (choice.button != watched)
                continue;
            // Cancel explains itself when pressed; the others as the mouse comes over them.
            const QEvent::Type shows =
                choice.answer == BigAnswer::Cancel ? QEvent::MouseButtonPress : QEvent::Enter;
            if (event->type() == shows)
                hint_(choice.hint);
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orvell
