#include "patches/PatchEntries.h"

#include <algorithm>
#include <iterator>

namespace orvell {

int PatchEntries::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

QVariant PatchEntries::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= count())
        return {};
    const PatchEntry& entry = at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return entry.name;
    if (role == ProgRole)
        return entry.prog;
    return {};
}

void PatchEntries::append(std::vector<PatchEntry> more) { insert(count(), std::move(more)); }

void PatchEntries::insert(int row, std::vector<PatchEntry> more)
{
    if (more.empty())
        return;
    row = std::clamp(row, 0, count());
    beginInsertRows({}, row, row + static_cast<int>(more.size()) - 1);
    entries_.insert(entries_.begin() + row, std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
    endInsertRows();
}

void PatchEntries::remove(std::vector<int> rows)
{
    std::erase_if(rows, [this](int row) { return row < 0 || row >= count(); });
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Runs of neighbouring rows go in one step, so cutting a long selection stays quick.
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] - 1)
            ++j;
        const int first = rows[j], last = rows[i];
        beginRemoveRows({}, first, last);
        entries_.erase(entries_.begin() + first, entries_.begin() + last + 1);
        endRemoveRows();
        i = j + 1;
    }
}

void PatchEntries::clear()
{
    beginResetModel();
    entries_.clear();
    endResetModel();
}

}  // namespace orvell

namespace orvell {

PasteResult pasteEntries(PatchEntries& list, int row, const std::vector<PatchEntry>& entries, bool samePort)
{
    PasteResult result;
    row = std::clamp(row, 0, list.count());
    for (const PatchEntry& entry : entries) {
        const auto& all = list.all();
        const auto holder = std::find_if(all.begin(), all.end(), [&](const PatchEntry& there) {
            return there.prog == entry.prog && (!samePort || there.port == entry.port);
        });
        if (holder != all.end()) {
            result.refused = &entry;
            result.holderName = holder->name;
            return result;
        }
        list.insert(row + result.inserted, {entry});
        ++result.inserted;
    }
    return result;
}

}  // namespace orvell
