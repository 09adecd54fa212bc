#include "patches/PatchEntries.h"

#include <QHash>

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
    // Keyed by program, and port where that counts, so a long paste stays quick.
    const auto key = [samePort](const PatchEntry& entry) {
        return (qint64(entry.prog) << 32) ^ (samePort ? quint32(entry.port) : 0u);
    };
    QHash<qint64, int> taken;
    for (int i = list.count() - 1; i >= 0; --i)
        taken.insert(key(list.at(i)), i);  // the first holder of a key is the one named

    PasteResult result;
    std::vector<PatchEntry> accepted;
    for (const PatchEntry& entry : entries) {
        const auto holder = taken.constFind(key(entry));
        if (holder != taken.cend()) {
            result.refused = &entry;
            result.holderName = *holder >= 0 ? list.at(*holder).name : accepted[size_t(-*holder - 1)].name;
            break;
        }
        taken.insert(key(entry), -int(accepted.size()) - 1);
        accepted.push_back(entry);
    }
    result.inserted = static_cast<int>(accepted.size());
    list.insert(row, std::move(accepted));
    return result;
}

}  // namespace orvell
