#include "controllers/ButtonModel.h"

namespace orvell {

namespace {
enum : int {
    MsgMomentaryHint = 29,
    MsgToggleHint = 30,
    MsgAutoHint = 31,
    MsgMom = 94,
    MsgTogl = 95,
    MsgAuto = 96,
};
}  // namespace

ButtonKind buttonKind(int code, const CustomControllers& custom)
{
    // A stored SysEx message is sent whole; it is in no controller list.
    if (code == CtrlCode::SysEx || isOneShot(code, custom))
        return ButtonKind::OneShot;
    if (isSwitch(code, custom))
        return ButtonKind::Switch;
    return ButtonKind::Continuous;
}

int defaultButtonOption(int code, const CustomControllers& custom)
{
    switch (buttonKind(code, custom)) {
    case ButtonKind::OneShot:
        return BtnOption::None;
    case ButtonKind::Continuous:
        return BtnOption::Auto;
    case ButtonKind::Switch:
        break;
    }
    // Effects, playing, recording and the MIDI clock stay on until pressed again.
    switch (code) {
    case 91:
    case 92:
    case CtrlCode::PlayOnOff:
    case CtrlCode::RecEvOnOff:
    case CtrlCode::StartStop:
        return BtnOption::Toggle;
    default:
        return BtnOption::Momentary;
    }
}

int optionWordMessage(int option)
{
    switch (option) {
    case BtnOption::Momentary:
        return MsgMom;
    case BtnOption::Toggle:
        return MsgTogl;
    case BtnOption::Auto:
        return MsgAuto;
    default:
        return 0;
    }
}

int optionHintMessage(int option)
{
    switch (option) {
    case BtnOption::Momentary:
        return MsgMomentaryHint;
    case BtnOption::Toggle:
        return MsgToggleHint;
    case BtnOption::Auto:
        return MsgAutoHint;
    default:
        return 0;
    }
}

int buttonValue(int code, bool on, const CustomControllers& custom)
{
    if (buttonKind(code, custom) == ButtonKind::OneShot)
        return code == 96 || code == 97 ? 127 : 0;  // data increment and decrement carry a value
    return on ? 127 : 0;
}

bool buttonTargetsPanel(int code)
{
    switch (code) {
    case CtrlCode::PlayOnOff:
    case CtrlCode::PatchDown:
    case CtrlCode::PatchUp:
    case CtrlCode::PatchChange:
    case CtrlCode::PushButtons:
    case CtrlCode::PnlPtrDown:
    case CtrlCode::PnlPtrUp:
    case CtrlCode::PnlPtrChange:
        return true;
    default:
        return false;
    }
}

}  // namespace orvell
