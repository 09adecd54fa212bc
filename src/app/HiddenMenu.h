#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace orvell {

class MessageTable;

// "Hidden Panels": lists the hidden panels by name and hands back the one the
// user picks. A double-click on a name, or OK with a name selected, picks it;
// Cancel, OK with nothing selected, or closing the window picks none.
class HiddenMenu : public QDialog {
    Q_OBJECT

public:
    using Hint = std::function<void(const QString&)>;
    // A panel's name and the caller's id for it.
    using Entries = QList<QPair<QString, int>>;

    HiddenMenu(const Entries& entries, const MessageTable& messages, Hint hint = {}, QWidget* parent = nullptr);

    // The id picked when the window closed; nothing before that or when none was.
    std::optional<int> chosen() const { return chosen_; }

    // Shows the window modally and waits for the choice.
    static std::optional<int> choose(QWidget* parent, const Entries& entries, const MessageTable& messages,
                                     Hint hint = {});

private:
    void pick(const QListWidgetItem* item);
    void OkBtn_Click();

    QListWidget* list_ = nullptr;
    QPushButton* okBtn_ = nullptr;
    QPushButton* cancelBtn_ = nullptr;
    std::optional<int> chosen_;
};

}  // namespace orvell
