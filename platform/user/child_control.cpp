// The child-control base: the Qt control in the window's widget, input passed
// through messages, fonts, redraw, colours and focus walking.
#include "platform/user/child_control.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>
#include <mutex>
#include <optional>

#include "platform/gdi/font.h"
#include "platform/gdi/font_mapper.h"
#include "platform/gdi/qt_text.h"
#include "platform/user/control_frame.h"
#include "platform/user/message_loop.h"
#include "platform/user/qt_input.h"

IMPLEMENT_DYNAMIC(CChildControl, CWnd)

namespace {

CMessageLoop* Loop() { return CMessageLoop::Current(); }

QColor ColourOf(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Keys without a character, for handing a key message back to Qt.
struct KeyPair {
  UINT vk;
  int qt;
};
constexpr KeyPair kKeys[] = {
    {VK_BACK, Qt::Key_Backspace}, {VK_RETURN, Qt::Key_Return}, {VK_ESCAPE, Qt::Key_Escape},
    {VK_SPACE, Qt::Key_Space},    {VK_PRIOR, Qt::Key_PageUp},  {VK_NEXT, Qt::Key_PageDown},
    {VK_END, Qt::Key_End},        {VK_HOME, Qt::Key_Home},     {VK_LEFT, Qt::Key_Left},
    {VK_UP, Qt::Key_Up},          {VK_RIGHT, Qt::Key_Right},   {VK_DOWN, Qt::Key_Down},
    {VK_INSERT, Qt::Key_Insert},  {VK_DELETE, Qt::Key_Delete},
};

int QtKeyOf(UINT vk) {
  for (const KeyPair& k : kKeys)
    if (k.vk == vk) return k.qt;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
  return 0;
}

Qt::KeyboardModifiers HeldModifiers() {
  Qt::KeyboardModifiers mods;
  CMessageLoop* loop = Loop();
  if (!loop) return mods;
  if (loop->GetKeyState(VK_SHIFT) < 0) mods |= Qt::ShiftModifier;
  if (loop->GetKeyState(VK_CONTROL) < 0) mods |= Qt::ControlModifier;
  if (loop->GetKeyState(VK_MENU) < 0) mods |= Qt::AltModifier;
  return mods;
}

// The selection of a text control, in the control's own places: where it
// is anchored and where its caret is.
struct QtSelection {
  int anchor = 0;
  int caret = 0;
};

std::optional<QtSelection> SelectionOf(QObject* control) {
  if (auto* line = qobject_cast<QLineEdit*>(control)) {
    if (!line->hasSelectedText()) return QtSelection{line->cursorPosition(), line->cursorPosition()};
    const int start = line->selectionStart(), end = line->selectionEnd();
    return QtSelection{line->cursorPosition() == start ? end : start, line->cursorPosition()};
  }
  QTextCursor cursor;
  if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) cursor = plain->textCursor();
  else if (auto* rich = qobject_cast<QTextEdit*>(control)) cursor = rich->textCursor();
  else return std::nullopt;
  return QtSelection{cursor.anchor(), cursor.position()};
}

void Select(QObject* control, QtSelection selection) {
  if (auto* line = qobject_cast<QLineEdit*>(control)) {
    const int length = static_cast<int>(line->text().size());
    const int anchor = std::clamp(selection.anchor, 0, length), caret = std::clamp(selection.caret, 0, length);
    if (anchor == caret) line->setCursorPosition(caret);
    else line->setSelection(anchor, caret - anchor);
    return;
  }
  auto* plain = qobject_cast<QPlainTextEdit*>(control);
  auto* rich = qobject_cast<QTextEdit*>(control);
  if (!plain && !rich) return;
  QTextCursor cursor = plain ? plain->textCursor() : rich->textCursor();
  cursor.movePosition(QTextCursor::End);
  const int end = cursor.position();
  cursor.setPosition(std::clamp(selection.anchor, 0, end));
  cursor.setPosition(std::clamp(selection.caret, 0, end), QTextCursor::KeepAnchor);
  if (plain) plain->setTextCursor(cursor);
  else rich->setTextCursor(cursor);
}

Qt::MouseButtons ButtonsOf(WPARAM keyFlags) {
  Qt::MouseButtons buttons;
  if (keyFlags & MK_LBUTTON) buttons |= Qt::LeftButton;
  if (keyFlags & MK_RBUTTON) buttons |= Qt::RightButton;
  if (keyFlags & MK_MBUTTON) buttons |= Qt::MiddleButton;
  return buttons;
}

}  // namespace

// Catches Qt's input on the control and posts it as messages; lets through
// what the control's default handling hands back.
class CControlInputFilter final : public QObject {
 public:
  CControlInputFilter(HWND hwnd, QWidget* host, QObject* parent) : QObject(parent), m_hwnd(hwnd), m_host(host) {}
  bool passing = false;

  // A control counts the composed characters it shows as places for its
  // caret, though it does not hold them: a key or a click past the text
  // would leave the caret beyond its end, where typing pads the text with
  // spaces. So a key or a mouse button the input method lets through first
  // takes the composition off the control (its commit still comes as
  // characters).
  void StopShowingComposition() {
    if (m_composingIn) Compose(m_composingIn, QInputMethodEvent());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_host.data()) {
      // What the control leaves unused of an input handed back to it would
      // reach the window's widget and come round again as a new message.
      return passing && IsInput(event->type());
    }
    if (passing) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        PostKeyMessages(m_hwnd, *static_cast<QKeyEvent*>(event), event->type() == QEvent::KeyPress);
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
        PostMouse(qobject_cast<QWidget*>(watched), *static_cast<QMouseEvent*>(event));
        return true;
      case QEvent::InputMethod:
        Compose(watched, *static_cast<QInputMethodEvent*>(event));
        return true;
      case QEvent::FocusIn: {
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        CMessageLoop* loop = Loop();
        if (loop && loop->GetFocus() != m_hwnd &&
            (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
          loop->PostMessage(m_hwnd, WM_QTFOCUS, kFocusByUser, 0);
        return false;
      }
      default:
        return false;
    }
  }

 private:
  static bool IsInput(QEvent::Type type) {
    switch (type) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
        return true;
      default:
        return false;
    }
  }

  // What an input method commits is typed text: it comes as WM_CHAR like the
  // characters of keys, so the window's handlers, the field's case, limit and
  // code page decide it. The control is handed only the text being composed,
  // to show; nothing is replaced, selected or removed past the messages. A
  // control shows the composed text by first removing its selection, so a
  // selection is set aside while a composition runs (the composed text shows
  // at its start) and put back when it ends, before the committed characters
  // arrive to replace it. A selection made while composing is set aside in
  // its turn.
  void Compose(QObject* watched, const QInputMethodEvent& event) {
    const bool composing = !event.preeditString().isEmpty();
    m_composingIn = composing ? watched : nullptr;
    if (composing) {
      const std::optional<QtSelection> selection = SelectionOf(watched);
      if (selection && selection->anchor != selection->caret) {
        const int start = std::min(selection->anchor, selection->caret);
        m_setAside = SetAside{*selection, start};
        Select(watched, QtSelection{start, start});
      }
    }
    QList<QInputMethodEvent::Attribute> shown;
    for (const QInputMethodEvent::Attribute& a : event.attributes())
      if (a.type != QInputMethodEvent::Selection) shown.append(a);
    QInputMethodEvent preedit(event.preeditString(), shown);
    passing = true;
    QApplication::sendEvent(watched, &preedit);
    passing = false;
    if (!composing && m_setAside) {
      // Unless something else moved the caret meanwhile.
      const std::optional<QtSelection> now = SelectionOf(watched);
      if (now && now->anchor == m_setAside->at && now->caret == m_setAside->at) Select(watched, m_setAside->selection);
      m_setAside.reset();
    }
    if (!event.commitString().isEmpty()) PostCommittedText(m_hwnd, event.commitString());
  }

  // A selection set aside while a composition shows at its start.
  struct SetAside {
    QtSelection selection;
    int at = 0;
  };
  std::optional<SetAside> m_setAside;
  QPointer<QObject> m_composingIn;  // the control showing a composition

  void PostMouse(QWidget* watched, const QMouseEvent& event) {
    if (!watched || !m_host) return;
    PostMouseMessage(m_hwnd, event, watched->mapTo(m_host.data(), event.position()));
  }

  HWND m_hwnd;
  QPointer<QWidget> m_host;
};

struct CChildControl::Impl {
  QPointer<QWidget> control;
  QPointer<CControlInputFilter> filter;
  QColor background{Qt::white};  // what shows where the control paints nothing
};

CChildControl::CChildControl() : m_impl(std::make_unique<Impl>()) {}
CChildControl::~CChildControl() {
  if (m_hWnd) DestroyWindow();
}

QWidget* CChildControl::GetControlWidget() const { return m_impl->control.data(); }

int CChildControl::OnCreate(const CREATESTRUCT& cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  QWidget* host = GetWidget();
  if (!host) return -1;  // no widget application
  QWidget* control = MakeControl(host);
  if (!control) return -1;
  m_impl->control = control;
  tvn::controls::DropOwnFrame(*control);
  ApplyFrame();
  host->setFocusProxy(control);
  auto* filter = new CControlInputFilter(m_hWnd, host, control);
  m_impl->filter = filter;
  control->installEventFilter(filter);
  host->installEventFilter(filter);
  if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) area->viewport()->installEventFilter(filter);
  control->show();
  RefreshColours();
  return 0;
}

void CChildControl::OnSize(UINT, int, int) { ApplyFrame(); }

void CChildControl::OnPaint() {
  const PAINTSTRUCT ps = BeginPaint();
  ApplyFrame();
  EndPaint(ps.rcPaint);
}

void CChildControl::ApplyFrame() {
  QWidget* control = GetControlWidget();
  if (!control) return;
  CRect client;
  GetClientRect(&client);
  const int inset = tvn::controls::FrameWidthOf(GetStyle(), GetExStyle());
  control->setGeometry(inset, inset, std::max(0, client.Width() - 2 * inset), std::max(0, client.Height() - 2 * inset));
  if (QImage* surface = GetSurface()) {
    std::lock_guard lock(SurfaceLock());
    surface->fill(m_impl->background);
    tvn::controls::PaintFrame(*surface, GetStyle(), GetExStyle());
  }
  SurfaceChanged();
}

void CChildControl::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

QFont CChildControl::ControlFont() const {
  if (m_pFont) return gdi::MakeQFont(m_pFont->GetLogFontRef());
  return QApplication::font();
}

void CChildControl::RefreshColours() {
  QWidget* control = GetControlWidget();
  if (!control) return;
  ControlColours colours;
  if (!CtlColor(colours))
    if (CWnd* parent = GetParent())
      parent->SendMessage(CtlColorMessage(), reinterpret_cast<WPARAM>(&colours), reinterpret_cast<LPARAM>(m_hWnd));
  QPalette palette = QApplication::palette(control);
  if (colours.text) {
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
      palette.setColor(role, ColourOf(*colours.text));
  }
  if (colours.background) {
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
      palette.setColor(role, ColourOf(*colours.background));
  }
  control->setPalette(palette);
  control->setAutoFillBackground(colours.background.has_value());
  m_impl->background = palette.color(QPalette::Window);
  ApplyFrame();
}

void CChildControl::FocusNextTabStop(BOOL previous) {
  CWnd* parent = GetParent();
  if (!parent) return;
  CWnd* next = parent->GetNextDlgTabItem(this, previous);
  if (next && next != this) next->SetFocus();
}

void CChildControl::NotifyParent(WORD code) {
  if (IsQuiet()) return;
  if (CWnd* parent = GetParent())
    parent->PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(GetDlgCtrlID()), code),
                        reinterpret_cast<LPARAM>(m_hWnd));
}

void CChildControl::DeliverKey(UINT message, WPARAM wParam) {
  QWidget* control = GetControlWidget();
  if (!control || !m_impl->filter) return;
  const bool press = message != WM_KEYUP;
  QString text;
  int key = 0;
  if (message == WM_CHAR) {
    // Typed characters search, select and (in editors) are inserted; control
    // characters came as keys with WM_KEYDOWN. A space is a character.
    if (wParam < 0x20) return;
    text = gdi::QtOfCharCode(static_cast<UINT>(wParam));
    if (text.isEmpty()) return;
  } else {
    key = QtKeyOf(static_cast<UINT>(wParam));
    if (key == 0) return;
  }
  if (message == WM_KEYDOWN) m_impl->filter->StopShowingComposition();
  if (!m_impl->filter) return;
  QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, HeldModifiers(), text);
  QWidget* target = control->focusWidget() ? control->focusWidget() : control;
  m_impl->filter->passing = true;
  QApplication::sendEvent(target, &event);
  if (m_impl->filter) m_impl->filter->passing = false;
}

void CChildControl::DeliverMouse(UINT message, WPARAM keyFlags, CPoint point) {
  QWidget* control = GetControlWidget();
  QWidget* host = GetWidget();
  if (!control || !host || !m_impl->filter) return;
  QEvent::Type type = QEvent::MouseMove;
  Qt::MouseButton button = Qt::NoButton;
  switch (message) {
    case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; break;
    case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; break;
    case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::LeftButton; break;
    default: break;
  }
  const QPoint inHost(point.x, point.y);
  QWidget* target = host->childAt(inHost);
  if (!target || (target != control && !control->isAncestorOf(target))) target = control;
  const QPointF local = target->mapFrom(host, inHost);
  Qt::KeyboardModifiers mods = HeldModifiers();
  if (keyFlags & MK_SHIFT) mods |= Qt::ShiftModifier;
  if (keyFlags & MK_CONTROL) mods |= Qt::ControlModifier;
  QMouseEvent event(type, local, QPointF(host->mapToGlobal(inHost)), button, ButtonsOf(keyFlags), mods);
  // The release's button is no longer held.
  QPointer<CControlInputFilter> filter = m_impl->filter;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) filter->StopShowingComposition();
  if (!filter) return;
  filter->passing = true;
  QApplication::sendEvent(target, &event);
  if (filter) filter->passing = false;
}

LRESULT CChildControl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  QWidget* control = GetControlWidget();
  switch (message) {
    case WM_SETFONT:
      m_pFont = reinterpret_cast<CFont*>(wParam);
      if (control) control->setFont(ControlFont());
      OnFontChanged();
      if (control && lParam) control->update();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(m_pFont);
    case WM_SETREDRAW:
      if (control) {
        control->setUpdatesEnabled(wParam != 0);
        if (wParam) control->update();
      }
      return 0;
    case WM_ENABLE:
      return 0;  // the widget follows the window's state
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        CMessageLoop* loop = Loop();
        FocusNextTabStop(loop && loop->GetKeyState(VK_SHIFT) < 0);
        return 0;
      }
      DeliverKey(message, wParam);
      return 0;
    case WM_KEYUP:
    case WM_CHAR:
      if (wParam != VK_TAB) DeliverKey(message, wParam);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      DeliverMouse(message, wParam, PointFromLParam(lParam));
      return 0;
    default:
      return CWnd::DefWindowProc(message, wParam, lParam);
  }
}
