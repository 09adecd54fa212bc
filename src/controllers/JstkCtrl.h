#pragma once

#include "controllers/JoystickModel.h"
#include "controllers/SlotPanel.h"

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;

namespace orvell {

// One joystick as a MIDI controller: the X and Y axes drive a continuous type
// or pitch bend each, the two fire buttons act as push buttons. Each panel
// holds a joystick of its own and polls it on a timer.
class JstkCtrl : public SlotPanel {
    Q_OBJECT

public:
    static constexpr int XAxis = 0;
    static constexpr int YAxis = 1;
    static constexpr int FireA = 2;
    static constexpr int FireB = 3;

    // A panel on the first free joystick; nothing, after message 70, when
    // every joystick has a panel (or there is no way to read joysticks).
    static JstkCtrl* create(PanelHost& host, JoystickSystem* joysticks, QWidget* parent = nullptr);
    ~JstkCtrl() override;

    // Sends slot i: an axis its shown value, a fire button as a push button does.
    void MidiSend(int index);
    void JoyPoll_Timer();
    void PollSlider_Change(int value);
    void SensSlider_Change(int value);
    void CenterChk_Click(int axis);
    void Check2_Click(int axis);

    int joystickNumber() const { return link_->number(); }
    int axisValue(int axis) const { return model_.axes[size_t(axis)].value(); }
    QTimer* JoyPoll() const { return joyPoll_; }
    void Clone(const QString& fromTag) override;

protected:
    void setCode(int index, int code, bool fromFile) override;
    bool targetsPanel(int code) const override;
    bool continuousOnly(int index) const override { return index < FireA; }
    void controllerEdited(int index) override;
    void cloneSlot(int index, const SlotPanel& source) override;
    bool loadSlotKey(int index, const QString& key, const QString& value) override;
    bool ownsInSlot(int index, const QObject* control) const override;
    void showOwnHint(int index, QObject* control) override;
    bool showPanelHint(QObject* control) override;
    void saveSlotKeys(SectionWriter& out, int index, SlotKeys at) override;
    void moveLearned(int index, int value, int maximum) override;
    void saveOwnKeys(SectionWriter& out) override;
    bool loadKey(const QString& key, const QString& value) override;
    void setBorder(int index, bool on) override;
    void showOption(int index) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    JstkCtrl(PanelHost& host, std::unique_ptr<JoystickLink> link, QWidget* parent);

    struct Axis {
        QLabel* value = nullptr;  // Xval, Yval
        QCheckBox* center = nullptr;
        QCheckBox* reverse = nullptr;
    };

    void buildControls();
    void showAxisValue(int axis);
    // What was typed into PollRate or Sens, clamped to its slider.
    void commitBox(QLineEdit* box, QScrollBar* slider);

    std::unique_ptr<JoystickLink> link_;
    JoystickModel model_;
    bool lost_ = false;  // the last poll found no joystick
    std::array<Axis, 2> axes_;
    std::array<QLabel*, Slots> captions_{};  // Label3
    std::array<QLabel*, 2> optLbls_{};       // BtnOptLbl
    QScrollBar* pollSlider_ = nullptr;
    QScrollBar* sensSlider_ = nullptr;
    QLineEdit* pollRate_ = nullptr;
    QLineEdit* sens_ = nullptr;
    QList<QLabel*> pollLabels_;  // "pollrate", "ms"
    QLabel* sensLabel_ = nullptr;
    QLabel* percentLabel_ = nullptr;
    QTimer* joyPoll_ = nullptr;
};

}  // namespace orvell
