#pragma once

#include "controllers/FaderModel.h"
#include "controllers/SlotPanel.h"

#include <array>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace orvell {

// Four faders, each sending one controller type on its own channel and port.
// HFaders and VFaders differ only in orientation and layout.
class FaderPanel : public SlotPanel {
    Q_OBJECT

public:
    FaderPanel(PanelClass id, PanelHost& host, QWidget* parent = nullptr);
    ~FaderPanel() override;

    bool vertical() const { return panelClass() == PanelClass::VFaders; }

    // Sends fader i's message with its current value.
    void MidiSend(int index);
    void ShowDataHelp(int index);
    // Enter in (or leaving) fader i's value box.
    void DataVal_KeyPress(int index);

    QScrollBar* fader(int i) const { return faders_[i].fader; }

protected:
    void setCode(int index, int code, bool fromFile) override;
    bool targetsPanel(int code) const override;
    bool continuousOnly(int index) const override
    {
        (void)index;
        return true;
    }
    void slotMadeCurrent(int index) override;
    void cloneSlot(int index, const SlotPanel& source) override;
    void slotLoadStarted(int index) override;
    bool loadSlotKey(int index, const QString& key, const QString& value) override;
    bool ownsInSlot(int index, const QObject* control) const override;
    void showOwnHint(int index, QObject* control) override;
    bool showPanelHint(QObject* control) override;
    void saveSlotKeys(SectionWriter& out, int index, SlotKeys at) override;
    void moveLearned(int index, int value, int maximum) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What a fader slot has beside its labels.
    struct Fader {
        FaderRange range;
        QScrollBar* fader = nullptr;
        QLineEdit* dataVal = nullptr;
        QFrame* midPt = nullptr;
        std::optional<int> loadedValue;  // a FaderVal read before its ControlNum
    };

    void buildControls();
    void layoutHorizontal();
    void layoutVertical();
    void onValueChanged(int index, int value);
    void onAction(int index, int action);
    // An arrow, Page, Home or End key moves fader i as a drag does; false for other keys.
    bool moveByKey(int index, int key);

    std::array<Fader, Slots> faders_;
    QLabel* dMinLbl_ = nullptr;
    QLabel* dMaxLbl_ = nullptr;
};

}  // namespace orvell
