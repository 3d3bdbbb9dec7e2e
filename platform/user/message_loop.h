// The user-interface thread's message loop (the framework's thread object):
// the posted-message queue, timers, pending paints, capture, focus, key state
// and the run loop with idle processing. Plain C++; the windowing system only
// feeds it through an IEventSource.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "platform/msg/clock.h"
#include "platform/user/cursor.h"
#include "platform/user/dialogs.h"
#include "platform/msg/event_source.h"
#include "platform/msg/message_queue.h"
#include "platform/msg/timer_list.h"
#include "platform/user/window_classes.h"

class CWnd;

class CMessageLoop {
 public:
  // The loop becomes the process's current one (the thread that makes it is the
  // user-interface thread) unless another is current already.
  explicit CMessageLoop(const IClock& clock = SteadyClock());
  virtual ~CMessageLoop();
  CMessageLoop(const CMessageLoop&) = delete;
  CMessageLoop& operator=(const CMessageLoop&) = delete;

  static CMessageLoop* Current();

  const IClock& Clock() const { return m_clock; }
  void SetEventSource(std::unique_ptr<IEventSource> source);
  IEventSource& EventSource() { return *m_source; }
  void SetDialogs(std::unique_ptr<IDialogs> dialogs);
  IDialogs& Dialogs() { return *m_dialogs; }
  bool IsLoopThread() const { return std::this_thread::get_id() == m_threadId; }
  // The caption of the framework's message boxes.
  void SetAppName(const CString& name) { m_appName = name; }
  const CString& AppName() const { return m_appName; }
  // The window classes dialogs make their controls from.
  CWindowClasses& WindowClasses() { return m_windowClasses; }

  // --- Windows (user-interface thread) ---
  HWND RegisterWindow(CWnd* wnd);
  void UnregisterWindow(HWND hwnd);
  CWnd* FromHandle(HWND hwnd) const;
  bool IsWindow(HWND hwnd) const;  // any thread
  // Top-level windows from the newest to the oldest.
  CWnd* LastTopLevelWindow() const;
  CWnd* PreviousTopLevelWindow(const CWnd* wnd) const;

  // --- Messages ---
  // Any thread. FALSE when the window does not exist (a null window posts a
  // thread message, handled by PreTranslateMessage).
  BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Posts input from the windowing system as PostMessage does, with the key
  // and button state of now (SetKeyDown): that is the state GetKeyState
  // reports while it is handled. A move replaces a move for the same window
  // still waiting with no input after it. Any thread.
  BOOL PostInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // On the loop's thread a direct call of the window procedure; from another
  // thread the call is queued ahead of posted messages and the caller waits
  // for its result. 0 when the window does not exist.
  LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void PostQuitMessage(int exitCode);
  // Runs the call on the loop's thread the next time the loop looks for a
  // message, ahead of posted messages. Any thread.
  void PostCall(std::function<void()> call);

  // Takes the next message: posted messages and input in order, then the quit
  // message, then paints, then due timers. Input from the event source is
  // polled first. FALSE when nothing matches.
  BOOL PeekMessage(MSG& msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeFlags);
  // Takes the first message, in the same order, that takes(msg) accepts;
  // what it refuses stays where it is.
  BOOL PeekMessageIf(MSG& msg, const std::function<bool(const MSG&)>& takes);
  // Waits for the next message; FALSE for WM_QUIT.
  BOOL GetMessage(MSG& msg);
  // Sleeps until input, a post, or the next timer is due.
  void WaitMessage();
  // Sleeps until input, a post, a wake-up, maxMs passing or the next timer
  // that takes(msg) accepts coming due, whatever else is queued already (a
  // wait that leaves the course's messages where they are sleeps past them).
  void WaitFor(const std::function<bool(const MSG&)>& takes, std::optional<DWORD> maxMs);
  // Ends the loop's sleep now or, when it is not sleeping, its next one:
  // what a waiter waits for happened (a sound's end). Any thread.
  void Wake() { m_source->Wake(); }
  LRESULT DispatchMessage(const MSG& msg);
  // One message through PreTranslateMessage and dispatch; FALSE on WM_QUIT.
  BOOL PumpMessage();
  const MSG& GetCurrentMessage() const { return m_current; }
  // The message that the innermost window procedure is handling (for the
  // default handling of a handler); swapped around every window procedure call.
  MSG SwapWindowMessage(const MSG& msg) { return std::exchange(m_windowMessage, msg); }
  const MSG& WindowMessage() const { return m_windowMessage; }
  // A window procedure or posted call under way (the window layer brackets each call).
  class HandlerScope {
   public:
    explicit HandlerScope(CMessageLoop& loop) : m_loop(loop) { ++m_loop.m_handlerDepth; }
    ~HandlerScope() { --m_loop.m_handlerDepth; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

   private:
    CMessageLoop& m_loop;
  };

  // --- Loops of the program's own inside handlers (user-interface thread) ---
  // A wait or a modal loop (a dialog, a Qt box or menu) while it runs. It
  // belongs to what the owner source named when it began (the course that
  // plays), so that the close of that owner, like the program's close, ends it.
  class LoopScope {
   public:
    LoopScope(CMessageLoop& loop, bool modal);
    ~LoopScope();
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;
    // The program is closing, or the owner this loop belongs to.
    bool Ending() const { return m_loop.ProgramClosing() || m_loop.OwnerClosing(m_owner); }

   private:
    CMessageLoop& m_loop;
    const void* const m_owner;
    const bool m_modal;
  };
  class ModalScope : public LoopScope {
   public:
    explicit ModalScope(CMessageLoop& loop) : LoopScope(loop, true) {}
  };
  // What runs now runs under a loop of the program's own that a handler
  // started (a wait, a dialog, a box): a message was taken or is being
  // handled inside a window procedure or posted call. Closing what that
  // handler uses must wait until it has returned (PostWhenUnwound).
  bool InNestedLoop() const { return m_modalDepth > 0 || m_nestedDepth > 0; }
  // What a loop belongs to: asked when one begins (null: nothing in particular).
  void SetOwnerSource(std::function<const void*()> source) { m_ownerSource = std::move(source); }
  // The program is closing: every loop under way ends, and any that begins
  // ends at once; the close itself comes once they have returned.
  void BeginProgramClose();
  bool ProgramClosing() const { return m_programClosing; }
  // An owner is closing: its loops end, as above, until EndOwnerClose.
  void BeginOwnerClose(const void* owner);
  void EndOwnerClose(const void* owner);
  bool OwnerClosing(const void* owner) const { return owner && m_closingOwners.count(owner) != 0; }
  // Runs the call once nothing of the program is under way: when the loop
  // looks for a message outside every window procedure, posted call and
  // modal loop. What would free objects that the code under a modal loop
  // still uses waits for this.
  void PostWhenUnwound(std::function<void()> call);
  // Calls wait for the loops to unwind: what comes now must come after them.
  bool HasUnwoundCalls() const { return !m_unwoundCalls.empty(); }
  // The window the course's page lives in: a wait that blocks the course
  // holds its timers and posted messages (set by the page's window).
  void SetPageWindow(HWND hwnd) { m_pageWindow = hwnd; }
  HWND PageWindow() const { return m_pageWindow; }

  // The run loop: idle turns while OnIdle asks for more and no message waits,
  // then messages until the queue is empty; returns ExitInstance() on WM_QUIT.
  virtual int Run();
  virtual BOOL OnIdle(LONG count);
  virtual BOOL PreTranslateMessage(MSG& msg);
  virtual BOOL IsIdleMessage(const MSG& msg);
  // Called after every pumped message; TRUE restarts idle processing at count 1.
  virtual BOOL OnMessagePumped(const MSG& msg);
  virtual int ExitInstance();
  int QuitCode() const { return m_quitCode; }

  // --- Timers (user-interface thread; from another thread they fail) ---
  UINT SetTimer(HWND hwnd, UINT id, UINT elapseMs);
  BOOL KillTimer(HWND hwnd, UINT id);
  bool HasTimer(HWND hwnd, UINT id) const;

  // --- Paint: windows with an update region get WM_PAINT when the queue is empty ---
  void MarkInvalid(HWND hwnd);
  void MarkValid(HWND hwnd);
  // A paint taken out by a wait inside a handler: the window stays invalid and
  // is painted when the run loop pumps its next message.
  void DeferPaint(HWND hwnd) { m_deferredPaint.insert(hwnd); }

  // --- Input state ---
  HWND SetCapture(HWND hwnd);
  HWND GetCapture() const { return m_capture; }
  HWND SetFocus(HWND hwnd);
  HWND GetFocus() const { return m_focus; }
  HWND GetActiveWindow() const { return m_active; }
  void SetActiveWindow(HWND hwnd) { m_active = hwnd; }

  // Key state as GetKeyState reports it: high bit down, low bit toggled.
  // While an input message is handled (it was the message taken last) and
  // input that came after it waits, the state it came with, so that what was
  // typed ahead comes out as it was typed; else the live state.
  SHORT GetKeyState(UINT vk) const;
  // The live state, whatever input waits.
  SHORT GetAsyncKeyState(UINT vk) const;
  // The live state of a key, as the windowing system reports it.
  void SetKeyDown(UINT vk, bool down);
  CPoint GetCursorPos() const;
  void SetCursorPosition(CPoint screen) { m_cursorPos.store(PackPoint(screen)); }

  // The cursor shape and its display count (shown while the count is >= 0).
  HCURSOR SetCursor(HCURSOR cursor);
  HCURSOR GetCursor() const { return m_cursor; }
  int ShowCursor(BOOL show);
  // The window whose widget shows the cursor (the one the mouse is over).
  void SetCursorWindow(HWND hwnd);

 private:
  using KeyArray = std::array<std::atomic<BYTE>, 256>;
  static SHORT KeyStateOf(const KeyArray& keys, UINT vk);
  MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const;
  static std::int64_t PackPoint(CPoint p) {
    return (static_cast<std::int64_t>(p.x) << 32) | static_cast<std::uint32_t>(p.y);
  }
  void RunSentCalls();
  bool Unwound() const { return m_handlerDepth == 0 && m_modalDepth == 0; }
  // Brackets taking, waiting for and handing out messages: inside a handler
  // that is a loop nested in it.
  class NestedScope {
   public:
    explicit NestedScope(CMessageLoop& loop) : m_loop(loop), m_nested(loop.m_handlerDepth > 0) {
      if (m_nested) ++m_loop.m_nestedDepth;
    }
    ~NestedScope() {
      if (m_nested) --m_loop.m_nestedDepth;
    }
    NestedScope(const NestedScope&) = delete;
    NestedScope& operator=(const NestedScope&) = delete;

   private:
    CMessageLoop& m_loop;
    const bool m_nested;
  };
  void RunUnwoundCalls();
  using Filter = std::function<bool(const MSG&)>;
  BOOL Take(MSG& msg, const Filter& takes, bool remove);
  bool TakePaint(const Filter& takes, MSG& msg, bool remove);
  void ApplyCursor();

  const IClock& m_clock;
  std::thread::id m_threadId;
  std::unique_ptr<IEventSource> m_source;
  std::unique_ptr<IDialogs> m_dialogs;
  CString m_appName;
  CWindowClasses m_windowClasses;
  CMessageQueue m_queue;

  mutable std::mutex m_windowsMutex;
  std::map<HWND, CWnd*> m_windows;
  std::uintptr_t m_nextHandle = 0x10;

  CTimerList m_timers;
  std::set<HWND> m_invalid;  // ordered by handle: older windows paint first
  std::set<HWND> m_deferredPaint;
  std::atomic<bool> m_quitPosted{false};
  std::atomic<int> m_quitCode{0};
  MSG m_current;
  MSG m_windowMessage;
  int m_handlerDepth = 0;  // window procedures and posted calls under way
  int m_modalDepth = 0;
  int m_nestedDepth = 0;  // message calls under way inside handlers
  std::function<const void*()> m_ownerSource;
  bool m_programClosing = false;
  std::set<const void*> m_closingOwners;
  HWND m_pageWindow = nullptr;
  std::vector<std::function<void()>> m_unwoundCalls;
  CPoint m_lastMovePoint{-1, -1};
  HWND m_lastMoveWindow = nullptr;

  HWND m_capture = nullptr;
  HWND m_focus = nullptr;
  HWND m_active = nullptr;
  KeyArray m_keys{};       // live
  KeyArray m_inputKeys{};  // as the input taken last came with it
  std::atomic<bool> m_inputTaken{false};  // the message taken last was input
  std::atomic<std::int64_t> m_cursorPos{0};
  HCURSOR m_cursor = nullptr;
  int m_cursorCount = 0;
  HWND m_cursorWindow = nullptr;
};

// The framework's free functions over the current loop.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL IsWindow(HWND hwnd);
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetCursorPos(CPoint* point);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR cursor);
int ShowCursor(BOOL show);
BOOL ReleaseCapture();
