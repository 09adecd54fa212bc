#pragma once

namespace orvell {

// What a control slot sends: 0..127 a MIDI controller number, or one of the
// special codes below.
namespace CtrlCode {
constexpr int AfterTouch = 201;
constexpr int PitchBend = 202;
constexpr int PlayOnOff = 205;
constexpr int RecEvOnOff = 206;
constexpr int StartStop = 207;
constexpr int PatchDown = 210;
constexpr int PatchUp = 211;
constexpr int PatchChange = 212;
constexpr int PushButtons = 213;
constexpr int PnlPtrDown = 214;
constexpr int PnlPtrUp = 215;
constexpr int PnlPtrChange = 216;
constexpr int SysEx = 217;
constexpr int NoOp = 300;
}  // namespace CtrlCode

}  // namespace orvell
