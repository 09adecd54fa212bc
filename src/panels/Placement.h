#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

namespace orvell {

// Where a new panel of size `panel` goes inside an area of size `area`: the
// first spot on a grid of quarter-panel steps, row by row, that overlaps none
// of the `occupied` rectangles. Nothing when no spot is free; the panel then
// keeps its default position. Touching edges do not count as overlap.
std::optional<QPoint> findPanelSpot(QSize area, QSize panel, const std::vector<QRect>& occupied);

}  // namespace orvell
