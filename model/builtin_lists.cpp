// List texts and the built-in functions on their elements.
#include "model/builtin_lists.h"

#include <optional>
#include <utility>

#include "model/builtin_functions.h"
#include "model/value_conversion.h"

namespace tvn::lists {
namespace {

struct Element {
  std::size_t start;
  std::size_t end;   // just before the separator
  std::size_t next;  // just after the separator
};

// Walks the elements of a list text one by one.
class ElementScanner {
 public:
  ElementScanner(std::string_view text, std::string_view separator)
      : m_text(text), m_sep(EffectiveSeparator(separator)) {}

  bool Next(Element& e) {
    if (m_pos >= m_text.size()) return false;
    e.start = m_pos;
    while (m_pos < m_text.size() && !IsSeparator(m_text[m_pos])) ++m_pos;
    e.end = m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == m_sep[0]) ++m_pos;
    if (m_sep.size() > 1 && m_pos < m_text.size() && m_text[m_pos] == m_sep[1]) ++m_pos;
    e.next = m_pos;
    return true;
  }

 private:
  bool IsSeparator(char c) const { return c == m_sep[0] || (m_sep.size() > 1 && c == m_sep[1]); }

  std::string_view m_text;
  std::string_view m_sep;
  std::size_t m_pos = 0;
};

// Where the element numbered index starts: the start of element index, else
// that of the last element, or the end of the text when a separator ends it.
// Gives the element found (or an empty one at the end).
Element LocateForEdit(std::string_view text, DWORD index, std::string_view separator) {
  ElementScanner scan(text, separator);
  Element e{0, 0, 0};
  for (DWORD i = 1; scan.Next(e); ++i) {
    if (i == index) return e;
    if (e.next >= text.size()) {
      if (e.next > e.end) return Element{text.size(), text.size(), text.size()};
      return e;
    }
  }
  return Element{text.size(), text.size(), text.size()};
}

// Where elements first..last lie: from the start of the first to the end of
// the last, or with withSeparator to where the element after the last begins.
std::optional<std::pair<std::size_t, std::size_t>> FindElementSpan(std::string_view text, DWORD first, DWORD last,
                                                                   std::string_view separator, bool withSeparator) {
  ElementScanner scan(text, separator);
  Element e{};
  std::optional<std::pair<std::size_t, std::size_t>> span;
  for (DWORD i = 1; scan.Next(e); ++i) {
    std::size_t end = withSeparator ? e.next : e.end;
    if (i == first) {
      span.emplace(e.start, end);
      if (last <= first) break;
    } else if (span && i == last) {
      span->second = end;
      break;
    }
  }
  return span;
}

}  // namespace

std::string_view EffectiveSeparator(std::string_view separator) {
  if (separator.empty()) return "\r\n";
  return separator.substr(0, 2);
}

CString GetElementSpan(std::string_view text, DWORD first, DWORD last, std::string_view separator) {
  auto span = FindElementSpan(text, first, last, separator, false);
  return span ? CString(text.substr(span->first, span->second - span->first)) : CString();
}

DWORD FindElementIndex(std::string_view text, std::string_view element, std::string_view separator) {
  ElementScanner scan(text, separator);
  Element e{};
  for (DWORD i = 1; scan.Next(e); ++i) {
    if (text.substr(e.start, e.end - e.start) == element) return i;
  }
  return 0;
}

CString DeleteElementSpan(std::string_view text, DWORD first, DWORD last, std::string_view separator) {
  auto span = FindElementSpan(text, first, last, separator, true);
  if (!span) return CString(text);
  std::size_t start = span->first;
  std::size_t end = span->second;
  std::string out(text.substr(0, start));
  out.append(text.substr(end));
  return CString(std::move(out));
}

CString ReplaceElementAt(std::string_view text, DWORD index, std::string_view element, std::string_view separator) {
  Element e = LocateForEdit(text, index, separator);
  std::string out(text.substr(0, e.start));
  out.append(element);
  out.append(text.substr(e.end));
  return CString(std::move(out));
}

CString InsertElementAt(std::string_view text, DWORD index, std::string_view element, std::string_view separator) {
  Element e = LocateForEdit(text, index, separator);
  std::string out(text.substr(0, e.start));
  out.append(element);
  out.append(EffectiveSeparator(separator));
  out.append(text.substr(e.start));
  return CString(std::move(out));
}

DWORD CountElements(std::string_view text, std::string_view separator) {
  ElementScanner scan(text, separator);
  Element e{};
  DWORD count = 0;
  while (scan.Next(e)) ++count;
  return count;
}

std::vector<std::string_view> SplitElements(std::string_view text, std::string_view separator) {
  ElementScanner scan(text, separator);
  Element e{};
  std::vector<std::string_view> elements;
  while (scan.Next(e)) elements.push_back(text.substr(e.start, e.end - e.start));
  return elements;
}

}  // namespace tvn::lists

namespace tvn::builtins {
namespace {

// Element numbers are compared truncated, then unsigned.
DWORD Number(const CVariable& v) { return static_cast<DWORD>(values::TruncateToLong(v.GetReal())); }

}  // namespace

void GetElement(CBuiltinCall& call) {
  call.SetText(lists::GetElementSpan(call.Arg(1).GetString().view(), Number(call.Arg(2)), Number(call.Arg(3)),
                                     call.Arg(4).GetString().view()));
}

void FindElement(CBuiltinCall& call) {
  call.SetNumber(lists::FindElementIndex(call.Arg(1).GetString().view(), call.Arg(2).GetString().view(),
                                         call.Arg(3).GetString().view()));
}

void DeleteElement(CBuiltinCall& call) {
  call.SetText(lists::DeleteElementSpan(call.Arg(1).GetString().view(), Number(call.Arg(2)), Number(call.Arg(3)),
                                        call.Arg(4).GetString().view()));
}

void ReplaceElement(CBuiltinCall& call) {
  call.SetText(lists::ReplaceElementAt(call.Arg(1).GetString().view(), Number(call.Arg(2)),
                                       call.Arg(3).GetString().view(), call.Arg(4).GetString().view()));
}

void InsertElement(CBuiltinCall& call) {
  call.SetText(lists::InsertElementAt(call.Arg(1).GetString().view(), Number(call.Arg(2)),
                                      call.Arg(3).GetString().view(), call.Arg(4).GetString().view()));
}

void ElementCount(CBuiltinCall& call) {
  call.SetNumber(lists::CountElements(call.Arg(1).GetString().view(), call.Arg(2).GetString().view()));
}

}  // namespace tvn::builtins
