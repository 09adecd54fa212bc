#pragma once

#include "controllers/AutoSettings.h"
#include "controllers/FaderModel.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace orvell {

class Dialogs;
class MessageTable;

// The sweep settings of one button: name, start and end values, the time
// between them, and whether and how the sweep repeats. OK closes it with the
// settings, Cancel (or closing it) with none.
class AutoDlgBox : public QDialog {
    Q_OBJECT

public:
    using Hint = std::function<void(const QString&)>;

    // `controllerName` is the button's controller label; `code` picks the value range.
    AutoDlgBox(const QString& controllerName, int code, const AutoSettings& stored, const MessageTable& messages,
               Dialogs& dialogs, Hint hint = {}, QWidget* parent = nullptr);

    const std::optional<AutoSettings>& outcome() const { return outcome_; }
    // What the controls hold now.
    AutoSettings current() const;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void ActiveScrol_Change(int value);
    void ActiveVal_KeyPress();
    void valueBox_KeyPress(QScrollBar* bar, QLineEdit* box);
    void onValueAction(QScrollBar* bar, QLineEdit* box, int action);
    void RepeatChk_Click();
    void updateRepeat();
    void CName_KeyPress();
    void OkBtn_Click();
    int hintFor(QObject* watched) const;

    const MessageTable& messages_;
    Dialogs& dialogs_;
    Hint hint_;
    int code_;
    FaderRange range_;
    std::optional<AutoSettings> outcome_;

    QLineEdit* name_ = nullptr;
    QLabel* nameLbl_ = nullptr;
    QScrollBar* startScrol_ = nullptr;
    QLineEdit* startVal_ = nullptr;
    QScrollBar* endScrol_ = nullptr;
    QLineEdit* endVal_ = nullptr;
    QLabel* startLbl_ = nullptr;
    QLabel* endLbl_ = nullptr;
    QLabel* dMinLbl_ = nullptr;
    QLabel* dMaxLbl_ = nullptr;
    QScrollBar* activeScrol_ = nullptr;
    QLineEdit* activeVal_ = nullptr;
    QLabel* activeLbl_ = nullptr;
    QLabel* timeUnits_ = nullptr;
    QCheckBox* repeatChk_ = nullptr;
    QRadioButton* triangle_ = nullptr;
    QRadioButton* ramp_ = nullptr;
    QPushButton* okBtn_ = nullptr;
    QPushButton* cancelBtn_ = nullptr;
};

}  // namespace orvell
