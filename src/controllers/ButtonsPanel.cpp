#include "controllers/ButtonsPanel.h"

namespace orvell {

ButtonsPanel::ButtonsPanel(PanelHost& host, QWidget* parent) : Panel(PanelClass::Buttons, host, parent) {}

}  // namespace orvell
