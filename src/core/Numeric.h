#pragma once

#include <QString>

#include <optional>

namespace orvell {

// Reads the text of an entry box or a port/channel caption as a number:
// blanks around it, an optional sign, decimals and an exponent are accepted.
std::optional<double> parseNumber(const QString& text);

// Rounds half to even and saturates at the int range.
int roundHalfEven(double value);

// parseNumber followed by roundHalfEven.
std::optional<int> parseInteger(const QString& text);

}  // namespace orvell
