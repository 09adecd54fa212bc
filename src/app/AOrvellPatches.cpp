#include "app/AOrvell.h"

#include "core/Shared.h"

namespace orvell {

namespace {
constexpr int MsgFail = 3;
constexpr int MsgCouldNotLoad = 168;
}  // namespace

void AOrvell::LoadPatchLst_Click()
{
    ShowStatusMsg(0, MsgCouldNotLoad);
    ShowStatusMsg(1, MsgFail);
}

void AOrvell::CopyPatch() {}
void AOrvell::CutPatch() {}
void AOrvell::PastePtchBefore() { PastePatch(false); }
void AOrvell::PastePtchAfter() { PastePatch(true); }
void AOrvell::PastePatch(bool) {}

}  // namespace orvell
