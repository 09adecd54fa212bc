#pragma once

#include "core/Reporter.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace orvell {

class MessageTable;
class PatchEntries;
class PatchTarget;
class Reporter;
class Shared;

// The boxes and the save dialog that reading and writing patch files ask,
// shaped after the program's Dialogs, which the widgets pass in.
class PatchDialogs {
public:
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };
    struct SaveRequest {
        QString title, directory, fileName, filter;
    };

    virtual ~PatchDialogs() = default;
    virtual Answer MsgBox(const QString& text, Buttons buttons, MsgIcon icon, const QString& title) = 0;
    // Nothing on Cancel.
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& initial) = 0;
    // The chosen path, "" on Cancel. Overwriting is confirmed by the dialog.
    virtual QString SaveFile(const SaveRequest& request) = 0;
};

// What reading and writing patch files reach beyond the target panel.
struct PatchFileContext {
    const MessageTable& msgs;
    PatchDialogs& dialogs;
    Reporter& reporter;
    QString& patchDir;      // remembered directory of patch files, ending with '/'
    QString& lastFileName;  // name part of the patch file last saved
};

PatchFileContext patchFileContext(Shared& shared, PatchDialogs& dialogs);

// Reads a patch-list file into `target`. With `wantedBank`, only that bank is
// loaded; when none of that name held entries, the user confirms banks one by
// one. An empty `wantedBank` asks about the banks at once when there are
// several. False only when the file could not be read (reported, and entries
// already in the target kept); a load that was refused or cancelled is true.
bool LoadPatchFile(const PatchFileContext& context, PatchTarget& target, const QString& fileName,
                   const QString& wantedBank, bool groupMode, bool flatMode);
// The same on a file's bytes; `fileName` only names the file in messages.
bool LoadPatchBytes(const PatchFileContext& context, PatchTarget& target, const QByteArray& bytes,
                    const QString& wantedBank, bool groupMode, bool flatMode);

// How an instrument load for a patch group ended.
enum class InstrumentLoad {
    Failed,    // the file could not be read (reported)
    Synths,    // its banks were offered as synths
    SubGroup,  // a multi-synth list the user took as the new sub-group
    Stopped,   // the user declined the sub-group or stopped the search
};
// Reads an instrument file into a patch group as LoadPatchFile does in group
// mode, asking for what the file lacks: a bank without a port asks for one,
// then one without a channel for that, proposing a free channel. Refused
// questions are counted; now and then the user is asked whether to go on.
// A multi-synth list replaces the sub-group once the user agrees.
InstrumentLoad LoadInstruments(const PatchFileContext& context, PatchTarget& target, const QString& fileName);
InstrumentLoad LoadInstrumentBytes(const PatchFileContext& context, PatchTarget& target, const QByteArray& bytes);

// The questions for a bank's output port and channel. Nothing when the
// answer is empty, cancelled or not a port or channel.
std::optional<QString> askSynthPort(PatchDialogs& dialogs, const QString& bankName);
std::optional<QString> askSynthChannel(PatchDialogs& dialogs, const QString& bankName, int freeChannel);

// The header line of a list: channel and port when both are numeric, else "".
QString singleSynthHeader(const QString& channel, const QString& port);
QString multiSynthHeader();
bool isMultiSynthHeader(const QString& line);

// The lines of a list file, CR LF ended: the header when not empty, the bank
// line, the entries.
QByteArray patchListBytes(const PatchEntries& entries, const QString& listName, const QString& header);

// Asks for a file and a list name and writes the target's list. False when
// nothing was saved (cancelled or failed, both reported).
bool SavePatchList(const PatchFileContext& context, PatchTarget& target, const QString& header);

struct MultiSynthValue {
    QString name;
    QString channel;  // "" when the value carries none
    QString port;
};
// Splits "name chan, port" from the right; a value without them is all name.
MultiSynthValue splitMultiSynthValue(const QString& value);

}  // namespace orvell
