// A headless player for whole courses: it writes a course built by the test
// builder, starts the runtime on it with a hand-driven clock, injects clicks,
// keys and timer ticks as window messages, and reads back the steps and
// tasks visited, the variables and the page's pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/msg/clock.h"
#include "platform/base/cstring.h"
#include "platform/gdi/printer_dc.h"
#include "platform/user/native_control.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"
#include "tests/support/temp_dir.h"

class CCourseDoc;
class CPlayerApp;
class CPresentationView;
class CScriptedDialogs;
class CVariable;
class CWnd;

namespace tvn::testing {

class ScriptedPlayer {
 public:
  // One step of the view: the message (0x401, 0x402, 0x403) and the task current when it began.
  struct Step {
    UINT message;
    int task;
    bool operator==(const Step&) const = default;
  };

  ScriptedPlayer();
  ~ScriptedPlayer();
  ScriptedPlayer(const ScriptedPlayer&) = delete;
  ScriptedPlayer& operator=(const ScriptedPlayer&) = delete;

  // Writes the course under the name and starts the program on it; the
  // first messages are pumped. FALSE when no course became current.
  bool Start(const std::vector<std::uint8_t>& course, const std::string& name = "course.mcl");
  // Starts the demo course file under its own name, the demo's media files
  // that lie beside it copied into the player's folder first.
  bool StartDemo(const std::filesystem::path& demo);
  // Makes the application without a course (the view is there, not running).
  bool StartEmpty();

  // Pumps messages until the queue stays empty; TRUE when the program ended.
  bool Pump();
  // Input at a point of the view's client area; each is pumped afterwards.
  void Click(CPoint point, UINT keyFlags = 0);
  void Press(CPoint point, UINT keyFlags = 0);
  void MoveTo(CPoint point, UINT keyFlags = 0);
  void Release(CPoint point, UINT keyFlags = 0);
  // The left button pressed at one point, moved through the others and
  // released at the last, all queued before pumping: a push button follows
  // such a press in a loop of its own that waits for the release.
  void PressAndRelease(CPoint press, const std::vector<CPoint>& moves, CPoint release);
  // A click on a child window's own control, as the window layer posts one:
  // the control takes the focus for the mouse, then the button goes down and
  // up at the point of the window's client area.
  void ClickWindow(CWnd& window, CPoint point);
  // A key down, with modifiers held for its length, to the window with the
  // keyboard focus (none: the key is lost).
  void Key(UINT virtualKey, bool ctrl = false, bool alt = false, bool shift = false);
  void Command(UINT id);
  // Time passes on the clock; due timers fire.
  void Tick(DWORD milliseconds);
  // Lets the time pass in ticks of 100 ms, each pumped.
  void TickInSteps(DWORD milliseconds);
  // A timer message straight to the view.
  void Timer(UINT id);
  // Holds a key down (or lets it go) until changed again.
  void Hold(UINT virtualKey, bool down);

  bool Ended() const { return m_exitCode.has_value(); }
  CPlayerApp& App() { return *m_app; }
  CPresentationView& View();
  CCourseDoc* Course();
  const std::vector<Step>& Steps() const { return m_steps; }
  // Every task that ran (each 0x402), in order.
  std::vector<int> TasksRun() const;
  int CurrentTask();
  CVariable* Variable(const char* name);
  // A number or integer variable's value.
  double Number(const char* name);
  CString Text(const char* name);
  // A pixel of the page in page coordinates.
  COLORREF Pixel(int x, int y);
  // A pixel of what the view's window shows, in its client coordinates.
  COLORREF WindowPixel(int x, int y);
  CManualClock& Clock() { return m_clock; }
  CScriptedDialogs& Dialogs() { return *m_dialogs; }
  // The printer the program prints on, set before its course starts; by
  // default there is none, so no test ever reaches a real printer.
  void UsePrinter(const CPrinterSetup& printer) { m_printer = printer; }
  // Arguments put before and after the course's file on the command line of Start.
  void UseCommandLine(std::vector<CString> before, std::vector<CString> after) {
    m_before = std::move(before);
    m_after = std::move(after);
  }
  // Sound goes to SDL's device (the driver SDL_AUDIODRIVER names) instead of
  // being mixed and recorded as the clock moves; set before Start.
  void UseAudioDevice() { m_audioDevice = true; }
  // Told every command the players send to an MCI device by id, from the start; set before Start.
  void TraceMci(std::function<void(DWORD id, std::string_view command)> trace) { m_mciTrace = std::move(trace); }
  // The folder the program runs from (where it looks for optional
  // libraries), set before its course starts; the test program's by default.
  void UseProgramFolder(const std::filesystem::path& folder) { m_programFolder = folder; }
  // The controls the program can host, registered before its course starts; none by default.
  CNativeControlRegistry& Controls() { return m_controls; }
  const std::filesystem::path& Directory() const { return m_dir.path(); }

 private:
  void MakeApp(std::vector<CString> arguments);
  void SendMouse(UINT message, CPoint point, UINT keyFlags);

  CManualClock m_clock{1000};
  TempDir m_dir;
  std::filesystem::path m_savedDirectory;
  std::unique_ptr<CPlayerApp> m_app;
  CScriptedDialogs* m_dialogs = nullptr;
  CPrinterSetup m_printer;
  std::vector<CString> m_before, m_after;
  std::optional<std::filesystem::path> m_programFolder;
  CNativeControlRegistry m_controls;
  bool m_audioDevice = false;
  std::function<void(DWORD, std::string_view)> m_mciTrace;
  std::vector<Step> m_steps;
  std::optional<int> m_exitCode;
};

}  // namespace tvn::testing
