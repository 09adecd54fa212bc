#pragma once

#include "controllers/AutoSettings.h"
#include "controllers/Controllers.h"
#include "midi/MidiLearn.h"
#include "panels/Panel.h"
#include "panels/SelectorTools.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace orvell {

class AutoDlgBox;
class MidiEngine;
class Shared;

// What the panels with four controller slots (faders, buttons, joystick)
// share: each slot's controller, channel and port labels and the selectors
// they open, the output ports held open per slot, the panel's custom
// controllers, Duplicate, and the keys of their data sections that every slot has.
class SlotPanel : public Panel, public SlotSelectors, public LearnClient {
    Q_OBJECT

public:
    static constexpr int Slots = 4;

    SlotPanel(PanelClass id, PanelHost& host, QWidget* parent = nullptr);
    ~SlotPanel() override;

    // SlotSelectors: the selector handlers act on slot CIndx.
    QComboBox* Channel() override { return combos_.channel; }
    QComboBox* Port() override { return combos_.port; }
    QComboBox* Control() override { return controlList(CIndx); }
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
    void DupIcon_Click();

    // The controller editor reports back here for the current slot's code.
    void CtrlWasChanged(const QString& name, bool isOnOff, bool canTogl, bool deleteEntry);
    const CustomControllers& customControllers() const { return custom_; }
    int patchId(int index) const { return core(index).patchId; }

    SlotSelectors* slotSelectors() override { return this; }
    bool canCustomizeControllers() const override { return true; }
    void SetUpCtrlEdit() override;
    void RefreshPortLists() override;
    void Clone(const QString& fromTag) override;
    int controlsTargeting(PanelClass targetClass, const QString& targetTag) const override;

    // What the panel pointer re-points: the patch controls (Patch Down, Up
    // and Chg), the push-button controls and the sequence play controls.
    bool IsPatchController() const;
    bool IsButtonsController() const;
    bool IsSequenceController() const;
    // Points every control of that kind at the panel tagged `tag`.
    void SetPatchController(const QString& tag);
    void SetButtonsController(const QString& tag);
    void SetSequenceController(const QString& tag);

    // Button slots: every slot of a buttons panel, the fire buttons of a joystick.
    bool isOn(int index) const { return presses_[size_t(index)].on; }
    int BtnOpt(int index) const { return presses_[size_t(index)].option; }
    void BtnOptLbl_Click(int index);
    // Opens the sweep settings of button slot i; OK writes them back here.
    AutoDlgBox* AutoSettings_Click(int index);
    const AutoSettings& autoSettings(int index) const { return presses_[size_t(index)].autoSettings; }
    void setAutoSettings(int index, const AutoSettings& settings);
    // Copies one button's sweep settings into this clone.
    void CloneAfcg(int adx, const AutoSettings& from);
    void OptDsply() override;

    // The slot's menu: the next hardware control to arrive moves slot i, or no longer does.
    void Learn_Click(int index);
    void Forget_Click(int index);

protected:
    // What every slot has; the panels keep the rest of a slot beside it.
    struct SlotCore {
        int code = 0;
        int patchId = 0;  // tag of the panel a panel-directed code acts on
        QLabel* cntrlLbl = nullptr;
        QLabel* chanLbl = nullptr;
        QLabel* portLbl = nullptr;
    };
    SlotCore& core(int index) { return core_[size_t(index)]; }
    const SlotCore& core(int index) const { return core_[size_t(index)]; }

    // Builds slot i's three labels; the controller label is named
    // `controlName` and the slot number.
    // `controlName` and `number`, by default the slot's index.
    void buildSlotLabels(int index, const QString& controlName = QStringLiteral("CntrlLbl"), int number = -1);
    // The Chn and port captions, Dup and the selectors, after the slots. The
    // slots from `buttonListFrom` on choose their type from a list of their
    // own, RControl, with every type; the others then offer continuous types.
    void buildSharedControls(const QString& portCaption, int buttonListFrom = Slots);
    QComboBox* controlList(int index) const;
    // The message of a continuous type with `value`, to the slot's channel and port or its target panel.
    void sendValue(int index, int value);
    // Every slot on channel 1 and the first enabled port, opened once per slot.
    void openFirstPorts();

    // The controller type of a slot; `fromFile` keeps the label as read.
    virtual void setCode(int index, int code, bool fromFile) = 0;
    // Shows the slot's controller name and hides channel and port for panel-directed codes.
    void showCode(int index, int code, bool fromFile);
    // True when the code drives another panel rather than a MIDI channel.
    virtual bool targetsPanel(int code) const = 0;
    // Only continuous types (and pitch bend) make sense on slot i.
    virtual bool continuousOnly(int index) const = 0;
    virtual QList<Panel*> targetsFor(int code) const;
    // The open panels of every class the code drives.
    QList<Panel*> drivenBy(int code) const;
    // The stored SysEx messages are a type of the slot's controller selector.
    virtual bool offersSysEx() const { return false; }
    // The slot's channel or port is about to be left: it is left at rest.
    void leavingOutput(int index);
    // The slot became current.
    virtual void slotMadeCurrent(int index) { (void)index; }
    // The kind of a code changed in the editor, for slots that have it.
    virtual void controllerEdited(int index) { (void)index; }
    // Copies the rest of slot i from the same slot of `source`, after its channel and port.
    virtual void cloneSlot(int index, const SlotPanel& source) = 0;
    // A key of slot i's part of the data section other than Control, ControlNum, PatchID, Channel
    // and Port.
    virtual bool loadSlotKey(int index, const QString& key, const QString& value) = 0;
    // The Control key starts slot i.
    virtual void slotLoadStarted(int index) { (void)index; }
    // Whether `control` is one of the panel's own widgets of slot i.
    virtual bool ownsInSlot(int index, const QObject* control) const
    {
        (void)index;
        (void)control;
        return false;
    }
    // The hint of one of the panel's own widgets of slot i.
    virtual void showOwnHint(int index, QObject* control)
    {
        (void)index;
        (void)control;
    }
    // The hint of one of the panel's widgets outside the slots; false when not one.
    virtual bool showPanelHint(QObject* control)
    {
        (void)control;
        return false;
    }

    // A learned hardware control at `value` of 0..maximum moves slot i as the
    // user would; by default it presses a button slot above its middle and
    // lets go below.
    virtual void moveLearned(int index, int value, int maximum);

    // Where a panel's own keys go among those every slot has: after
    // ControlNum, after PatchID, and after Port.
    enum class SlotKeys { AfterCode, AfterTarget, AfterPort };
    virtual void saveSlotKeys(SectionWriter& out, int index, SlotKeys at) = 0;

    // What a button slot does beside its labels.
    struct PressState {
        int option = 0;
        bool on = false;     // pressed or toggled on
        int autoIndex = -1;  // the running sweep in the shared table
        AutoSettings autoSettings;
    };
    PressState& press(int index) { return presses_[size_t(index)]; }
    // A button slot pressed and released, with the message, sweep or remote
    // action of its type and option.
    void pressDown(int index);
    void pressUp(int index);
    // The switch or one-shot message of button slot i in its state.
    void sendButtonValue(int index);
    virtual void setBorder(int index, bool on) { press(index).on = on; }
    virtual void showOption(int index) { (void)index; }
    // A button slot's type: what the old type was doing ends.
    void setButtonCode(int index, int code, bool fromFile);
    void cloneButton(int index, const SlotPanel& source);
    void saveButtonKeys(SectionWriter& out, int index) const;
    bool loadButtonKey(int index, const QString& key, const QString& value);
    void endSweep(int index, bool reset);

    void makeCurrent(int index);
    void saveOwnKeys(SectionWriter& out) override;
    void beginLoad() override;
    bool loadKey(const QString& key, const QString& value) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The value box of a slot: Enter commits, and leaving the box commits what
    // was typed since, once. True when the event was Enter.
    bool valueBoxEvent(QLineEdit* box, QEvent* event, const std::function<void()>& commit);

    QString portText(int index) const;
    QString channelText(int index) const;
    int slotOf(QObject* control) const;
    // The panel a panel-directed slot drives, when it is open.
    Panel* targetOf(int index) const;

    Shared& shared_;
    MidiEngine& midi_;  // kept apart from the host, which may be gone first on shut-down
    CustomControllers custom_;
    SlotSelectorCombos combos_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QToolButton* dupIcon_ = nullptr;

private:
    void setChannel(int index, const QString& channel);
    void setPort(int index, const QString& port);
    void takeOutput(DupSetting which, const QString& chosen);
    void showSelector(QComboBox* combo, const QLabel& at);
    void revertControl();
    void fillControlList();
    void fillTargetList(int code);
    bool targetExists(int code) const;
    void showHintFor(QObject* control);
    void pressAction(int index);
    void releaseSwitch(int index);
    void pushRemote(int index, bool down);
    void startSweep(int index);
    void reportMissingTarget(int index);
    bool hasControlOf(std::initializer_list<int> codes) const;
    void repoint(std::initializer_list<int> codes, const QString& tag);
    // A push-button control held down lets go of the buttons it presses.
    void releaseHold(int index);
    void learnedInput(int slot, const LearnedInput& input) override;
    void learnedBinding(int slot) override;
    void showSlotMenu(int index, QPoint at);

    std::array<SlotCore, Slots> core_;
    int buttonListFrom_ = Slots;
    std::array<PressState, Slots> presses_;
    std::array<bool, Slots> learnedDown_{};  // a learned control holds button slot i down
    bool pushing_ = false;  // pressing another panel's buttons now
    int loadIndex_ = -1;  // the slot whose keys are being read
    std::optional<DupSetting> lastSelected_;
};

}  // namespace orvell
