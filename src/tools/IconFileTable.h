#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace orvell {

// Which palette slots show a picture loaded from a file, and which file.
// Only the first 32 slots can be replaced; the last eight always keep their
// own pictures, since the panel classes use them as default ID icons.
class IconFileTable {
public:
    static constexpr int SlotCount = 40;
    static constexpr int Replaceable = 32;

    static bool replaceable(int slot) { return slot >= 0 && slot < Replaceable; }

    // "" for the factory picture (and for any slot outside the table).
    QString file(int slot) const;
    // Ignored for a slot that cannot be replaced.
    void set(int slot, const QString& path);
    void clear(int slot) { set(slot, {}); }
    bool anyReplaced() const;

    // IconStore: "3, path|10, path" for the replaced slots in ascending order.
    QString StoreIcons() const;
    // The entries of a packed table, unusable ones left out.
    static std::vector<std::pair<int, QString>> unpack(QStringView store);
    // "3, path": the slot before the first comma, the path after it, blanks
    // around both removed; nullopt for a slot that cannot be replaced.
    static std::optional<std::pair<int, QString>> parseEntry(QStringView entry);

private:
    std::array<QString, Replaceable> files_;
};

}  // namespace orvell
