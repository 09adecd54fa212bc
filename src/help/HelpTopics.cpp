#include "help/HelpTopics.h"

#include "core/TextCodec.h"
#include "help/MessageTable.h"

#include <QStringList>

#include <initializer_list>

namespace orvell {

namespace {

struct MessageRange {
    int first;
    int last;
};

struct TopicMessages {
    int topic;
    std::initializer_list<MessageRange> messages;
};

// From the last topic down: the first match wins.
const TopicMessages TopicTable[] = {
    {25, {{130, 130}}},
    {24, {{6, 6}}},
    {23, {{5, 5}}},
    {22, {{3, 3}, {209, 211}}},
    {21, {{2, 2}}},
    {20, {{110, 112}, {122, 122}, {145, 145}}},
    {19, {{103, 103}, {107, 107}, {116, 116}, {123, 123}, {223, 223}}},
    {18, {{4, 4}}},
    {17, {{1, 1}}},
    {16, {{206, 206}}},
    {15, {{174, 174}, {176, 176}, {192, 193}, {195, 199}}},
    {14, {{140, 140}}},
    {13, {{84, 84}}},
    {12, {{118, 118}}},
    {11, {{32, 32}, {188, 188}}},
    {10, {{19, 19}, {87, 87}}},
    {9, {{21, 21}}},
    {8, {{80, 80}, {92, 92}, {133, 133}}},
    {7, {{89, 89}, {105, 105}, {119, 119}}},
    {6, {{28, 34}, {100, 100}}},
    {5, {{154, 162}}},
    {4, {{147, 149}, {163, 163}}},
    {3, {{52, 53}, {86, 86}, {106, 106}}},
    {2, {{22, 26}, {88, 88}, {104, 104}, {124, 124}}},
    {1, {{113, 113}}},
    {0, {{0, 0}}},
};

// Shorter texts ("Show ", "Hide ") begin too many hints to say anything about them.
constexpr qsizetype MinHintPrefix = 6;
// Messages 0 to 6 stand for the general topic and the menus; as texts they are
// short status words ("Close ", "Device ") that a hint may happen to start with.
constexpr int FirstHintMessage = 7;

}  // namespace

const std::array<HelpTopic, HelpTopicCount>& helpTopics()
{
    static const std::array<HelpTopic, HelpTopicCount> topics = {{
        {"OverView", "Overview.txt"},
        {"Patchlist", "Patchlist.txt"},
        {"PatchGroup", "PatchGroup.txt"},
        {"JoystickCtrlr", "JoystickCtrlr.txt"},
        {"AutoSettings", "AutoSettings.txt"},
        {"CustomContrlr", "CustomContrlr.txt"},
        {"Buttons", "Buttons.txt"},
        {"Faders", "Faders.txt"},
        {"IDIcon", "IDIcon.txt"},
        {"HideBtn", "HideBtn.txt"},
        {"ChanPort", "ChanPort.txt"},
        {"CntrlrType", "CntrlrType.txt"},
        {"Sequence", "Sequence.txt"},
        {"DupMenu", "DupMenu.txt"},
        {"PatchEditMenu", "PatchEditMenu.txt"},
        {"PanlPointer", "PanlPointer.txt"},
        {"HelpView", "HelpView.txt"},
        {"FileMenu", "FileMenu.txt"},
        {"WindowMenu", "WindowMenu.txt"},
        {"Toolbar", "Toolbar.txt"},
        {"Statusbar", "Statusbar.txt"},
        {"ToolsMenu", "ToolsMenu.txt"},
        {"SetupMenu", "SetupMenu.txt"},
        {"PanelMenu", "PanelMenu.txt"},
        {"HelpMenu", "HelpMenu.txt"},
        {"RecordEvents", "RecordEvents.txt"},
        {"ButtonsnFadersExample", "ButtonsnFadersExample.txt"},
        {"PatchControllerExample", "PatchControllerExample.txt"},
        {"TropezControlExample", "TropezControlExample.txt"},
    }};
    return topics;
}

std::optional<int> helpTopicForMessage(int messageNumber)
{
    for (const TopicMessages& entry : TopicTable) {
        for (const MessageRange& range : entry.messages) {
            if (messageNumber >= range.first && messageNumber <= range.last)
                return entry.topic;
        }
    }
    return std::nullopt;
}

std::optional<int> hintMessageNumber(const MessageTable& messages, QStringView hint)
{
    std::optional<int> best;
    qsizetype bestLength = MinHintPrefix - 1;
    for (int n = FirstHintMessage; n < MessageTable::Count; ++n) {
        const QString& text = messages[n];
        if (text.size() > bestLength && hint.startsWith(text)) {
            best = n;
            bestLength = text.size();
        }
    }
    return best;
}

QString helpTextFromBytes(const QByteArray& bytes)
{
    QString text = decodeText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n').join(QStringLiteral("\r\n"));
}

}  // namespace orvell
