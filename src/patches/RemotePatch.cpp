#include "patches/RemotePatch.h"

namespace orvell {

bool RemotePatchUp(PanelHost&, const QString&) { return false; }
bool RemotePatchDown(PanelHost&, const QString&) { return false; }
bool RemotePatchChange(PanelHost&, const QString&, int) { return false; }

}  // namespace orvell
