#include "panels/PanelFactory.h"

#include "controllers/FaderPanel.h"
#include "panels/Panel.h"

namespace orvell {

Panel* makePanel(PanelClass id, PanelHost& host)
{
    switch (id) {
    case PanelClass::HFaders:
    case PanelClass::VFaders:
        return new FaderPanel(id, host);
    default:
        return new Panel(id, host);
    }
}

}  // namespace orvell
