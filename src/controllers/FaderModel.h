#pragma once

#include "panels/PanelClasses.h"

#include <QString>

#include <vector>

namespace orvell {

// The ends of a fader for a controller code. `minimum` and `maximum` are the
// ends at the left (top) and right (bottom) of the bar; a vertical fader has
// them swapped so that its top is the high end.
struct FaderRange {
    int minimum = 0;
    int maximum = 127;
    int lower = 0;
    int upper = 127;
    int smallChange = 1;
    int largeChange = 10;

    bool operator==(const FaderRange&) const = default;
};

FaderRange faderRange(int code, bool vertical);

// Where a fader starts when its controller type is chosen: full volume and
// expression, centred balance and pan, zero (pitch-bend centre) otherwise.
int faderStartValue(int code);

// While the thumb is dragged, pitch bend near the centre snaps to it, so a
// player can find "no bend" by hand.
constexpr int PitchBendSnap = 800;
int dragSnap(int code, int position);

// Codes above pitch bend drive another panel rather than a MIDI channel.
bool isPanelDirected(int code);

// The class of panel a panel-directed code drives (patch lists for the patch codes).
PanelClass faderTargetClass(int code);
// Every class a panel-directed code drives: the patch codes step patch groups too.
std::vector<PanelClass> faderTargetClasses(int code);

// What a typed value does to a fader.
struct TypedValue {
    enum class Action {
        Revert,     // not a number: show the fader's value again, send nothing
        SendAgain,  // the fader already has it: it will not move, so send directly
        Move,       // move the fader, which sends
    };
    Action action = Action::Revert;
    int value = 0;  // the value to show afterwards

    bool operator==(const TypedValue&) const = default;
};

// Out-of-range numbers are clamped rather than refused.
TypedValue typedFaderValue(const QString& text, const FaderRange& range, int current);

// The message a fader sends for its value.
struct FaderMessage {
    enum class Kind { None, ControlChange, AfterTouch, PitchBend, PatchChange, PanelPointerChange };
    Kind kind = Kind::None;
    int controller = 0;  // control change only
    int value = 0;
    int target = 0;      // the tag of the driven panel, for the panel-directed kinds

    bool operator==(const FaderMessage&) const = default;
};

// Patch changes go to the panel tagged `patchId`; without one nothing is sent.
FaderMessage faderMessage(int code, int value, int patchId);

}  // namespace orvell
