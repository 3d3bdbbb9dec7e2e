// Message pumping for waits and long work inside a message handler.
#include "platform/user/message_pump.h"

#include <chrono>
#include <thread>

#include "platform/user/message_loop.h"

namespace {
// Enough for what piles up during a page; a timer that is due again at once
// cannot keep the work waiting for ever.
constexpr int kMaxWaitingMessages = 256;
constexpr DWORD kWaitSliceMs = 5;

bool IsInput(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) || (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}
}  // namespace

PumpResult PumpOneMessage(HWND dropInputFor) {
  CMessageLoop* loop = CMessageLoop::Current();
  MSG msg;
  if (!loop || !loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) return PumpResult::Empty;
  if (msg.message == WM_QUIT) {
    // The quit belongs to the run loop: put it back for it.
    loop->PostQuitMessage(static_cast<int>(msg.wParam));
    return PumpResult::Quit;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return PumpResult::Escape;
  if (dropInputFor && msg.hwnd == dropInputFor) {
    if (msg.message == WM_PAINT) {
      loop->DeferPaint(msg.hwnd);
      return PumpResult::Dropped;
    }
    if (IsInput(msg.message)) return PumpResult::Dropped;
  }
  if (!loop->PreTranslateMessage(msg)) loop->DispatchMessage(msg);
  return PumpResult::Dispatched;
}

BOOL PumpWaitingMessages(HWND dropInputFor) {
  for (int i = 0; i < kMaxWaitingMessages; ++i) {
    switch (PumpOneMessage(dropInputFor)) {
      case PumpResult::Empty: return TRUE;
      case PumpResult::Escape:
      case PumpResult::Quit: return FALSE;
      default: break;
    }
  }
  return TRUE;
}

BOOL PumpWhile(HWND dropInputFor, const std::function<bool()>& going) {
  while (going()) {
    switch (PumpOneMessage(dropInputFor)) {
      case PumpResult::Escape:
      case PumpResult::Quit: return FALSE;
      case PumpResult::Empty:
        if (CMessageLoop* loop = CMessageLoop::Current(); loop && loop->IsLoopThread())
          loop->EventSource().Wait(kWaitSliceMs);
        else
          std::this_thread::sleep_for(std::chrono::milliseconds(kWaitSliceMs));
        break;
      default: break;
    }
  }
  return TRUE;
}
