// The slot panels' controls that act on other panels, as the panel pointer
// finds and re-points them.
#include "controllers/SlotPanel.h"

#include "core/SectionFile.h"
#include "midi/CtrlCodes.h"
#include "midi/MidiEngine.h"
#include "panels/PanelHost.h"

#include <algorithm>

namespace orvell {

namespace {

constexpr std::initializer_list<int> PatchCodes = {CtrlCode::PatchDown, CtrlCode::PatchUp, CtrlCode::PatchChange};

}  // namespace

bool SlotPanel::hasControlOf(std::initializer_list<int> codes) const
{
    return std::ranges::any_of(core_, [&](const SlotCore& slot) { return std::ranges::find(codes, slot.code) != codes.end(); });
}

bool SlotPanel::IsPatchController() const { return hasControlOf(PatchCodes); }

bool SlotPanel::IsButtonsController() const { return hasControlOf({CtrlCode::PushButtons}); }

bool SlotPanel::IsSequenceController() const { return hasControlOf({CtrlCode::PlayOnOff}); }

void SlotPanel::SetPatchController(const QString& tag) { repoint(PatchCodes, tag); }

void SlotPanel::SetButtonsController(const QString& tag) { repoint({CtrlCode::PushButtons}, tag); }

void SlotPanel::SetSequenceController(const QString& tag) { repoint({CtrlCode::PlayOnOff}, tag); }

void SlotPanel::repoint(std::initializer_list<int> codes, const QString& tag)
{
    const auto target = parseSectionInt(tag);
    if (!target)
        return;
    bool changed = false;
    for (int i = 0; i < Slots; ++i) {
        SlotCore& slot = core(i);
        if (std::ranges::find(codes, slot.code) == codes.end() || slot.patchId == *target)
            continue;
        releaseHold(i);
        slot.patchId = *target;
        changed = true;
    }
    if (!changed)
        return;
    markChanged();
    host_.remoteLinksChanged();
}

void SlotPanel::releaseHold(int index)
{
    if (core(index).code != CtrlCode::PushButtons || !press(index).on)
        return;
    midi_.ResetControl(portText(index), core(index).code, channelText(index), core(index).patchId);
    setBorder(index, false);
}

}  // namespace orvell
