#include "patches/SynthDB.h"

#include "core/Numeric.h"

#include <array>

namespace orvell {

bool SynthDB::AddSynth(const QString& name, const QString& channel, const QString& port, const QString& file)
{
    if (isFull())
        return false;
    synths_.push_back({name, channel, port, file, {}});
    return true;
}

void SynthDB::AddSynthInstr(int prog, const QString& name, int count)
{
    (void)count;  // instruments arrive in bank order
    if (!synths_.empty())
        synths_.back().instruments.push_back({name, prog, {}, 0});
}

void SynthDB::remove(int index)
{
    if (index >= 0 && index < count())
        synths_.erase(synths_.begin() + index);
}

int SynthDB::GetBankLen(int bank) const
{
    return bank >= 0 && bank < count() ? static_cast<int>(at(bank).instruments.size()) : 0;
}

int SynthDB::GetChan(const QString& port) const
{
    std::array<bool, 17> used{};
    const auto wanted = parseInteger(port);
    for (const Synth& synth : synths_) {
        const auto channel = parseInteger(synth.channel);
        if (channel && *channel >= 1 && *channel <= 16 && parseInteger(synth.port) == wanted)
            used[size_t(*channel)] = true;
    }
    for (int channel : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 10}) {
        if (!used[size_t(channel)])
            return channel;
    }
    return 0;
}

QString SynthDB::SynthFNames() const
{
    QString out;
    for (const Synth& synth : synths_) {
        if (!synth.file.isEmpty())
            out += synth.name + u'|' + synth.file + u'|';
    }
    return out;
}

std::vector<std::pair<QString, QString>> parseSynthFNames(const QString& value)
{
    const QStringList fields = value.split(u'|');
    std::vector<std::pair<QString, QString>> pairs;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        if (!fields[i].isEmpty() && !fields[i + 1].isEmpty())
            pairs.emplace_back(fields[i], fields[i + 1]);
    }
    return pairs;
}

bool needsMultiHeader(const PatchEntries& list, const QString& channel, const QString& port)
{
    const auto portNumber = parseInteger(port);
    for (const PatchEntry& entry : list.all()) {
        if (entry.channel != channel || !portNumber || entry.port != *portNumber)
            return true;
    }
    return false;
}

std::vector<int> rowsPlayingOn(const PatchEntries& list, const QString& channel, int port)
{
    std::vector<int> rows;
    for (int row = 0; row < list.count(); ++row) {
        if (list.at(row).channel == channel && list.at(row).port == port)
            rows.push_back(row);
    }
    return rows;
}

bool RefusalCount::refuse()
{
    if (++count_ <= threshold_)
        return false;
    count_ = 0;
    if (threshold_ < 10)
        threshold_ += 2;
    return true;
}

}  // namespace orvell
