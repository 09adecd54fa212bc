#include "panels/PanelClasses.h"

namespace orvell {

const std::array<PanelClassInfo, 8>& panelClasses()
{
    static const std::array<PanelClassInfo, 8> classes = {{
        {PanelClass::HFaders, "HFaders", "Horizontal Faders", 33, 105, 4620, 2415},
        {PanelClass::VFaders, "VFaders", "Vertical Faders", 34, 119, 2850, 3630},
        {PanelClass::Buttons, "Buttons", "Button Controls", 32, 100, 3195, 2010},
        {PanelClass::JstkCtrl, "JstkCtrl", "JoyStkController", 35, 106, 3465, 2505},
        {PanelClass::Sequencer, "Sequencer", "Play Sequence", 36, 118, 4110, 1470},
        {PanelClass::PatchList, "PatchList", "Patch List", 37, 113, 3090, 3375},
        {PanelClass::PatchGroup, "PatchGroup", "Patch Sub-Group", 38, 104, 4755, 3990},
        {PanelClass::PanlPointer, "PanlPointer", "Panel Pointer", -1, 195, 3930, 1860},
    }};
    return classes;
}

const PanelClassInfo& panelClassInfo(PanelClass id) { return panelClasses()[static_cast<size_t>(id)]; }

std::optional<PanelClass> panelClassByName(const QString& name)
{
    for (const PanelClassInfo& info : panelClasses()) {
        if (name == QLatin1String(info.name))
            return info.id;
    }
    return std::nullopt;
}

}  // namespace orvell
