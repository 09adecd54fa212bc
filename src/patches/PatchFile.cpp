#include "patches/PatchFile.h"

#include "core/FileBytes.h"
#include "core/Numeric.h"
#include "core/Reporter.h"
#include "core/TextCodec.h"
#include "help/MessageTable.h"
#include "panels/Shared.h"
#include "patches/PatchEntries.h"
#include "patches/PatchTarget.h"
#include "patches/SynthDB.h"

#include <QFileInfo>

#include <optional>
#include <vector>

namespace orvell {

namespace {

enum : int {
    MsgMultiSynthList = 44,
    MsgMatchConfig = 45,
    MsgForMultipleSynths = 46,
    MsgSaveList = 57,
    MsgSynthLimit = 58,
    MsgNoChannelsLeft = 59,
    MsgSaveFailed = 60,
    MsgNoChanPort = 63,
    MsgSearchOtherSynths = 66,
    MsgMultiErasesSubGroup = 81,
    MsgNotSaved = 93,
    MsgLoadPanel = 120,
    MsgIntendedBank = 126,
    MsgSelectManually = 127,
    MsgEnterListName = 36,
    MsgRenameListTitle = 37,
};

// Larger files are not patch lists; reading one whole would only exhaust memory.
constexpr qint64 MaxPatchFileBytes = qint64(512) << 20;

bool isNumeric(QStringView text) { return parseNumber(text.toString()).has_value(); }

// The "[dD][rR][uU][mM]" test of bank names, ASCII letters only.
bool namesDrums(QStringView name)
{
    for (qsizetype i = 0; i + 4 <= name.size(); ++i) {
        const auto lower = [&](qsizetype k) { return char16_t(name[i + k].unicode() | 0x20); };
        if (name[i].unicode() < 128 && lower(0) == u'd' && lower(1) == u'r' && lower(2) == u'u' && lower(3) == u'm')
            return true;
    }
    return false;
}

bool isMultiHeader(QStringView line)
{
    return line.size() >= 20 && line.startsWith(u"; Multi-PatchList") && line.endsWith(u"@@");
}

// Splits the bytes into lines at CR LF, LF or a lone CR.
class Lines {
public:
    explicit Lines(QStringView text) : text_(text) {}
    std::optional<QStringView> next()
    {
        if (pos_ >= text_.size())
            return std::nullopt;
        qsizetype end = pos_;
        const QChar* data = text_.data();
        while (end < text_.size() && data[end] != u'\n' && data[end] != u'\r')
            ++end;
        const QStringView line = text_.sliced(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size()) {
            const bool cr = data[pos_] == u'\r';
            ++pos_;
            if (cr && pos_ < text_.size() && data[pos_] == u'\n')
                ++pos_;
        }
        return line;
    }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

// One reading of the file. Changes to a plain list are kept back until the
// pass ends, so a refused file leaves the panel as it was and the entries go
// into the list in one step.
class PatchReader {
public:
    enum class Bank { Wanted, Ask, All };
    enum class End { FileEnd, Cancelled, Refused, NoChannels, Stopped };

    PatchReader(const PatchFileContext& context, PatchTarget& target, bool groupMode, bool flatMode)
        : ctx_(context), target_(target), groupMode_(groupMode), flatMode_(flatMode)
    {
    }

    // Counts the banks a load would offer, changing nothing.
    int countBanks(QStringView text)
    {
        dryRun_ = true;
        run(text, Bank::All, {}, 0);
        dryRun_ = false;
        return banks_;
    }

    End run(QStringView text, Bank mode, const QString& wanted, int knownBanks);

    // The questions of an instrument load from the patch group's own button.
    void setInteractive() { interactive_ = true; }
    bool multi() const { return multi_; }
    int synthsAdded() const { return synthsAdded_; }
    int banks() const { return banks_; }

private:
    void controlLine(QStringView line);
    void singleSynthHeaderLine(QStringView line);
    std::optional<End> bankLine(QStringView name);
    std::optional<End> synthBank(const QString& name);
    std::optional<End> askedSynthBank(const QString& name);
    std::optional<End> refusedBank();
    void entryLine(QStringView line);
    void apply();

    const PatchFileContext& ctx_;
    PatchTarget& target_;
    const bool groupMode_;
    const bool flatMode_;
    bool dryRun_ = false;
    bool interactive_ = false;
    RefusalCount refusals_;
    int synthsAdded_ = 0;
    bool replaceEntries_ = false;

    Bank mode_ = Bank::All;
    QString wanted_;
    int knownBanks_ = 0;

    bool multi_ = false;
    bool refused_ = false;
    bool sectioned_ = false;
    bool skipping_ = false;
    bool skipBank_ = false;
    int banks_ = 0;
    int count_ = 0;
    QString pendingChan_, pendingPort_;

    std::vector<PatchEntry> entries_;
    std::optional<QString> chanLbl_, portLbl_, listName_;
};

PatchReader::End PatchReader::run(QStringView text, Bank mode, const QString& wanted, int knownBanks)
{
    mode_ = mode;
    wanted_ = wanted;
    knownBanks_ = knownBanks;
    refused_ = sectioned_ = skipping_ = skipBank_ = false;
    // A flat read never makes synths, even of a file without control lines.
    multi_ = flatMode_;
    banks_ = count_ = 0;
    pendingChan_.clear();
    pendingPort_.clear();

    End end = End::FileEnd;
    Lines lines(text);
    while (const auto next = lines.next()) {
        const QStringView line = *next;
        if (line.isEmpty())
            continue;
        const QChar first = line.front();
        if (first == u';' || first == u'.') {
            controlLine(line);
            if (refused_) {
                end = End::Refused;
                break;
            }
            continue;
        }
        if (sectioned_ && skipping_)
            continue;
        if (first == u'[' && line.size() >= 2 && line.back() == u']') {
            if (const auto stop = bankLine(line.sliced(1, line.size() - 2))) {
                end = *stop;
                break;
            }
            continue;
        }
        if (skipBank_)
            continue;
        entryLine(line);
    }
    if (end == End::Refused) {
        entries_.clear();
        chanLbl_.reset();
        portLbl_.reset();
        listName_.reset();
    }
    apply();
    return end;
}

void PatchReader::controlLine(QStringView line)
{
    pendingChan_.clear();
    pendingPort_.clear();
    if (flatMode_)
        multi_ = true;
    if (line.startsWith(u"; ----------")) {
        sectioned_ = true;
        skipping_ = false;
        return;
    }
    if (line.endsWith(u"@@")) {
        if (!isMultiHeader(line)) {
            singleSynthHeaderLine(line);
            return;
        }
        if (!groupMode_) {
            refused_ = true;
            if (!dryRun_)
                ctx_.dialogs.MsgBox(ctx_.msgs[MsgForMultipleSynths], PatchDialogs::Buttons::Ok, MsgIcon::Exclamation,
                                    target_.listName());
            return;
        }
        if (interactive_ && !dryRun_) {
            const auto answer = ctx_.dialogs.MsgBox(ctx_.msgs[MsgMultiErasesSubGroup], PatchDialogs::Buttons::YesNo,
                                                    MsgIcon::Question, target_.listName());
            if (answer != PatchDialogs::Answer::Yes) {
                refused_ = true;
                return;
            }
            replaceEntries_ = true;
        }
        multi_ = true;
        if (!dryRun_) {
            ctx_.reporter.ShowStatusText(0, ctx_.msgs[MsgMultiSynthList]);
            ctx_.reporter.ShowStatusText(1, ctx_.msgs[MsgMatchConfig]);
        }
        return;
    }
    if (sectioned_ && line.size() >= 2 && line[0] == u'.' && line[1] >= u'A' && line[1] <= u'Z')
        skipping_ = !line.startsWith(u".Patc");
}

// "; chan, port ... @@": the channel runs from the second character to the
// comma and must be 1 to 16; the port is the number after the comma.
void PatchReader::singleSynthHeaderLine(QStringView line)
{
    const qsizetype comma = line.indexOf(u',');
    if (comma < 2)
        return;
    const QStringView chan = line.sliced(1, comma - 1);
    const auto channel = parseNumber(chan.toString());
    if (!channel)
        return;
    if (*channel > 0 && *channel <= 16)
        pendingChan_ = chan.trimmed().toString();
    // The whole number, where a fixed three-character field would cut ports above 99.
    QStringView rest = line.sliced(comma + 1);
    qsizetype start = 0;
    while (start < rest.size() && rest[start] == u' ')
        ++start;
    qsizetype stop = start;
    while (stop < rest.size() && rest[stop] != u' ' && rest[stop] != u'(' && rest[stop] != u'@')
        ++stop;
    const QStringView port = rest.sliced(start, stop - start);
    if (isNumeric(port))
        pendingPort_ = port.toString();
}

std::optional<PatchReader::End> PatchReader::bankLine(QStringView nameView)
{
    const QString name = nameView.toString();
    if (groupMode_ && !multi_)
        count_ = 0;
    skipBank_ = false;
    // Drum banks of an instrument definition never load, so they are neither
    // counted nor asked about.
    if (!multi_ && namesDrums(name)) {
        skipBank_ = true;
        return std::nullopt;
    }
    ++banks_;
    if (dryRun_) {
        skipBank_ = true;
        return std::nullopt;
    }
    if (mode_ == Bank::Wanted && name != wanted_) {
        skipBank_ = true;
        return std::nullopt;
    }
    if (mode_ == Bank::Ask && knownBanks_ > 1) {
        const QString question = name + u'\r' + ctx_.msgs[MsgIntendedBank];
        const auto buttons = PatchDialogs::Buttons::YesNoCancel;
        switch (ctx_.dialogs.MsgBox(question, buttons, MsgIcon::Question, target_.listName())) {
        case PatchDialogs::Answer::Yes:
            break;
        case PatchDialogs::Answer::No:
            skipBank_ = true;
            return std::nullopt;
        default:
            return End::Cancelled;
        }
    }
    if (groupMode_ && !multi_)
        return synthBank(name);
    if (!groupMode_) {
        if (!pendingChan_.isEmpty())
            chanLbl_ = pendingChan_;
        if (!pendingPort_.isEmpty())
            portLbl_ = pendingPort_;
        // A plain list is named after the bank it shows.
        if (!target_.isPatchGroup())
            listName_ = name;
    }
    return std::nullopt;
}

// A bank of an instrument file becomes a synth of the patch group.
std::optional<PatchReader::End> PatchReader::synthBank(const QString& name)
{
    if (target_.synthsFull()) {
        ctx_.dialogs.MsgBox(ctx_.msgs[MsgSynthLimit], PatchDialogs::Buttons::Ok, MsgIcon::Exclamation,
                            target_.listName());
        return End::NoChannels;
    }
    if (interactive_)
        return askedSynthBank(name);
    const int free = target_.GetChan(name, pendingPort_);
    if (free == 0) {
        ctx_.dialogs.MsgBox(ctx_.msgs[MsgNoChannelsLeft], PatchDialogs::Buttons::Ok, MsgIcon::Exclamation,
                            target_.listName());
        return End::NoChannels;
    }
    QString channel = pendingChan_, port = pendingPort_;
    if (channel.isEmpty() || port.isEmpty()) {
        ctx_.dialogs.MsgBox(name + ctx_.msgs[MsgNoChanPort], PatchDialogs::Buttons::Ok, MsgIcon::Information,
                            ctx_.msgs[MsgLoadPanel]);
        target_.askChanPort(name, free, channel, port);
        if (channel.isEmpty() || port.isEmpty()) {
            skipBank_ = true;
            return std::nullopt;
        }
    }
    target_.AddSynth(name, channel, port);
    ++synthsAdded_;
    return std::nullopt;
}

// The patch group's own load asks for a missing port, then for a missing
// channel; a bank with no free channel left on its port is passed over.
std::optional<PatchReader::End> PatchReader::askedSynthBank(const QString& name)
{
    QString port = pendingPort_;
    if (port.isEmpty()) {
        port = askSynthPort(ctx_.dialogs, name).value_or(QString());
        if (port.isEmpty())
            return refusedBank();
    }
    const int free = target_.GetChan(name, port);
    if (free == 0) {
        ctx_.dialogs.MsgBox(ctx_.msgs[MsgNoChannelsLeft] + u' ' + port, PatchDialogs::Buttons::Ok,
                            MsgIcon::Exclamation, target_.listName());
        skipBank_ = true;
        return std::nullopt;
    }
    QString channel = pendingChan_;
    if (channel.isEmpty()) {
        channel = askSynthChannel(ctx_.dialogs, name, free).value_or(QString());
        if (channel.isEmpty())
            return refusedBank();
    }
    target_.AddSynth(name, channel, port);
    ++synthsAdded_;
    return std::nullopt;
}

std::optional<PatchReader::End> PatchReader::refusedBank()
{
    skipBank_ = true;
    if (!refusals_.refuse())
        return std::nullopt;
    const auto answer = ctx_.dialogs.MsgBox(ctx_.msgs[MsgSearchOtherSynths], PatchDialogs::Buttons::YesNo,
                                            MsgIcon::Question, target_.listName());
    return answer == PatchDialogs::Answer::Yes ? std::nullopt : std::optional(End::Stopped);
}

void PatchReader::entryLine(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 1)
        return;
    const QStringView key = line.first(equals);
    const QString value = line.sliced(equals + 1).toString();
    const auto number = parseNumber(key.toString());
    if (!number) {
        if (key == u"BankName" && !dryRun_)
            listName_ = value;
        return;
    }
    // Program numbers have at most three digits.
    if (key.size() > 3 || dryRun_)
        return;
    const int prog = roundHalfEven(*number);
    if (groupMode_ && !multi_) {
        target_.AddSynthInstr(prog, value, count_++);
    } else if (groupMode_) {
        MultiSynthValue parts = splitMultiSynthValue(value);
        // A list saved with one channel and port for all keeps them in its header.
        if (parts.channel.isEmpty() && parts.port.isEmpty()) {
            parts.channel = pendingChan_;
            parts.port = pendingPort_;
        }
        entries_.push_back({std::move(parts.name), prog, std::move(parts.channel),
                            parseInteger(parts.port).value_or(0)});
        ++count_;
    } else if (target_.isPatchGroup()) {
        entries_.push_back({value, prog, pendingChan_, parseInteger(pendingPort_).value_or(0)});
    } else {
        entries_.push_back({value, prog, {}, 0});
    }
}

void PatchReader::apply()
{
    if (dryRun_)
        return;
    if (replaceEntries_)
        target_.patchEntries().clear();
    if (!entries_.empty())
        target_.patchEntries().append(std::move(entries_));
    entries_.clear();
    if (chanLbl_)
        target_.setChanLbl(*chanLbl_);
    if (portLbl_)
        target_.setPortLbl(*portLbl_);
    if (listName_)
        target_.setListName(*listName_);
    chanLbl_.reset();
    portLbl_.reset();
    listName_.reset();
}

void reportReadError(const PatchFileContext& context, const QString& fileName, const FileError& error)
{
    context.dialogs.MsgBox(QStringLiteral("Error loading ") + fileName + u'\r' + error.text + QStringLiteral(" (") +
                               QString::number(error.number) + u')',
                           PatchDialogs::Buttons::Ok, MsgIcon::Exclamation, QStringLiteral("Load Patch File"));
}

}  // namespace

PatchFileContext patchFileContext(Shared& shared, PatchDialogs& dialogs)
{
    return {shared.Msgs, dialogs, shared.reporter(), shared.PatchDir, shared.LastPatchName};
}

bool LoadPatchFile(const PatchFileContext& context, PatchTarget& target, const QString& fileName,
                   const QString& wantedBank, bool groupMode, bool flatMode)
{
    FileError error;
    const std::optional<QByteArray> bytes = readFileBytes(fileName, MaxPatchFileBytes, error);
    if (!bytes) {
        reportReadError(context, fileName, error);
        return false;
    }
    return LoadPatchBytes(context, target, *bytes, wantedBank, groupMode, flatMode);
}

bool LoadPatchBytes(const PatchFileContext& context, PatchTarget& target, const QByteArray& bytes,
                    const QString& wantedBank, bool groupMode, bool flatMode)
{
    const QString text = decodeText(bytes);
    PatchReader reader(context, target, groupMode, flatMode);
    const bool searching = !wantedBank.isEmpty();
    // A patch group takes every bank as a synth; a list asks when there is a choice.
    const PatchReader::Bank mode =
        searching ? PatchReader::Bank::Wanted : (groupMode ? PatchReader::Bank::All : PatchReader::Bank::Ask);
    const int banksBefore = mode == PatchReader::Bank::Ask ? reader.countBanks(text) : 0;

    target.setInitializing(true);
    PatchReader::End end = reader.run(text, mode, wantedBank, banksBefore);
    const auto finishPass = [&] {
        if (reader.multi() && !target.patchEntries().isEmpty())
            target.selectPatch(0);
        target.setInitializing(false);
    };
    finishPass();
    if (end == PatchReader::End::Refused || end == PatchReader::End::Cancelled)
        return true;
    if (groupMode && !reader.multi()) {
        target.selectLastSynth();
        return true;
    }
    if (searching && target.patchEntries().isEmpty() && end == PatchReader::End::FileEnd) {
        const int banks = reader.banks();
        if (banks > 1)
            context.dialogs.MsgBox(context.msgs[MsgSelectManually], PatchDialogs::Buttons::Ok, MsgIcon::Information,
                                   target.listName());
        target.setInitializing(true);
        reader.run(text, PatchReader::Bank::Ask, {}, banks);
        finishPass();
    }
    return true;
}

InstrumentLoad LoadInstruments(const PatchFileContext& context, PatchTarget& target, const QString& fileName)
{
    FileError error;
    const std::optional<QByteArray> bytes = readFileBytes(fileName, MaxPatchFileBytes, error);
    if (!bytes) {
        reportReadError(context, fileName, error);
        return InstrumentLoad::Failed;
    }
    return LoadInstrumentBytes(context, target, *bytes);
}

InstrumentLoad LoadInstrumentBytes(const PatchFileContext& context, PatchTarget& target, const QByteArray& bytes)
{
    PatchReader reader(context, target, true, false);
    reader.setInteractive();
    target.setInitializing(true);
    const PatchReader::End end = reader.run(decodeText(bytes), PatchReader::Bank::All, {}, 0);
    if (reader.multi() && !target.patchEntries().isEmpty())
        target.selectPatch(0);
    target.setInitializing(false);
    if (end == PatchReader::End::Refused)
        return InstrumentLoad::Stopped;
    if (reader.multi())
        return InstrumentLoad::SubGroup;
    if (reader.synthsAdded() > 0)
        target.selectLastSynth();
    return end == PatchReader::End::Stopped ? InstrumentLoad::Stopped : InstrumentLoad::Synths;
}

std::optional<QString> askSynthPort(PatchDialogs& dialogs, const QString& bankName)
{
    const auto answer = dialogs.InputBox(QStringLiteral("Enter MIDI Out Port for ") + bankName,
                                         QStringLiteral("Set MIDI Out Port..."), {});
    const auto port = answer ? parseNumber(*answer) : std::nullopt;
    if (!port || *port < 0 || *port != double(roundHalfEven(*port)))
        return std::nullopt;
    return QString::number(roundHalfEven(*port));
}

std::optional<QString> askSynthChannel(PatchDialogs& dialogs, const QString& bankName, int freeChannel)
{
    const auto answer = dialogs.InputBox(QStringLiteral("Enter MIDI channel for ") + bankName,
                                         QStringLiteral("Set MIDI Channel..."), QString::number(freeChannel));
    const auto channel = answer ? parseNumber(*answer) : std::nullopt;
    if (!channel || *channel < 1 || *channel > 16 || *channel != double(roundHalfEven(*channel)))
        return std::nullopt;
    return QString::number(roundHalfEven(*channel));
}

QString singleSynthHeader(const QString& channel, const QString& port)
{
    if (!parseNumber(channel) || !parseNumber(port))
        return {};
    return QStringLiteral("; ") + channel + QStringLiteral(", ") + port + QStringLiteral("    (last chan,port) @@");
}

QString multiSynthHeader() { return QStringLiteral("; Multi-PatchList Chn/port on each line @@"); }

bool isMultiSynthHeader(const QString& line) { return isMultiHeader(line); }

QByteArray patchListBytes(const PatchEntries& entries, const QString& listName, const QString& header)
{
    const bool multi = isMultiHeader(header);
    QString text;
    text.reserve(64 + qsizetype(entries.count()) * 32);
    if (!header.isEmpty())
        text += header + QStringLiteral("\r\n");
    text += u'[' + listName + QStringLiteral("]\r\n");
    for (const PatchEntry& entry : entries.all()) {
        text += QString::number(entry.prog) + u'=' + entry.name;
        if (multi)
            text += u' ' + entry.channel + QStringLiteral(", ") + QString::number(entry.port);
        text += QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

bool SavePatchList(const PatchFileContext& context, PatchTarget& target, const QString& header)
{
    PatchDialogs::SaveRequest request;
    request.title = context.msgs[MsgSaveList];
    request.directory = context.patchDir;
    request.filter = QStringLiteral("Instrument Definition Files (*.ins)|*.ins|Text Files (*.txt)|*.txt");
    request.fileName =
        target.myFileName().isEmpty() ? context.lastFileName : QFileInfo(target.myFileName()).fileName();
    const QString path = context.dialogs.SaveFile(request);
    if (path.isEmpty()) {
        context.reporter.ShowStatusText(0, context.msgs[MsgNotSaved]);
        return false;
    }
    const QFileInfo chosen(path);
    context.patchDir = chosen.absolutePath() + u'/';
    context.lastFileName = chosen.fileName();

    const QString proposal = target.isPatchGroup() && target.listName() == target.defCaption()
                                 ? chosen.completeBaseName()
                                 : target.listName();
    const auto answer =
        context.dialogs.InputBox(context.msgs[MsgEnterListName], context.msgs[MsgRenameListTitle], proposal);
    if (answer && !answer->isEmpty())
        target.setListName(*answer);

    // Written beside the file and renamed over it only when complete, so a
    // failed save leaves the old list as it was.
    FileError error;
    if (!writeFileBytes(path, patchListBytes(target.patchEntries(), target.listName(), header), error)) {
        context.dialogs.MsgBox(error.text + u'\r' + path + u'\r' + context.msgs[MsgSaveFailed], PatchDialogs::Buttons::Ok,
                               MsgIcon::Exclamation, context.msgs[MsgSaveList]);
        return false;
    }
    target.setMyFileName(path);
    return true;
}

MultiSynthValue splitMultiSynthValue(const QString& value)
{
    const qsizetype n = value.size();
    qsizetype comma = 0;
    QString port;
    // Positions count from 1, as the rule is written.
    for (qsizetype i = n; i >= 1; --i) {
        if ((i < 5 && comma == 0) || (i < 3 && comma != 0))
            break;
        const QChar c = value[i - 1];
        if (c == u' ' && comma != 0)
            return {value.left(i - 1), value.mid(i, comma - i - 1).trimmed(), port};
        if (c == u',' && i < n) {
            comma = i;
            port = value.mid(i).trimmed();
        }
    }
    return {value, {}, {}};
}

}  // namespace orvell
