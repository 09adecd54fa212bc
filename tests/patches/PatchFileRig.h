#pragma once

#include "help/MessageTable.h"
#include "patches/PatchDialogs.h"
#include "patches/PatchFile.h"
#include "support/RecordingReporter.h"
#include "support/ScriptedDialogs.h"

#include <QStringList>

namespace orvell::test {

// What the patch-file readers need around them, with the questions they asked.
struct PatchFileRig {
    QStringList questions() const
    {
        QStringList out;
        for (const auto& q : dialogs.asked())
            out << q.text;
        return out;
    }

    MessageTable msgs;
    ScriptedDialogs dialogs;
    RecordingReporter reporter;
    QString patchDir, lastName;
    DialogsForPatches adapter{dialogs};
    PatchFileContext context{msgs, adapter, reporter, patchDir, lastName};
};

}  // namespace orvell::test
