#include "controllers/AutoSettings.h"

#include "controllers/Controllers.h"

namespace orvell {

AutoSettings defaultAutoSettings(int code)
{
    AutoSettings settings;
    switch (code) {
    case 7:
    case 11:
        settings.Astart = 127;
        settings.Aend = 0;
        break;
    case 8:
    case 10:
        settings.Astart = 63;
        settings.Aend = 0;
        break;
    case CtrlCode::PitchBend:
        settings.Astart = 0;
        settings.Aend = -8192;
        break;
    default:
        settings.Astart = 0;
        settings.Aend = 127;
        break;
    }
    return settings;
}

AutoSettings dialogAutoSettings(const AutoSettings& stored, int code)
{
    if (stored.AIsSet)
        return stored;
    AutoSettings settings = defaultAutoSettings(code);
    settings.AMCName = stored.AMCName;
    return settings;
}

int snapDuration(int milliseconds)
{
    if (milliseconds < 50)
        return 0;
    return milliseconds > MaxAutoDuration ? MaxAutoDuration : milliseconds;
}

DurationText durationText(int milliseconds)
{
    if (milliseconds < 1000)
        return {QString::number(milliseconds), QStringLiteral("ms")};
    const float seconds = static_cast<float>(milliseconds) / 1000.0f;
    return {QString::number(seconds), QStringLiteral("s")};
}

bool repeatOffered(int start, int end, int duration) { return !(start == end && duration == 0); }

}  // namespace orvell
