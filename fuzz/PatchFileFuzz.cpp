// Feeds arbitrary bytes to the patch-file reader as a patch list, a patch
// group and a flat patch group read them, every question answered in turn.

#include "help/MessageTable.h"
#include "patches/PatchFile.h"
#include "patches/PatchTestTarget.h"
#include "support/RecordingReporter.h"
#include "support/RoundRobinDialogs.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static const orvell::MessageTable msgs;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    struct Mode {
        bool group, flat;
    };
    for (const Mode mode : {Mode{false, false}, Mode{true, false}, Mode{true, true}}) {
        orvell::test::RoundRobinDialogs dialogs;
        orvell::test::RecordingReporter reporter;
        QString patchDir, lastName;
        const orvell::PatchFileContext context{msgs, dialogs, reporter, patchDir, lastName};
        orvell::test::TestTarget target;
        target.group = mode.group;
        orvell::LoadPatchBytes(context, target, bytes, {}, mode.group, mode.flat);
    }
    return 0;
}
