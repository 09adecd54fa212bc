#pragma once

#include "panels/PanelClasses.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <span>
#include <vector>

namespace orvell {

// Arrange Panels lays the class groups out in this order.
inline constexpr std::array<PanelClass, 8> kArrangeGroupOrder = {
    PanelClass::Sequencer, PanelClass::PanlPointer, PanelClass::PatchList, PanelClass::Buttons,
    PanelClass::JstkCtrl,  PanelClass::HFaders,     PanelClass::VFaders,   PanelClass::PatchGroup,
};

struct ArrangeEntry {
    PanelClass panelClass;
    QSize size;
};

// New top-left corners for `panels`, index for index. The groups follow one
// another in `groupOrder`, each group's panels side by side in their given
// order, in rows that wrap at `areaWidth` and lie edge to edge. A group that
// would break across rows but fits in a row of its own starts a new row, so
// a class stays together. Classes missing from `groupOrder` come last.
std::vector<QPoint> arrangePanels(const std::vector<ArrangeEntry>& panels, int areaWidth,
                                  std::span<const PanelClass> groupOrder = kArrangeGroupOrder);

// Top-left corners for tiling `windows` over `area`: a grid of equal cells,
// filled row by row in the given order, with as many columns as lets the
// windows overlap least. The windows keep their sizes; each sits at its
// cell's corner, moved back as far as needed to end inside the area.
std::vector<QPoint> tileWindows(const std::vector<QSize>& windows, QSize area);

// Where `window` goes to lie inside `area` with the least move; a window
// larger than the area keeps its top-left corner in view.
QPoint keepInside(const QRect& window, QSize area);

// Top-left corners for minimised windows: a row along the bottom of `area`
// from the left, continuing in rows above when it is full.
std::vector<QPoint> arrangeIcons(const std::vector<QSize>& icons, QSize area);

// The positions in `icons` that show the same ID icon as position `active`,
// in order, with `active` itself last. Empty when `active` is out of range.
std::vector<int> matchingIdOrder(const std::vector<int>& icons, int active);

}  // namespace orvell
