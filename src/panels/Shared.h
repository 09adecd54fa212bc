#pragma once

#include "core/AppFlags.h"
#include "core/Reporter.h"
#include "help/MessageTable.h"
#include "midi/AutoSweep.h"
#include "midi/MidiEngine.h"
#include "midi/MidiLearn.h"
#include "midi/SysEx.h"

#include <QString>

#include <memory>
#include <vector>

namespace orvell {

class MidiSystem;
class Scheduler;

// Forwards to the window that shows reports; before there is one, reports go
// to standard error so nothing is lost.
class ReporterProxy final : public Reporter {
public:
    void setTarget(Reporter* target) { target_ = target; }
    void ShowStatusText(int field, const QString& text) override;
    void ShowMessage(const QString& text, const QString& title, MsgIcon icon) override;
    void HoldStatus() override;

private:
    Reporter* target_ = nullptr;
};

// The application-wide state every window works with. Created in main() and
// handed to each window; there are no globals behind it.
class Shared {
public:
    Shared(std::unique_ptr<MidiSystem> system, std::unique_ptr<Scheduler> scheduler);
    ~Shared();
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    void setReporter(Reporter* reporter) { reporter_.setTarget(reporter); }
    Reporter& reporter() { return reporter_; }
    MidiSystem& midiSystem() { return *system_; }
    Scheduler& scheduler() { return *scheduler_; }

    // Message n of the table.
    const QString& msg(int n) const { return Msgs[n]; }

    MessageTable Msgs;
    AppFlags flags;
    int UniqFormCounter = 0;  // the last panel tag issued

    // Directories end with '/'. AppDir is the start directory; the others are
    // remembered with the session.
    QString AppDir;
    QString PanlDir, PatchDir, SeqDir, PictDir, IconDir, HelpDir;
    QString LastPictName;  // the picture last chosen, proposed again next time
    QString LastPatchName;  // the patch file last chosen, proposed again next time
    std::vector<SysExEntry> SysExList;

private:
    std::unique_ptr<MidiSystem> system_;
    std::unique_ptr<Scheduler> scheduler_;
    ReporterProxy reporter_;

public:
    MidiEngine midi;  // after the members it refers to
    AutoSweep autoSweep{midi};
    MidiLearn learn{midi};
};

}  // namespace orvell
