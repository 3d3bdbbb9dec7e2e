// CString: 8-bit text in code page 1252, kept byte for byte as courses store it.
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "platform/base/win_types.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit like the framework's
  CString(const char* text, int length) : m_text(text, static_cast<std::size_t>(length < 0 ? 0 : length)) {}
  CString(std::string_view text) : m_text(text) {}  // NOLINT
  CString(const std::string& text) : m_text(text) {}  // NOLINT
  CString(std::string&& text) : m_text(std::move(text)) {}  // NOLINT
  CString(char ch, int repeat) : m_text(static_cast<std::size_t>(repeat < 0 ? 0 : repeat), ch) {}

  // Unicode at the edges: Qt, the clipboard and Linux file names.
  static CString FromUtf8(std::string_view utf8);
  static CString FromUtf16(std::u16string_view utf16);
  std::string ToUtf8() const;
  std::u16string ToUtf16() const;

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  const char* GetString() const { return m_text.c_str(); }
  const std::string& str() const { return m_text; }
  std::string_view view() const { return m_text; }

  // Out-of-range indexes read as 0 and are ignored on writing.
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  void SetAt(int index, char ch);

  // Substrings clamp their arguments to the text, as the framework does.
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(std::string_view chars) const;
  CString SpanExcluding(std::string_view chars) const;

  // Zero-based positions, -1 when absent.
  int Find(char ch, int start = 0) const;
  int Find(std::string_view sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(std::string_view chars) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim() { return TrimRight().TrimLeft(); }
  CString& TrimLeft(std::string_view chars);
  CString& TrimRight(std::string_view chars);

  int Replace(char from, char to);
  int Replace(std::string_view from, std::string_view to);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, std::string_view text);
  int Delete(int index, int count = 1);

  int Compare(std::string_view other) const;
  int CompareNoCase(std::string_view other) const;

  CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
  CString& operator+=(std::string_view other) { m_text += other; return *this; }
  CString& operator+=(const char* other) { m_text += other ? other : ""; return *this; }
  CString& operator+=(char ch) { m_text += ch; return *this; }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
  friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }
  friend CString operator+(char a, const CString& b) { return CString(std::string(1, a) + b.m_text); }

  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_text <=> b.m_text; }

 private:
  std::string m_text;
};
