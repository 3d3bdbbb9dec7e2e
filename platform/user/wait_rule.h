// The one rule for every loop that waits on the user-interface thread (a
// move, a transition, a device's "wait", a started program, the pump at a
// task's end, press tracking, a drag, a box): which message it takes and what
// it does with it, and when it must end.
#pragma once

#include <functional>
#include <optional>

#include "platform/msg/window_messages.h"
#include "platform/sys/process.h"
#include "platform/user/message_loop.h"

namespace tvn::sys {
class ChildReaper;
}

// How a wait treats what is meant for the page (the window it names, by
// default the loop's page window).
enum class WaitInput {
  kDispatch,  // everything goes to its window (a box, a dialog, a wizard step)
  kDropPage,  // the page's mouse and key messages are dropped and its paint put off
  kToCaller,  // mouse and key messages go to the caller (press tracking, a drag)
  kHold,      // the course is blocked: input, and the page's timers and posted messages, stay
              // queued until the wait ends; paints and the program's close still go through
};

struct WaitPolicy {
  WaitPolicy(WaitInput input = WaitInput::kDropPage, HWND page = nullptr, bool escapeEnds = true, bool modal = false)
      : input(input), page(page), escapeEnds(escapeEnds), modal(modal) {}

  WaitInput input;
  HWND page;        // null: the loop's page window
  bool escapeEnds;  // an Escape key-down ends the wait (it is taken, not handled)
  bool modal;       // a box or dialog: closes wait for it as for every modal loop
  // Runs before a message is dispatched; TRUE when it handled it (a dialog's keys).
  std::function<bool(MSG&)> preDispatch;
};

// Where a message goes, as the rule sees it.
enum class MessageTarget {
  kPage,       // the page window
  kPageFrame,  // the top-level window the page lives in
  kOther,      // any other window, or the thread
};

// What a wait does with one message.
enum class MessageFate {
  kDispatch,    // hand it to its window
  kDrop,        // take it out and forget it
  kDeferPaint,  // take it out; the window is painted once the run loop goes on
  kToCaller,    // the caller handles it
  kHold,        // leave it in the queue
  kEscape,      // ends the wait
  kQuit,        // the program ends: put back for the run loop, and the wait ends
};

// The rule itself, for one message and a wait of the given kind.
MessageFate DecideFate(const WaitPolicy& policy, UINT message, WPARAM wParam, MessageTarget target);
// The same for a message of the current loop, its target found from its window.
MessageFate DecideFate(const WaitPolicy& policy, const MSG& msg);

enum class PumpResult {
  Empty,       // no message was waiting
  Dispatched,  // one message was handled
  Dropped,     // input or a paint for the page was taken out
  ToCaller,    // a message for the caller was taken (see CWait::Take)
  Escape,      // an Escape key-down was taken out (not handled)
  Quit,        // the quit message was seen and left for the run loop
  Closing,     // the program, or what this wait belongs to, is closing
};

// A wait under way: it belongs to what was current when it began (see
// CMessageLoop::LoopScope) and ends when that or the program closes.
class CWait {
 public:
  explicit CWait(WaitPolicy policy = {});
  CWait(const CWait&) = delete;
  CWait& operator=(const CWait&) = delete;

  // The program or this wait's owner is closing (no loop: never).
  bool Ending() const { return m_scope && m_scope->Ending(); }
  // Takes at most one message by the rule and does what it says. The message
  // taken comes back in msg: for kToCaller the caller handles it.
  PumpResult PumpOne(MSG* msg = nullptr);
  // Hands out the messages waiting now, at most a fixed number, so that a
  // timer due again at once cannot hold the caller. FALSE when the wait must
  // end (Escape, the quit message, a close).
  BOOL PumpWaiting();
  // Keeps the program going while going() holds (asked before each message):
  // messages one by one by the rule, and when none waits a sleep until one
  // may have come, at most untilNext() milliseconds when given (what the
  // caller waits for ends by a time of its own). Empty when going() ended
  // it, else why the wait ended (Escape, Quit, Closing).
  std::optional<PumpResult> While(const std::function<bool()>& going,
                                  const std::function<std::optional<DWORD>()>& untilNext = nullptr);
  // Sleeps until something this wait takes may have arrived: input, a posted
  // message, a wake-up of the loop (what the caller waits for ended), a
  // timer it takes coming due, or maxMs passing. Off the loop's thread a
  // short slice at most.
  void Sleep(std::optional<DWORD> maxMs = std::nullopt);

 private:
  CMessageLoop* const m_loop;
  WaitPolicy m_policy;
  std::optional<CMessageLoop::LoopScope> m_scope;
};

// The rule as a predicate: TRUE when the wait ends for what a pump returned.
inline bool EndsWait(PumpResult result) {
  return result == PumpResult::Escape || result == PumpResult::Quit || result == PumpResult::Closing;
}

// Waits for a started program to end, the course blocked meanwhile
// (WaitInput::kHold); its exit code (-1 after a signal). When the program or
// the course closes first, the child runs on, handed to the reaper when one
// is given (else the caller's to reap), and nothing comes back. Off the
// user-interface thread a plain wait.
std::optional<int> WaitForProgram(tvn::sys::ProcessId process, tvn::sys::ChildReaper* reaper = nullptr);

// Starts the program and waits for it as above: started and error say
// whether it ran; exitCode is -1 for a wait that a close ended.
tvn::sys::ProcessResult RunProgramAndWait(const std::filesystem::path& program,
                                          const std::vector<std::string>& arguments, tvn::sys::ChildReaper& reaper);
