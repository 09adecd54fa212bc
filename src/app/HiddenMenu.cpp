#include "app/HiddenMenu.h"

#include "panels/HoverHints.h"

#include "core/Twips.h"
#include "help/MessageTable.h"

#include <QEvent>
#include <QListWidget>
#include <QPushButton>

namespace orvell {

namespace {

constexpr int MsgListHint = 235;
constexpr int MsgOkHint = 236;
constexpr int MsgCancelHint = 237;

// Design geometry, in twips.
constexpr int ListLeft = 120;
constexpr int ListTop = 120;
constexpr int ListWidth = 2355;
constexpr int ListHeight = 1620;
constexpr int Margin = 120;
constexpr int ButtonWidth = 1095;
constexpr int ButtonHeight = 375;

constexpr int IdRole = Qt::UserRole;

}  // namespace

HiddenMenu::HiddenMenu(const Entries& entries, const MessageTable& messages, Hint hint, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("HiddenMenu"));
    setWindowTitle(QStringLiteral("Hidden Panels"));
    setModal(true);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("HiddenList"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setGeometry(twipsToPixels(ListLeft), twipsToPixels(ListTop), twipsToPixels(ListWidth),
                       twipsToPixels(ListHeight));
    for (const auto& [name, id] : entries) {
        auto* item = new QListWidgetItem(name, list_);
        item->setData(IdRole, id);
    }
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { pick(item); });

    // The buttons stand in a column right of the list.
    const int left = ListLeft + ListWidth + Margin;
    okBtn_ = new QPushButton(QStringLiteral("OK"), this);
    okBtn_->setObjectName(QStringLiteral("OkBtn"));
    okBtn_->setGeometry(twipsToPixels(left), twipsToPixels(ListTop), twipsToPixels(ButtonWidth),
                        twipsToPixels(ButtonHeight));
    okBtn_->setDefault(true);
    connect(okBtn_, &QPushButton::clicked, this, &HiddenMenu::OkBtn_Click);

    cancelBtn_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelBtn_->setObjectName(QStringLiteral("CancelBtn"));
    cancelBtn_->setGeometry(twipsToPixels(left), twipsToPixels(ListTop + ButtonHeight + Margin),
                            twipsToPixels(ButtonWidth), twipsToPixels(ButtonHeight));
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);

    auto* hints = new HoverHints(std::move(hint), this);
    hints->add(list_, messages[MsgListHint]);
    hints->add(okBtn_, messages[MsgOkHint]);
    hints->add(cancelBtn_, messages[MsgCancelHint]);

    setFixedSize(twipsToPixels(left + ButtonWidth + Margin), twipsToPixels(ListTop + ListHeight + Margin));
}

std::optional<int> HiddenMenu::choose(QWidget* parent, const Entries& entries, const MessageTable& messages,
                                      Hint hint)
{
    HiddenMenu menu(entries, messages, std::move(hint), parent);
    menu.exec();
    return menu.chosen();
}

void HiddenMenu::pick(const QListWidgetItem* item)
{
    chosen_ = item->data(IdRole).toInt();
    accept();
}

void HiddenMenu::OkBtn_Click()
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty())
        reject();
    else
        pick(selected.front());
}

}  // namespace orvell
