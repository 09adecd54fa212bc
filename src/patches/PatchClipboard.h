#pragma once

#include "patches/PatchEntries.h"

#include <QString>

#include <vector>

namespace orvell {

// The program-wide clipboard of patch entries: copied from one patch panel,
// pasted into another. Each entry keeps the channel and port it played on.
struct PatchClipboard {
    std::vector<PatchEntry> entries;
};

// The patch panels' side of the main window's Copy, Cut and Paste commands.
class PatchEditTarget {
public:
    virtual ~PatchEditTarget() = default;
    virtual void CopyPatch(PatchClipboard& clipboard) = 0;
    virtual void CutPatch(PatchClipboard& clipboard) = 0;
    virtual void PastePatch(const PatchClipboard& clipboard, bool addAfter) = 0;
};

}  // namespace orvell
