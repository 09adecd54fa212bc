#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace orvell {

class Dialogs;
class MessageTable;

// The controller being customised and where it lives.
struct CtrlEditRequest {
    int code = 0;
    QString name;
    bool isOnOff = false;
    bool canTogl = false;
    bool continuousOnly = false;  // the panel takes no On/Off types
    bool isCustom = false;        // the entry is in the panel's own list, so it can be deleted
};

// What the user decided: the edited entry, or `deleted` to drop the panel's
// own entry and fall back to the built-in one.
struct CtrlEditResult {
    QString name;
    bool isOnOff = false;
    bool canTogl = false;
    bool deleted = false;

    bool operator==(const CtrlEditResult&) const = default;
};

// "Customize Controller": renames a controller and sets its kind for one panel.
// OK and Del close it with a result, Cancel (or closing it) with none. It
// finishes through QDialog::done, so it can run modally (ask) or be shown
// and driven directly.
class CtrlEdit : public QDialog {
    Q_OBJECT

public:
    using Hint = std::function<void(const QString&)>;

    CtrlEdit(const CtrlEditRequest& request, const MessageTable& messages, Dialogs& dialogs, Hint hint = {},
             QWidget* parent = nullptr);

    // Set once OK or Del closed the dialog.
    const std::optional<CtrlEditResult>& outcome() const { return outcome_; }

    // Shows the dialog modally and waits for the decision.
    static std::optional<CtrlEditResult> ask(QWidget* parent, const CtrlEditRequest& request,
                                             const MessageTable& messages, Dialogs& dialogs, Hint hint = {});

    void reject() override;

private:
    void OnOffChk_Click();
    void OkBtn_Click();
    void DelBtn_Click();
    CtrlEditResult current(bool deleted) const;

    const MessageTable& messages_;
    Dialogs& dialogs_;
    QLineEdit* name_ = nullptr;
    QCheckBox* onOff_ = nullptr;
    QCheckBox* noData_ = nullptr;
    QPushButton* okBtn_ = nullptr;
    QPushButton* cancelBtn_ = nullptr;
    QPushButton* delBtn_ = nullptr;
    std::optional<CtrlEditResult> outcome_;
};

}  // namespace orvell
