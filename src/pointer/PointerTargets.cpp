#include "pointer/PointerTargets.h"

#include <QSet>

namespace orvell {

int PointerTargets::indexOf(const QString& tag) const
{
    for (int i = 0; i < count(); ++i) {
        if (entries_[i].tag == tag)
            return i;
    }
    return -1;
}

int PointerTargets::erase(const QString& tag)
{
    nameOpen_ = false;
    return static_cast<int>(entries_.removeIf([&](const PointerEntry& entry) { return entry.tag == tag; }));
}

void PointerTargets::loadName(const QString& name)
{
    entries_.append({name, QString()});
    nameOpen_ = true;
}

void PointerTargets::loadTag(const QString& tag)
{
    if (nameOpen_)
        entries_.last().tag = tag;
    else
        entries_.append({QString(), tag});
    nameOpen_ = false;
}

PointerTargets::Check PointerTargets::check(const std::function<bool(const QString&)>& exists)
{
    nameOpen_ = false;
    Check result;
    result.dropped = static_cast<int>(entries_.removeIf([&](const PointerEntry& entry) { return !exists(entry.tag); }));
    QSet<QString> seen;
    entries_.removeIf([&](const PointerEntry& entry) {
        if (!seen.contains(entry.tag)) {
            seen.insert(entry.tag);
            return false;
        }
        result.repeated << entry.name;
        return true;
    });
    return result;
}

}  // namespace orvell
