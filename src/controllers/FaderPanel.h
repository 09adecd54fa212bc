#pragma once

#include "controllers/Controllers.h"
#include "controllers/FaderModel.h"
#include "controllers/SelectorTools.h"
#include "panels/Panel.h"

#include <array>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollBar;
class QToolButton;

namespace orvell {

class MidiEngine;
class Shared;

// The controls panels share: a caption label in its own colour (boxed for the
// labels that open a selector), and a selector list that stays hidden until a
// label is clicked.
QLabel* makePanelLabel(QWidget* parent, const QString& name, const QString& text, const QColor& color, bool boxed);
QComboBox* makePanelSelector(QWidget* parent, const QString& name, bool editable);

// Four faders, each sending one controller type on its own channel and port.
// HFaders and VFaders differ only in orientation and layout.
class FaderPanel : public Panel, public SlotSelectors {
    Q_OBJECT

public:
    static constexpr int Slots = 4;

    FaderPanel(PanelClass id, PanelHost& host, QWidget* parent = nullptr);
    ~FaderPanel() override;

    bool vertical() const { return panelClass() == PanelClass::VFaders; }

    // Sends fader i's message with its current value.
    void MidiSend(int index);
    void ShowDataHelp(int index);

    // SlotSelectors: the selector handlers act on slot CIndx.
    QComboBox* Channel() override { return combos_.channel; }
    QComboBox* Port() override { return combos_.port; }
    QComboBox* Control() override { return combos_.control; }
    void Channel_Click() override;
    void Port_Click() override;
    void Control_Click() override;
    int channelOfSlot(int slot) const override;
    int portOfSlot(int slot) const override;
    int CurCtrl(int slot) const override;
    void SelPatch_Click();
    // Enter typed into a selector.
    void Channel_KeyPress();
    void Port_KeyPress();
    void Control_KeyPress();
    // Enter in (or leaving) fader i's value box.
    void DataVal_KeyPress(int index);
    void DupIcon_Click();

    // The controller editor reports back here for the current fader's code.
    void CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry);
    const CustomControllers& customControllers() const { return custom_; }

    SlotSelectors* slotSelectors() override { return this; }
    bool canCustomizeControllers() const override { return true; }
    void SetUpCtrlEdit() override;
    void RefreshPortLists() override;
    void Clone(const QString& fromTag) override;
    int controlsTargeting(PanelClass targetClass, const QString& targetTag) const override;

    QScrollBar* fader(int i) const { return slots_[i].fader; }
    int patchId(int i) const { return slots_[i].patchId; }

protected:
    void beginLoad() override;
    bool loadKey(const QString& key, const QString& value) override;
    void saveOwnKeys(SectionWriter& out) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Selected { None, Channel, Port, Control };

    struct Slot {
        int code = 0;
        int patchId = 0;
        FaderRange range;
        QScrollBar* fader = nullptr;
        QLineEdit* dataVal = nullptr;
        QLabel* cntrlLbl = nullptr;
        QLabel* chanLbl = nullptr;
        QLabel* portLbl = nullptr;
        QFrame* midPt = nullptr;
        std::optional<int> loadedValue;  // a FaderVal read before its ControlNum
    };

    void buildControls();
    void layoutHorizontal();
    void layoutVertical();
    void fillControlList();
    void fillTargetList(int code);
    bool targetExists(int code) const;

    void onValueChanged(int index, int value);
    void onAction(int index, int action);
    // An arrow, Page, Home or End key moves fader i as a drag does; false for other keys.
    bool moveByKey(int index, int key);
    void setCode(int index, int code, bool fromFile);
    void setChannel(int index, const QString& channel);
    void setPort(int index, const QString& port);
    void makeCurrent(int index);
    void revertControl();
    QString portText(int i) const;
    QString channelText(int i) const;
    int slotOf(QObject* control) const;
    void showHintFor(QObject* control);

    Shared& shared_;
    MidiEngine& midi_;  // kept apart from the host, which may be gone first on shut-down
    std::array<Slot, Slots> slots_;
    CustomControllers custom_;
    int loadIndex_ = -1;  // the fader whose keys are being read
    Selected lastSelected_ = Selected::None;

    SlotSelectorCombos combos_;
    QLabel* dMinLbl_ = nullptr;
    QLabel* dMaxLbl_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QToolButton* dupIcon_ = nullptr;
};

}  // namespace orvell
