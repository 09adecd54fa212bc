#include "controllers/Controllers.h"

#include <QStringList>

#include <algorithm>

namespace orvell {

namespace {

constexpr int MsgContinuousOrOnOff = 150;
constexpr int MsgSeparateOnOffValues = 151;
constexpr int MsgConvertToContinuous = 152;

constexpr int MaxMidiController = 127;
constexpr int MaxStoredCode = 32767;  // codes are stored as 16-bit integers

std::vector<CtrlRecord> makeBuiltIns()
{
    struct Row {
        const char* name;
        int code;
        bool onOff;
        bool toggle;
    };
    // The order is the order of every panel's controller list.
    static constexpr Row rows[] = {
        {"MOD Wheel", 1, false, false},
        {"Breth Ctrlr", 2, false, false},
        {"Foot Ctrlr", 4, false, false},
        {"Porta mtime", 5, false, false},
        {"  Vol  ", 7, false, false},
        {"  Bal  ", 8, false, false},
        {"  Pan  ", 10, false, false},
        {"Expr esion", 11, false, false},
        {"Pitch Bend", CtrlCode::PitchBend, false, false},
        {"After Touch", CtrlCode::AfterTouch, false, false},
        {"FX1 Cntrl", 12, false, false},
        {"FX2 Cntrl", 13, false, false},
        {"Chorus Depth", 93, false, false},
        {"Celest Depth", 94, false, false},
        {"Phaser Depth", 95, false, false},
        {"Bank MSB", 0, false, false},
        {"Bank LSB", 32, false, false},
        {"Data MSB", 6, false, false},
        {"Data LSB", 38, false, false},
        {"RPN LSB", 100, false, false},
        {"RPN MSB", 101, false, false},
        {"NRPN LSB", 98, false, false},
        {"NRPN MSB", 99, false, false},
        {"Patch Chg", CtrlCode::PatchChange, false, false},
        {"PnlPtr Chg", CtrlCode::PnlPtrChange, false, false},
        {"Hold Pedal", 64, true, true},
        {"Porta mento", 65, true, true},
        {"Suste nuto", 66, true, true},
        {"Soft Pedal", 67, true, true},
        {"Hold2 Pedal", 69, true, true},
        {"FX1 OnOff", 91, true, true},
        {"FX2 OnOff", 92, true, true},
        {"Data Incr", 96, true, false},
        {"Data Decr", 97, true, false},
        {"  All NtsOff", 120, true, false},
        {"Reset Ctlrs", 121, true, false},
        {"Patch Down", CtrlCode::PatchDown, true, false},
        {"Patch Up", CtrlCode::PatchUp, true, false},
        {"Play OnOff", CtrlCode::PlayOnOff, true, true},
        {"RecEv OnOff", CtrlCode::RecEvOnOff, true, true},
        {"Push Butns", CtrlCode::PushButtons, true, true},
        {"PnlPtr Down", CtrlCode::PnlPtrDown, true, false},
        {"PnlPtr Up", CtrlCode::PnlPtrUp, true, false},
        {"MStart Stop", CtrlCode::StartStop, true, true},
    };
    std::vector<CtrlRecord> list;
    list.reserve(std::size(rows));
    for (const Row& row : rows)
        list.push_back({row.code, QString::fromLatin1(row.name), row.onOff, row.toggle});
    return list;
}

const CtrlRecord* findIn(int code, const std::vector<CtrlRecord>& list)
{
    const auto it = std::find_if(list.begin(), list.end(), [code](const CtrlRecord& r) { return r.CtrlNo == code; });
    return it == list.end() ? nullptr : &*it;
}

// Sessions from older versions may carry "True"/"False" instead of -1/0.
std::optional<bool> parseBoolean(const QString& field)
{
    const QString text = field.trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value != 0;
}

QString booleanField(bool value) { return value ? QStringLiteral("-1") : QStringLiteral("0"); }

}  // namespace

const std::vector<CtrlRecord>& builtInControllers()
{
    static const std::vector<CtrlRecord> list = makeBuiltIns();
    return list;
}

const CtrlRecord* findController(int code, const CustomControllers& custom)
{
    // Custom entries only rename MIDI controllers; special codes keep their meaning.
    if (code >= 0 && code <= MaxMidiController) {
        if (const CtrlRecord* own = findIn(code, custom))
            return own;
    }
    return findIn(code, builtInControllers());
}

bool isOneShot(int code, const CustomControllers& custom)
{
    if (code == CtrlCode::NoOp)
        return true;
    const CtrlRecord* record = findController(code, custom);
    return record && record->IsOnOff && !record->CanTogl;
}

bool isSwitch(int code, const CustomControllers& custom)
{
    if (code == CtrlCode::NoOp)
        return false;
    const CtrlRecord* record = findController(code, custom);
    return record && record->IsOnOff && record->CanTogl;
}

std::vector<CtrlRecord> controllerChoices(const CustomControllers& custom)
{
    std::vector<CtrlRecord> choices;
    choices.reserve(builtInControllers().size() + custom.size());
    for (const CtrlRecord& builtIn : builtInControllers())
        choices.push_back(*findController(builtIn.CtrlNo, custom));
    // Entries that findController would never return are left out, so the
    // list and the labels always agree.
    for (const CtrlRecord& own : custom) {
        if (own.CtrlNo < 0 || own.CtrlNo > MaxMidiController || findIn(own.CtrlNo, choices))
            continue;
        choices.push_back(own);
    }
    return choices;
}

std::optional<CtrlRecord> nameUnlistedController(int number, bool continuousOnly, const AskFn& ask)
{
    if (number < 0 || number > MaxMidiController)
        return std::nullopt;
    const QString n = QString::number(number);
    const CtrlRecord continuous{number, QStringLiteral("C#") + n + QStringLiteral(" Cont"), false, false};
    const QString onOffName = QStringLiteral("C#") + n + QStringLiteral(" On/Off");

    if (number <= 31)
        return CtrlRecord{number, QStringLiteral("CC#") + n + QStringLiteral(" MSB"), false, false};
    if (number <= 63)
        return CtrlRecord{number, QStringLiteral("CC#%1 LSB").arg(number - 32), false, false};
    if (number <= 95) {
        if (!continuousOnly)
            return CtrlRecord{number, onOffName, true, true};
        if (ask(MsgConvertToContinuous, false) == Answer::Yes)
            return continuous;
        return std::nullopt;
    }
    if (continuousOnly)
        return continuous;
    switch (ask(MsgContinuousOrOnOff, true)) {
    case Answer::Yes:
        return continuous;
    case Answer::Cancel:
        return std::nullopt;
    case Answer::No:
        break;
    }
    switch (ask(MsgSeparateOnOffValues, true)) {
    case Answer::Yes:
        return CtrlRecord{number, onOffName, true, true};
    case Answer::No:
        return CtrlRecord{number, onOffName, true, false};
    case Answer::Cancel:
        break;
    }
    return std::nullopt;
}

QString formatCustomLine(const CtrlRecord& record)
{
    return QString::number(record.CtrlNo) + u'|' + record.CtrlName + u'|' + booleanField(record.IsOnOff) + u'|'
        + booleanField(record.CanTogl);
}

std::optional<CtrlRecord> parseCustomLine(const QString& value)
{
    const QStringList fields = value.split(u'|');
    if (fields.size() != 4)
        return std::nullopt;
    bool ok = false;
    const int code = fields[0].trimmed().toInt(&ok);
    if (!ok || code < 0 || code > MaxStoredCode)
        return std::nullopt;
    const std::optional<bool> onOff = parseBoolean(fields[2]);
    const std::optional<bool> toggle = parseBoolean(fields[3]);
    if (!onOff || !toggle)
        return std::nullopt;
    // The name keeps its blanks: they place the label text.
    return CtrlRecord{code, fields[1], *onOff, *toggle};
}

int refusalMessage(int code)
{
    switch (code) {
    case CtrlCode::PlayOnOff:
        return 132;
    case CtrlCode::PatchDown:
    case CtrlCode::PatchUp:
    case CtrlCode::PatchChange:
        return 35;
    case CtrlCode::PushButtons:
        return 128;
    case CtrlCode::PnlPtrDown:
    case CtrlCode::PnlPtrUp:
    case CtrlCode::PnlPtrChange:
        return 173;
    case CtrlCode::SysEx:
        return 260;
    default:
        return 0;
    }
}

}  // namespace orvell
