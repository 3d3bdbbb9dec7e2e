// INI files: parsing into lines, lookups by section and key, and safe saving.
#include "platform/sys/profile_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/base/codepage.h"

namespace tvn::sys {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) { return tvn::codepage::EqualsNoCaseAscii(Trim(a), Trim(b)); }

// The section name of a header line, or nothing.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return line.substr(1);
  return line.substr(1, close - 1);
}

}  // namespace

bool ProfileFile::Load(const std::filesystem::path& file) {
  m_lines.clear();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return true;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Parse(text);
  return true;
}

void ProfileFile::Parse(std::string_view text) {
  m_lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_lines.emplace_back(line);
    start = end + 1;
  }
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    auto name = HeaderName(m_lines[i]);
    if (name && SameName(*name, section)) return i;
  }
  return m_lines.size();
}

std::size_t ProfileFile::FindKey(std::size_t header, std::string_view key, bool& found) const {
  found = false;
  std::size_t i = header + 1;
  for (; i < m_lines.size() && !HeaderName(m_lines[i]); ++i) {
    std::string_view line = m_lines[i];
    std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && SameName(line.substr(0, eq), key)) {
      found = true;
      return i;
    }
  }
  // New keys go after the section's last non-blank line.
  while (i > header + 1 && Trim(m_lines[i - 1]).empty()) --i;
  return i;
}

std::optional<std::string> ProfileFile::GetString(std::string_view section, std::string_view key) const {
  std::size_t header = FindSection(section);
  if (header == m_lines.size()) return std::nullopt;
  bool found = false;
  std::size_t at = FindKey(header, key, found);
  if (!found) return std::nullopt;
  std::string_view value = Trim(std::string_view(m_lines[at]).substr(m_lines[at].find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

void ProfileFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(Trim(key)) + "=" + std::string(value);
  std::size_t header = FindSection(section);
  if (header == m_lines.size()) {
    if (!m_lines.empty() && !Trim(m_lines.back()).empty()) m_lines.emplace_back();
    m_lines.push_back("[" + std::string(Trim(section)) + "]");
    m_lines.push_back(std::move(line));
    return;
  }
  bool found = false;
  std::size_t at = FindKey(header, key, found);
  if (found) {
    m_lines[at] = std::move(line);
  } else {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  }
}

std::string ProfileFile::Text() const {
  std::string text;
  for (const auto& line : m_lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

int ProfileFile::Save(const std::filesystem::path& file) const {
  std::filesystem::path temporary = file;
  temporary += ".tmp~";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return errno ? errno : EIO;
    std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return EIO;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return ec.value();
  }
  return 0;
}

}  // namespace tvn::sys
