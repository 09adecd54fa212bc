#include "controllers/JoystickModel.h"

#include "core/Numeric.h"
#include "midi/CtrlCodes.h"

#include <algorithm>
#include <cstdlib>

namespace orvell {

namespace {

constexpr int RawMax = 65535;
constexpr int PitchOffset = 8192;

// The rate rule counts pitch bend in 0..16383 like every other value from 0.
int offsetOf(int code) { return code == CtrlCode::PitchBend ? PitchOffset : 0; }

}  // namespace

int joyThreshold(int sensitivity)
{
    const int s = std::clamp(sensitivity, 1, 100);
    return roundHalfEven(3655.0 - 3000.0 * s / 100.0);
}

int joyScale(int code) { return code == CtrlCode::PitchBend ? 4 : 512; }

int joyMappedValue(int code, int raw, bool reverse)
{
    const int p = std::clamp(raw, 0, RawMax);
    return (reverse ? RawMax - p : p) / joyScale(code) - offsetOf(code);
}

void JoystickAxis::restAt(int raw)
{
    rest_ = std::clamp(raw, 0, RawMax);
    lastRaw_ = rest_;
}

void JoystickAxis::setValue(int value)
{
    value_ = value;
    sent_ = value;
}

std::optional<int> JoystickAxis::poll(int raw, int threshold)
{
    const int mapped = joyMappedValue(code_, raw, reverse);
    if (std::abs(raw - lastRaw_) > threshold) {
        lastRaw_ = raw;
        if (center)
            value_ = mapped;
        else
            moveByRate(mapped, threshold);
    } else if (!center) {
        moveByRate(mapped, threshold);
    }
    // A move that leaves the value where it was sends nothing again.
    if (value_ == sent_)
        return std::nullopt;
    sent_ = value_;
    return value_;
}

void JoystickAxis::moveByRate(int mapped, int threshold)
{
    const int scale = joyScale(code_);
    const int offset = offsetOf(code_);
    const int top = RawMax / scale;
    const int v = mapped + offset;
    const int c = joyMappedValue(code_, rest_, reverse) + offset;
    int d = std::abs(v - c);
    if (d > 3)
        d = roundHalfEven(d / 2.0);
    if (d == 0)
        return;
    const double dead = double(threshold) / scale;
    const int current = value_ + offset;
    if (v > c + dead)
        value_ = std::min(current + d, top) - offset;
    else if (v < c - dead)
        value_ = std::max(current - d, 0) - offset;
}

void JoystickModel::setSensitivity(int sensitivity)
{
    sensitivity_ = std::clamp(sensitivity, 1, 100);
    threshold_ = joyThreshold(sensitivity_);
}

void JoystickModel::start(const JoyPosition& at)
{
    axes[0].restAt(at.x);
    axes[1].restAt(at.y);
    buttons_ = at.buttons;
}

JoyChanges JoystickModel::poll(const JoyPosition& at)
{
    JoyChanges found;
    found.axes[0] = axes[0].poll(at.x, threshold_);
    found.axes[1] = axes[1].poll(at.y, threshold_);
    // Button 1 is fire button A, button 2 fire button B.
    for (int b = 0; b < 2; ++b) {
        const bool was = buttons_ & (1u << b);
        const bool now = at.buttons & (1u << b);
        if (was != now)
            found.buttons[size_t(b)] = now;
    }
    buttons_ = at.buttons;
    return found;
}

}  // namespace orvell
