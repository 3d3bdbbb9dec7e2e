// CInfReader: the one reader of the setup tools' script dialect (INSTALL.INF, UNINSTAL.INF).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

namespace InfMessage {
constexpr UINT kMissingScript = 401;  // the script cannot be opened
constexpr UINT kNoMemory = 402;       // the script does not fit in memory
}  // namespace InfMessage

// The script is compacted once into lines that each end with a NUL; a section
// header is preceded by an empty line, so a section's lines run up to the
// next empty line; the whole ends with NUL, NUL, 0xFF. Lookups scan it from
// the start. Text is held as UTF-8: INSTALL.INF is read in code page 1252 and
// converted, UNINSTAL.INF is written in UTF-8 and read as it is.
class CInfReader {
 public:
  // How the bytes of a script are encoded.
  enum class Encoding { kAnsi, kUtf8 };

  // INSTALL.INF of the folder (its name matched without regard to case),
  // precompiled or text. 0, or the id of the message that says why not.
  UINT Load(const std::filesystem::path& folder);
  // The uninstaller's form: the file named, always compacted, UTF-8.
  UINT LoadLog(const std::filesystem::path& file);
  // A script already in memory; with allowPrecompiled the "infcmp" form is
  // taken as it stands. 0 or kNoMemory.
  UINT LoadBytes(std::string_view bytes, Encoding encoding, bool allowPrecompiled);

  bool IsLoaded() const { return !m_text.empty(); }
  // The compacted script (tests and benchmarks).
  std::string_view Compacted() const { return m_text; }

  // The offset of a section's first line; 0 when it is missing or empty.
  std::size_t FindSection(std::string_view name) const;
  // The first line of a section, or null.
  const char* GetSection(std::string_view name) const;
  // The next line of the same section, or null at the section's end.
  const char* NextLine(const char* line) const;

  // The value of the first line of the section (from its first line) whose
  // key matches without regard to case. A value holding a ',' or '=' outside
  // quotes is a field list and kept whole; any other loses its outer blanks
  // and quotes. False and an empty value when no line matches.
  bool FindKeyValue(const char* firstLine, std::string_view key, CString& value) const;
  bool GetValue(std::string_view section, std::string_view key, CString& value) const;
  // "section.key", split at the last '.'; empty when missing.
  CString GetString(std::string_view sectionAndKey) const;

  // Field n of a line, counted from 1 (after the '=' of a key line); field 0
  // is the key of a key line. Quotes are dropped; empty when absent.
  static CString GetField(const char* line, int n) { return Field(line, n, false); }
  // The same field with its double quotes kept.
  static CString GetRawField(const char* line, int n) { return Field(line, n, true); }
  // Whether the text holds a ',' or '=' outside double quotes.
  static bool HasSeparator(std::string_view text);
  // The number of files a file-list section installs: a ".ZIP" entry counts
  // its field 5 (1 when empty), every other line 1.
  long long CountFiles(const char* firstLine) const;

 private:
  static CString Field(const char* line, int n, bool keepQuotes);
  bool IsEnd(const char* p) const { return p >= m_text.data() + m_end; }
  void Compact(std::string_view raw, Encoding encoding);
  void TakeCompacted(std::string_view body);

  std::string m_text;     // compacted lines, then NUL NUL 0xFF
  std::size_t m_end = 0;  // offset of the final 0xFF: the script ends there
};
