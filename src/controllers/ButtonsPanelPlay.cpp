// Pressing and releasing the buttons: the messages they send, the sweeps
// they start and end, and the panels they drive. A joystick's fire buttons
// press the same way, so the slot panel holds it.
#include "controllers/ButtonModel.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/FaderModel.h"
#include "midi/AutoSweep.h"
#include "midi/MidiEngine.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"
#include "patches/RemotePatch.h"
#include "sequencer/SequencerPanel.h"

#include <QLabel>
#include <QPointer>

namespace orvell {

namespace {

constexpr int MsgPanelGone = 72;
constexpr int MidiStart = 0xFA;
constexpr int MidiStop = 0xFC;

}  // namespace

// Sending.

void ButtonsPanel::MidiSend(int index) { sendButtonValue(index); }

void SlotPanel::sendButtonValue(int index)
{
    if (shared_.flags.Initializing)
        return;
    const int code = core(index).code;
    // Only MIDI controller numbers make a control change; the other codes act on panels.
    if (code < 0 || code > 127)
        return;
    midi_.SendCtrlChg(portText(index), code, buttonValue(code, press(index).on, custom_), channelText(index));
}

void ButtonsPanel::MButton_MouseDown(int index, int button, int shift, int x, int y)
{
    (void)shift;
    (void)x;
    (void)y;
    if (index < 0 || index >= Slots)
        return;
    makeCurrent(index);
    // The right button belongs to the picture.
    if (button == LeftButton)
        pressDown(index);
}

void SlotPanel::pressDown(int index)
{
    setBorder(index, !press(index).on);
    if (buttonKind(core(index).code, custom_) == ButtonKind::Continuous) {
        if (press(index).on)
            startSweep(index);
        else
            endSweep(index, false);
        return;
    }
    sendButtonValue(index);
    pressAction(index);
}

void ButtonsPanel::MButton_MouseUp(int index, int button, int shift, int x, int y)
{
    (void)shift;
    (void)x;
    (void)y;
    if (index >= 0 && index < Slots && button == LeftButton)
        pressUp(index);
}

void SlotPanel::pressUp(int index)
{
    const ButtonKind kind = buttonKind(core(index).code, custom_);
    if (kind == ButtonKind::OneShot) {
        setBorder(index, false);
        return;
    }
    const int option = press(index).option;
    if (option != BtnOption::Momentary && option != BtnOption::Auto)
        return;
    const bool wasOn = press(index).on;
    setBorder(index, false);
    // Push buttons let go only of what they still hold; a hold released meanwhile has nothing left.
    if (kind == ButtonKind::Switch && (wasOn || core(index).code != CtrlCode::PushButtons))
        releaseSwitch(index);
    else
        endSweep(index, true);
}

void SlotPanel::leavingOutput(int index)
{
    // As a release would leave it: a running sweep is reset, which sends the
    // rest value, and a switch is off. A one-shot message is an action, not a
    // state, and is not sent again. A joystick's axes follow the stick, which
    // sends again when it moves.
    if (panelClass() == PanelClass::JstkCtrl)
        return;
    PressState& slot = press(index);
    if (slot.on)
        setBorder(index, false);
    if (slot.autoIndex >= 0) {
        endSweep(index, true);
        return;
    }
    const int code = core(index).code;
    if (!continuousOnly(index) && buttonKind(code, custom_) == ButtonKind::OneShot)
        return;
    midi_.ResetControl(portText(index), code, channelText(index), core(index).patchId);
}

void SlotPanel::pressAction(int index)
{
    const QString tag = QString::number(core(index).patchId);
    switch (core(index).code) {
    case CtrlCode::StartStop:
        if (!shared_.flags.Initializing)
            midi_.SendRealTime(portText(index), press(index).on ? MidiStart : MidiStop);
        break;
    case CtrlCode::PatchDown:
    case CtrlCode::PnlPtrDown:
        RemotePatchDown(host_, tag);
        break;
    case CtrlCode::PatchUp:
    case CtrlCode::PnlPtrUp:
        RemotePatchUp(host_, tag);
        break;
    case CtrlCode::PushButtons:
        pushRemote(index, true);
        break;
    case CtrlCode::RecEvOnOff:
        host_.RecordBtn_Click();
        break;
    case CtrlCode::SysEx:
        if (!shared_.flags.Initializing)
            midi_.SendSysEx(portText(index), core(index).patchId, shared_.SysExList);
        break;
    case CtrlCode::PlayOnOff:
        RemotePlayOnOff(host_, tag);
        break;
    default:
        // 300 does nothing by design.
        break;
    }
}

void SlotPanel::releaseSwitch(int index)
{
    switch (core(index).code) {
    case CtrlCode::StartStop:
        if (!shared_.flags.Initializing)
            midi_.SendRealTime(portText(index), MidiStop);
        break;
    case CtrlCode::PushButtons:
        pushRemote(index, false);
        break;
    default:
        sendButtonValue(index);
        break;
    }
}

void SlotPanel::reportMissingTarget(int index)
{
    host_.dialogs().MsgBox(caption() + QStringLiteral(": ") + shared_.msg(MsgPanelGone) + QStringLiteral(" (") +
                               QString::number(core(index).patchId) + u')',
                           MsgButtons::Ok, MsgIcon::Exclamation);
}

void SlotPanel::pushRemote(int index, bool down)
{
    auto* target = qobject_cast<ButtonsPanel*>(
        host_.findPanel(PanelClass::Buttons, QString::number(core(index).patchId)));
    if (!target || target == this) {
        reportMissingTarget(index);
        return;
    }
    // A chain of panels read from a file may lead back here; it stops at the
    // first panel already pressing.
    if (pushing_ || static_cast<SlotPanel*>(target)->pushing_)
        return;
    pushing_ = true;
    const QPointer<ButtonsPanel> alive(target);
    for (int k = 0; k < Slots && alive; ++k) {
        if (down)
            target->MButton_MouseDown(k, ButtonsPanel::LeftButton, 0, 0, 0);
        else
            target->MButton_MouseUp(k, ButtonsPanel::LeftButton, 0, 0, 0);
    }
    pushing_ = false;
}

void SlotPanel::startSweep(int index)
{
    PressState& slot = press(index);
    const SlotCore& common = core(index);
    // A second start without a release (a remote press) replaces the first.
    endSweep(index, true);
    if (shared_.flags.Initializing)
        return;
    const AutoSettings settings = dialogAutoSettings(slot.autoSettings, common.code);
    AutoRequest request;
    request.duration = settings.Aduration;
    request.start = settings.Astart;
    request.end = settings.Aend;
    request.code = common.code;
    request.channel = channelText(index);
    request.port = portText(index);
    request.patchId = common.patchId;
    request.repeat = settings.ARepeat;
    request.triangle = settings.ATriangle;
    slot.autoIndex = shared_.autoSweep.AutoSetUp(request);
}

void SlotPanel::endSweep(int index, bool reset)
{
    PressState& slot = press(index);
    if (slot.autoIndex < 0)
        return;
    if (reset)
        shared_.autoSweep.AutoReset(slot.autoIndex);
    else
        shared_.autoSweep.requestStop(slot.autoIndex);
    slot.autoIndex = -1;
}

// Remote links.

bool ButtonsPanel::CausesLoop(const QString& myTag) const
{
    QSet<const ButtonsPanel*> seen;
    return causesLoop(myTag, seen);
}

bool ButtonsPanel::causesLoop(const QString& myTag, QSet<const ButtonsPanel*>& seen) const
{
    // A file may hold a ring that does not pass myTag; each panel is asked once.
    if (seen.contains(this))
        return false;
    seen.insert(this);
    for (int i = 0; i < Slots; ++i) {
        const SlotCore& slot = core(i);
        if (slot.code != CtrlCode::PushButtons)
            continue;
        const QString target = QString::number(slot.patchId);
        if (target == myTag)
            return true;
        auto* next = qobject_cast<const ButtonsPanel*>(host_.findPanel(PanelClass::Buttons, target));
        if (next && next->causesLoop(myTag, seen))
            return true;
    }
    return false;
}

bool ButtonsPanel::queryOwnClose(CloseReason reason)
{
    constexpr int MsgButtonControls = 230;
    return !refusedWhileTargeted(reason, MsgButtonControls);
}

}  // namespace orvell
