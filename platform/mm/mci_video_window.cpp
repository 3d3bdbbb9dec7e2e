// The video device's windows: the settings of "window" and "put destination", the windows made from them and painted.
#include "platform/mm/mci_video_window.h"

#include <cstdint>

#include "platform/base/codepage.h"
#include "platform/gdi/dc.h"
#include "platform/mm/mci_command.h"
#include "platform/mm/mci_errors.h"
#include "platform/user/message_loop.h"
#include "platform/user/wnd.h"

namespace {

constexpr UINT kFrameTimer = 1;
constexpr UINT kFrameTimerMs = 10;

}  // namespace

// What the windows reach back through; the owner and the picture are cut off at Close.
struct CMciVideoWindows::Link {
  std::mutex mutex;
  IMciPicture* picture = nullptr;
  CMciVideoWindows* owner = nullptr;
};

class CMciVideoWindows::CPictureWnd final : public CWnd {
 public:
  // child: the picture fills the window; otherwise it goes to its place in it.
  CPictureWnd(std::shared_ptr<Link> link, bool child) : m_link(std::move(link)), m_child(child) {}
  ~CPictureWnd() override { Destroy(); }

  bool IsChild() const { return m_child; }
  void SetPlace(const CRect& place) {
    if (m_place == place) return;
    m_place = place;
    Invalidate(FALSE);
  }
  void Show(bool show) {
    if (!m_hWnd) return;
    if (!show) {
      KillTimer(kFrameTimer);
      ShowWindow(SW_HIDE);
      return;
    }
    if (!IsWindowVisible()) ShowWindow(SW_SHOWNA);
    SetTimer(kFrameTimer, kFrameTimerMs);
    Invalidate(FALSE);
    UpdateWindow();
  }
  // Destroyed by its device: nobody needs telling.
  void Destroy() {
    m_byDevice = true;
    if (m_hWnd) DestroyWindow();
  }

 protected:
  BOOL OnEraseBkgnd() override { return TRUE; }  // the picture and its black border cover the window

  void OnPaint() override {
    PaintClient([this](CDC& dc, const CRect& client) {
      std::lock_guard lock(m_link->mutex);
      const CRect dest = m_child ? client : m_place;
      if (!m_child) {  // black around the picture's place, as a video window shows
        CRect rest;
        if (!rest.IntersectRect(client, dest) || rest != client) dc.FillSolidRect(client, RGB(0, 0, 0));
      }
      if (m_link->picture) {
        m_shownFrame = m_link->picture->CurrentFrame();
        if (!m_link->picture->DrawPictureInto(dc, dest, client) && m_child) dc.FillSolidRect(client, RGB(0, 0, 0));
      }
    });
  }

  void OnTimer(UINT id) override {
    if (id != kFrameTimer) {
      CWnd::OnTimer(id);
      return;
    }
    DWORD frame = 0;
    {
      std::lock_guard lock(m_link->mutex);
      if (!m_link->picture) return;
      frame = m_link->picture->CurrentFrame();
    }
    if (frame != m_shownFrame) Invalidate(FALSE);
  }

  void OnDestroy() override {
    KillTimer(kFrameTimer);
    if (!m_byDevice) {  // its parent went, or the user closed it
      std::lock_guard lock(m_link->mutex);
      if (m_link->owner) m_link->owner->WindowGone(*this);
    }
    CWnd::OnDestroy();
  }

 private:
  std::shared_ptr<Link> m_link;
  bool m_child;
  bool m_byDevice = false;
  CRect m_place;
  DWORD m_shownFrame = 0xFFFFFFFFu;
};

CMciVideoWindows::CMciVideoWindows(IMciPicture& picture, CSize size)
    : m_link(std::make_shared<Link>()), m_size(size) {
  m_link->picture = &picture;
  m_link->owner = this;
}

CMciVideoWindows::~CMciVideoWindows() { Close(); }

bool CMciVideoWindows::OnLoopThread() const {
  const CMessageLoop* loop = CMessageLoop::Current();
  return loop && loop->IsLoopThread();
}

DWORD CMciVideoWindows::UseHandle(const std::string& value) {
  if (tvn::codepage::EqualsNoCaseAscii(value, "default")) {
    std::lock_guard lock(m_mutex);
    m_target = nullptr;
    return MciError::kNone;
  }
  DWORD number = 0;
  if (!ParseMciNumber(value, number)) return MciError::kBadInteger;
  // The number is only a key into the window table.
  const HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(number));
  if (number == 0 || !::IsWindow(hwnd)) return MciError::kNoDisplayWindow;
  std::lock_guard lock(m_mutex);
  if (hwnd == m_ownDefault) {
    m_target = nullptr;  // its own default window
    return MciError::kNone;
  }
  if (hwnd == m_ownChild) return MciError::kNoDisplayWindow;  // never inside itself
  m_target = hwnd;
  return MciError::kNone;
}

void CMciVideoWindows::SetHost(HWND host) {
  std::lock_guard lock(m_mutex);
  m_hosted = true;
  m_host = host;
}

void CMciVideoWindows::SetCaption(const CString& caption) {
  std::lock_guard lock(m_mutex);
  m_caption = caption;
}

void CMciVideoWindows::SetShown(bool shown) {
  std::lock_guard lock(m_mutex);
  m_shown = shown;
}

void CMciVideoWindows::SetDestination(const CRect& destination) {
  std::lock_guard lock(m_mutex);
  m_destination = destination;
}

CRect CMciVideoWindows::ChildPlace() const {
  return m_destination.IsRectEmpty() ? CRect(0, 0, m_size.cx, m_size.cy) : m_destination;
}

void CMciVideoWindows::MakeDefaultWindow() {
  if (m_default && m_default->GetSafeHwnd()) return;
  m_default = std::make_unique<CPictureWnd>(m_link, false);
  CString caption;
  {
    std::lock_guard lock(m_mutex);
    caption = m_caption;
  }
  const CRect rect(0, 0, m_size.cx, m_size.cy);
  if (!m_default->CreateEx(0, caption, WS_OVERLAPPEDWINDOW, rect, nullptr, 0)) m_default.reset();
  std::lock_guard lock(m_mutex);
  m_ownDefault = m_default ? m_default->GetSafeHwnd() : nullptr;
}

HWND CMciVideoWindows::WindowInUse() {
  {
    std::lock_guard lock(m_mutex);
    if (m_hosted) return m_host;
    if (m_target) return m_target;
  }
  if (OnLoopThread()) MakeDefaultWindow();
  return m_default ? m_default->GetSafeHwnd() : nullptr;
}

void CMciVideoWindows::WindowGone(const CPictureWnd& wnd) {
  // Under the link's lock, on the user-interface thread: only settings change here.
  std::lock_guard lock(m_mutex);
  if (wnd.IsChild()) {
    m_target = nullptr;  // back to the default window
    m_ownChild = nullptr;
  } else {
    m_shown = false;  // closed by the user: it stays away until shown again
    m_ownDefault = nullptr;
  }
}

void CMciVideoWindows::Update() {
  if (!OnLoopThread()) return;
  // Windows destroyed from outside are let go of.
  if (m_default && !m_default->GetSafeHwnd()) m_default.reset();
  if (m_child && !m_child->GetSafeHwnd()) m_child.reset();
  const auto dropChild = [this] {
    m_child.reset();
    std::lock_guard lock(m_mutex);
    m_ownChild = nullptr;
  };
  const auto dropDefault = [this] {
    m_default.reset();
    std::lock_guard lock(m_mutex);
    m_ownDefault = nullptr;
  };
  bool hosted = false, shown = false;
  HWND target = nullptr;
  CRect place;
  CString caption;
  {
    std::lock_guard lock(m_mutex);
    if (m_target && !::IsWindow(m_target)) m_target = nullptr;
    hosted = m_hosted;
    shown = m_shown;
    target = m_target;
    place = ChildPlace();
    caption = m_caption;
  }
  if (hosted) {
    dropChild();
    dropDefault();
    return;
  }
  if (target) {
    if (m_default) m_default->Show(false);
    CWnd* parent = CWnd::FromHandle(target);
    if (m_child && m_child->GetParent() != parent) dropChild();
    if (!m_child && parent) {
      m_child = std::make_unique<CPictureWnd>(m_link, true);
      if (!m_child->CreateEx(0, CString(), WS_CHILD | WS_CLIPSIBLINGS, place, parent, 0)) m_child.reset();
      std::lock_guard lock(m_mutex);
      m_ownChild = m_child ? m_child->GetSafeHwnd() : nullptr;
    }
    if (!m_child) return;
    CRect now;
    m_child->GetWindowRect(&now);
    parent->ScreenToClient(&now);
    if (now != place) m_child->SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(),
                                            SWP_NOZORDER | SWP_NOACTIVATE);
    m_child->Show(shown);
    return;
  }
  if (m_child) dropChild();
  if (!shown && !m_default) return;  // made when it is first shown
  MakeDefaultWindow();
  if (!m_default) return;
  if (m_default->GetWindowText() != caption) m_default->SetWindowText(caption);
  m_default->SetPlace(place);
  m_default->Show(shown);
}

void CMciVideoWindows::Close() {
  {
    std::lock_guard lock(m_link->mutex);
    m_link->picture = nullptr;
    m_link->owner = nullptr;
  }
  if (!m_default && !m_child) return;
  if (OnLoopThread() || !CMessageLoop::Current()) {
    m_child.reset();
    m_default.reset();
    return;
  }
  // Windows belong to the user-interface thread: they are destroyed there.
  std::shared_ptr<CPictureWnd> child(m_child.release()), top(m_default.release());
  CMessageLoop::Current()->PostCall([child, top] {
    if (child) child->Destroy();
    if (top) top->Destroy();
  });
}
