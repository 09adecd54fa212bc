#pragma once

#include "panels/PanelHost.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;

namespace orvell {

class MessageTable;

// The five-button question asked of each changed panel while the program
// exits or closes all panels: Yes, Yes To All, No, No To All, Cancel.
// Closing the box any other way (title bar, Escape) answers Cancel.
class BigMsgBox : public QDialog {
    Q_OBJECT

public:
    using Hint = std::function<void(const QString&)>;

    // `hint` receives the buttons' mouse hints; it may be empty.
    BigMsgBox(const QString& text, const MessageTable& messages, Hint hint = {}, QWidget* parent = nullptr);

    // The button that closed the box; Cancel until one did.
    BigAnswer answer() const { return answer_; }

    // Shows the box modally and waits for the answer.
    static BigAnswer ask(QWidget* parent, const QString& text, const MessageTable& messages, Hint hint = {});

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Choice {
        QPushButton* button;
        BigAnswer answer;
        QString hint;
    };

    void finish(BigAnswer answer);

    Hint hint_;
    BigAnswer answer_ = BigAnswer::Cancel;
    std::vector<Choice> choices_;
};

}  // namespace orvell
