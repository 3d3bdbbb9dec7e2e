// The registry's root files: reading and writing their text, and changing one value under the registry's lock.
#include "platform/sys/registry_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/sys/windows_locations.h"

namespace tvn::sys {
namespace {

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// "a\\b\\\\c\\" -> "a\b\c": the path of a key without empty parts.
std::string CleanKeyPath(std::string_view key) {
  std::string out;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find('\\', start);
    if (end == std::string_view::npos) end = key.size();
    if (end > start) {
      if (!out.empty()) out += '\\';
      out.append(key.substr(start, end - start));
    }
    start = end + 1;
  }
  return out;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  out += '"';
  return out;
}

// A quoted text starting at text[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = pos + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      pos = i + 1;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      default: return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<std::uint32_t> ReadDword(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(d);
  }
  return value;
}

const char* kRootFiles[] = {"HKEY_CURRENT_USER.reg", "HKEY_LOCAL_MACHINE.reg", "HKEY_CLASSES_ROOT.reg"};

// The registry's lock: an exclusive lock on one file of the folder, held while alive.
class RegistryLock {
 public:
  explicit RegistryLock(const std::filesystem::path& folder) {
    m_fd = ::open((folder / ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    while (::flock(m_fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(m_fd);
        m_fd = -1;
        return;
      }
    }
  }
  ~RegistryLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
  }
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;
  bool Held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

// The file's text; nothing when it exists and cannot be read. A missing file is empty.
std::optional<std::string> ReadText(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return ec ? std::nullopt : std::optional<std::string>(std::string());
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes a temporary file beside the target, flushed to disk, and renames it over the target.
bool WriteAtomically(const std::filesystem::path& file, const std::string& text) {
  std::string pattern = (file.parent_path() / ".reg.XXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t written = 0;
  while (ok && written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else written += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(pattern.c_str(), file.c_str()) != 0) ok = false;
  if (!ok) ::unlink(pattern.c_str());
  return ok;
}

}  // namespace

std::filesystem::path RegistryFolder() { return XdgConfigHome() / "tavelon" / "registry"; }

std::filesystem::path RegistryFileOf(RegistryRoot root) { return RegistryFolder() / kRootFiles[static_cast<int>(root)]; }

RegistryFile::Key* RegistryFile::FindKey(std::string_view path) {
  for (Key& key : m_keys) {
    if (codepage::EqualsNoCaseAscii(key.path, path)) return &key;
  }
  return nullptr;
}

const RegistryFile::Key* RegistryFile::FindKey(std::string_view path) const {
  return const_cast<RegistryFile*>(this)->FindKey(path);
}

bool RegistryFile::Parse(std::string_view text, std::size_t* errorLine) {
  m_keys.clear();
  Key* current = nullptr;
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  auto fail = [&] {
    m_keys.clear();
    if (errorLine) *errorLine = lineNumber;
    return false;
  };
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimEnd(text.substr(start, end - start));
    start = end + 1;
    ++lineNumber;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.size() < 2 || line.back() != ']') return fail();
      const std::string path = CleanKeyPath(line.substr(1, line.size() - 2));
      if (path.empty()) return fail();
      current = FindKey(path);
      if (!current) {
        m_keys.push_back({path, {}});
        current = &m_keys.back();
      }
      continue;
    }
    if (!current) return fail();
    std::size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
      pos = 1;
    } else {
      auto quoted = ReadQuoted(line, pos);
      if (!quoted) return fail();
      name = std::move(*quoted);
    }
    if (pos >= line.size() || line[pos] != '=') return fail();
    ++pos;
    RegistryValue value;
    if (line.substr(pos, 6) == "dword:") {
      auto number = ReadDword(line.substr(pos + 6));
      if (!number) return fail();
      value = *number;
    } else {
      auto quoted = ReadQuoted(line, pos);
      if (!quoted || pos != line.size()) return fail();
      value = std::move(*quoted);
    }
    bool replaced = false;
    for (Value& v : current->values) {
      if (codepage::EqualsNoCaseAscii(v.name, name)) {
        v.value = value;
        replaced = true;
        break;
      }
    }
    if (!replaced) current->values.push_back({std::move(name), std::move(value)});
  }
  return true;
}

std::optional<RegistryValue> RegistryFile::Get(std::string_view key, std::string_view name) const {
  const Key* k = FindKey(CleanKeyPath(key));
  if (!k) return std::nullopt;
  for (const Value& v : k->values) {
    if (codepage::EqualsNoCaseAscii(v.name, name)) return v.value;
  }
  return std::nullopt;
}

bool RegistryFile::Set(std::string_view key, std::string_view name, const RegistryValue& value) {
  const std::string path = CleanKeyPath(key);
  if (path.empty()) return false;
  Key* k = FindKey(path);
  if (!k) {
    m_keys.push_back({path, {}});
    k = &m_keys.back();
  }
  for (Value& v : k->values) {
    if (codepage::EqualsNoCaseAscii(v.name, name)) {
      v.value = value;
      return true;
    }
  }
  k->values.push_back({std::string(name), value});
  return true;
}

std::string RegistryFile::Text() const {
  std::string text;
  for (const Key& key : m_keys) {
    if (!text.empty()) text += '\n';
    // A ']' or line end inside a key path would not read back: such keys are never made.
    text += '[' + key.path + "]\n";
    for (const Value& v : key.values) {
      text += v.name.empty() ? std::string("@") : Quote(v.name);
      text += '=';
      if (const auto* number = std::get_if<std::uint32_t>(&v.value)) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(*number));
        text += digits;
      } else {
        text += Quote(std::get<std::string>(v.value));
      }
      text += '\n';
    }
  }
  return text;
}

bool WriteRegistryValue(RegistryRoot root, std::string_view key, std::string_view name, const RegistryValue& value) {
  // A key path with a line end or a ']' could not be read back as one key.
  if (key.find_first_of("\r\n]") != std::string_view::npos || key.empty() || key.front() == '[') return false;
  const std::filesystem::path folder = RegistryFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return false;
  RegistryLock lock(folder);
  if (!lock.Held()) return false;
  const std::filesystem::path file = RegistryFileOf(root);
  auto text = ReadText(file);
  if (!text) return false;
  RegistryFile registry;
  if (!registry.Parse(*text)) return false;
  if (!registry.Set(key, name, value)) return false;
  return WriteAtomically(file, registry.Text());
}

std::optional<RegistryValue> ReadRegistryValue(RegistryRoot root, std::string_view key, std::string_view name) {
  auto text = ReadText(RegistryFileOf(root));
  if (!text) return std::nullopt;
  RegistryFile registry;
  if (!registry.Parse(*text)) return std::nullopt;
  return registry.Get(key, name);
}

}  // namespace tvn::sys
