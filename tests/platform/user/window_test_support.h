// Shared pieces of the window-layer tests: one offscreen Qt application for the
// whole test program, a loop on a hand-driven clock, scripted dialogs and a
// window that records the messages it gets.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/msg/clock.h"
#include "platform/user/dialogs.h"
#include "platform/user/message_loop.h"
#include "platform/user/qt_event_source.h"
#include "platform/user/wnd.h"

// The Qt application of the test program (made on first use).
void EnsureQtApplication();

// Input comes from Qt as in the program, but a wait lets the hand-driven clock
// run on by the time waited instead of sleeping, so timers never depend on
// the machine's speed.
class CClockDrivenSource final : public IEventSource {
 public:
  explicit CClockDrivenSource(CManualClock& clock) : m_clock(clock) {}
  void Poll() override { m_qt.Poll(); }
  void Wait(std::optional<DWORD> maxMs) override;
  void Wake() override { m_qt.Wake(); }

 private:
  CManualClock& m_clock;
  CQtEventSource m_qt;
};

// Dialogs that answer from a script and remember what they were asked.
class CScriptedDialogs final : public IDialogs {
 public:
  int MessageBox(const MessageBoxRequest& request) override;
  std::optional<CString> FileDialog(const FileDialogRequest& request) override;
  void Beep(UINT type) override { beeps.push_back(type); }
  std::optional<CHARFORMAT> FontDialog(const FontDialogRequest& request) override;
  std::optional<COLORREF> ColourDialog(const ColourDialogRequest& request) override;
  UINT TrackPopupMenu(const PopupMenuRequest& request) override;

  std::deque<int> boxAnswers;                    // IDOK when empty
  std::deque<std::optional<CString>> fileAnswers;  // cancel when empty
  std::deque<int> filterAnswers;                   // the filter chosen with each file; the one shown when empty
  // A font answer is called with the request and gives the format chosen.
  std::deque<std::function<std::optional<CHARFORMAT>(const FontDialogRequest&)>> fontAnswers;  // cancel when empty
  std::deque<std::optional<COLORREF>> colourAnswers;  // cancel when empty
  std::deque<UINT> menuAnswers;                       // nothing chosen when empty
  std::vector<MessageBoxRequest> boxes;
  std::vector<FileDialogRequest> fileDialogs;
  std::vector<FontDialogRequest> fontDialogs;
  std::vector<ColourDialogRequest> colourDialogs;
  std::vector<PopupMenuRequest> popupMenus;
  std::vector<UINT> beeps;
};

// The colour of a pixel of the window's surface (what it last painted).
COLORREF SurfacePixel(CWnd& wnd, int x, int y);

struct RecordedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A window that records every message, optionally reacting through a hook.
class CRecordingWnd : public CWnd {
 public:
  explicit CRecordingWnd(std::vector<RecordedMessage>* log = nullptr) : m_log(log) {}
  ~CRecordingWnd() override { DestroyWindow(); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::vector<RecordedMessage> Messages(UINT message) const;
  std::vector<RecordedMessage> received;
  std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> hook;

 private:
  std::vector<RecordedMessage>* m_log;
};

// A loop on a manual clock with Qt as its event source and scripted dialogs.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;
  // Dispatches every message that is ready now (not waiting for the clock).
  int PumpReady();
  // Makes a visible top-level window of the given client area.
  std::unique_ptr<CRecordingWnd> MakeWindow(const CRect& rect = CRect(100, 100, 420, 340), UINT classStyle = 0);

  CManualClock clock{1000};
  std::unique_ptr<CMessageLoop> loop;
  CScriptedDialogs* dialogs = nullptr;
};
