#pragma once

#include "patches/PatchEntries.h"

#include <QString>

#include <utility>
#include <vector>

namespace orvell {

// One synth of a patch group: the bank read from an instrument file, played
// on its own output channel and port.
struct Synth {
    QString name;     // the bank name
    QString channel;  // 1 to 16, as text
    QString port;     // output port number, as text
    QString file;     // the file the bank was read from, "" when not known
    std::vector<PatchEntry> instruments;  // in bank order
};

// The synth database of a patch group.
class SynthDB {
public:
    // Sixteen channels on each of four ports; more synths than that could
    // only share channels.
    static constexpr int MaxSynths = 64;

    int count() const { return static_cast<int>(synths_.size()); }
    bool isEmpty() const { return synths_.empty(); }
    bool isFull() const { return count() >= MaxSynths; }
    const Synth& at(int index) const { return synths_[static_cast<size_t>(index)]; }
    Synth& at(int index) { return synths_[static_cast<size_t>(index)]; }
    const std::vector<Synth>& all() const { return synths_; }

    // False, and nothing added, when the database is full.
    bool AddSynth(const QString& name, const QString& channel, const QString& port, const QString& file = {});
    // Adds to the synth added last; `count` is the place in its bank.
    void AddSynthInstr(int prog, const QString& name, int count);
    void remove(int index);
    void clear() { synths_.clear(); }

    // The number of instruments of synth `bank`, 0 when there is none.
    int GetBankLen(int bank) const;
    // A channel no synth on `port` uses yet, 0 when all sixteen are taken.
    // The lowest one is taken, channel 10 last, as it is the drum channel of
    // General MIDI synths.
    int GetChan(const QString& port) const;

    // "bank|file|bank|file|..." of the synths with a known file.
    QString SynthFNames() const;

private:
    std::vector<Synth> synths_;
};

// The (bank, file) pairs of a SynthFNames value, each field ended by "|";
// a last pair without its final "|" counts, a pair with an empty field does not.
std::vector<std::pair<QString, QString>> parseSynthFNames(const QString& value);

// True when the entries do not all play on `channel` and `port`: the list
// then needs the multi-synth header to keep each entry's channel and port.
bool needsMultiHeader(const PatchEntries& list, const QString& channel, const QString& port);

// The rows of the entries that play on that channel and port.
std::vector<int> rowsPlayingOn(const PatchEntries& list, const QString& channel, int port);

// Counts the refused questions of an instrument load. After more refusals
// than the threshold (first 2) the user is asked whether to go on; the count
// then restarts and the threshold grows by 2 up to 10.
class RefusalCount {
public:
    // One more refusal; true when it is time to ask.
    bool refuse();

private:
    int count_ = 0;
    int threshold_ = 2;
};

}  // namespace orvell
