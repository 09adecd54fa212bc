#pragma once

#include <QString>

#include <array>
#include <optional>

namespace orvell {

enum class PanelClass { HFaders, VFaders, Buttons, JstkCtrl, Sequencer, PatchList, PatchGroup, PanlPointer };

struct PanelClassInfo {
    PanelClass id;
    const char* name;     // class name, also the section name in files
    const char* caption;  // the name a new panel gets
    int defaultIcon;      // palette slot of the default ID icon, -1 for none
    int helpMessage;      // message naming the class in hints
    int widthTwips;       // design size
    int heightTwips;
};

const std::array<PanelClassInfo, 8>& panelClasses();
const PanelClassInfo& panelClassInfo(PanelClass id);
std::optional<PanelClass> panelClassByName(const QString& name);

}  // namespace orvell
