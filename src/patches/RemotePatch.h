#pragma once

#include <QString>

namespace orvell {

class PanelHost;

// A panel whose list controller panels step through remotely: the patch
// panels and the panel pointer.
class RemotePatchTarget {
public:
    virtual ~RemotePatchTarget() = default;
    virtual int remoteCount() const = 0;
    // The current entry, -1 when none.
    virtual int remoteIndex() const = 0;
    // Makes that entry the current and only selected one.
    virtual void setRemoteIndex(int index) = 0;
    // Acts on the current entry as a double-click does.
    virtual void RmtDblClick() = 0;
    // Set on a patch panel that the panel pointer must not offer as a target.
    virtual bool dontUseMyPnlPtr() const { return false; }
};

// Remote patch operations on the patch panel with the given tag, called by
// controller panels. False when nothing could be sent; the reason is shown.
bool RemotePatchUp(PanelHost& host, const QString& tag);
bool RemotePatchDown(PanelHost& host, const QString& tag);
bool RemotePatchChange(PanelHost& host, const QString& tag, int value);

// The entry a patch change with `value` (0 to 127) picks in a list of `count`.
int patchChangeIndex(int value, int count);

}  // namespace orvell
