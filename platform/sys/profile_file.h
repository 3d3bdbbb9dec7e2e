// Profile (INI) files read and written with Windows' rules.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::sys {

// The lines of one INI file. Sections and keys match without regard to
// (ASCII) case; blanks around names and values do not count; every other
// line (comments, blank lines, text before the first section) is kept as it
// was. Text is bytes: no conversion is made.
class ProfileFile {
 public:
  // Reads the file; a missing file is an empty profile. False only when a
  // file that exists cannot be read.
  bool Load(const std::filesystem::path& file);
  void Parse(std::string_view text);

  // The value of the first matching key of the first matching section; a
  // value in double quotes loses them. Nothing when either is missing.
  std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
  // Replaces the key's value, adding the key at the end of its section, or
  // the section at the end of the file.
  void SetString(std::string_view section, std::string_view key, std::string_view value);

  // The whole text, lines ended with CR LF.
  std::string Text() const;
  // Writes the text to a temporary file beside the target and renames it
  // over the target, so a reader never sees half a file. 0 or the error number.
  int Save(const std::filesystem::path& file) const;

 private:
  // The index of the header line of the section, or the line count.
  std::size_t FindSection(std::string_view section) const;
  // The index of the key's line inside the section starting after header, or the section's end.
  std::size_t FindKey(std::size_t header, std::string_view key, bool& found) const;

  std::vector<std::string> m_lines;
};

}  // namespace tvn::sys
