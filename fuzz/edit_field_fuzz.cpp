// Fuzzes the edit fields as a learner drives them: a single-line, a
// multi-line, a masked and an unmasked masked-edit field, in code page 1252,
// get typed characters, keys, an input method's commits and composing text,
// selections, replacements, the clipboard and undo. After every step the
// window text is what the control shows, the selection lies inside it, the
// limit and letter case hold, a masked field shows exactly its display text;
// composing text changes nothing, and a second undo takes back the first.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "behaviour/pic_edit.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/mask_display.h"
#include "platform/base/codepage.h"
#include "platform/gdi/qt_text.h"
#include "platform/user/clipboard.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"

namespace {

// The off-screen Qt platform, a message loop and a page window, made once for
// the process (Qt allows one application).
struct Page {
  Page() : session(argc, argv, true) {
    CGuiSession::Attach(loop);
    wnd.CreateEx(0, "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0);
  }
  void Pump() {
    MSG msg;
    for (int i = 0; i < 256 && loop.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE); ++i)
      if (msg.message != WM_QUIT) loop.DispatchMessage(msg);
  }

  int argc = 1;
  char name[16] = "edit_field_fuzz";
  char* argv[2] = {name, nullptr};
  CGuiSession session;
  CMessageLoop loop;
  CWnd wnd;
};

struct Input : FuzzInput {
  // Text as a C string carries it: up to its first zero.
  std::string Text() {
    const std::string text = FuzzInput::Text();
    return text.substr(0, text.find('\0'));
  }
  // What an input method hands over: characters of the code page and some
  // beyond it.
  QString Typed() {
    QString text = gdi::ToQt(Text());
    switch (Byte() % 4) {
      case 0: text += QChar(0x151); break;                            // o double acute: not in the code page
      case 1: text += QString::fromUcs4(U"\U0001F600"); break;  // outside the basic plane
      default: break;
    }
    return text;
  }
};

enum class Kind { kLine, kMultiLine, kMasked, kUnmasked };

struct Field {
  Kind kind = Kind::kLine;
  std::unique_ptr<CEdit> edit;
  CPicEdit* pic = nullptr;  // the masked-edit field, when it is one
  UINT limit = CEdit::kDefaultLimit;

  bool Masked() const { return pic && pic->Mask().HasMask(); }
  bool Multi() const { return (edit->GetStyle() & ES_MULTILINE) != 0; }
  CString Shown() const {
    QWidget* widget = edit->GetControlWidget();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return CString(gdi::FromQt(line->text()));
    QString text = static_cast<QPlainTextEdit*>(widget)->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    std::string out;
    for (char c : gdi::FromQt(text)) {
      if (c == '\n') out.push_back('\r');
      out.push_back(c);
    }
    return CString(out);
  }
};

// Text put in as the program would: in the field's case, within its limit,
// with the line ends a multi-line field keeps.
CString AsProgramPutsIt(const Field& field, std::string text) {
  const DWORD style = field.edit->GetStyle();
  if (field.Multi()) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        lines += "\r\n";
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      } else {
        lines.push_back(text[i]);
      }
    }
    text = lines;
  }
  for (char& c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (style & ES_UPPERCASE) c = static_cast<char>(tvn::codepage::ToUpper(b));
    else if (style & ES_LOWERCASE) c = static_cast<char>(tvn::codepage::ToLower(b));
  }
  std::size_t keep = std::min<std::size_t>(text.size(), field.limit);
  if (keep > 0 && keep < text.size() && text[keep - 1] == '\r' && text[keep] == '\n') --keep;  // a line end stays whole
  return CString(text.substr(0, keep));
}

struct Snapshot {
  CString text;
  CString data;
  DWORD selection = 0;
};

Snapshot Take(const Field& field) {
  Snapshot s{field.edit->GetWindowText(), {}, field.edit->GetSel()};
  if (field.pic) s.data = field.pic->GetDataText(FALSE);
  return s;
}

void Check(const Field& field) {
  CEdit& edit = *field.edit;
  const CString text = edit.GetWindowText();
  CString asked;
  edit.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&asked));
  if (asked != text || edit.SendMessage(WM_GETTEXTLENGTH) != text.GetLength()) std::abort();
  if (field.Shown() != text) std::abort();
  int s = 0, e = 0;
  edit.GetSel(s, e);
  if (s < 0 || s > e || e > text.GetLength()) std::abort();
  if (field.Masked()) {
    const CPicMask& mask = field.pic->Mask();
    if (text != mask.GetDisplayText() || !ShowsWhatTheMaskAllows(mask, text)) std::abort();
    return;
  }
  if (static_cast<UINT>(text.GetLength()) > field.limit) std::abort();
  const DWORD style = edit.GetStyle();
  for (const char c : text.str()) {
    const auto b = static_cast<unsigned char>(c);
    if ((style & ES_UPPERCASE) ? tvn::codepage::ToUpper(b) != b
                               : (style & ES_LOWERCASE) && tvn::codepage::ToLower(b) != b)
      std::abort();
  }
}

Field MakeField(Input& in, CWnd& page) {
  Field field;
  field.kind = static_cast<Kind>(in.Byte() % 4);
  const std::uint8_t options = in.Byte();
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  if (options & 0x1) style |= ES_UPPERCASE;
  if (options & 0x2) style |= ES_LOWERCASE;
  if (options & 0x4) style |= ES_AUTOHSCROLL;
  if (options & 0x8) style |= ES_PASSWORD;
  if (field.kind == Kind::kMultiLine) style = (style & ~ES_PASSWORD) | ES_MULTILINE | ES_WANTRETURN;
  if (field.kind == Kind::kLine || field.kind == Kind::kMultiLine) {
    field.edit = std::make_unique<CEdit>();
  } else {
    auto pic = std::make_unique<CPicEdit>();
    field.pic = pic.get();
    field.edit = std::move(pic);
  }
  field.edit->Create(style, CRect(10, 10, 300, 120), &page, 923);
  if (const std::uint8_t limit = in.Byte(); limit != 0) {
    field.edit->LimitText(limit);
    field.limit = limit;
  }
  if (field.kind == Kind::kMasked) {
    const auto prompt = static_cast<char>(in.Byte());
    field.pic->SetMaskString(CString(in.Text()));
    field.pic->SetPromptChar(prompt);
    field.pic->SetInsertAllowed(TRUE);
  }
  field.edit->SetFocus();
  return field;
}

constexpr UINT kKeys[] = {VK_BACK, VK_DELETE, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_UP, VK_DOWN, VK_INSERT, VK_RETURN};
constexpr UINT kCtrlKeys[] = {'Z', 'X', 'V', 'C', VK_INSERT, VK_BACK, VK_DELETE};

void Key(Page& page, HWND hwnd, UINT vk, bool shift, bool ctrl) {
  page.loop.SetKeyDown(VK_SHIFT, shift);
  page.loop.SetKeyDown(VK_CONTROL, ctrl);
  page.loop.PostMessage(hwnd, WM_KEYDOWN, vk, 1);
  page.Pump();
  page.loop.SetKeyDown(VK_SHIFT, false);
  page.loop.SetKeyDown(VK_CONTROL, false);
}

void InputMethod(Page& page, CEdit& edit, const QString& preedit, const QString& commit) {
  QInputMethodEvent event(preedit, {});
  if (!commit.isEmpty()) event.setCommitString(commit);
  QApplication::sendEvent(edit.GetControlWidget(), &event);
  page.Pump();
}

}  // namespace

// The application lives to the process's end (see below), and with it a
// block fontconfig keeps from reading its configuration, which nothing
// points at any more by then.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Never destroyed: at exit Qt's own statics are gone before a static
  // application's end would run.
  static Page& page = *new Page;
  Input in{{data, size}};
  CClipboard::Empty();  // each input starts from the same clipboard
  Field field = MakeField(in, page.wnd);
  if (!field.edit->GetSafeHwnd()) return 0;
  CEdit& edit = *field.edit;
  const HWND hwnd = edit.GetSafeHwnd();
  page.Pump();
  Check(field);
  bool composing = false;  // an input method's composition is open
  for (int step = 0; step < 256 && in.More(); ++step) {
    switch (in.Byte() % 12) {
      case 0: {  // typed: a character of the code page, or Return
        const std::uint8_t c = in.Byte();
        page.loop.PostMessage(hwnd, WM_CHAR, c < 0x20 ? '\r' : c, 1);
        page.Pump();
        break;
      }
      case 1: {
        const std::uint8_t k = in.Byte();
        Key(page, hwnd, kKeys[k % std::size(kKeys)], (k & 0x80) != 0, false);
        break;
      }
      case 2: {
        const std::uint8_t k = in.Byte();
        Key(page, hwnd, kCtrlKeys[k % std::size(kCtrlKeys)], (k & 0x80) != 0, true);
        break;
      }
      case 3:
        InputMethod(page, edit, {}, in.Typed());
        composing = false;
        break;
      case 4: {  // composing shows, and changes nothing until it ends
        const Snapshot before = Take(field);
        const bool begins = !composing;
        QString preedit = in.Typed();
        if (preedit.isEmpty()) preedit = QStringLiteral("^");
        InputMethod(page, edit, preedit, {});
        composing = true;
        Check(field);
        if (!(Take(field).text == before.text && Take(field).data == before.data)) std::abort();
        const std::uint8_t end = in.Byte();
        if (end % 3 == 0) {  // cancelled: a selection set aside when it began is back as well
          InputMethod(page, edit, {}, {});
          composing = false;
          const Snapshot after = Take(field);
          if (after.text != before.text || after.data != before.data) std::abort();
          if (begins && after.selection != before.selection) std::abort();
        } else if (end % 3 == 1) {
          InputMethod(page, edit, {}, in.Typed());
          composing = false;
        }
        break;
      }
      case 5: {
        const int length = edit.GetWindowText().GetLength() + 3;
        const int s = in.Byte() % length - 1, e = in.Byte() % length - 1;
        edit.SetSel(s, e);
        break;
      }
      case 6: {  // a masked field takes its text through the mask only
        const std::string text = in.Text();
        const BOOL canUndo = in.Byte() & 1;
        if (!field.Masked()) edit.ReplaceSel(CString(text), canUndo);
        break;
      }
      case 7:
        CClipboard::SetText(CString(in.Text()));
        edit.Paste();
        break;
      case 8:
        if (in.Byte() & 1) edit.Cut();
        else edit.Copy();
        break;
      case 9: {  // undo twice: back where it was
        const Snapshot before = Take(field);
        if (edit.Undo()) {
          Check(field);
          if (!edit.Undo()) std::abort();
          const Snapshot again = Take(field);
          if (again.text != before.text || again.data != before.data) std::abort();
          if (!field.Masked() && again.selection != before.selection) std::abort();
        }
        break;
      }
      case 10:
        edit.Undo();
        break;
      default: {
        const std::uint8_t how = in.Byte();
        if (field.Masked()) {
          field.pic->SetData(CString(in.Text()), how % (field.pic->Mask().GetLength() + 1), how & 0x40, how & 0x80);
        } else {
          edit.SetWindowText(AsProgramPutsIt(field, in.Text()));
        }
        break;
      }
    }
    page.Pump();
    Check(field);
  }
  return 0;
}
