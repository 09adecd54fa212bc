#pragma once

#include "panels/Panel.h"

namespace orvell {

// Four buttons, each sending one controller type on its own channel and port.
class ButtonsPanel : public Panel {
    Q_OBJECT

public:
    explicit ButtonsPanel(PanelHost& host, QWidget* parent = nullptr);
};

}  // namespace orvell
