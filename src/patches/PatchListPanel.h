#pragma once

#include "panels/Panel.h"

namespace orvell {

// One synth's patches, played on the list's channel and port.
class PatchListPanel : public Panel {
    Q_OBJECT

public:
    explicit PatchListPanel(PanelHost& host, QWidget* parent = nullptr);
};

}  // namespace orvell
