// The frame's side of Core::Gamepad: BeginFrame polls it only once the game
// has asked it something.
#ifndef QUILLMAR_INPUT_GAMEPADPOLL_H
#define QUILLMAR_INPUT_GAMEPADPOLL_H

namespace qmpad {
// Steps Core::Gamepad if the game has used it.
void StepSharedIfInUse();
// For tests: as if the game had never used Core::Gamepad.
void ForgetSharedUse();
}  // namespace qmpad

#endif
