// Loading, compacting and querying the setup scripts.
#include "setuptools/common/inf_reader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/base/host_path.h"

namespace {

constexpr std::string_view kPrecompiledMark = "infcmp";
constexpr std::string_view kScriptEnd{"\0\0\xFF", 3};
// Scripts are a few kilobytes; anything this large is not one.
constexpr std::uintmax_t kMaxScriptBytes = 16u * 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether the NUL-terminated text starts with name, without regard to ASCII case.
bool StartsWithNoCase(const char* text, std::string_view name) {
  return tvn::codepage::EqualsNoCaseAscii(std::string_view(text).substr(0, name.size()), name);
}

bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes, UINT& failure) {
  std::error_code ec;
  auto size = std::filesystem::file_size(file, ec);
  std::ifstream in(file, std::ios::binary);
  if (ec || !in) {
    failure = InfMessage::kMissingScript;
    return false;
  }
  if (size > kMaxScriptBytes) {
    failure = InfMessage::kNoMemory;
    return false;
  }
  try {
    bytes.assign(static_cast<std::size_t>(size), '\0');
  } catch (const std::bad_alloc&) {
    failure = InfMessage::kNoMemory;
    return false;
  }
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return true;
}

}  // namespace

UINT CInfReader::Load(const std::filesystem::path& folder) {
  std::string bytes;
  UINT failure = 0;
  const auto script = tvn::path::FindNoCase(folder, "INSTALL.INF", tvn::path::NameEncoding::kUtf8);
  if (!ReadWholeFile(script.value_or(folder / "INSTALL.INF"), bytes, failure)) return failure;
  return LoadBytes(bytes, Encoding::kAnsi, true);
}

UINT CInfReader::LoadLog(const std::filesystem::path& file) {
  std::string bytes;
  UINT failure = 0;
  if (!ReadWholeFile(file, bytes, failure)) return failure;
  return LoadBytes(bytes, Encoding::kUtf8, false);
}

UINT CInfReader::LoadBytes(std::string_view bytes, Encoding encoding, bool allowPrecompiled) {
  m_text.clear();
  m_end = 0;
  try {
    bool precompiled = allowPrecompiled && bytes.size() >= kPrecompiledMark.size() &&
                       tvn::codepage::EqualsNoCaseAscii(bytes.substr(0, kPrecompiledMark.size()), kPrecompiledMark);
    if (precompiled) bytes.remove_prefix(kPrecompiledMark.size());
    if (precompiled) {
      std::string converted;
      if (encoding == Encoding::kAnsi) {
        converted = tvn::codepage::ToUtf8(bytes);
        bytes = converted;
      }
      TakeCompacted(bytes);
    } else {
      Compact(bytes, encoding);
    }
  } catch (const std::bad_alloc&) {
    m_text.clear();
    m_end = 0;
    return InfMessage::kNoMemory;
  }
  return 0;
}

void CInfReader::TakeCompacted(std::string_view body) {
  // A precompiled script is taken as it stands up to its end mark; one
  // without an end mark ends with the file.
  std::size_t end = body.find(kScriptEnd);
  if (end != std::string_view::npos) body = body.substr(0, end);
  m_text.reserve(body.size() + 4);
  m_text.assign(body);
  m_text += '\0';
  m_text += kScriptEnd;
  m_end = m_text.size() - 1;
}

void CInfReader::Compact(std::string_view raw, Encoding encoding) {
  // A DOS end-of-file mark (Ctrl+Z) closing the text is no part of it: taken
  // as a byte, it would stand as one more line of the last section.
  while (!raw.empty() && raw.back() == '\x1A') raw.remove_suffix(1);
  // Sized for the worst case (every byte a three-byte character, or a line
  // end and a header's extra NUL), written through a cursor, then trimmed.
  const std::size_t n = raw.size();
  std::string& text = m_text;
  text.resize(3 * n + 4);
  char* out = text.data();
  const bool ansi = encoding == Encoding::kAnsi;
  bool quoted = false;  // inside double quotes or square brackets
  std::size_t i = 0;
  while (i < n) {
    char c = raw[i];
    switch (c) {
      case '\r': ++i; break;
      case '\n':
        ++i;
        while (i < n && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\r' || raw[i] == '\n')) ++i;
        // A comment line leaves no line behind; a header gets the empty line before it.
        if (i >= n || raw[i] != ';') *out++ = '\0';
        if (i < n && raw[i] == '[') *out++ = '\0';
        quoted = false;
        break;
      case ';':
        // A comment runs to the line end, inside quotes and brackets too.
        while (i < n && raw[i] != '\n' && raw[i] != '\r' && raw[i] != '\0' && raw[i] != '\x1A') ++i;
        break;
      case ' ':
      case '\t':
        if (quoted) *out++ = c;
        ++i;
        break;
      default:
        if (c == '"') quoted = !quoted;
        else if (c == '[') quoted = true;
        else if (c == ']') quoted = false;
        if (ansi && static_cast<unsigned char>(c) >= 0x80) {
          char16_t u = tvn::codepage::ToUnicode(static_cast<unsigned char>(c));
          if (u < 0x800) {
            *out++ = static_cast<char>(0xC0 | (u >> 6));
          } else {
            *out++ = static_cast<char>(0xE0 | (u >> 12));
            *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
          }
          *out++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
          *out++ = c;
        }
        ++i;
        break;
    }
  }
  *out++ = '\0';
  std::size_t used = static_cast<std::size_t>(out - text.data());
  text.resize(used);
  text += kScriptEnd;
  text.shrink_to_fit();
  m_end = text.size() - 1;
}

std::size_t CInfReader::FindSection(std::string_view name) const {
  if (m_text.empty()) return 0;
  const char* p = m_text.data();
  while (!IsEnd(p)) {
    bool hit = p[0] == '[' && StartsWithNoCase(p + 1, name) && p[1 + name.size()] == ']';
    p += std::strlen(p);
    while (!IsEnd(p) && *p == '\0') ++p;
    if (hit) {
      if (IsEnd(p) || *p == '[') return 0;
      return static_cast<std::size_t>(p - m_text.data());
    }
  }
  return 0;
}

const char* CInfReader::GetSection(std::string_view name) const {
  std::size_t offset = FindSection(name);
  return offset ? m_text.data() + offset : nullptr;
}

const char* CInfReader::NextLine(const char* line) const {
  if (!line || IsEnd(line)) return nullptr;
  line += std::strlen(line) + 1;
  if (IsEnd(line) || *line == '\0') return nullptr;
  return line;
}

bool CInfReader::HasSeparator(std::string_view text) {
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (!quoted && (c == ',' || c == '=')) return true;
  }
  return false;
}

bool CInfReader::FindKeyValue(const char* firstLine, std::string_view key, CString& value) const {
  value.Empty();
  for (const char* line = firstLine; line; line = NextLine(line)) {
    if (!StartsWithNoCase(line, key)) continue;
    const char* p = line + key.size();
    while (IsBlank(*p)) ++p;
    if (*p != '=') continue;
    std::string_view rest(p + 1);
    if (!HasSeparator(rest)) {
      auto strip = [](char c) { return IsBlank(c) || c == '"'; };
      std::size_t first = 0;
      while (first < rest.size() && strip(rest[first])) ++first;
      std::size_t last = rest.size();
      while (last > first + 1 && strip(rest[last - 1])) --last;
      rest = first < rest.size() ? rest.substr(first, last - first) : std::string_view();
    }
    value = CString(rest);
    return true;
  }
  return false;
}

bool CInfReader::GetValue(std::string_view section, std::string_view key, CString& value) const {
  value.Empty();
  const char* first = GetSection(section);
  if (!first) return false;
  return FindKeyValue(first, key, value);
}

CString CInfReader::GetString(std::string_view sectionAndKey) const {
  std::size_t dot = sectionAndKey.rfind('.');
  if (dot == std::string_view::npos) return CString();
  CString value;
  GetValue(sectionAndKey.substr(0, dot), sectionAndKey.substr(dot + 1), value);
  return value;
}

CString CInfReader::Field(const char* line, int n, bool keepQuotes) {
  if (!line || n < 0) return CString();
  std::string_view text(line);
  // The first separator, quotes counted but not hiding it.
  std::size_t stop = 0;
  int quotes = 0;
  while (stop < text.size() && text[stop] != ',' && text[stop] != '=') {
    if (text[stop] == '"') ++quotes;
    ++stop;
  }
  bool keyLine = stop < text.size() && text[stop] == '=';
  if (n == 0) return keyLine ? CString(text.substr(0, stop)) : CString();
  std::size_t pos = (keyLine && quotes % 2 == 0) ? stop + 1 : 0;

  bool quoted = false;
  for (int skip = n - 1; skip > 0; ++pos) {
    if (pos >= text.size()) return CString();
    char c = text[pos];
    if (c == '"') quoted = !quoted;
    else if (!quoted && (c == ',' || c == '=')) --skip;
  }
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  std::string field;
  quoted = false;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '"') {
      quoted = !quoted;
      if (!keepQuotes) continue;
    }
    if (!quoted && (c == ',' || c == '=')) break;
    field += c;
  }
  while (!field.empty() && IsBlank(field.back())) field.pop_back();
  return CString(std::move(field));
}

long long CInfReader::CountFiles(const char* firstLine) const {
  constexpr long long kMaxCount = 1'000'000'000;
  long long total = 0;
  for (const char* line = firstLine; line; line = NextLine(line)) {
    CString name = GetField(line, 1);
    name.MakeUpper();
    long long count = 1;
    if (name.Find(".ZIP") > 0) {
      CString five = GetField(line, 5);
      if (!five.IsEmpty()) {
        count = 0;
        for (char c : five.view()) {
          if (c < '0' || c > '9') break;
          count = std::min(kMaxCount, count * 10 + (c - '0'));
        }
      }
    }
    total = std::min(kMaxCount, total + count);
  }
  return total;
}
