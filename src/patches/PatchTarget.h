#pragma once

#include <QString>

namespace orvell {

class PatchEntries;

// What the patch-file reader and writer need of a patch panel. The patch-list
// and patch-group panels both implement it; the group members have defaults
// that a plain list never uses.
class PatchTarget {
public:
    virtual ~PatchTarget() = default;

    // The list name: the panel's caption.
    virtual QString listName() const = 0;
    virtual void setListName(const QString& name) = 0;
    virtual bool isPatchGroup() const { return false; }
    // True while a file is read: the panel keeps quiet and unchanged.
    virtual void setInitializing(bool on) = 0;

    // PatchLst, with the FavChnPrt channel and port of each entry.
    virtual PatchEntries& patchEntries() = 0;
    // ListIndex of PatchLst: selects one entry alone, -1 none.
    virtual void selectPatch(int index) = 0;
    // The captions of ChanLbl and PortLbl.
    virtual void setChanLbl(const QString& channel) = 0;
    virtual void setPortLbl(const QString& port) = 0;

    virtual QString myFileName() const = 0;
    virtual void setMyFileName(const QString& path) = 0;
    virtual QString defCaption() const = 0;

    // The synth database of a patch group.
    // A free channel for a new synth, 0 when none is left.
    virtual int GetChan(const QString& bankName, const QString& port)
    {
        (void)bankName;
        (void)port;
        return 0;
    }
    // Asks the user for the channel and port of a bank whose file gave none;
    // `freeChannel` is proposed. Either left empty skips the bank.
    virtual void askChanPort(const QString& bankName, int freeChannel, QString& channel, QString& port)
    {
        (void)bankName;
        (void)freeChannel;
        (void)channel;
        (void)port;
    }
    // No room for another synth.
    virtual bool synthsFull() const { return false; }
    virtual void AddSynth(const QString& synthName, const QString& channel, const QString& port)
    {
        (void)synthName;
        (void)channel;
        (void)port;
    }
    virtual void AddSynthInstr(int prog, const QString& insName, int count)
    {
        (void)prog;
        (void)insName;
        (void)count;
    }
    // Shows the synth added last, re-displaying it even when it was shown already.
    virtual void selectLastSynth() {}
};

}  // namespace orvell
