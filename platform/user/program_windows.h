// Bringing the window of another running program forward.
#pragma once

namespace tvn::sys {

// How the window is shown.
constexpr int kShowNormal = 1;
constexpr int kShowMinimised = 2;
constexpr int kShowMaximised = 3;
constexpr int kShowHidden = 0;

// The first top-level window of the process (by its _NET_WM_PID) is shown
// as asked and activated through the window manager, on X11 only. False
// when the display is no X11 one or the process shows no window.
bool RaiseProgramWindow(int pid, int show);

}  // namespace tvn::sys
