#pragma once

#include <QFont>

#include <algorithm>

namespace orvell {

// The status fields and panel labels are laid out in small design sizes; a
// slightly smaller font keeps whole names and messages visible in them.
inline QFont compactFont(QFont font)
{
    font.setPointSizeF(std::max(6.0, font.pointSizeF() - 1.5));
    return font;
}

}  // namespace orvell
