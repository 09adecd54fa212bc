#pragma once

#include "panels/PanelClasses.h"

namespace orvell {

class Panel;
class PanelHost;
struct PatchClipboard;

// A new panel of the class: the class's own kind where it exists, else the
// common panel with its design caption.
Panel* makePanel(PanelClass id, PanelHost& host, PatchClipboard& clipboard);

}  // namespace orvell
