#include "patches/PatchListPanel.h"

namespace orvell {

PatchListPanel::PatchListPanel(PanelHost& host, QWidget* parent) : Panel(PanelClass::PatchList, host, parent) {}

}  // namespace orvell
