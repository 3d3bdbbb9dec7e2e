// CString operations with the framework's clamping rules.
#include "platform/base/cstring.h"

#include <algorithm>

#include "platform/base/codepage.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\r\v\f";

std::size_t Clamp(int value, std::size_t max) {
  if (value < 0) return 0;
  return std::min(static_cast<std::size_t>(value), max);
}

}  // namespace

CString CString::FromUtf8(std::string_view utf8) { return CString(tvn::codepage::FromUtf8(utf8)); }
CString CString::FromUtf16(std::u16string_view utf16) { return CString(tvn::codepage::FromUtf16(utf16)); }
std::string CString::ToUtf8() const { return tvn::codepage::ToUtf8(m_text); }
std::u16string CString::ToUtf16() const { return tvn::codepage::ToUtf16(m_text); }

char CString::GetAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_text.size()) return 0;
  return m_text[static_cast<std::size_t>(index)];
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_text.size()) return;
  m_text[static_cast<std::size_t>(index)] = ch;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  std::size_t start = Clamp(first, m_text.size());
  std::size_t n = Clamp(count, m_text.size() - start);
  return CString(m_text.substr(start, n));
}

CString CString::Left(int count) const { return CString(m_text.substr(0, Clamp(count, m_text.size()))); }

CString CString::Right(int count) const {
  std::size_t n = Clamp(count, m_text.size());
  return CString(m_text.substr(m_text.size() - n));
}

CString CString::SpanIncluding(std::string_view chars) const {
  std::size_t n = m_text.find_first_not_of(chars);
  return CString(m_text.substr(0, n == std::string::npos ? m_text.size() : n));
}

CString CString::SpanExcluding(std::string_view chars) const {
  std::size_t n = m_text.find_first_of(chars);
  return CString(m_text.substr(0, n == std::string::npos ? m_text.size() : n));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || static_cast<std::size_t>(start) >= m_text.size()) return -1;
  std::size_t pos = m_text.find(ch, static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(std::string_view sub, int start) const {
  if (start < 0 || static_cast<std::size_t>(start) > m_text.size()) return -1;
  std::size_t pos = m_text.find(sub, static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  std::size_t pos = m_text.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(std::string_view chars) const {
  std::size_t pos = m_text.find_first_of(chars);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeUpper() {
  m_text = tvn::codepage::Upper(m_text);
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : m_text) c = static_cast<char>(tvn::codepage::ToLower(static_cast<unsigned char>(c)));
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_text.begin(), m_text.end());
  return *this;
}

CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }
CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }

CString& CString::TrimLeft(std::string_view chars) {
  std::size_t n = m_text.find_first_not_of(chars);
  m_text.erase(0, n == std::string::npos ? m_text.size() : n);
  return *this;
}

CString& CString::TrimRight(std::string_view chars) {
  std::size_t n = m_text.find_last_not_of(chars);
  m_text.erase(n == std::string::npos ? 0 : n + 1);
  return *this;
}

int CString::Replace(char from, char to) {
  int count = 0;
  for (char& c : m_text) {
    if (c == from) {
      c = to;
      ++count;
    }
  }
  return count;
}

int CString::Replace(std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  int count = 0;
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = m_text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(m_text, pos, hit - pos);
    out += to;
    ++count;
  }
  if (count == 0) return 0;
  out.append(m_text, pos, std::string::npos);
  m_text = std::move(out);
  return count;
}

int CString::Remove(char ch) {
  auto end = std::remove(m_text.begin(), m_text.end(), ch);
  int removed = static_cast<int>(m_text.end() - end);
  m_text.erase(end, m_text.end());
  return removed;
}

int CString::Insert(int index, char ch) { return Insert(index, std::string_view(&ch, 1)); }

int CString::Insert(int index, std::string_view text) {
  m_text.insert(Clamp(index, m_text.size()), text);
  return GetLength();
}

int CString::Delete(int index, int count) {
  std::size_t start = Clamp(index, m_text.size());
  m_text.erase(start, Clamp(count, m_text.size() - start));
  return GetLength();
}

int CString::Compare(std::string_view other) const {
  int r = m_text.compare(other);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CString::CompareNoCase(std::string_view other) const { return tvn::codepage::CompareNoCase(m_text, other); }
