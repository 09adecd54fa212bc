#include "core/Numeric.h"

#include <cmath>
#include <limits>

namespace orvell {

std::optional<double> parseNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // QString::toDouble also takes "inf" and "nan", which are not numbers here.
    for (QChar c : trimmed) {
        if (!c.isDigit() && c != u'.' && c != u'+' && c != u'-' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int roundHalfEven(double value)
{
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    if (std::isnan(value))
        return 0;
    if (value <= low)
        return std::numeric_limits<int>::min();
    if (value >= high)
        return std::numeric_limits<int>::max();
    return static_cast<int>(std::nearbyint(value));  // the default rounding mode is to nearest-even
}

std::optional<int> parseInteger(const QString& text)
{
    auto value = parseNumber(text);
    if (!value)
        return std::nullopt;
    return roundHalfEven(*value);
}

}  // namespace orvell
