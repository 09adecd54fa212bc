#pragma once

#include "controllers/SlotPanel.h"

#include <QSet>

#include <array>

class QLabel;

namespace orvell {

// Four push buttons, each sending one controller type on its own channel and
// port: switched on while held or toggled, a one-shot message, a timed sweep,
// or a command to another panel.
class ButtonsPanel : public SlotPanel {
    Q_OBJECT

public:
    // Mouse buttons as the press handlers number them.
    static constexpr int LeftButton = 1;
    static constexpr int RightButton = 2;

    explicit ButtonsPanel(PanelHost& host, QWidget* parent = nullptr);
    ~ButtonsPanel() override;

    // Sends button i's controller message with the value of its state.
    void MidiSend(int index);
    // Public so that other panels press this panel's buttons remotely.
    void MButton_MouseDown(int index, int button, int shift, int x, int y);
    void MButton_MouseUp(int index, int button, int shift, int x, int y);
    // True when pressing this panel's buttons would, directly or through other
    // Buttons panels, press buttons on the panel tagged `myTag`.
    bool CausesLoop(const QString& myTag) const;

    // A palette picture dropped on button i.
    void setBtnIcon(int index, int paletteIndex);
    void paletteChanged(int slot) override;

    // Refused while other panels' push-button controls press these buttons.
    bool queryOwnClose(CloseReason reason) override;

    int BtnIcon(int index) const { return buttons_[index].icon; }
    QLabel* MButton(int index) const { return buttons_[index].button; }

protected:
    void setCode(int index, int code, bool fromFile) override;
    bool targetsPanel(int code) const override;
    bool offersSysEx() const override { return true; }
    bool continuousOnly(int index) const override
    {
        (void)index;
        return false;
    }
    QList<Panel*> targetsFor(int code) const override;
    void controllerEdited(int index) override;
    void cloneSlot(int index, const SlotPanel& source) override;
    bool loadSlotKey(int index, const QString& key, const QString& value) override;
    bool ownsInSlot(int index, const QObject* control) const override;
    void showOwnHint(int index, QObject* control) override;
    void saveSlotKeys(SectionWriter& out, int index, SlotKeys at) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a button slot has beside its labels.
    struct Button {
        int icon = -1;  // palette slot of the face; -1 for the plain face
        QLabel* button = nullptr;
        QLabel* optLbl = nullptr;
    };

    void buildControls();
    bool causesLoop(const QString& myTag, QSet<const ButtonsPanel*>& seen) const;

    void setBorder(int index, bool on) override;
    void showOption(int index) override;
    void showFace(int index);
    bool handleDrop(int index, QEvent* event);

    std::array<Button, Slots> buttons_;
};

}  // namespace orvell
