#pragma once

#include <QString>

namespace orvell {

class PanelHost;

// Remote patch operations on the patch panel with the given tag, called by
// controller panels. False when nothing could be sent; the reason is shown.
bool RemotePatchUp(PanelHost& host, const QString& tag);
bool RemotePatchDown(PanelHost& host, const QString& tag);
bool RemotePatchChange(PanelHost& host, const QString& tag, int value);

}  // namespace orvell
