// The "wait" of an MCI command: how long it may last, and the wait itself.
#pragma once

#include <functional>

#include "platform/base/win_types.h"
#include "platform/user/wait_rule.h"

class IClock;

// The longest a device waits for a play to end: what is left to play, in
// milliseconds at the rate it plays, and 2 s more, so that a play slowed by
// a busy machine still ends the wait by itself.
DWORD MciWaitLimitMs(double remainingMs);

// The wait rule of a device whose "wait" blocks the course (sound, MIDI,
// CD audio, recording): nothing reaches the course until the play ends.
inline WaitPolicy MciBlockingWait() { return {WaitInput::kHold, nullptr, false}; }

// Waits until ended() holds or limitMs has passed by the clock or by the
// steady clock (a test's clock that does not move never holds the caller
// longer). On the user-interface thread the program goes on by the wait
// rule given (its close ends the wait); on another thread the caller sleeps
// in short slices.
void MciWaitUntil(const WaitPolicy& policy, const IClock& clock, DWORD limitMs, const std::function<bool()>& ended);
// Tells a wait of MciWaitUntil that what it waits for may have ended, so
// that it asks ended() again at once (any thread: a sound's end comes on the
// sound thread).
void MciWakeWait();
