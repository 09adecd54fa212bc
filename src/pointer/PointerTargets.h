#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace orvell {

// One entry of the panel pointer's target list: the caption shown and the
// tag the panel is found by.
struct PointerEntry {
    QString name;
    QString tag;

    bool operator==(const PointerEntry&) const = default;
};

// The panel pointer's target list, in the order shown.
class PointerTargets {
public:
    const QList<PointerEntry>& entries() const { return entries_; }
    int count() const { return static_cast<int>(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    void clear() { entries_.clear(); }
    void add(const QString& name, const QString& tag) { entries_.append({name, tag}); }
    // The first entry with that tag, -1 when none.
    int indexOf(const QString& tag) const;
    // Removes every entry with that tag; how many went.
    int erase(const QString& tag);

    // A file gives the entries as "PanlName=" / "ToPanlTag=" pairs: a name
    // starts an entry, a tag completes the one before it or stands alone.
    void loadName(const QString& name);
    void loadTag(const QString& tag);

    struct Check {
        int dropped = 0;       // entries whose panel is gone
        QStringList repeated;  // names of entries whose tag an earlier entry has
    };
    // Drops the entries whose tag `exists` denies, then the repeats of an
    // earlier entry's tag.
    Check check(const std::function<bool(const QString&)>& exists);

private:
    QList<PointerEntry> entries_;
    bool nameOpen_ = false;  // the last entry came from a name and waits for its tag
};

}  // namespace orvell
