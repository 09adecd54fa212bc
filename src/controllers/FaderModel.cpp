#include "controllers/FaderModel.h"

#include "controllers/Controllers.h"
#include "core/Numeric.h"

#include <algorithm>
#include <cstdlib>

namespace orvell {

FaderRange faderRange(int code, bool vertical)
{
    FaderRange range;
    if (code == CtrlCode::PitchBend) {
        range.lower = -8192;
        range.upper = 8191;
    } else {
        range.lower = 0;
        range.upper = 127;
    }
    range.minimum = vertical ? range.upper : range.lower;
    range.maximum = vertical ? range.lower : range.upper;
    range.largeChange = roundHalfEven(range.upper / 12.7);
    range.smallChange = roundHalfEven(range.upper / 127.0);
    return range;
}

int faderStartValue(int code)
{
    switch (code) {
    case 7:
    case 11:
        return 127;
    case 8:
    case 10:
        return 63;
    default:
        return 0;
    }
}

int dragSnap(int code, int position)
{
    if (code == CtrlCode::PitchBend && std::abs(position) <= PitchBendSnap)
        return 0;
    return position;
}

bool isPanelDirected(int code) { return code > CtrlCode::PitchBend; }

PanelClass faderTargetClass(int code)
{
    switch (code) {
    case CtrlCode::PlayOnOff:
        return PanelClass::Sequencer;
    case CtrlCode::PushButtons:
        return PanelClass::Buttons;
    case CtrlCode::PnlPtrDown:
    case CtrlCode::PnlPtrUp:
    case CtrlCode::PnlPtrChange:
        return PanelClass::PanlPointer;
    default:
        return PanelClass::PatchList;
    }
}

std::vector<PanelClass> faderTargetClasses(int code)
{
    const PanelClass id = faderTargetClass(code);
    if (id == PanelClass::PatchList)
        return {PanelClass::PatchList, PanelClass::PatchGroup};
    return {id};
}

TypedValue typedFaderValue(const QString& text, const FaderRange& range, int current)
{
    const auto number = parseNumber(text);
    if (!number)
        return {TypedValue::Action::Revert, current};
    const double clamped = std::clamp(*number, double(range.lower), double(range.upper));
    const int value = roundHalfEven(clamped);
    // Compared after rounding: a fraction that rounds to the current value
    // would not move the fader either.
    if (value == current)
        return {TypedValue::Action::SendAgain, value};
    return {TypedValue::Action::Move, value};
}

FaderMessage faderMessage(int code, int value, int patchId)
{
    using Kind = FaderMessage::Kind;
    switch (code) {
    case CtrlCode::AfterTouch:
        return {Kind::AfterTouch, 0, value, 0};
    case CtrlCode::PitchBend:
        return {Kind::PitchBend, 0, value, 0};
    case CtrlCode::PatchChange:
    case CtrlCode::PnlPtrChange:
        if (patchId == 0)
            return {};
        return {code == CtrlCode::PatchChange ? Kind::PatchChange : Kind::PanelPointerChange, 0, value, patchId};
    default:
        // Faders take continuous types only; anything else has nothing to send.
        if (code < 0 || code > 127)
            return {};
        return {Kind::ControlChange, code, value, 0};
    }
}

}  // namespace orvell
