#include "app/AOrvell.h"

#include "panels/Dialogs.h"
#include "panels/Shared.h"
#include "patches/PatchClipboard.h"
#include "patches/PatchListPanel.h"

#include <QFileInfo>
#include <QMdiSubWindow>

namespace orvell {

namespace {

constexpr int MsgFail = 3;
constexpr int MsgLoaded = 18;
constexpr int MsgCouldNotLoad = 168;

PatchEditTarget* editTarget(Panel* panel) { return dynamic_cast<PatchEditTarget*>(panel); }

}  // namespace

void AOrvell::LoadPatchLst_Click()
{
    FileRequest request;
    request.title = QStringLiteral("Load PatchList");
    request.directory = shared_.PatchDir.isEmpty() ? shared_.AppDir : shared_.PatchDir;
    request.fileName = shared_.LastPatchName;
    request.filter = QStringLiteral("Instrument Definition Files (*.ins)|*.ins|Text Files (*.txt)|*.txt");
    const QString path = dialogs_.OpenFile(request);
    if (path.isEmpty())
        return;
    const QFileInfo chosen(path);
    shared_.PatchDir = chosen.absolutePath() + u'/';
    shared_.LastPatchName = chosen.fileName();

    // An empty patch list takes the file; otherwise it gets a panel of its own.
    auto* panel = qobject_cast<PatchListPanel*>(activePanel());
    const bool created = !panel || !panel->isEmpty();
    if (created)
        panel = static_cast<PatchListPanel*>(createPanel(PanelClass::PatchList));
    const bool read = panel->loadPatchFile(path, {});
    ShowStatusText(0, (read ? QString() : shared_.msg(MsgCouldNotLoad)) + path);
    ShowStatusMsg(1, read ? MsgLoaded : MsgFail);
    if (panel->isEmpty()) {
        // A file that gave nothing leaves no empty panel behind.
        if (created && panel->subWindow())
            panel->subWindow()->close();
        return;
    }
    IsChanged = true;
}

void AOrvell::CopyPatch()
{
    if (PatchEditTarget* target = editTarget(activePanel()))
        target->CopyPatch(patchClipboard_);
}

void AOrvell::CutPatch()
{
    if (PatchEditTarget* target = editTarget(activePanel()))
        target->CutPatch(patchClipboard_);
}

void AOrvell::PastePtchBefore() { PastePatch(false); }

void AOrvell::PastePtchAfter() { PastePatch(true); }

void AOrvell::PastePatch(bool AddAfter)
{
    if (PatchEditTarget* target = editTarget(activePanel()))
        target->PastePatch(patchClipboard_, AddAfter);
}

}  // namespace orvell
