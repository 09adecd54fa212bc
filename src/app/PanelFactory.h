#pragma once

#include "panels/PanelClasses.h"

namespace orvell {

class JoystickSystem;
class Panel;
class PanelHost;
struct PatchClipboard;

// A new panel of the class: the class's own kind where it exists, else the
// common panel with its design caption. Nothing when a joystick panel finds
// no joystick of its own (the message has been shown).
Panel* makePanel(PanelClass id, PanelHost& host, PatchClipboard& clipboard, JoystickSystem* joysticks);

}  // namespace orvell
