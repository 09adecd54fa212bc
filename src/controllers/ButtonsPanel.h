#pragma once

#include "controllers/AutoSettings.h"
#include "controllers/Controllers.h"
#include "controllers/SelectorTools.h"
#include "panels/Panel.h"

#include <QSet>

#include <array>

class QComboBox;
class QLabel;
class QToolButton;

namespace orvell {

class AutoDlgBox;
class MidiEngine;
class Shared;

// A palette picture being dragged carries its slot number as decimal text
// under this type; the icon palette starts such drags, a button takes them.
inline constexpr char PaletteIndexMime[] = "application/x-orvell-palette-index";

// Four push buttons, each sending one controller type on its own channel and
// port: switched on while held or toggled, a one-shot message, a timed sweep,
// or a command to another panel.
class ButtonsPanel : public Panel, public SlotSelectors {
    Q_OBJECT

public:
    static constexpr int Slots = 4;
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
    void BtnOptLbl_Click(int index);
    // True when pressing this panel's buttons would, directly or through other
    // Buttons panels, press buttons on the panel tagged `myTag`.
    bool CausesLoop(const QString& myTag) const;

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
    void OptDsply() override;
    void SelPatch_Click();
    void Channel_KeyPress();
    void Port_KeyPress();
    void Control_KeyPress();
    void DupIcon_Click();

    void CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry);
    const CustomControllers& customControllers() const { return custom_; }

    // Opens the sweep settings of button i; OK writes them back here.
    AutoDlgBox* AutoSettings_Click(int index);
    const AutoSettings& autoSettings(int index) const { return slots_[index].autoSettings; }
    void setAutoSettings(int index, const AutoSettings& settings);
    // Copies one button's sweep settings into this clone.
    void CloneAfcg(int adx, const AutoSettings& from);

    // A palette picture dropped on button i.
    void setBtnIcon(int index, int paletteIndex);

    SlotSelectors* slotSelectors() override { return this; }
    bool canCustomizeControllers() const override { return true; }
    void SetUpCtrlEdit() override;
    void RefreshPortLists() override;
    void Clone(const QString& fromTag) override;
    int controlsTargeting(PanelClass targetClass, const QString& targetTag) const override;
    // Refused while other panels' push-button controls press these buttons.
    bool queryOwnClose(CloseReason reason) override;

    bool isOn(int index) const { return slots_[index].on; }
    int BtnOpt(int index) const { return slots_[index].option; }
    int BtnIcon(int index) const { return slots_[index].icon; }
    int patchId(int index) const { return slots_[index].patchId; }
    QLabel* MButton(int index) const { return slots_[index].button; }

protected:
    void beginLoad() override;
    bool loadKey(const QString& key, const QString& value) override;
    void saveOwnKeys(SectionWriter& out) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Selected { None, Channel, Port, Control };

    struct Slot {
        int code = 0;
        int option = 0;
        int icon = -1;  // palette slot of the face; -1 for the plain face
        int patchId = 0;
        bool on = false;      // the border shows
        int autoIndex = -1;   // the running sweep in the shared table
        AutoSettings autoSettings;
        QLabel* button = nullptr;
        QLabel* optLbl = nullptr;
        QLabel* cntrlLbl = nullptr;
        QLabel* chanLbl = nullptr;
        QLabel* portLbl = nullptr;
    };

    void buildControls();
    void fillControlList();
    void fillTargetList(int code);
    bool targetExists(int code) const;
    QList<Panel*> targetsFor(int code) const;
    bool causesLoop(const QString& myTag, QSet<const ButtonsPanel*>& seen) const;

    void setBorder(int index, bool on);
    void showOption(int index);
    void showFace(int index);
    void pressAction(int index);
    void releaseSwitch(int index);
    void pushRemote(int index, bool down);
    void startSweep(int index);
    void endSweep(int index, bool reset);
    void reportMissingTarget(int index);

    void setCode(int index, int code, bool fromFile);
    void setChannel(int index, const QString& channel);
    void setPort(int index, const QString& port);
    void makeCurrent(int index);
    void showSelector(QComboBox* combo, QLabel* at);
    void revertControl();
    QString portText(int i) const;
    QString channelText(int i) const;
    int slotOf(QObject* control) const;
    void showHintFor(QObject* control);
    bool handleDrop(int index, QEvent* event);

    Shared& shared_;
    MidiEngine& midi_;
    std::array<Slot, Slots> slots_;
    CustomControllers custom_;
    int loadIndex_ = -1;
    Selected lastSelected_ = Selected::None;
    bool pushing_ = false;  // pressing another panel's buttons now

    SlotSelectorCombos combos_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QToolButton* dupIcon_ = nullptr;
};

}  // namespace orvell
