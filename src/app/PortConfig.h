#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace orvell {

class AOrvell;

// "Configure MIDI Ports": the user highlights the input and output ports the
// panels may offer. OK applies the lists that were touched and refills every
// panel's port selectors; Cancel changes nothing.
class PortConfig : public QDialog {
    Q_OBJECT

public:
    explicit PortConfig(AOrvell& window);

    void OkBtn_Click();
    void CancelBtn_Click();
    // OK changed the enabled ports.
    bool changed() const { return applied_; }

    QListWidget* InPorts = nullptr;
    QListWidget* OutPorts = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    AOrvell& window_;
    bool inChanged_ = false;
    bool outChanged_ = false;
    bool applied_ = false;
};

}  // namespace orvell
