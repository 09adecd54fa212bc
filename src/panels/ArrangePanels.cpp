#include "panels/ArrangePanels.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace orvell {

namespace {

// Places boxes left to right, starting a new row when the next one would
// cross the right edge; a box wider than the area gets a row to itself.
class RowFlow {
public:
    explicit RowFlow(int width) : width_(width) {}

    bool fits(int w) const { return x_ == 0 || x_ + w <= width_; }
    void newRow()
    {
        if (x_ == 0)
            return;
        y_ += rowHeight_;
        x_ = 0;
        rowHeight_ = 0;
        ++row_;
    }
    QPoint place(QSize size)
    {
        if (!fits(size.width()))
            newRow();
        const QPoint at(x_, y_);
        x_ += size.width();
        rowHeight_ = std::max(rowHeight_, size.height());
        return at;
    }
    int row() const { return row_; }

private:
    int width_;
    int x_ = 0;
    int y_ = 0;
    int rowHeight_ = 0;
    int row_ = 0;
};

}  // namespace

std::vector<QPoint> arrangePanels(const std::vector<ArrangeEntry>& panels, int areaWidth,
                                  std::span<const PanelClass> groupOrder)
{
    std::vector<std::vector<size_t>> groups(groupOrder.size() + 1);
    for (size_t i = 0; i < panels.size(); ++i) {
        const auto it = std::find(groupOrder.begin(), groupOrder.end(), panels[i].panelClass);
        groups[static_cast<size_t>(it - groupOrder.begin())].push_back(i);
    }

    std::vector<QPoint> result(panels.size());
    RowFlow flow(areaWidth);
    for (const std::vector<size_t>& group : groups) {
        const int groupWidth = std::accumulate(group.begin(), group.end(), 0,
                                               [&](int sum, size_t i) { return sum + panels[i].size.width(); });
        if (!flow.fits(groupWidth) && groupWidth <= areaWidth)
            flow.newRow();
        for (size_t i : group)
            result[i] = flow.place(panels[i].size);
    }
    return result;
}

std::vector<QPoint> tileWindows(const std::vector<QSize>& windows, QSize area)
{
    const int count = static_cast<int>(windows.size());
    if (count == 0)
        return {};
    QSize largest(1, 1);
    for (const QSize& size : windows)
        largest = largest.expandedTo(size);

    auto rowsFor = [count](int columns) { return (count + columns - 1) / columns; };
    // How much of the largest window its cell keeps clear of the next one.
    auto clear = [&](int columns) {
        const double across = std::min(1.0, double(area.width() / columns) / largest.width());
        const double down = std::min(1.0, double(area.height() / rowsFor(columns)) / largest.height());
        return across * down;
    };
    // The clearest grid; of equally clear ones the squarest.
    auto lopsided = [&](int columns) { return std::abs(columns - rowsFor(columns)); };
    int columns = 1;
    for (int c = 2; c <= count; ++c) {
        const double gain = clear(c) - clear(columns);
        if (gain > 1e-9 || (gain > -1e-9 && lopsided(c) < lopsided(columns)))
            columns = c;
    }
    const int rows = rowsFor(columns);
    const QSize cell(area.width() / columns, area.height() / rows);

    std::vector<QPoint> result;
    for (int i = 0; i < count; ++i) {
        const QPoint corner((i % columns) * cell.width(), (i / columns) * cell.height());
        result.push_back(keepInside(QRect(corner, windows[static_cast<size_t>(i)]), area));
    }
    return result;
}

QPoint keepInside(const QRect& window, QSize area)
{
    const int x = std::clamp(window.x(), 0, std::max(0, area.width() - window.width()));
    const int y = std::clamp(window.y(), 0, std::max(0, area.height() - window.height()));
    return {x, y};
}

std::vector<QPoint> arrangeIcons(const std::vector<QSize>& icons, QSize area)
{
    // Flow from the top, then stack the rows upwards from the bottom edge.
    RowFlow flow(area.width());
    std::vector<QPoint> result;
    std::vector<int> rowOf;
    std::vector<int> rowHeights;
    for (const QSize& icon : icons) {
        result.push_back(flow.place(icon));
        rowOf.push_back(flow.row());
        rowHeights.resize(static_cast<size_t>(flow.row()) + 1, 0);
        rowHeights.back() = std::max(rowHeights.back(), icon.height());
    }
    std::vector<int> rowBottoms;
    int bottom = area.height();
    for (int height : rowHeights) {
        rowBottoms.push_back(bottom);
        bottom -= height;
    }
    for (size_t i = 0; i < icons.size(); ++i)
        result[i].setY(rowBottoms[static_cast<size_t>(rowOf[i])] - icons[i].height());
    return result;
}

std::vector<int> matchingIdOrder(const std::vector<int>& icons, int active)
{
    std::vector<int> result;
    if (active < 0 || static_cast<size_t>(active) >= icons.size())
        return result;
    const int icon = icons[static_cast<size_t>(active)];
    for (size_t i = 0; i < icons.size(); ++i) {
        if (icons[i] == icon && static_cast<int>(i) != active)
            result.push_back(static_cast<int>(i));
    }
    result.push_back(active);
    return result;
}

}  // namespace orvell
