#include "tools/IconFileTable.h"

#include <QRegularExpression>
#include <QStringList>

namespace orvell {

QString IconFileTable::file(int slot) const { return replaceable(slot) ? files_[slot] : QString(); }

void IconFileTable::set(int slot, const QString& path)
{
    if (replaceable(slot))
        files_[slot] = path;
}

bool IconFileTable::anyReplaced() const
{
    for (const QString& path : files_) {
        if (!path.isEmpty())
            return true;
    }
    return false;
}

QString IconFileTable::StoreIcons() const
{
    QStringList entries;
    for (int slot = 0; slot < Replaceable; ++slot) {
        if (!files_[slot].isEmpty())
            entries << QString::number(slot) + QStringLiteral(", ") + files_[slot];
    }
    return entries.join(u'|');
}

std::vector<std::pair<int, QString>> IconFileTable::unpack(QStringView store)
{
    // A "|" inside a path is kept: only one followed by the next entry's
    // slot number and comma separates.
    static const QRegularExpression separator(QStringLiteral("\\|(?=\\s*\\d+\\s*,)"));
    std::vector<std::pair<int, QString>> entries;
    for (const QString& entry : store.toString().split(separator, Qt::SkipEmptyParts)) {
        if (auto parsed = parseEntry(entry))
            entries.push_back(std::move(*parsed));
    }
    return entries;
}

std::optional<std::pair<int, QString>> IconFileTable::parseEntry(QStringView entry)
{
    const qsizetype comma = entry.indexOf(u',');
    if (comma < 0)
        return std::nullopt;
    bool ok = false;
    const int slot = entry.left(comma).trimmed().toInt(&ok);
    const QString path = entry.mid(comma + 1).trimmed().toString();
    if (!ok || !replaceable(slot) || path.isEmpty())
        return std::nullopt;
    return std::pair{slot, path};
}

}  // namespace orvell
