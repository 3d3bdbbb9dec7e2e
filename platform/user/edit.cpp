// The edit control on QLineEdit and QPlainTextEdit: text in the program's
// encoding, selection, limit, modified flag, clipboard and undo.
#include "platform/user/edit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <limits>
#include <utility>

#include "platform/user/clipboard.h"
#include "platform/base/codepage.h"
#include "platform/base/program_text.h"
#include "platform/gdi/qt_text.h"
#include "platform/user/message_loop.h"

IMPLEMENT_DYNAMIC(CEdit, CChildControl)

namespace {

// "\r\n" (and a lone "\r") become the control's "\n".
std::string ToControlLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string ToWindowLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

// Positions of a multi-line control: the window's count "\r\n" as two, and
// each character as the bytes of its program text.
int WindowPos(const QString& text, int pos) {
  pos = std::clamp(pos, 0, static_cast<int>(text.size()));
  const QStringView before = QStringView(text).left(pos);
  return gdi::ProgramPosOf(before, pos) + static_cast<int>(before.count(QLatin1Char('\n')));
}

int ControlPos(const QString& text, int pos) {
  int window = 0;
  const QStringView view(text);
  for (int i = 0; i < text.size();) {
    const int units = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    const int step = text[i] == QLatin1Char('\n') ? 2 : gdi::ProgramPosOf(view.mid(i, units), units);
    if (window + step > pos) return window == pos ? i : i + units;
    window += step;
    i += units;
  }
  return static_cast<int>(text.size());
}

// The text of a multi-line control as it holds it: toPlainText() would make
// every no-break space a plain one.
QString PlainText(const QPlainTextEdit& plain) {
  QString text = plain.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

// Text put in a field with ES_UPPERCASE or ES_LOWERCASE: every letter of
// code page 1252, or under UTF-8 the ASCII ones (a byte of a longer
// character is never a letter of its own).
std::string InFieldCase(std::string text, DWORD style) {
  if (!(style & (ES_UPPERCASE | ES_LOWERCASE))) return text;
  const bool utf8 = tvn::text::IsProgramUtf8();
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (utf8 && byte >= 0x80) continue;
    c = static_cast<char>((style & ES_UPPERCASE) ? tvn::codepage::ToUpper(byte) : tvn::codepage::ToLower(byte));
  }
  return text;
}

bool CtrlHeld() {
  CMessageLoop* loop = CMessageLoop::Current();
  return loop && loop->GetKeyState(VK_CONTROL) < 0;
}

bool ShiftHeld() {
  CMessageLoop* loop = CMessageLoop::Current();
  return loop && loop->GetKeyState(VK_SHIFT) < 0;
}

}  // namespace

QLineEdit* CEdit::Line() const { return qobject_cast<QLineEdit*>(GetControlWidget()); }
QPlainTextEdit* CEdit::Plain() const { return qobject_cast<QPlainTextEdit*>(GetControlWidget()); }

QWidget* CEdit::MakeControl(QWidget* host) {
  m_cutting = false;
  const DWORD style = GetStyle();
  const Qt::Alignment align = (style & ES_RIGHT)    ? Qt::AlignRight
                              : (style & ES_CENTER) ? Qt::AlignHCenter
                                                    : Qt::AlignLeft;
  QWidget* widget = nullptr;
  if (style & ES_MULTILINE) {
    auto* plain = new QPlainTextEdit(host);
    plain->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    plain->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // Lines wrap at the field's edge unless the field scrolls sideways.
    plain->setLineWrapMode((style & (WS_HSCROLL | ES_AUTOHSCROLL)) ? QPlainTextEdit::NoWrap
                                                                    : QPlainTextEdit::WidgetWidth);
    QTextOption option = plain->document()->defaultTextOption();
    option.setAlignment(align);
    plain->document()->setDefaultTextOption(option);
    plain->setReadOnly((style & ES_READONLY) != 0);
    plain->setTabChangesFocus(true);
    plain->setUndoRedoEnabled(false);  // the one level of undo is the window's own
    plain->setPlainText(gdi::ToQt(ToControlLines(GetWindowText().view())));
    QObject::connect(plain, &QPlainTextEdit::textChanged, plain, [this] { TextChangedByControl(); });
    widget = plain;
  } else {
    auto* line = new QLineEdit(host);
    line->setAlignment(align | Qt::AlignVCenter);
    line->setReadOnly((style & ES_READONLY) != 0);
    line->setEchoMode((style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    line->setMaxLength(std::numeric_limits<int>::max());  // the limit is kept here
    line->setText(gdi::ToQt(GetWindowText().view()));
    QObject::connect(line, &QLineEdit::textChanged, line, [this] { TextChangedByControl(); });
    widget = line;
  }
  // Everything reaches the text through messages: no menu or drops of Qt's own.
  widget->setContextMenuPolicy(Qt::NoContextMenu);
  widget->setAcceptDrops(false);
  widget->setFocusPolicy(Qt::StrongFocus);
  return widget;
}

CString CEdit::ControlText() const {
  if (QLineEdit* line = Line()) return CString(gdi::FromQt(line->text()));
  if (QPlainTextEdit* plain = Plain()) return CString(ToWindowLines(gdi::FromQt(PlainText(*plain))));
  return GetWindowText();
}

void CEdit::ShowText(const CString& text) {
  m_showing = true;
  if (QLineEdit* line = Line()) line->setText(gdi::ToQt(text.view()));
  if (QPlainTextEdit* plain = Plain()) plain->setPlainText(gdi::ToQt(ToControlLines(text.view())));
  m_showing = false;
}

void CEdit::TextChangedByControl() {
  if (m_showing) return;
  const CString before = GetWindowText();
  const CString text = ControlText();
  const bool changed = text != before;
  if (changed) {
    if (m_editing == 0) {
      // A change that came past the editing messages is still the one to
      // take back; where its selection was is not known.
      int s = 0, e = 0;
      Selection(s, e);
      s = std::min(s, before.GetLength());
      m_undo = EditState{before, s, s};
      m_runKind = EditKind::kOther;
    }
    m_modified = true;
    m_showing = true;
    SetWindowText(text);
    m_showing = false;
  }
  // Text that reached the control past the messages (a path of Qt's own)
  // may hold what the program's text cannot: the field shows it as the
  // program has it ('?' in code page 1252), so each of its places stays one
  // of the text.
  QLineEdit* line = Line();
  QPlainTextEdit* plain = Plain();
  const bool held = line ? line->text() == gdi::ToQt(text)
                          : !plain || PlainText(*plain) == gdi::ToQt(ToControlLines(text.view()));
  if (!held) {
    int s = 0, e = 0;
    Selection(s, e);
    ShowText(text);
    Select(s, e);
  }
  if (changed) NotifyParent(EN_CHANGE);
}

void CEdit::OnWindowTextChanged() {
  if (m_showing) return;
  ShowText(GetWindowText());
  m_modified = false;
  ForgetUndo();
}

CEdit::EditState CEdit::State() const {
  EditState state{ControlText()};
  Selection(state.start, state.end);
  return state;
}

LRESULT CEdit::Editing(EditKind kind, const std::function<LRESULT()>& edit) {
  if (m_editing > 0) return edit();  // part of the message that sent this one
  EditState before = State();
  LRESULT result = 0;
  {
    struct Depth {
      int& count;
      explicit Depth(int& c) : count(c) { ++count; }
      ~Depth() { --count; }
      Depth(const Depth&) = delete;
      Depth& operator=(const Depth&) = delete;
    } depth(m_editing);
    result = edit();
  }
  int s = 0, e = 0;
  Selection(s, e);
  if (ControlText() == before.text) return result;
  const bool carriesOn = m_undo && kind != EditKind::kOther && kind == m_runKind && before.start == before.end &&
                         before.start == m_runCaret;
  if (!carriesOn) m_undo = std::move(before);
  m_runKind = kind;
  m_runCaret = s == e ? s : -1;
  return result;
}

BOOL CEdit::SwapUndo() {
  if ((GetStyle() & ES_READONLY) || !m_undo) return FALSE;
  const EditState back = std::exchange(*m_undo, State());
  m_runKind = EditKind::kOther;
  m_showing = true;
  SetWindowText(back.text);
  m_showing = false;
  ShowText(back.text);
  Select(back.start, back.end);
  m_modified = true;
  NotifyParent(EN_CHANGE);
  return TRUE;
}

void CEdit::ForgetUndo() {
  m_undo.reset();
  m_runKind = EditKind::kOther;
}

void CEdit::Selection(int& start, int& end) const {
  start = end = 0;
  if (QLineEdit* line = Line()) {
    const QString text = line->text();
    if (line->hasSelectedText()) {
      start = gdi::ProgramPosOf(text, line->selectionStart());
      end = gdi::ProgramPosOf(text, line->selectionEnd());
    } else {
      start = end = gdi::ProgramPosOf(text, line->cursorPosition());
    }
  } else if (QPlainTextEdit* plain = Plain()) {
    const QTextCursor cursor = plain->textCursor();
    const QString text = PlainText(*plain);
    start = WindowPos(text, cursor.selectionStart());
    end = WindowPos(text, cursor.selectionEnd());
  }
}

void CEdit::GetSel(int& start, int& end) const { Selection(start, end); }

DWORD CEdit::GetSel() const {
  int start = 0, end = 0;
  Selection(start, end);
  return MAKELONG(start, end);
}

void CEdit::Select(int start, int end) {
  const int length = ControlText().GetLength();
  if (start == -1) {  // no selection: the caret stays where the selection began
    int s = 0, e = 0;
    Selection(s, e);
    start = end = s;
  }
  if (start < 0) start = 0;
  if (end < 0 || end > length) end = length;
  start = std::min(start, length);
  if (QLineEdit* line = Line()) {
    const QString text = line->text();
    line->setSelection(gdi::QtPosOf(text, start), gdi::QtPosOf(text, end) - gdi::QtPosOf(text, start));
  } else if (QPlainTextEdit* plain = Plain()) {
    const QString text = PlainText(*plain);
    QTextCursor cursor = plain->textCursor();
    cursor.setPosition(ControlPos(text, start));
    cursor.setPosition(ControlPos(text, end), QTextCursor::KeepAnchor);
    plain->setTextCursor(cursor);
  }
}

bool CEdit::Fits(const CString& text) const {
  if (static_cast<UINT>(text.GetLength()) > m_limit) return false;
  QLineEdit* line = Line();
  if (!line || (GetStyle() & ES_AUTOHSCROLL)) return true;
  // Without automatic scrolling the text stops at the field's right edge.
  const QRect room = line->contentsRect().marginsRemoved(line->textMargins());
  const QString shown = line->echoMode() == QLineEdit::Password
                            ? QString(text.GetLength(), QChar(0x25CF))
                            : gdi::ToQt(text.view());
  return QFontMetrics(line->font()).horizontalAdvance(shown) <= std::max(0, room.width() - 4);
}

bool CEdit::Insert(const CString& piece) {
  int s = 0, e = 0;
  Selection(s, e);
  const CString text = ControlText();
  const CString before = text.Left(s);
  const CString after = text.Mid(e);
  // A multi-line field keeps every line end as "\r\n", so the piece is
  // measured as it will stand.
  const CString whole = IsMultiLine() ? CString(ToWindowLines(ToControlLines(piece.view()))) : piece;
  CString fitted = whole;
  // As much of the piece as the limit and the width leave room for; a line
  // end is never cut in half.
  while (fitted.GetLength() > 0 && !Fits(before + fitted + after)) {
    int cut = static_cast<int>(tvn::text::ProgramCharStart(fitted.view(), static_cast<std::size_t>(fitted.GetLength() - 1)));
    if (cut > 0 && fitted[cut] == '\n' && fitted[cut - 1] == '\r') --cut;
    fitted = fitted.Left(cut);
  }
  if (fitted.GetLength() < whole.GetLength()) NotifyParent(EN_MAXTEXT);
  if (fitted.IsEmpty()) return false;
  if (QLineEdit* line = Line()) {
    line->insert(gdi::ToQt(fitted.view()));
  } else if (QPlainTextEdit* plain = Plain()) {
    plain->insertPlainText(gdi::ToQt(ToControlLines(fitted.view())));
  }
  return true;
}

void CEdit::TypeCharacter(WPARAM ch, LPARAM) {
  if (ch < 0x20) return;
  const std::string typed = tvn::text::ProgramTextOfChar(static_cast<UINT>(ch));
  if (typed.empty()) return;
  Insert(CString(InFieldCase(typed, GetStyle())));
}

void CEdit::CopySelection() const {
  if (GetStyle() & ES_PASSWORD) return;
  int s = 0, e = 0;
  Selection(s, e);
  if (e > s) CClipboard::SetText(ControlText().Mid(s, e - s));
}

LRESULT CEdit::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  QLineEdit* line = Line();
  QPlainTextEdit* plain = Plain();
  if (!line && !plain) return CChildControl::DefWindowProc(message, wParam, lParam);
  const bool readOnly = (GetStyle() & ES_READONLY) != 0;
  switch (message) {
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const CString*>(lParam);
      QuietScope quiet(*this);
      SetWindowText(text ? *text : CString());
      return TRUE;
    }
    case WM_GETTEXT: {
      CString text = ControlText();
      if (wParam > 0 && static_cast<std::size_t>(text.GetLength()) >= wParam) text = text.Left(static_cast<int>(wParam) - 1);
      if (auto* out = reinterpret_cast<CString*>(lParam)) *out = text;
      return text.GetLength();
    }
    case WM_GETTEXTLENGTH:
      return ControlText().GetLength();
    case EM_GETSEL: {
      int s = 0, e = 0;
      Selection(s, e);
      if (auto* out = reinterpret_cast<DWORD*>(wParam)) *out = static_cast<DWORD>(s);
      if (auto* out = reinterpret_cast<DWORD*>(lParam)) *out = static_cast<DWORD>(e);
      return MAKELONG(s, e);
    }
    case EM_SETSEL: {
      QuietScope quiet(*this);
      Select(static_cast<int>(static_cast<LONG>(wParam)), static_cast<int>(static_cast<LONG>(lParam)));
      return 0;
    }
    case EM_GETMODIFY:
      return m_modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      m_modified = wParam != 0;
      return 0;
    case EM_GETLINECOUNT:
      return plain ? std::max(1, plain->document()->blockCount()) : 1;
    case EM_LIMITTEXT:
      m_limit = wParam == 0 ? 0x7FFFFFFEu : static_cast<UINT>(std::min<WPARAM>(wParam, 0x7FFFFFFE));
      return 0;
    case EM_GETLIMITTEXT:
      return m_limit;
    case EM_SETREADONLY:
      ModifyStyle(wParam ? 0 : ES_READONLY, wParam ? ES_READONLY : 0);
      if (line) line->setReadOnly(wParam != 0);
      if (plain) plain->setReadOnly(wParam != 0);
      RefreshColours();
      return TRUE;
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const CString*>(lParam);
      const auto replace = [&] {
        if (text) Insert(CString(InFieldCase(text->str(), GetStyle())));
        return LRESULT{0};
      };
      if (wParam) return Editing(EditKind::kOther, replace);
      replace();
      SendMessage(EM_EMPTYUNDOBUFFER);
      return 0;
    }
    case WM_COPY:
      CopySelection();
      return 0;
    case WM_CUT: {
      // The clear is the change (a derived class may take it as a key).
      if (GetStyle() & ES_PASSWORD) return 0;
      CopySelection();
      if (readOnly) return 0;
      const HWND self = m_hWnd;
      m_cutting = true;
      SendMessage(WM_CLEAR);
      if (CWnd::FromHandle(self) == this) m_cutting = false;  // the clear may have ended the window
      return 0;
    }
    case WM_CLEAR:
      if (readOnly) return 0;
      return Editing(EditKind::kOther, [&] {
        if (line && line->hasSelectedText()) line->del();
        if (plain) plain->textCursor().removeSelectedText();
        return LRESULT{0};
      });
    case WM_PASTE:
      if (readOnly || !CClipboard::HasText()) return 0;
      return Editing(EditKind::kOther, [&] {
        CString text = CClipboard::GetText();
        if (line) {  // one line: the text up to the first line end
          const int stop = text.FindOneOf("\r\n");
          if (stop >= 0) text = text.Left(stop);
        }
        Insert(CString(InFieldCase(text.str(), GetStyle())));
        return LRESULT{0};
      });
    case EM_CANUNDO:
      return !readOnly && m_undo ? TRUE : FALSE;
    case WM_UNDO:
    case EM_UNDO:
      return SwapUndo();
    case EM_EMPTYUNDOBUFFER:
      ForgetUndo();
      return 0;
    case WM_KEYDOWN: {
      // A cut's clear that a derived class took as the Delete key removes the
      // selection, even with Shift held: it is not a second cut.
      if (m_cutting && wParam == VK_DELETE) return CEdit::DefWindowProc(WM_CLEAR, 0, 0);
      const bool ctrl = CtrlHeld(), shift = ShiftHeld();
      UINT command = 0;
      if (ctrl && wParam == 'C') command = WM_COPY;
      else if (ctrl && wParam == 'X') command = WM_CUT;
      else if (ctrl && wParam == 'V') command = WM_PASTE;
      else if (ctrl && wParam == 'Z') command = EM_UNDO;
      else if (ctrl && wParam == VK_INSERT) command = WM_COPY;
      else if (shift && wParam == VK_INSERT) command = WM_PASTE;
      else if (shift && wParam == VK_DELETE) command = WM_CUT;
      if (command) {
        SendMessage(command);
        return 0;
      }
      if (ctrl && (wParam == 'Y' || wParam == 'A')) return 0;  // no redo or select-all of Qt's own
      if (wParam == VK_RETURN && plain) return 0;  // the line end comes with WM_CHAR
      const EditKind kind = wParam == VK_BACK     ? EditKind::kBackspace
                            : wParam == VK_DELETE ? EditKind::kDelete
                                                  : EditKind::kOther;
      return Editing(kind, [&] { return CChildControl::DefWindowProc(message, wParam, lParam); });
    }
    case WM_CHAR:
      if (readOnly) return 0;
      return Editing(EditKind::kTyping, [&] {
        if (wParam == '\r' && plain) Insert("\r\n");
        else TypeCharacter(wParam, lParam);
        return LRESULT{0};
      });
    case WM_SETFOCUS: {
      const LRESULT result = CChildControl::DefWindowProc(message, wParam, lParam);
      NotifyParent(EN_SETFOCUS);
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = CChildControl::DefWindowProc(message, wParam, lParam);
      NotifyParent(EN_KILLFOCUS);
      return result;
    }
    default:
      return CChildControl::DefWindowProc(message, wParam, lParam);
  }
}
