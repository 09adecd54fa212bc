#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace orvell {

class MessageTable;

struct HelpTopic {
    const char* title;  // as the topic selector shows it
    const char* file;   // in the help folder
};

inline constexpr int HelpTopicCount = 29;
const std::array<HelpTopic, HelpTopicCount>& helpTopics();

// The topic a hint or menu with this message number explains; nullopt leaves
// the topic shown. Where a number fits two topics the higher one wins, so
// message 32 (a controller type on a button) explains controller types.
std::optional<int> helpTopicForMessage(int messageNumber);

// The message a hover hint starts with, the longest one when several do, so
// a hint made of a message and an ending still finds its topic. The menu
// numbers 0 to 6 only come from menus, never from a hint's text.
std::optional<int> hintMessageNumber(const MessageTable& messages, QStringView hint);

// A topic file's text: its lines joined with CR LF, whatever line ends the
// file used.
QString helpTextFromBytes(const QByteArray& bytes);

}  // namespace orvell
