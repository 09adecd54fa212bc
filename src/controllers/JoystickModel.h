#pragma once

#include "controllers/JoystickSystem.h"

#include <array>
#include <optional>

namespace orvell {

// Raw units a stick must move before a poll counts it as moved, for a
// sensitivity of 1..100 %.
int joyThreshold(int sensitivity);
// Raw units per MIDI unit: pitch bend is finer than a 0..127 controller.
int joyScale(int code);
// The value a raw position stands for; pitch bend comes centred on 0.
int joyMappedValue(int code, int raw, bool reverse);

// One axis as a poll sees it: the value it shows, what it last sent and the
// raw position it last counted.
class JoystickAxis {
public:
    void setCode(int code) { code_ = code; }
    int code() const { return code_; }
    bool center = false;   // the value follows the stick
    bool reverse = false;  // high at the left or the top

    // The stick was just opened at `raw`: that is where it rests. Today's pads
    // rest a little off the middle; measured from here a resting stick never
    // moves a value that climbs under the rate rule.
    void restAt(int raw);
    // The value shown, as the label holds it; setting it counts as sent.
    int value() const { return value_; }
    void setValue(int value);
    // One poll at `raw`; the value to send when it changed.
    std::optional<int> poll(int raw, int threshold);

private:
    // The rate rule: a stick held off its rest moves the value the further the faster.
    void moveByRate(int mapped, int threshold);

    int code_ = 10;
    int value_ = 0;
    int sent_ = 0;
    int lastRaw_ = 32768;
    int rest_ = 32768;
};

// What a poll finds: the values to send per axis, and the fire buttons that
// went down (true) or up (false).
struct JoyChanges {
    std::array<std::optional<int>, 2> axes;
    std::array<std::optional<bool>, 2> buttons;
};

// Both axes and the two fire buttons of one stick between polls.
class JoystickModel {
public:
    std::array<JoystickAxis, 2> axes;

    void setSensitivity(int sensitivity);
    int sensitivity() const { return sensitivity_; }
    int threshold() const { return threshold_; }

    // The first reading after the stick was opened.
    void start(const JoyPosition& at);
    JoyChanges poll(const JoyPosition& at);

private:
    int sensitivity_ = 70;
    int threshold_ = joyThreshold(70);
    unsigned buttons_ = 0;
};

}  // namespace orvell
