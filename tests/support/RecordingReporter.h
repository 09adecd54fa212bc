#pragma once

#include "core/Reporter.h"

#include <QString>

#include <array>
#include <vector>

namespace orvell::test {

// Keeps what the engine reported: the fields as the status line would show
// them, every write in order, and every message box.
class RecordingReporter final : public Reporter {
public:
    struct Box {
        QString text;
        QString title;
        MsgIcon icon;
    };

    void ShowStatusText(int field, const QString& text) override
    {
        if (field >= 0 && field < 4)
            fields[static_cast<size_t>(field)] = u' ' + text;
        writes.push_back({field, text});
    }
    void ShowMessage(const QString& text, const QString& title, MsgIcon icon) override
    {
        boxes.push_back({text, title, icon});
    }

    void HoldStatus() override { ++holds; }

    void clear()
    {
        fields = {};
        writes.clear();
        boxes.clear();
        holds = 0;
    }

    std::array<QString, 4> fields;
    std::vector<std::pair<int, QString>> writes;
    std::vector<Box> boxes;
    int holds = 0;
};

}  // namespace orvell::test
