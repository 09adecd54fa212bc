#pragma once

#include "patches/PatchEntries.h"
#include "patches/PatchTarget.h"

#include <QStringList>

#include <vector>

namespace orvell::test {

// A patch panel without a window: records what the reader does to it.
struct TestTarget : PatchTarget {
    struct Synth {
        QString name, channel, port;
        bool operator==(const Synth&) const = default;
    };
    struct Instr {
        int prog;
        QString name;
        int count;
        bool operator==(const Instr&) const = default;
    };

    QString listName() const override { return name; }
    void setListName(const QString& n) override { name = n; }
    bool isPatchGroup() const override { return group; }
    void setInitializing(bool on) override
    {
        initializing = on;
        wasInitializing = wasInitializing || on;
    }
    PatchEntries& patchEntries() override { return entries; }
    void selectPatch(int index) override { selected = index; }
    void setChanLbl(const QString& c) override { chan = c; }
    void setPortLbl(const QString& p) override { port = p; }
    QString myFileName() const override { return file; }
    void setMyFileName(const QString& path) override { file = path; }
    QString defCaption() const override { return QStringLiteral("Patch Sub-Group"); }
    int GetChan(const QString&, const QString&) override { return freeChannel; }
    void askChanPort(const QString&, int, QString& c, QString& p) override
    {
        c = askedChan;
        p = askedPort;
    }
    bool synthsFull() const override { return full; }
    void AddSynth(const QString& n, const QString& c, const QString& p) override { synths.push_back({n, c, p}); }
    void AddSynthInstr(int prog, const QString& n, int count) override { instrs.push_back({prog, n, count}); }
    void selectLastSynth() override { ++lastSynthShown; }

    QStringList lines() const
    {
        QStringList out;
        for (const PatchEntry& e : entries.all())
            out << QString::number(e.prog) + u'=' + e.name;
        return out;
    }

    QString name = QStringLiteral("Patch List");
    bool group = false;
    bool initializing = false, wasInitializing = false;
    PatchEntries entries;
    int selected = -1;
    QString chan = QStringLiteral("Chan"), port = QStringLiteral("port"), file;
    int freeChannel = 1;
    bool full = false;
    QString askedChan, askedPort;
    std::vector<Synth> synths;
    std::vector<Instr> instrs;
    int lastSynthShown = 0;
};

}  // namespace orvell::test
