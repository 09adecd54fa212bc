#pragma once

#include "controllers/Controllers.h"

namespace orvell {

// How a button acts on a press.
enum class ButtonKind {
    OneShot,     // a single message (All Notes Off, Data Increment) or nothing (300)
    Switch,      // on while the border shows, off without it
    Continuous,  // no on or off value of its own: it sweeps
};

ButtonKind buttonKind(int code, const CustomControllers& custom);

// What a button does over a press and its release.
namespace BtnOption {
constexpr int None = 0;       // one-shot types
constexpr int Momentary = 1;  // "mom": on while held
constexpr int Toggle = 2;     // "togl": on at one press, off at the next
constexpr int Auto = 3;       // "auto": a timed sweep while held
}  // namespace BtnOption

// The option a button gets when its controller type changes.
int defaultButtonOption(int code, const CustomControllers& custom);

// The message numbers of an option's word ("mom", "togl", "auto") and of its
// hint; 0 for no option.
int optionWordMessage(int option);
int optionHintMessage(int option);

// The data value of a one-shot or switch controller message.
int buttonValue(int code, bool on, const CustomControllers& custom);

// Panel-directed codes that a button sends to another panel rather than to a
// channel, and the class of that panel.
bool buttonTargetsPanel(int code);

}  // namespace orvell
