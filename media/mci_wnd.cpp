// The MCI window: its child window and device, the requests sent to it, its picture, play bar and message handling.
#include "media/mci_wnd.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>

#include "media/child_input.h"
#include "media/memory_stream.h"
#include "platform/gdi/dc.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_time_format.h"
#include "platform/mm/media_system.h"
#include "platform/msg/clock.h"
#include "platform/user/file_dialog.h"
#include "platform/user/message_loop.h"
#include "platform/mm/mci_wait.h"

IMPLEMENT_DYNAMIC(CMciWnd, CWnd)

namespace {

constexpr UINT kPlayTimer = 1;
constexpr UINT kPlayTimerMs = 10;

// A reply as a number; the colon forms of positions (msf, hms, tmsf) packed
// one byte a field, the first field lowest, as MCI gives them in binary.
LONG NumberOf(const CString& text) {
  const std::string_view view = text.view();
  if (view.find(':') != std::string_view::npos) {
    DWORD packed = 0;
    const bool read = std::count(view.begin(), view.end(), ':') == 3 ? ParseTmsf(view, packed) : ParseMsf(view, packed);
    return read ? static_cast<LONG>(packed) : 0;
  }
  LONG value = 0;
  std::from_chars(text.GetString(), text.GetString() + text.GetLength(), value);
  return value;
}

CString Number(LONG value) { return CString(std::to_string(value)); }

}  // namespace

CMciWnd::~CMciWnd() { CloseDevice(); }

CString CMciWnd::KeyName(const CString& name) {
  CString key = name;
  const int dot = name.ReverseFind('.');
  const int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  if (dot >= 0 && dot > slash && name.GetLength() - dot < 6) key = name.Left(dot);
  return key + ".TVN+";
}

BOOL CMciWnd::Begin(const MediaEnvironment& env, DWORD style) {
  CloseDevice();
  m_system = env.system;
  m_owner = env.owner;
  m_windowStyle = style;
  m_error = 0;
  m_shownPosition = -1;
  m_hasPicture = false;
  m_saveChoice.reset();
  if (!m_system) {
    m_error = MciError::kCannotLoadDriver;
    return FALSE;
  }
  // Windows belong to the user-interface thread: elsewhere (a transition
  // on its own thread) and without an owner the device is opened alone.
  CMessageLoop* loop = CMessageLoop::Current();
  CWnd* owner = loop && loop->IsLoopThread() ? CWnd::FromHandle(env.owner) : nullptr;
  if (!owner) return TRUE;
  if (!loop->WindowClasses().IsRegistered(kClassName))
    loop->WindowClasses().Register(kClassName, [] { return std::make_unique<CMciWnd>(); });
  if (!CreateEx(0, CString(), style, CRect(), owner, kChildId)) {
    m_error = MciError::kCannotLoadDriver;
    return FALSE;
  }
  return TRUE;
}

BOOL CMciWnd::OpenWith(const CString& command) {
  m_alias = "tvnmci" + CString(std::to_string(m_system->Ids().Next()));
  std::string reply;
  m_error = m_system->Mci().SendString((command + " alias " + m_alias).GetString(), reply, m_owner);
  DWORD id = 0;
  if (m_error == MciError::kNone) std::from_chars(reply.data(), reply.data() + reply.size(), id);
  m_deviceId = id;
  if (!m_deviceId) {
    if (m_hWnd) DestroyWindow();
    return FALSE;
  }
  // The picture is this window's to paint (or nobody's without one): the device makes no window of its own.
  m_system->Mci().HostPicture(m_deviceId, m_hWnd);
  m_hasPicture = !Ask("where source").IsEmpty();
  if (m_hWnd) {
    const CRect area = PictureArea();
    Ask("put destination at 0 0 " + Number(std::max<LONG>(1, area.Width())) + " " +
        Number(std::max<LONG>(1, area.Height())));
  }
  return TRUE;
}

BOOL CMciWnd::Create(const MediaEnvironment& env, DWORD style, const CString& name) {
  if (!Begin(env, style)) return FALSE;
  // A medium kept in memory is read from its own stream under its key; one on
  // disk only is opened by its own name.
  CString open = name;
  auto stream = std::make_unique<CMemoryStream>(env, name, CMemoryStream::kUnlimited, m_system->Clock(), true);
  if (stream->IsOpened() && stream->IsInMemory()) {
    open = KeyName(name);
    m_system->Mci().SetPendingSource(open, std::move(stream));
  }
  if (!OpenWith("open \"" + open + "\"")) return FALSE;
  m_fileName = name;
  return TRUE;
}

BOOL CMciWnd::CreateNew(const MediaEnvironment& env, DWORD style, const CString& type) {
  if (!Begin(env, style)) return FALSE;
  if (!OpenWith("open new type " + type)) return FALSE;
  m_fileName.Empty();
  return TRUE;
}

int CMciWnd::CloseDevice() {
  if (m_deviceId && m_system) {
    if (m_hWnd) ShowWindow(SW_HIDE);
    const DWORD id = std::exchange(m_deviceId, 0);
    std::string reply;
    m_system->Mci().SendToDevice(id, "stop", reply, nullptr);
    m_system->Mci().SendToDevice(id, "close", reply, nullptr);
  }
  m_deviceId = 0;
  if (m_hWnd) DestroyWindow();
  return 0;
}

void CMciWnd::OnDestroy() {
  CloseDevice();
  CWnd::OnDestroy();
}

namespace {

// The command without its "wait" word; empty when it has none.
CString WithoutWait(const CString& command) {
  CString rest;
  bool found = false;
  for (int start = 0; start < command.GetLength();) {
    int end = command.Find(' ', start);
    if (end < 0) end = command.GetLength();
    const CString word = command.Mid(start, end - start);
    if (word.CompareNoCase("wait") == 0) found = true;
    else if (!word.IsEmpty()) rest += word + " ";
    start = end + 1;
  }
  return found ? rest : CString();
}

}  // namespace

DWORD CMciWnd::PlayAndShow(const CString& command, CString& reply) {
  // The device would wait with the picture standing still: the window plays
  // without the wait and keeps its picture moving until the end (or Escape).
  const DWORD error = Send(command, reply);
  if (error != MciError::kNone) return error;
  // The steady clock bounds the wait by the length in milliseconds, as a device's own wait.
  const CString format = Ask("status time format");
  Ask("set time format ms");
  const DWORD limit = MciWaitLimitMs(static_cast<double>(std::max<LONG>(NumberOf(Ask("status length")), 0)));
  if (!format.IsEmpty()) Ask("set time format " + format);
  CWnd* parent = GetParent();
  MciWaitUntil({WaitInput::kDropPage, parent ? parent->GetSafeHwnd() : nullptr}, SteadyClock(), limit,
               [&] { return !m_hWnd || Ask("status mode") != "playing"; });
  return m_error = error;
}

DWORD CMciWnd::Send(const CString& command, CString& reply) {
  if (!m_deviceId || !m_system) return m_error = MciError::kInvalidDeviceId;
  if (command.Left(7).CompareNoCase("record ") == 0 || command.CompareNoCase("record") == 0)
    m_saveChoice.reset();  // a new recording: its own save asks again
  if (m_hWnd && m_hasPicture && command.Left(5).CompareNoCase("play ") == 0)
    if (const CString played = WithoutWait(command); !played.IsEmpty()) return PlayAndShow(played, reply);
  std::string text;
  m_error = m_system->Mci().SendToDevice(m_deviceId, command.GetString(), text, m_owner);
  reply = CString(text);
  KeepTime();
  return m_error;
}

CString CMciWnd::Ask(const CString& command) {
  if (!m_deviceId || !m_system) return CString();
  // The device's name goes after the command's first word.
  const int space = command.Find(' ');
  const CString text = space < 0 ? command + " " + m_alias : command.Left(space) + " " + m_alias + command.Mid(space);
  std::string reply;
  if (m_system->Mci().SendString(text.GetString(), reply, nullptr) != MciError::kNone)
    return CString();
  return CString(reply);
}

DWORD CMciWnd::SendString(const CString& command) { return Send(command, m_reply); }

CString CMciWnd::ReturnString(int size) const { return size > 0 ? m_reply.Left(size - 1) : CString(); }

LONG CMciWnd::GetLength() {
  CString reply;
  return Send("status length", reply) == 0 ? NumberOf(reply) : 0;
}

LONG CMciWnd::GetPosition() {
  CString reply;
  return Send("status position", reply) == 0 ? NumberOf(reply) : 0;
}

void CMciWnd::SetVolume(LONG volume) {
  CString reply;
  const LONG level = std::clamp<LONG>(volume, 0, 2000) / 2;
  Send("setaudio volume to " + Number(level), reply);
}

void CMciWnd::SetSpeed(LONG speed) {
  if (speed <= 0) return;
  CString reply;
  Send("set speed " + Number(speed), reply);
}

CString CMciWnd::GetDevice() const {
  return m_deviceId && m_system ? CString(m_system->Mci().GetDeviceType(m_deviceId)) : CString();
}

void CMciWnd::Stop() {
  CString reply;
  if (m_deviceId) Send("stop", reply);
}

void CMciWnd::Pause() {
  CString reply;
  if (m_deviceId) Send("pause", reply);
}

BOOL CMciWnd::CanSave() { return Ask("capability can save") == "true"; }

void CMciWnd::SaveWithDialog() {
  if (!m_deviceId) return;
  if (!m_saveChoice) {
    CWnd* owner = m_hWnd ? static_cast<CWnd*>(this) : CWnd::FromHandle(m_owner);
    CFileDialog dialog(FALSE, "wav", CString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||", owner);
    m_saveChoice = dialog.DoModal() == IDOK ? dialog.GetPathName() : CString();
  }
  if (m_saveChoice->IsEmpty()) {
    m_error = MciError::kNone;
    return;
  }
  if (m_saveChoice->Find('"') >= 0) {  // it could not be quoted in the command
    m_error = MciError::kFileWrite;
    return;
  }
  CString reply;
  Send("save \"" + *m_saveChoice + "\"", reply);
}

BOOL CMciWnd::IsPlaying() {
  CString reply;
  return m_deviceId && Send("status mode", reply) == 0 && (reply == "playing" || reply == "paused");
}

BOOL CMciWnd::GetSource(CRect& rect) {
  CString reply;
  if (!m_deviceId || Send("where source", reply) != 0) return FALSE;
  LONG v[4] = {};
  const char* p = reply.GetString();
  const char* end = p + reply.GetLength();
  for (LONG& n : v) {
    while (p < end && *p == ' ') ++p;
    const auto [next, ec] = std::from_chars(p, end, n);
    if (ec != std::errc()) return FALSE;
    p = next;
  }
  rect = CRect(v[0], v[1], v[0] + v[2], v[1] + v[3]);
  return TRUE;
}

BOOL CMciWnd::PutSource(const CRect& rect) {
  CString reply;
  if (!m_deviceId || rect.IsRectEmpty() || rect.left < 0 || rect.top < 0) return FALSE;
  const BOOL done = Send("put source at " + Number(rect.left) + " " + Number(rect.top) + " " + Number(rect.Width()) +
                             " " + Number(rect.Height()),
                         reply) == 0;
  if (done && m_hWnd) Invalidate(FALSE);
  return done;
}

void CMciWnd::ShowPicture(BOOL show) {
  if (!m_hWnd) return;
  if (!show || !(m_hasPicture || HasPlaybar())) {
    ShowWindow(SW_HIDE);
    return;
  }
  ShowWindow(SW_SHOW);
  Invalidate(FALSE);
  UpdateWindow();
}

// --- The window ---

CRect CMciWnd::PlaybarRect() const {
  CRect client;
  GetClientRect(&client);
  if (!HasPlaybar()) return CRect(client.left, client.bottom, client.right, client.bottom);
  return CRect(client.left, std::max(client.top, client.bottom - kPlaybarHeight), client.right, client.bottom);
}

CRect CMciWnd::PictureArea() const {
  CRect client;
  GetClientRect(&client);
  client.bottom = PlaybarRect().top;
  return client;
}

void CMciWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  const CRect area = PictureArea();
  // The picture fills the window (MCIWnd stretches its movie to its size).
  if (m_deviceId && !area.IsRectEmpty())
    Ask("put destination at 0 0 " + Number(area.Width()) + " " + Number(area.Height()));
}

void CMciWnd::KeepTime() {
  if (!m_hWnd || !m_deviceId) return;
  const bool playing = Ask("status mode") == "playing";
  const LONG position = NumberOf(Ask("status position"));
  if (position != m_shownPosition) Invalidate(FALSE);
  if (playing) SetTimer(kPlayTimer, kPlayTimerMs);
  else KillTimer(kPlayTimer);
}

void CMciWnd::OnTimer(UINT id) {
  if (id == kPlayTimer) KeepTime();
  else CWnd::OnTimer(id);
}

void CMciWnd::OnPaint() {
  PaintClient([this](CDC& dc, const CRect&) {
    const CRect area = PictureArea();
    if (!area.IsRectEmpty() && !(m_deviceId && m_system->Mci().DrawPicture(m_deviceId, dc, area)))
      dc.FillSolidRect(area, RGB(0, 0, 0));  // a sound, or no picture decoded: black as MCIWnd shows
    if (HasPlaybar()) PaintPlaybar(dc, PlaybarRect());
  });
  m_shownPosition = m_deviceId ? NumberOf(Ask("status position")) : -1;
}

void CMciWnd::PaintPlaybar(CDC& dc, const CRect& bar) {
  if (bar.IsRectEmpty()) return;
  dc.FillSolidRect(bar, RGB(192, 192, 192));
  const int mid = bar.top + bar.Height() / 2;
  const bool playing = m_deviceId && Ask("status mode") == "playing";
  // The button: a triangle to play, two bars to stop.
  const CRect button(bar.left + 4, bar.top + 4, bar.left + bar.Height() - 4, bar.bottom - 4);
  dc.Draw3dRect(button, RGB(255, 255, 255), RGB(128, 128, 128));
  if (playing) {
    dc.FillSolidRect(button.left + 5, button.top + 4, 3, button.Height() - 8, RGB(0, 0, 0));
    dc.FillSolidRect(button.right - 8, button.top + 4, 3, button.Height() - 8, RGB(0, 0, 0));
  } else {
    for (int x = 0; x < button.Height() / 2 - 3; ++x)
      dc.FillSolidRect(button.left + 6 + x, mid - (button.Height() / 2 - 4 - x), 1, 2 * (button.Height() / 2 - 4 - x),
                       RGB(0, 0, 0));
  }
  // The track and the thumb at the position.
  const int left = bar.left + bar.Height() + 4, right = bar.right - 8;
  if (right - left < 8) return;
  dc.Draw3dRect(CRect(left, mid - 2, right, mid + 2), RGB(128, 128, 128), RGB(255, 255, 255));
  const LONG length = m_deviceId ? NumberOf(Ask("status length")) : 0;
  const LONG position = m_deviceId ? NumberOf(Ask("status position")) : 0;
  const int x = length > 0 ? left + static_cast<int>(static_cast<long long>(right - left - 6) *
                                                     std::clamp<LONG>(position, 0, length) / length)
                           : left;
  dc.FillSolidRect(x, bar.top + 5, 6, bar.Height() - 10, RGB(192, 192, 192));
  dc.Draw3dRect(CRect(x, bar.top + 5, x + 6, bar.bottom - 5), RGB(255, 255, 255), RGB(0, 0, 0));
}

BOOL CMciWnd::ForwardMouse(UINT message, UINT flags, CPoint point) {
  if (HasPlaybar() && PlaybarRect().PtInRect(point)) return FALSE;
  PostMouseToParent(*this, message, flags, point);
  return TRUE;
}

void CMciWnd::OnMouseMove(UINT flags, CPoint point) {
  ForwardMouse(WM_MOUSEMOVE, flags, point);
  Default();
}

void CMciWnd::OnLButtonDown(UINT flags, CPoint point) {
  if (!ForwardMouse(WM_LBUTTONDOWN, flags, point)) {
    // The play bar: the button plays or stops, the track seeks.
    const CRect bar = PlaybarRect();
    if (point.x < bar.left + bar.Height()) {
      const UINT command = Ask("status mode") == "playing" ? MciWndCommand::kStop : MciWndCommand::kPlay;
      SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else {
      const int left = bar.left + bar.Height() + 4, right = bar.right - 8;
      const LONG length = NumberOf(Ask("status length"));
      if (right - left >= 8 && length > 0) {
        const long long at = std::clamp<long long>(point.x - left, 0, right - left - 6);
        Ask("seek to " + Number(static_cast<LONG>(at * length / (right - left - 6))));
        Invalidate(FALSE);
      }
    }
  }
  Default();
}

void CMciWnd::OnLButtonUp(UINT flags, CPoint point) {
  ForwardMouse(WM_LBUTTONUP, flags, point);
  Default();
}

void CMciWnd::OnLButtonDblClk(UINT flags, CPoint point) {
  ForwardMouse(WM_LBUTTONDBLCLK, flags, point);
  Default();
}

void CMciWnd::OnRButtonDown(UINT flags, CPoint point) {
  ForwardMouse(WM_RBUTTONDOWN, flags, point);
  Default();
}

void CMciWnd::OnRButtonUp(UINT flags, CPoint point) {
  ForwardMouse(WM_RBUTTONUP, flags, point);
  Default();
}

void CMciWnd::OnRButtonDblClk(UINT flags, CPoint point) {
  ForwardMouse(WM_RBUTTONDBLCLK, flags, point);
  Default();
}

void CMciWnd::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  // Keyboard responses on the page still see the keys.
  PostKeyToParent(*this, WM_KEYDOWN, vk, MAKELPARAM(static_cast<int>(repeat), static_cast<int>(flags)));
  Default();
}

BOOL CMciWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (AskParentForCursor(*this, wnd, hitTest, message)) return TRUE;
  return static_cast<BOOL>(Default());
}

LRESULT CMciWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam == 0) {
    // The play bar's own commands.
    switch (LOWORD(wParam)) {
      case MciWndCommand::kPlay: Ask("play"); KeepTime(); return 0;
      case MciWndCommand::kStop: Ask("stop"); KeepTime(); return 0;
      case MciWndCommand::kPause: Ask("pause"); KeepTime(); return 0;
      default: break;
    }
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CMciWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  DefWindowProc(WM_COMMAND, wParam, lParam);
  const UINT id = LOWORD(wParam);
  if (id != 0 && (lParam == 0 || ::IsWindow(reinterpret_cast<HWND>(lParam)))) {
    // The framework's routing sees a stop as a pause.
    const WPARAM routed = id == MciWndCommand::kStop ? MAKEWPARAM(MciWndCommand::kPause, HIWORD(wParam)) : wParam;
    CWnd::OnCommand(routed, lParam);
  }
  return TRUE;
}
