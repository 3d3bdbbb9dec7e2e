// The setup programs' look at their message loop between two steps of work that has no loop of its own.
#pragma once

// Hands out the messages waiting now, each to its window (paints, the window
// manager's pings, a signal of the session's end); false when the program is
// closing or its quit message came. True without a loop on this thread.
bool DispatchPendingMessages();
// Whether the program's close (the session's end) has begun: a box or wait
// that saw it has ended. False without a loop on this thread.
bool ProgramClosing();
