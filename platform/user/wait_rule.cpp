// The wait rule: which message a wait on the user-interface thread takes, what it does with it, and when it ends.
#include "platform/user/wait_rule.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/sys/child_reaper.h"
#include "platform/sys/process_end_watch.h"
#include "platform/user/wnd.h"

namespace {

// Enough for what piles up during a page; a timer that is due again at once
// cannot keep the work waiting for ever.
constexpr int kMaxWaitingMessages = 256;
// Off the loop's thread nothing wakes a sleep: it is cut into slices.
constexpr DWORD kOffLoopSliceMs = 5;
// How often a started program is looked at where the system cannot tell its end.
constexpr DWORD kProgramLookMs = 50;

// Mouse and key messages, as the page's own input handling knows them.
bool IsPageInput(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) || (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

bool IsAnyInput(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         message == WM_DROPFILES;
}

// What keeps the program alive while the course is blocked: paints from the
// back buffer, and the program's close and the session's end.
bool GoesThroughABlock(UINT message) {
  return message == WM_PAINT || message == WM_CLOSE || message == WM_QUERYENDSESSION || message == WM_ENDSESSION;
}

HWND PageOf(const WaitPolicy& policy) {
  if (policy.page) return policy.page;
  CMessageLoop* loop = CMessageLoop::Current();
  return loop ? loop->PageWindow() : nullptr;
}

// Without a page every window counts as the page's.
MessageTarget TargetOf(HWND page, HWND hwnd) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!page || hwnd == page) return MessageTarget::kPage;
  const CWnd* pageWnd = loop ? loop->FromHandle(page) : nullptr;
  const CWnd* wnd = loop ? loop->FromHandle(hwnd) : nullptr;
  if (pageWnd && wnd && pageWnd->GetTopLevelParent() == wnd) return MessageTarget::kPageFrame;
  return MessageTarget::kOther;
}

}  // namespace

MessageFate DecideFate(const WaitPolicy& policy, UINT message, WPARAM wParam, MessageTarget target) {
  if (message == WM_QUIT) return MessageFate::kQuit;
  if (policy.escapeEnds && message == WM_KEYDOWN && wParam == VK_ESCAPE) return MessageFate::kEscape;
  switch (policy.input) {
    case WaitInput::kDispatch: return MessageFate::kDispatch;
    case WaitInput::kDropPage:
      if (target != MessageTarget::kPage) return MessageFate::kDispatch;
      if (message == WM_PAINT) return MessageFate::kDeferPaint;
      return IsPageInput(message) ? MessageFate::kDrop : MessageFate::kDispatch;
    case WaitInput::kToCaller: return IsAnyInput(message) ? MessageFate::kToCaller : MessageFate::kDispatch;
    case WaitInput::kHold:
      // The course's timers are the page window's; other windows' (a film's
      // frames, a caret) go on.
      if (GoesThroughABlock(message)) return MessageFate::kDispatch;
      if (IsAnyInput(message)) return MessageFate::kHold;
      if (message == WM_TIMER) return target == MessageTarget::kPage ? MessageFate::kHold : MessageFate::kDispatch;
      return target == MessageTarget::kOther ? MessageFate::kDispatch : MessageFate::kHold;
  }
  return MessageFate::kDispatch;
}

MessageFate DecideFate(const WaitPolicy& policy, const MSG& msg) {
  return DecideFate(policy, msg.message, msg.wParam, TargetOf(PageOf(policy), msg.hwnd));
}

CWait::CWait(WaitPolicy policy) : m_loop(CMessageLoop::Current()), m_policy(std::move(policy)) {
  // Only the loop's own thread waits through it; elsewhere nothing is taken.
  if (m_loop && m_loop->IsLoopThread()) m_scope.emplace(*m_loop, m_policy.modal);
  // The page is known once for the whole wait.
  if (!m_policy.page && m_loop) m_policy.page = m_loop->PageWindow();
}

PumpResult CWait::PumpOne(MSG* out) {
  if (!m_scope) return PumpResult::Empty;
  if (Ending()) return PumpResult::Closing;
  MSG msg;
  const bool taken = m_policy.input == WaitInput::kHold
                         ? m_loop->PeekMessageIf(msg, [this](const MSG& m) { return DecideFate(m_policy, m) != MessageFate::kHold; })
                         : m_loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE);
  if (!taken) return Ending() ? PumpResult::Closing : PumpResult::Empty;
  switch (DecideFate(m_policy, msg)) {
    case MessageFate::kQuit:
      // The quit belongs to the run loop: put it back for it.
      m_loop->PostQuitMessage(static_cast<int>(msg.wParam));
      return PumpResult::Quit;
    case MessageFate::kEscape: return PumpResult::Escape;
    case MessageFate::kDeferPaint: m_loop->DeferPaint(msg.hwnd); return PumpResult::Dropped;
    case MessageFate::kDrop: return PumpResult::Dropped;
    case MessageFate::kToCaller:
      if (out) *out = msg;
      return PumpResult::ToCaller;
    case MessageFate::kHold:  // not taken by the filter above
    case MessageFate::kDispatch: break;
  }
  if (out) *out = msg;
  if (m_policy.preDispatch && m_policy.preDispatch(msg)) return Ending() ? PumpResult::Closing : PumpResult::Dispatched;
  if (!m_loop->PreTranslateMessage(msg)) m_loop->DispatchMessage(msg);
  // What the message did may have closed the program or the owner.
  return Ending() ? PumpResult::Closing : PumpResult::Dispatched;
}

BOOL CWait::PumpWaiting() {
  for (int i = 0; i < kMaxWaitingMessages; ++i) {
    const PumpResult result = PumpOne();
    if (EndsWait(result)) return FALSE;
    if (result == PumpResult::Empty) break;
  }
  return TRUE;
}

void CWait::Sleep(std::optional<DWORD> maxMs) {
  if (!m_scope) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(maxMs.value_or(kOffLoopSliceMs), kOffLoopSliceMs)));
    return;
  }
  // The timers the wait leaves for later wake it no more than what it holds.
  m_loop->WaitFor([this](const MSG& m) { return DecideFate(m_policy, m) != MessageFate::kHold; }, maxMs);
}

std::optional<PumpResult> CWait::While(const std::function<bool()>& going,
                                       const std::function<std::optional<DWORD>()>& untilNext) {
  while (going()) {
    const PumpResult result = PumpOne();
    if (EndsWait(result)) return result;
    if (result == PumpResult::Empty) Sleep(untilNext ? untilNext() : std::nullopt);
  }
  return std::nullopt;
}

std::optional<int> WaitForProgram(tvn::sys::ProcessId process, tvn::sys::ChildReaper* reaper) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || !loop->IsLoopThread()) return tvn::sys::WaitForProcess(process);
  std::optional<int> exitCode;
  CWait wait({WaitInput::kHold, nullptr, false});
  const tvn::sys::ProcessEndWatch end(process, [loop] { loop->Wake(); });
  const std::optional<DWORD> look = end.Watching() ? std::nullopt : std::optional<DWORD>(kProgramLookMs);
  wait.While([&] { return !(exitCode = tvn::sys::PollProcess(process)); }, [look] { return look; });
  if (!exitCode && reaper) reaper->Adopt(process);
  return exitCode;
}

tvn::sys::ProcessResult RunProgramAndWait(const std::filesystem::path& program,
                                          const std::vector<std::string>& arguments, tvn::sys::ChildReaper& reaper) {
  tvn::sys::ProcessResult result;
  const tvn::sys::StartResult started = tvn::sys::StartProgram(program, arguments);
  result.error = started.error;
  if (!started.process) return result;
  result.started = true;
  result.exitCode = WaitForProgram(started.process, &reaper).value_or(-1);
  return result;
}
