#include "platform/user/qt_input.h"

#include <QMouseEvent>

#include <array>
#include <utility>

#include "platform/base/cstring.h"
#include "platform/gdi/qt_text.h"
#include "platform/user/message_loop.h"
#include "platform/user/wnd.h"

namespace {

// Keys whose code does not follow from the Qt key by arithmetic.
constexpr auto kKeyTable = std::to_array<std::pair<int, UINT>>({
    {Qt::Key_Escape, VK_ESCAPE},     {Qt::Key_Tab, VK_TAB},          {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK},    {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Insert, VK_INSERT},     {Qt::Key_Delete, VK_DELETE},    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Print, VK_SNAPSHOT},    {Qt::Key_Clear, VK_CLEAR},      {Qt::Key_Home, VK_HOME},
    {Qt::Key_End, VK_END},           {Qt::Key_Left, VK_LEFT},        {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},        {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},     {Qt::Key_Shift, VK_SHIFT},      {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},          {Qt::Key_AltGr, VK_MENU},       {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Super_L, VK_LWIN},      {Qt::Key_Super_R, VK_RWIN},     {Qt::Key_Menu, VK_APPS},
    {Qt::Key_CapsLock, VK_CAPITAL},  {Qt::Key_NumLock, VK_NUMLOCK},  {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Help, VK_HELP},         {Qt::Key_Space, VK_SPACE},      {Qt::Key_Select, VK_SELECT},
    // Shifted digits of a US keyboard are their digit keys.
    {Qt::Key_Exclam, '1'},           {Qt::Key_At, '2'},              {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},           {Qt::Key_Percent, '5'},         {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},        {Qt::Key_ParenLeft, '9'},       {Qt::Key_ParenRight, '0'},
    // Punctuation keys.
    {Qt::Key_Semicolon, VK_OEM_1},   {Qt::Key_Colon, VK_OEM_1},      {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},   {Qt::Key_Less, VK_OEM_COMMA},   {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Question, VK_OEM_2},  {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_AsciiTilde, VK_OEM_3},  {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},   {Qt::Key_Bar, VK_OEM_5},        {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_BraceRight, VK_OEM_6},  {Qt::Key_Apostrophe, VK_OEM_7}, {Qt::Key_QuoteDbl, VK_OEM_7},
});

// Keys whose meaning differs between the main block and the keypad.
UINT MainBlockKey(int key) {
  switch (key) {
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Minus: return VK_OEM_MINUS;
    case Qt::Key_Period: return VK_OEM_PERIOD;
    case Qt::Key_Slash: return VK_OEM_2;
    default: return 0;
  }
}

UINT KeypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + static_cast<UINT>(key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: return 0;
  }
}

}  // namespace

UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    if (UINT vk = KeypadKey(key)) return vk;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>(key);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
  if (UINT vk = MainBlockKey(key)) return vk;
  for (const auto& [qt, vk] : kKeyTable)
    if (qt == key) return vk;
  return 0;
}

bool IsExtendedKey(int key, Qt::KeyboardModifiers modifiers) {
  bool keypad = (modifiers & Qt::KeypadModifier) != 0;
  switch (key) {
    case Qt::Key_Enter:
    case Qt::Key_NumLock:
    case Qt::Key_Print:
      return true;
    case Qt::Key_Slash:
      return keypad;
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      return !keypad;
    default:
      return false;
  }
}

WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  WPARAM flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

UINT MouseButtonMessage(QEvent::Type type, Qt::MouseButton button, bool classHasDoubleClicks) {
  UINT down = 0;
  switch (button) {
    case Qt::LeftButton: down = WM_LBUTTONDOWN; break;
    case Qt::RightButton: down = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: down = WM_MBUTTONDOWN; break;
    default: return 0;
  }
  switch (type) {
    case QEvent::MouseButtonPress: return down;
    case QEvent::MouseButtonRelease: return down + 1;
    case QEvent::MouseButtonDblClick: return classHasDoubleClicks ? down + 2 : down;
    default: return 0;
  }
}

namespace {

// The WM_CHAR codes of typed text; Delete types nothing.
std::vector<UINT> TypedCharCodes(const QString& text) {
  std::vector<UINT> codes = gdi::CharCodesOf(text);
  std::erase(codes, 0x7Fu);
  return codes;
}

// Where typed input goes: the window with the keyboard focus, else this one.
HWND InputTarget(CMessageLoop& loop, HWND hwnd) { return loop.IsWindow(loop.GetFocus()) ? loop.GetFocus() : hwnd; }

void SetModifierKeys(CMessageLoop& loop, Qt::KeyboardModifiers mods) {
  loop.SetKeyDown(VK_SHIFT, (mods & Qt::ShiftModifier) != 0);
  loop.SetKeyDown(VK_CONTROL, (mods & Qt::ControlModifier) != 0);
  loop.SetKeyDown(VK_MENU, (mods & Qt::AltModifier) != 0);
}

}  // namespace

void PostMouseMessage(HWND hwnd, const QMouseEvent& event, QPointF client) {
  CMessageLoop* loop = CMessageLoop::Current();
  CWnd* wnd = loop ? loop->FromHandle(hwnd) : nullptr;
  if (!wnd) return;
  const UINT message = event.type() == QEvent::MouseMove
                           ? WM_MOUSEMOVE
                           : MouseButtonMessage(event.type(), event.button(), (wnd->GetClassStyle() & CS_DBLCLKS) != 0);
  if (message == 0) return;
  const Qt::KeyboardModifiers mods = event.modifiers();
  const Qt::MouseButtons buttons = event.buttons();
  SetModifierKeys(*loop, mods);
  loop->SetKeyDown(VK_LBUTTON, (buttons & Qt::LeftButton) != 0);
  loop->SetKeyDown(VK_RBUTTON, (buttons & Qt::RightButton) != 0);
  loop->SetKeyDown(VK_MBUTTON, (buttons & Qt::MiddleButton) != 0);
  CPoint screen(static_cast<LONG>(client.x()), static_cast<LONG>(client.y()));
  wnd->ClientToScreen(&screen);
  loop->SetCursorPosition(screen);
  // While a window holds the capture, all mouse input goes to it, in its coordinates.
  CWnd* target = loop->FromHandle(loop->GetCapture());
  if (!target) target = wnd;
  CPoint point = screen;
  target->ScreenToClient(&point);
  loop->PostInput(target->m_hWnd, message, MouseKeyFlags(buttons, mods), MAKELPARAM(point.x, point.y));
}

std::vector<KeyMessage> TranslateKey(const QKeyEvent& event, bool press, bool wasDown) {
  std::vector<KeyMessage> out;
  Qt::KeyboardModifiers mods = event.modifiers();
  UINT vk = VirtualKeyFromQt(event.key(), mods);
  bool alt = (mods & Qt::AltModifier) || vk == VK_MENU;
  bool ctrl = (mods & Qt::ControlModifier) != 0;
  // Alt with Ctrl is AltGr on many keyboards: ordinary keys, as Windows has it.
  bool system = (alt && !ctrl) || vk == VK_F10;

  std::uint32_t scan = event.nativeScanCode() > 8 ? ((event.nativeScanCode() - 8) & 0xFF) : 0;
  std::uint32_t bits = 1 | (scan << 16);
  if (IsExtendedKey(event.key(), mods)) bits |= 1u << 24;
  if (alt && !ctrl) bits |= 1u << 29;
  if (!press || wasDown || event.isAutoRepeat()) bits |= 1u << 30;
  if (!press) bits |= 1u << 31;
  LPARAM lParam = static_cast<LPARAM>(static_cast<std::int32_t>(bits));

  if (vk != 0) {
    UINT message = press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    out.push_back({message, vk, lParam});
  }
  if (press && !event.text().isEmpty()) {
    for (const UINT ch : TypedCharCodes(event.text())) out.push_back({system ? WM_SYSCHAR : WM_CHAR, ch, lParam});
  }
  return out;
}

void PostKeyMessages(HWND hwnd, const QKeyEvent& event, bool press) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || !loop->IsWindow(hwnd)) return;
  const UINT vk = VirtualKeyFromQt(event.key(), event.modifiers());
  const bool wasDown = vk != 0 && loop->GetAsyncKeyState(vk) < 0;
  SetModifierKeys(*loop, event.modifiers());
  if (vk != 0) loop->SetKeyDown(vk, press);
  const HWND target = InputTarget(*loop, hwnd);
  for (const KeyMessage& m : TranslateKey(event, press, wasDown)) loop->PostInput(target, m.message, m.wParam, m.lParam);
}

void PostCommittedText(HWND hwnd, const QString& text) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || !loop->IsWindow(hwnd)) return;
  const HWND target = InputTarget(*loop, hwnd);
  // Each with a repeat count of one.
  for (const UINT ch : TypedCharCodes(text)) loop->PostInput(target, WM_CHAR, ch, 1);
}
