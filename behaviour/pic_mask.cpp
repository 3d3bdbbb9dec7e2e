// The picture-mask model: parsing, the display text, caret rules, moving
// entered characters, data in and out, keys, characters, clipboard and undo.
#include "behaviour/pic_mask.h"

#include <algorithm>
#include <cstring>

#include "platform/base/codepage.h"
#include "platform/msg/window_messages.h"

namespace {

constexpr char kMaskLetters[] = "9ANLUX";
constexpr char kEscape = '/';

constexpr const char* kBuiltInMasks[] = {
    "(999) 999-9999", "(999) 999-9999 [9999]", "(999) 999-9999 [99999]", "999-99-9999", "99999", "99999-9999",
    "99999-999999",
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

// --- Mask and display text ---

std::vector<MaskCell> CPicMask::ParseMask(const CString& mask) const {
  std::vector<MaskCell> cells;
  bool escaped = false;
  for (const char c : mask.view()) {
    if (escaped) {
      cells.push_back({false, c});
      escaped = false;
    } else if (c == kEscape) {
      escaped = true;
    } else if (c != 0 && std::strchr(kMaskLetters, c)) {
      cells.push_back({true, c});
    } else {
      cells.push_back({false, c});
    }
  }
  return cells;
}

CString CPicMask::BuildDisplayText() const {
  std::string text;
  text.reserve(m_mask.size());
  for (const MaskCell& cell : m_mask) text.push_back(cell.input ? m_prompt : cell.ch);
  return CString(std::move(text));
}

BOOL CPicMask::IsLiteral(int pos) const { return !IsInput(pos); }

void CPicMask::UpdateWindowText() { m_site.ShowText(m_display); }

BOOL CPicMask::SetMaskString(const CString& mask) {
  m_maskString = mask;
  m_mask = ParseMask(mask);
  m_display = BuildDisplayText();
  m_undo = CString();
  UpdateWindowText();
  SetCaret(-1, 1, 0);
  return TRUE;
}

BOOL CPicMask::SetMask(int id) {
  if (id < 1 || id > static_cast<int>(std::size(kBuiltInMasks))) return FALSE;
  return SetMaskString(kBuiltInMasks[id - 1]);
}

void CPicMask::SetPromptChar(char prompt) {
  if (prompt == 0) return;
  for (int p = 0; p < GetLength(); ++p)
    if (IsInput(p)) {
      if (m_display[p] == m_prompt) m_display.SetAt(p, prompt);
      if (m_undo[p] == m_prompt && p < m_undo.GetLength()) m_undo.SetAt(p, prompt);
    }
  m_prompt = prompt;
  if (HasMask()) UpdateWindowText();
}

BOOL CPicMask::IsCharValid(int pos, char& ch) const {
  // Control characters are never entered (a Return or Ctrl+C at an "X").
  if (!IsInput(pos) || static_cast<unsigned char>(ch) < 0x20) return FALSE;
  switch (m_mask[static_cast<std::size_t>(pos)].ch) {
    case '9':
      return IsDigit(ch);
    case 'A':
      return IsLetter(ch);
    case 'N':
      return IsLetter(ch) || IsDigit(ch);
    case 'L':
      if (!IsLetter(ch)) return FALSE;
      ch = tvn::codepage::ToLowerAscii(ch);
      return TRUE;
    case 'U':
      if (!IsLetter(ch)) return FALSE;
      ch = tvn::codepage::ToUpperAscii(ch);
      return TRUE;
    case 'X':
      return TRUE;
    default:
      return FALSE;
  }
}

// --- Positions and the caret ---

int CPicMask::NextInputPos(int pos) const {
  if (!HasMask() || pos >= GetLength()) return pos;
  for (int p = std::max(pos + 1, 0); p < GetLength(); ++p)
    if (IsInput(p)) return p;
  return -1;
}

int CPicMask::PrevInputPos(int pos) const {
  if (!HasMask()) return pos;
  for (int p = std::min(pos, GetLength()) - 1; p >= 0; --p)
    if (IsInput(p)) return p;
  return -1;
}

void CPicMask::Select(int start, int end) {
  const int length = m_display.GetLength();
  m_selStart = std::clamp(start, 0, length);
  m_selEnd = std::clamp(end, 0, length);
  m_site.ShowSelection(m_selStart, m_selEnd);
}

void CPicMask::SetSelection(int start, int end) {
  const int length = m_display.GetLength();
  m_selStart = std::clamp(std::min(start, end), 0, length);
  m_selEnd = std::clamp(std::max(start, end), 0, length);
}

int CPicMask::SetCaret(int pos, int direction, int extra) {
  if (!HasMask()) return pos;
  int p = pos;
  if (direction == -1) {
    p = PrevInputPos(pos);
    if (p >= 0) Select(p, p + extra);
    else if (m_autoAdvance) m_site.FocusPrevControl();
  } else if (direction == 1) {
    p = NextInputPos(pos);
    if (p >= 0) {
      Select(p, p + extra);
    } else if (pos == -1) {
      Select(0, 0);
    } else {
      const int start = IsInput(pos) ? pos + 1 : pos;
      Select(start, start + extra);
    }
  }
  return p >= 0 && p < GetLength() ? p : -1;
}

int CPicMask::FindEndOfData(int pos) const {
  const int length = GetLength();
  if (length == 0) return pos;
  if (pos < 0) pos = 0;
  if (pos >= length) {
    if (IsInput(length - 1) && !IsEmptyAt(length - 1)) return pos;
    pos = length - 1;
  }
  const int at = IsInput(pos) ? pos : NextInputPos(pos);
  if (at >= 0 && at < length && !IsEmptyAt(at)) return pos;
  int p = IsInput(pos) ? pos : PrevInputPos(pos);
  while (p >= 0 && IsEmptyAt(p)) p = PrevInputPos(p);
  if (p > 0) return p + 1;
  if (p == 0) return 1;
  const int first = NextInputPos(-1);
  return first >= 0 ? first : 0;
}

// --- Moving entered characters ---

BOOL CPicMask::PushChar(int pos, char ch, BOOL show) {
  if (pos < 0 || pos >= GetLength() || !IsInput(pos)) return FALSE;
  const int lastInput = PrevInputPos(GetLength());
  int lastEntered = lastInput;
  while (lastEntered >= 0 && IsEmptyAt(lastEntered)) lastEntered = PrevInputPos(lastEntered);
  if (lastEntered == lastInput) return FALSE;  // full
  // Every character from pos to the last entered one moves one input
  // position right; all of them must be accepted where they land.
  CString moved = m_display;
  if (lastEntered >= pos) {
    for (int p = lastEntered; p >= pos; p = PrevInputPos(p)) {
      const int to = NextInputPos(p);
      char c = m_display[p];
      if (c != m_prompt && !IsCharValid(to, c)) return FALSE;
      moved.SetAt(to, c);
      if (p == pos) break;
    }
  }
  moved.SetAt(pos, ch);
  m_display = moved;
  if (show) {
    UpdateWindowText();
    const int next = NextInputPos(pos);
    Select(next >= 0 ? next : pos + 1, next >= 0 ? next : pos + 1);
  }
  return TRUE;
}

void CPicMask::PullChar(int end, int start, BOOL saveUndo) {
  const int length = GetLength();
  if (end < 0 || end > length || length == 0) return;
  if (start < 0) start = 0;
  const int first = start;
  if (IsLiteral(start)) {
    start = NextInputPos(start);
    if (start < 0 || end < start) return;
  }
  if (end == length) end = -1;
  else if (IsLiteral(end)) end = NextInputPos(end);
  if (saveUndo) m_undo = m_display;
  CString pulled = m_display;
  int to = start;
  bool refused = false;
  for (int from = end; from >= 0 && to >= 0; from = NextInputPos(from), to = NextInputPos(to)) {
    char c = m_display[from];
    if (c != m_prompt && !IsCharValid(to, c)) {
      refused = true;
      break;
    }
    pulled.SetAt(to, c);
  }
  if (refused) {
    // The gap stays: only the removed range is emptied.
    const int stop = end < 0 ? length : end;
    for (int p = first; p < stop; ++p)
      if (IsInput(p)) m_display.SetAt(p, m_prompt);
    return;
  }
  for (; to >= 0; to = NextInputPos(to)) pulled.SetAt(to, m_prompt);
  m_display = pulled;
}

int CPicMask::ClearDataRange(int start, int end) {
  if (start < 0 || end < 0 || end > GetLength() || end < start) return -1;
  if (m_insertMode) {
    PullChar(end, start, TRUE);
  } else {
    for (int p = start; p < end; ++p)
      if (IsInput(p)) m_display.SetAt(p, m_prompt);
  }
  return start;
}

// --- Data ---

BOOL CPicMask::PutData(const CString& text, int start, BOOL push, BOOL strict) {
  if (!HasMask() || start < 0 || start >= GetLength()) return FALSE;
  int pos = IsLiteral(start) ? NextInputPos(start) : start;
  for (const char original : text.view()) {
    if (pos < 0 || pos >= GetLength()) break;
    char c = original;
    if (IsCharValid(pos, c)) {
      if (push) PushChar(pos, c, FALSE);
      else m_display.SetAt(pos, c);
      pos = NextInputPos(pos);
    } else if (c == m_prompt && !strict) {
      pos = NextInputPos(pos);
    }
  }
  UpdateWindowText();
  return TRUE;
}

BOOL CPicMask::SetData(const CString& text, int start, BOOL push, BOOL strict) {
  if (!HasMask() || start < 0 || start >= GetLength()) return FALSE;
  if (start == 0) m_display = BuildDisplayText();
  return PutData(text, start, push, strict);
}

CString CPicMask::GetDataText(BOOL trim) const {
  std::string data;
  for (int p = 0; p < GetLength(); ++p)
    if (IsInput(p)) data.push_back(IsEmptyAt(p) ? ' ' : m_display[p]);
  CString result(std::move(data));
  if (trim) result.TrimRight(" ");
  return result;
}

BOOL CPicMask::GetData(char* buffer, int size, BOOL trim) const {
  if (!buffer || size < 1) return FALSE;
  const CString data = GetDataText(trim);
  const auto n = static_cast<std::size_t>(std::min(data.GetLength(), size - 1));
  std::memcpy(buffer, data.GetString(), n);
  buffer[n] = 0;
  return TRUE;
}

void CPicMask::ClearData() {
  m_display = BuildDisplayText();
  UpdateWindowText();
}

// --- Keys and characters ---

void CPicMask::RemoveSelection(int s, int e, bool saveUndo) {
  PullChar(e, s, saveUndo ? TRUE : FALSE);
  UpdateWindowText();
  const int next = NextInputPos(s - 1);
  const int caret = next >= 0 ? next : PrevInputPos(GetLength()) + 1;
  Select(caret, caret);
}

CPicMask::KeyResult CPicMask::KeyDown(UINT vk, bool shift) {
  const int s = m_selStart, e = m_selEnd;
  const bool save = m_lastKey != vk;
  KeyResult result = KeyResult::kHandled;
  switch (vk) {
    case VK_BACK:
      if (m_readOnly) break;
      if (s == e) {
        const int p = PrevInputPos(s);
        if (p >= 0) {
          PullChar(s, p, save);
          UpdateWindowText();
          Select(p, p);
        }
      } else {
        RemoveSelection(s, e, save);
      }
      break;
    case VK_DELETE:
      if (m_readOnly) break;
      if (s == e) {
        if (s >= GetLength()) break;
        const int n = NextInputPos(s);
        PullChar(n < 0 ? s + 1 : n, s, save);
        UpdateWindowText();
        Select(s, s);
      } else {
        RemoveSelection(s, e, save);
      }
      break;
    case VK_END:
      if (shift) Select(s, GetLength());
      else Select(FindEndOfData(GetLength()), FindEndOfData(GetLength()));
      break;
    case VK_HOME:
      if (shift) {
        Select(0, s);
      } else {
        const int first = std::max(NextInputPos(-1), 0);
        Select(first, first);
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (shift) result = KeyResult::kStandard;
      else SetCaret(e, vk == VK_LEFT ? -1 : 1, 0);
      break;
    case VK_INSERT:
      if (m_insertAllowed && !m_readOnly) m_insertMode = !m_insertMode;
      break;
    default:
      result = KeyResult::kIgnored;
      break;
  }
  m_keyHandled = result == KeyResult::kHandled;
  m_lastKey = vk;
  return result;
}

void CPicMask::Char(UINT code) {
  if (m_keyHandled || m_readOnly) {
    m_keyHandled = false;
    return;
  }
  m_lastKey = code;
  if (code < 0x20 || code > 0xFF) return;  // control characters type nothing
  const int s = m_selStart, e = m_selEnd;
  int target = 0;
  if (s == e) {
    target = SetCaret(s - 1, 1, 0);
    if (target < 0) {
      m_site.Beep();
      return;
    }
  } else {
    target = IsLiteral(s) ? SetCaret(s, 1, 0) : s;
    if (target < 0 || target >= e) {
      m_site.Beep();
      return;
    }
  }
  char c = static_cast<char>(code);
  if (!IsCharValid(target, c)) {
    m_site.Beep();
    return;
  }
  if (s != e) PullChar(e, target, TRUE);
  if (!m_insertMode) {
    m_display.SetAt(target, c);
    UpdateWindowText();
    if (SetCaret(target, 1, 0) < 0 && m_autoAdvance) m_site.FocusNextControl();
  } else if (!PushChar(target, c, TRUE)) {
    if (s != e) UpdateWindowText();
    m_site.Beep();
  } else if (m_autoAdvance && NextInputPos(target) < 0) {
    m_site.FocusNextControl();
  }
}

// --- Clipboard and undo ---

CString CPicMask::CopyText() const {
  std::string text;
  for (int p = m_selStart; p < m_selEnd && p < GetLength(); ++p)
    if (IsInput(p)) text.push_back(IsEmptyAt(p) ? ' ' : m_display[p]);
  return CString(std::move(text));
}

BOOL CPicMask::Paste(const CString& text) {
  const int s = m_selStart, e = m_selEnd;
  if (m_readOnly || !HasMask() || s < 0 || s >= GetLength()) return FALSE;
  if (s != e) PullChar(e, s, TRUE);
  m_undo = m_display;
  // Pasting at the start leaves the rest of the field as it is.
  PutData(text, s, TRUE, TRUE);
  const int caret = IsLiteral(s) ? NextInputPos(s) : s;
  Select(caret >= 0 ? caret : s, caret >= 0 ? caret : s);
  return TRUE;
}

CString CPicMask::Cut() {
  const CString copied = CopyText();
  const int s = m_selStart, e = m_selEnd;
  if (!m_readOnly && s != e) {
    const CString before = m_display;
    PullChar(e, s, TRUE);
    if (m_display != before) UpdateWindowText();
    Select(s, s);
  }
  return copied;
}

BOOL CPicMask::Undo() {
  if (m_undo.IsEmpty() || m_readOnly) return FALSE;
  std::swap(m_display, m_undo);
  UpdateWindowText();
  Select(0, GetLength());
  return TRUE;
}
