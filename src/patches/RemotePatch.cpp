#include "patches/RemotePatch.h"

#include "core/Numeric.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgFail = 3,
    MsgListEmpty = 56,
    MsgPanelGone = 72,
};

// Tags are unique across classes, so the target is whichever list panel holds it.
RemotePatchTarget* findTarget(PanelHost& host, const QString& tag)
{
    for (PanelClass id : {PanelClass::PatchList, PanelClass::PatchGroup, PanelClass::PanlPointer}) {
        if (auto* target = dynamic_cast<RemotePatchTarget*>(host.findPanel(id, tag)))
            return target;
    }
    return nullptr;
}

// Finds a target with entries, or says why there is none.
RemotePatchTarget* usableTarget(PanelHost& host, const QString& tag, const QString& prefix)
{
    const Shared& shared = host.shared();
    RemotePatchTarget* target = findTarget(host, tag);
    if (!target) {
        host.dialogs().MsgBox(prefix + shared.msg(MsgPanelGone) + QStringLiteral(" (") + tag + u')', MsgButtons::Ok,
                              MsgIcon::Exclamation);
        return nullptr;
    }
    if (target->remoteCount() <= 0) {
        host.ShowStatusText(0, shared.msg(MsgListEmpty));
        host.ShowStatusText(1, shared.msg(MsgFail));
        return nullptr;
    }
    return target;
}

}  // namespace

int patchChangeIndex(int value, int count)
{
    return roundHalfEven(double(std::clamp(value, 0, 127)) / 127.0 * double(count - 1));
}

bool RemotePatchUp(PanelHost& host, const QString& tag)
{
    RemotePatchTarget* target = usableTarget(host, tag, QStringLiteral("Patch Up: "));
    if (!target)
        return false;
    const int index = target->remoteIndex();
    target->setRemoteIndex(index <= 0 ? target->remoteCount() - 1 : index - 1);
    target->RmtDblClick();
    return true;
}

bool RemotePatchDown(PanelHost& host, const QString& tag)
{
    RemotePatchTarget* target = usableTarget(host, tag, QStringLiteral("Patch Down: "));
    if (!target)
        return false;
    const int index = target->remoteIndex();
    target->setRemoteIndex(index >= target->remoteCount() - 1 ? 0 : index + 1);
    target->RmtDblClick();
    return true;
}

bool RemotePatchChange(PanelHost& host, const QString& tag, int value)
{
    RemotePatchTarget* target = usableTarget(host, tag, QStringLiteral("Patch Chg: "));
    if (!target)
        return false;
    const int index = patchChangeIndex(value, target->remoteCount());
    if (index == target->remoteIndex())
        return true;
    target->setRemoteIndex(index);
    target->RmtDblClick();
    return true;
}

}  // namespace orvell
