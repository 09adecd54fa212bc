#pragma once

namespace orvell {

// The program-wide clipboard of patch entries.
struct PatchClipboard {
};

}  // namespace orvell
