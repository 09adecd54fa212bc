#pragma once

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace orvell {

// One patch: what a patch panel shows, the program it sends, and (in
// multi-synth lists) its own channel text and port.
struct PatchEntry {
    QString name;
    int prog = 0;
    QString channel;
    int port = 0;

    bool operator==(const PatchEntry&) const = default;
};

// The entries of a patch panel's list in file order. A model rather than
// list-box items, so a list of a hundred thousand patches fills in one step.
class PatchEntries : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int ProgRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int count() const { return static_cast<int>(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }
    const PatchEntry& at(int row) const { return entries_[static_cast<size_t>(row)]; }
    const std::vector<PatchEntry>& all() const { return entries_; }

    void append(std::vector<PatchEntry> more);
    // Inserts before `row`; a row past the end appends.
    void insert(int row, std::vector<PatchEntry> more);
    // Removes the given rows, in any order.
    void remove(std::vector<int> rows);
    void clear();

private:
    std::vector<PatchEntry> entries_;
};

}  // namespace orvell

namespace orvell {

struct PasteResult {
    int inserted = 0;
    // The entry that stopped the paste and the one already there.
    const PatchEntry* refused = nullptr;
    QString holderName;
};

// Inserts `entries` before `row` in their order. An entry whose program
// number (and, with `samePort`, port) is already in the list stops the paste;
// the entries before it stay.
PasteResult pasteEntries(PatchEntries& list, int row, const std::vector<PatchEntry>& entries, bool samePort);

}  // namespace orvell
