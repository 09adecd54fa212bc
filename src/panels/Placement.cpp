#include "panels/Placement.h"

#include "core/Numeric.h"

namespace orvell {

std::optional<QPoint> findPanelSpot(QSize area, QSize panel, const std::vector<QRect>& occupied)
{
    const int h = panel.height();
    const int w = panel.width();
    if (h <= 0 || w <= 0)
        return std::nullopt;
    // The bounds stay real numbers, so every candidate lies inside the area.
    const double lastRow = 4.0 * area.height() / h - 4;
    const double lastColumn = 4.0 * area.width() / w - 4;
    for (int k = 0; k <= lastRow; ++k) {
        const int top = roundHalfEven(k * h / 4.0);
        for (int j = 0; j <= lastColumn; ++j) {
            const QRect candidate(roundHalfEven(j * w / 4.0), top, w, h);
            bool free = true;
            for (const QRect& taken : occupied) {
                if (candidate.intersects(taken)) {
                    free = false;
                    break;
                }
            }
            if (free)
                return candidate.topLeft();
        }
    }
    return std::nullopt;
}

}  // namespace orvell
