#pragma once

#include <QString>

namespace orvell {

// The sweep settings of one button, kept by its panel and saved with it.
struct AutoSettings {
    QString AMCName;      // at most 13 characters
    int Aduration = 500;  // milliseconds, 0..7000
    int Astart = 0;
    int Aend = 127;
    bool ARepeat = false;
    bool ATriangle = false;
    bool AIsSet = false;  // made at least once

    bool operator==(const AutoSettings&) const = default;
};

constexpr int MaxAutoNameLength = 13;
constexpr int MaxAutoDuration = 7000;

// What the settings dialog shows for a button never set up: half a second
// from the controller's rest value towards its other end.
AutoSettings defaultAutoSettings(int code);

// The settings a dialog opens with: the stored ones once set, else the defaults.
AutoSettings dialogAutoSettings(const AutoSettings& stored, int code);

// The duration control moves in 50 ms steps; a value below one step is no time.
int snapDuration(int milliseconds);

// The duration box and its unit: whole milliseconds below a second, seconds
// (as a single-precision number, 1.5 for 1500) from there.
struct DurationText {
    QString value;
    QString unit;

    bool operator==(const DurationText&) const = default;
};
DurationText durationText(int milliseconds);

// Repeating needs something to repeat: a zero-length sweep to the same value has nothing.
bool repeatOffered(int start, int end, int duration);

}  // namespace orvell
