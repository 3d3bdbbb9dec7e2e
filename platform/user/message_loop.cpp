#include "platform/user/message_loop.h"

#include <future>

#include "platform/user/qt_dialogs.h"
#include "platform/user/wnd.h"

namespace {
std::atomic<CMessageLoop*> g_current{nullptr};
}

CMessageLoop::CMessageLoop(const IClock& clock)
    : m_clock(clock),
      m_threadId(std::this_thread::get_id()),
      m_source(std::make_unique<CPlainEventSource>()),
      m_dialogs(std::make_unique<CQtDialogs>()) {
  m_current.time = m_clock.Now();
  CMessageLoop* none = nullptr;
  if (g_current.compare_exchange_strong(none, this)) InstallCurrentClock(m_clock);
  m_cursor = LoadCursor(nullptr, IDC_ARROW);
}

CMessageLoop::~CMessageLoop() {
  // A helper thread waiting for a sent message gets its answer (0 for a
  // window that is gone) instead of waiting for ever.
  RunSentCalls();
  CMessageLoop* self = this;
  if (g_current.compare_exchange_strong(self, nullptr)) RemoveCurrentClock(m_clock);
}

CMessageLoop* CMessageLoop::Current() { return g_current.load(); }

void CMessageLoop::SetEventSource(std::unique_ptr<IEventSource> source) {
  m_source = source ? std::move(source) : std::make_unique<CPlainEventSource>();
}

void CMessageLoop::SetDialogs(std::unique_ptr<IDialogs> dialogs) {
  m_dialogs = dialogs ? std::move(dialogs) : std::make_unique<CQtDialogs>();
}

// --- Windows ---

HWND CMessageLoop::RegisterWindow(CWnd* wnd) {
  std::lock_guard lock(m_windowsMutex);
  HWND hwnd = reinterpret_cast<HWND>(m_nextHandle);
  m_nextHandle += 4;
  m_windows[hwnd] = wnd;
  return hwnd;
}

void CMessageLoop::UnregisterWindow(HWND hwnd) {
  {
    std::lock_guard lock(m_windowsMutex);
    m_windows.erase(hwnd);
  }
  m_timers.KillAll(hwnd);
  m_invalid.erase(hwnd);
  m_queue.RemoveWindow(hwnd);
  if (m_capture == hwnd) m_capture = nullptr;
  if (m_focus == hwnd) m_focus = nullptr;
  if (m_active == hwnd) m_active = nullptr;
  if (m_cursorWindow == hwnd) m_cursorWindow = nullptr;
  if (m_lastMoveWindow == hwnd) m_lastMoveWindow = nullptr;
}

CWnd* CMessageLoop::FromHandle(HWND hwnd) const {
  if (!hwnd) return nullptr;
  std::lock_guard lock(m_windowsMutex);
  auto it = m_windows.find(hwnd);
  return it == m_windows.end() ? nullptr : it->second;
}

bool CMessageLoop::IsWindow(HWND hwnd) const { return FromHandle(hwnd) != nullptr; }

CWnd* CMessageLoop::LastTopLevelWindow() const {
  std::lock_guard lock(m_windowsMutex);
  for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
    if (!it->second->GetParent()) return it->second;
  return nullptr;
}

CWnd* CMessageLoop::PreviousTopLevelWindow(const CWnd* wnd) const {
  if (!wnd) return nullptr;
  std::lock_guard lock(m_windowsMutex);
  auto it = m_windows.find(wnd->m_hWnd);
  if (it == m_windows.end()) return nullptr;
  for (auto prev = std::make_reverse_iterator(it); prev != m_windows.rend(); ++prev)
    if (!prev->second->GetParent()) return prev->second;
  return nullptr;
}

// --- Messages ---

MSG CMessageLoop::MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = m_clock.Now();
  msg.pt = GetCursorPos();
  return msg;
}

BOOL CMessageLoop::PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !IsWindow(hwnd)) return FALSE;
  m_queue.Post(MakeMessage(hwnd, message, wParam, lParam));
  m_source->Wake();
  return TRUE;
}

BOOL CMessageLoop::PostInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !IsWindow(hwnd)) return FALSE;
  KeyStates keys;
  for (std::size_t vk = 0; vk < keys.size(); ++vk) keys[vk] = m_keys[vk].load();
  m_queue.PostInput(MakeMessage(hwnd, message, wParam, lParam), keys);
  m_source->Wake();
  return TRUE;
}

LRESULT CMessageLoop::SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLoopThread()) {
    CWnd* wnd = FromHandle(hwnd);
    return wnd ? wnd->SendMessage(message, wParam, lParam) : 0;
  }
  // Windows live on the user-interface thread: the call waits for it there.
  auto result = std::make_shared<std::promise<LRESULT>>();
  std::future<LRESULT> answer = result->get_future();
  m_queue.PostCall([this, hwnd, message, wParam, lParam, result] {
    CWnd* wnd = FromHandle(hwnd);
    result->set_value(wnd ? wnd->SendMessage(message, wParam, lParam) : 0);
  });
  m_source->Wake();
  return answer.get();
}

void CMessageLoop::PostCall(std::function<void()> call) {
  m_queue.PostCall(std::move(call));
  m_source->Wake();
}

void CMessageLoop::PostQuitMessage(int exitCode) {
  m_quitCode = exitCode;
  m_quitPosted = true;
  m_source->Wake();
}

void CMessageLoop::RunSentCalls() {
  for (auto& call : m_queue.TakeCalls()) {
    HandlerScope busy(*this);
    call();
  }
}

CMessageLoop::LoopScope::LoopScope(CMessageLoop& loop, bool modal)
    : m_loop(loop), m_owner(loop.m_ownerSource ? loop.m_ownerSource() : nullptr), m_modal(modal) {
  if (m_modal) ++m_loop.m_modalDepth;
}

CMessageLoop::LoopScope::~LoopScope() {
  if (m_modal) --m_loop.m_modalDepth;
}

void CMessageLoop::BeginProgramClose() {
  m_programClosing = true;
  m_source->Wake();
}

void CMessageLoop::BeginOwnerClose(const void* owner) {
  if (!owner) return;
  m_closingOwners.insert(owner);
  m_source->Wake();
}

void CMessageLoop::EndOwnerClose(const void* owner) { m_closingOwners.erase(owner); }

void CMessageLoop::PostWhenUnwound(std::function<void()> call) {
  m_unwoundCalls.push_back(std::move(call));
  m_source->Wake();
}

void CMessageLoop::RunUnwoundCalls() {
  while (Unwound() && !m_unwoundCalls.empty()) {
    std::function<void()> call = std::move(m_unwoundCalls.front());
    m_unwoundCalls.erase(m_unwoundCalls.begin());
    HandlerScope busy(*this);
    call();
  }
}

bool CMessageLoop::TakePaint(const Filter& takes, MSG& msg, bool remove) {
  for (HWND hwnd : m_invalid) {
    MSG paint;
    paint.hwnd = hwnd;
    paint.message = WM_PAINT;
    paint.time = m_clock.Now();
    paint.pt = GetCursorPos();
    if (!takes(paint)) continue;
    msg = paint;
    // WM_PAINT stays pending until the window validates itself; taking it out
    // here only stops a window that never does from starving the loop.
    if (remove) m_invalid.erase(hwnd);
    return true;
  }
  return false;
}

BOOL CMessageLoop::PeekMessage(MSG& msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeFlags) {
  return Take(
      msg, [=](const MSG& m) { return CMessageQueue::Matches(m, hwnd, minMsg, maxMsg); }, (removeFlags & PM_REMOVE) != 0);
}

BOOL CMessageLoop::PeekMessageIf(MSG& msg, const Filter& takes) { return Take(msg, takes, true); }

BOOL CMessageLoop::Take(MSG& msg, const Filter& takes, bool remove) {
  NestedScope nested(*this);  // the calls it runs, and the input it polls, may close anything
  m_source->Poll();
  RunSentCalls();
  RunUnwoundCalls();
  // GetKeyState follows the messages taken out.
  auto took = [&](const std::optional<KeyStates>& keys) {
    if (!remove) return;
    m_inputTaken = keys.has_value();
    if (keys)
      for (std::size_t vk = 0; vk < keys->size(); ++vk) m_inputKeys[vk].store((*keys)[vk]);
  };
  if (auto posted = m_queue.Peek(takes, remove)) {
    msg = posted->msg;
    took(posted->keys);
    return TRUE;
  }
  if (m_quitPosted) {  // the quit message passes every filter
    if (remove) m_quitPosted = false;
    msg = MSG{};
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(m_quitCode.load());
    msg.time = m_clock.Now();
    took(std::nullopt);
    return TRUE;
  }
  MSG paint;
  if (TakePaint(takes, paint, remove)) {
    msg = paint;
    took(std::nullopt);
    return TRUE;
  }
  if (auto due = m_timers.TakeDue(m_clock.Now(), takes, remove)) {
    msg = *due;
    msg.pt = GetCursorPos();
    took(std::nullopt);
    return TRUE;
  }
  return FALSE;
}

BOOL CMessageLoop::GetMessage(MSG& msg) {
  while (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) WaitMessage();
  return msg.message != WM_QUIT;
}

void CMessageLoop::WaitMessage() {
  NestedScope nested(*this);
  if (!m_queue.Empty() || m_quitPosted || !m_invalid.empty() || (Unwound() && !m_unwoundCalls.empty())) return;
  std::optional<DWORD> left = m_timers.TimeToNext(m_clock.Now());
  if (left && *left == 0) return;
  m_source->Wait(left);
}

void CMessageLoop::WaitFor(const Filter& takes, std::optional<DWORD> maxMs) {
  NestedScope nested(*this);
  std::optional<DWORD> left = m_timers.TimeToNext(m_clock.Now(), takes);
  if (maxMs && (!left || *maxMs < *left)) left = maxMs;
  m_source->Wait(left);
}

LRESULT CMessageLoop::DispatchMessage(const MSG& msg) {
  CWnd* wnd = FromHandle(msg.hwnd);
  if (!wnd || msg.message == WM_QUIT) return 0;
  NestedScope nested(*this);
  MSG outer = std::exchange(m_current, msg);
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MBUTTONDBLCLK && !m_capture) {
    // The window under the mouse chooses the cursor before it gets the input.
    SetCursorWindow(msg.hwnd);
    wnd->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd), MAKELPARAM(HTCLIENT, static_cast<int>(msg.message)));
    wnd = FromHandle(msg.hwnd);
    if (!wnd) {
      m_current = outer;
      return 0;
    }
  }
  LRESULT result = wnd->SendMessage(msg.message, msg.wParam, msg.lParam);
  // A window that painted nothing must not be asked again and again.
  if (msg.message == WM_PAINT)
    if (CWnd* painted = FromHandle(msg.hwnd)) painted->ValidateRect(nullptr);
  m_current = outer;
  return result;
}

BOOL CMessageLoop::PumpMessage() {
  for (HWND hwnd : std::exchange(m_deferredPaint, {})) {
    CWnd* wnd = FromHandle(hwnd);
    if (wnd && wnd->GetUpdateRect(nullptr)) MarkInvalid(hwnd);
  }
  MSG msg;
  if (!GetMessage(msg)) {
    m_current = msg;
    return FALSE;
  }
  if (!PreTranslateMessage(msg)) DispatchMessage(msg);
  m_current = msg;
  return TRUE;
}

int CMessageLoop::Run() {
  bool idle = true;
  LONG count = 0;
  for (;;) {
    MSG peek;
    while (idle && !PeekMessage(peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(count++)) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      MSG done = m_current;
      if (IsIdleMessage(done)) {
        idle = true;
        count = 0;
      }
      if (OnMessagePumped(done)) {
        idle = true;
        count = 1;
      }
    } while (PeekMessage(peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CMessageLoop::OnIdle(LONG) { return FALSE; }
BOOL CMessageLoop::PreTranslateMessage(MSG&) { return FALSE; }
BOOL CMessageLoop::OnMessagePumped(const MSG&) { return FALSE; }
int CMessageLoop::ExitInstance() { return m_quitCode; }

BOOL CMessageLoop::IsIdleMessage(const MSG& msg) {
  if (msg.message == WM_PAINT || msg.message == WM_SYSTIMER) return FALSE;
  if (msg.message == WM_MOUSEMOVE) {
    // A move to where the mouse already was (some systems repeat them) is not news.
    CPoint at = PointFromLParam(msg.lParam);
    bool same = at == m_lastMovePoint && msg.hwnd == m_lastMoveWindow;
    m_lastMovePoint = at;
    m_lastMoveWindow = msg.hwnd;
    return same ? FALSE : TRUE;
  }
  return TRUE;
}

// --- Timers and paint ---

UINT CMessageLoop::SetTimer(HWND hwnd, UINT id, UINT elapseMs) {
  if (!IsLoopThread() || (hwnd && !IsWindow(hwnd))) return 0;
  m_timers.Set(hwnd, id, elapseMs, m_clock.Now());
  m_source->Wake();
  return id;
}

BOOL CMessageLoop::KillTimer(HWND hwnd, UINT id) { return IsLoopThread() && m_timers.Kill(hwnd, id) ? TRUE : FALSE; }
bool CMessageLoop::HasTimer(HWND hwnd, UINT id) const { return m_timers.Has(hwnd, id); }

void CMessageLoop::MarkInvalid(HWND hwnd) {
  if (hwnd) m_invalid.insert(hwnd);
}
void CMessageLoop::MarkValid(HWND hwnd) { m_invalid.erase(hwnd); }

// --- Input state ---

HWND CMessageLoop::SetCapture(HWND hwnd) { return std::exchange(m_capture, hwnd); }

HWND CMessageLoop::SetFocus(HWND hwnd) {
  HWND old = m_focus;
  if (old == hwnd) return old;
  m_focus = hwnd;
  if (CWnd* losing = FromHandle(old)) losing->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (m_focus == hwnd) {
    if (CWnd* gaining = FromHandle(hwnd)) gaining->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
  return old;
}

SHORT CMessageLoop::KeyStateOf(const KeyArray& keys, UINT vk) {
  if (vk >= keys.size()) return 0;
  BYTE state = keys[vk].load();
  return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 0x01));
}

SHORT CMessageLoop::GetKeyState(UINT vk) const {
  // Once everything typed has been taken, the moment of the input taken last is now.
  return KeyStateOf(m_inputTaken && m_queue.HasInput() ? m_inputKeys : m_keys, vk);
}

SHORT CMessageLoop::GetAsyncKeyState(UINT vk) const { return KeyStateOf(m_keys, vk); }

void CMessageLoop::SetKeyDown(UINT vk, bool down) {
  if (vk > 255) return;
  BYTE state = m_keys[vk].load();
  if (down && !(state & 0x80)) state ^= 0x01;  // each press toggles (Caps Lock, Num Lock)
  state = static_cast<BYTE>(down ? (state | 0x80) : (state & ~0x80));
  m_keys[vk].store(state);
}

CPoint CMessageLoop::GetCursorPos() const {
  std::int64_t packed = m_cursorPos.load();
  return {static_cast<LONG>(packed >> 32), static_cast<LONG>(static_cast<std::int32_t>(packed & 0xFFFFFFFF))};
}

HCURSOR CMessageLoop::SetCursor(HCURSOR cursor) {
  HCURSOR old = std::exchange(m_cursor, cursor);
  if (old != cursor) ApplyCursor();
  return old;
}

int CMessageLoop::ShowCursor(BOOL show) {
  int before = m_cursorCount;
  m_cursorCount += show ? 1 : -1;
  if ((before >= 0) != (m_cursorCount >= 0)) ApplyCursor();
  return m_cursorCount;
}

void CMessageLoop::SetCursorWindow(HWND hwnd) {
  if (m_cursorWindow == hwnd) return;
  m_cursorWindow = hwnd;
  ApplyCursor();
}

void CMessageLoop::ApplyCursor() {
  if (CWnd* wnd = FromHandle(m_cursorWindow)) wnd->ShowCursorShape(m_cursor, m_cursorCount >= 0);
}

// --- Free functions ---

namespace {
CMessageLoop* Loop() { return CMessageLoop::Current(); }
}  // namespace

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return Loop() ? Loop()->PostMessage(hwnd, message, wParam, lParam) : FALSE;
}
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return Loop() ? Loop()->SendMessage(hwnd, message, wParam, lParam) : 0;
}
void PostQuitMessage(int exitCode) {
  if (Loop()) Loop()->PostQuitMessage(exitCode);
}
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeFlags) {
  return Loop() && msg ? Loop()->PeekMessage(*msg, hwnd, minMsg, maxMsg, removeFlags) : FALSE;
}
// Characters are queued with their key messages by the input translation, so
// there is nothing left to translate.
BOOL TranslateMessage(const MSG*) { return FALSE; }
LRESULT DispatchMessage(const MSG* msg) { return Loop() && msg ? Loop()->DispatchMessage(*msg) : 0; }
BOOL IsWindow(HWND hwnd) { return Loop() && Loop()->IsWindow(hwnd) ? TRUE : FALSE; }
SHORT GetKeyState(int vk) { return Loop() && vk >= 0 ? Loop()->GetKeyState(static_cast<UINT>(vk)) : 0; }
SHORT GetAsyncKeyState(int vk) { return Loop() && vk >= 0 ? Loop()->GetAsyncKeyState(static_cast<UINT>(vk)) : 0; }
BOOL GetCursorPos(CPoint* point) {
  if (!point || !Loop()) return FALSE;
  *point = Loop()->GetCursorPos();
  return TRUE;
}
HCURSOR SetCursor(HCURSOR cursor) { return Loop() ? Loop()->SetCursor(cursor) : nullptr; }
int ShowCursor(BOOL show) { return Loop() ? Loop()->ShowCursor(show) : 0; }
