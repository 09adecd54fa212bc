#pragma once

#include "midi/CtrlCodes.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace orvell {

struct CtrlRecord {
    int CtrlNo = 0;
    QString CtrlName;      // at most 13 characters; blanks centre it or push a word to the second line
    bool IsOnOff = false;  // a switch or one-shot rather than a continuous controller
    bool CanTogl = false;  // an On/Off type with separate on and off values

    bool operator==(const CtrlRecord&) const = default;
};

using CustomControllers = std::vector<CtrlRecord>;

// The 44 controllers every panel offers, in the order of the controller list.
const std::vector<CtrlRecord>& builtInControllers();

// The record for a code: the panel's custom entry first (codes below 128),
// else the built-in one; null when neither has it.
const CtrlRecord* findController(int code, const CustomControllers& custom);
bool isOneShot(int code, const CustomControllers& custom);  // code 300 counts as one
bool isSwitch(int code, const CustomControllers& custom);

// The entries of a panel's controller list: the built-in ones in order, a
// custom entry replacing the built-in one of its code, then the other custom entries.
std::vector<CtrlRecord> controllerChoices(const CustomControllers& custom);

enum class Answer { Yes, No, Cancel };
// Asks message `messageNumber` with Yes/No, or Yes/No/Cancel when `withCancel`.
using AskFn = std::function<Answer(int messageNumber, bool withCancel)>;

// Names a controller number that is not in any list: "CC#3 MSB", "CC#3 LSB",
// "C#70 On/Off", "C#70 Cont"..., asking the user where the kind is open.
// Nothing when the user abandons the entry.
std::optional<CtrlRecord> nameUnlistedController(int number, bool continuousOnly, const AskFn& ask);

// The value of a "CstmCtrlr=" line: code|name|on-off|toggle, Booleans as -1 and 0.
QString formatCustomLine(const CtrlRecord& record);
// Nothing unless the value has exactly four fields with a numeric code.
std::optional<CtrlRecord> parseCustomLine(const QString& value);

// For panel-directed codes: the message refusing the choice when no target
// exists (205 -> 132, 210-212 -> 35, 213 -> 128, 214-216 -> 173, 217 -> 260);
// 0 for codes that need no target.
int refusalMessage(int code);

}  // namespace orvell
