// The registry kept in files: one text file per root under $XDG_CONFIG_HOME/tavelon/registry/, read, changed and written back atomically under a lock.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tvn::sys {

enum class RegistryRoot { kCurrentUser, kLocalMachine, kClassesRoot };

// A value is text or a 32-bit number.
using RegistryValue = std::variant<std::string, std::uint32_t>;

// The folder of the root files and the file of one root ("HKEY_CURRENT_USER.reg" ...).
std::filesystem::path RegistryFolder();
std::filesystem::path RegistryFileOf(RegistryRoot root);

// The text of one root file: "[Sub\Key]" lines, each followed by its values,
// `"name"="text"` or `"name"=dword:0000000c` ('@' for the unnamed value).
// Inside quotes '\' and '"' are escaped with a '\', as are CR and LF ("\r", "\n").
// Key and value names match without regard to (ASCII) case.
class RegistryFile {
 public:
  // Blank lines and lines starting with ';' or '#' are passed over; any other
  // line that is not a key header or a value of a key fails the whole read
  // (the line's number in errorLine), so a damaged file is never rewritten.
  bool Parse(std::string_view text, std::size_t* errorLine = nullptr);

  std::optional<RegistryValue> Get(std::string_view key, std::string_view name) const;
  // Sets the value, making the key when it is missing; the key's path is
  // cleaned up (empty parts and outer backslashes dropped). False for an empty key.
  bool Set(std::string_view key, std::string_view name, const RegistryValue& value);
  std::size_t KeyCount() const { return m_keys.size(); }

  // The whole text, lines ended with LF.
  std::string Text() const;

 private:
  struct Value {
    std::string name;
    RegistryValue value;
  };
  struct Key {
    std::string path;
    std::vector<Value> values;
  };
  Key* FindKey(std::string_view path);
  const Key* FindKey(std::string_view path) const;

  std::vector<Key> m_keys;
};

// Sets one value in the root's file: takes the registry's lock, reads the
// file (a missing one is empty), changes it and renames a fully written
// temporary copy over it. False when the folder cannot be made, the file
// cannot be read or is damaged, or the write fails; the file is then as it was.
bool WriteRegistryValue(RegistryRoot root, std::string_view key, std::string_view name, const RegistryValue& value);
// The value as the root's file holds it now; nothing when it or the file is missing or damaged.
std::optional<RegistryValue> ReadRegistryValue(RegistryRoot root, std::string_view key, std::string_view name);

}  // namespace tvn::sys
