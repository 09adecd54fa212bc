#include "app/PanelFactory.h"

#include "controllers/ButtonsPanel.h"
#include "controllers/FaderPanel.h"
#include "controllers/JstkCtrl.h"
#include "panels/Panel.h"
#include "patches/PatchGroup.h"
#include "patches/PatchListPanel.h"
#include "pointer/PanlPointer.h"
#include "sequencer/SequencerPanel.h"

namespace orvell {

Panel* makePanel(PanelClass id, PanelHost& host, PatchClipboard& clipboard, JoystickSystem* joysticks)
{
    switch (id) {
    case PanelClass::HFaders:
    case PanelClass::VFaders:
        return new FaderPanel(id, host);
    case PanelClass::Buttons:
        return new ButtonsPanel(host);
    case PanelClass::JstkCtrl:
        return JstkCtrl::create(host, joysticks);
    case PanelClass::PatchList:
        return new PatchListPanel(host, clipboard);
    case PanelClass::PatchGroup:
        return new PatchGroup(host, clipboard);
    case PanelClass::Sequencer:
        return new SequencerPanel(host);
    case PanelClass::PanlPointer:
        return new PanlPointer(host);
    default:
        return new Panel(id, host);
    }
}

}  // namespace orvell
