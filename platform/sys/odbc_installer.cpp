// Adding ODBC data sources through libodbcinst: SQLConfigDataSource, and the odbc.ini entries for drivers without a setup library.
#include "platform/sys/odbc_installer.h"

#include <dlfcn.h>

#include <vector>

#include "platform/base/codepage.h"

namespace tvn::sys {
namespace {

// The installer's entry points, declared here as the library exports them.
constexpr unsigned short ODBC_ADD_DSN = 1;
using ConfigDataSourceFn = int (*)(void* parent, unsigned short request, const char* driver, const char* attributes);
using GetInstalledDriversFn = int (*)(char* buffer, unsigned short size, unsigned short* written);
using GetPrivateProfileStringFn = int (*)(const char* section, const char* entry, const char* fallback, char* buffer,
                                          int size, const char* file);
using WriteDsnToIniFn = int (*)(const char* dsn, const char* driver);
using WritePrivateProfileStringFn = int (*)(const char* section, const char* entry, const char* value, const char* file);

// The NUL-separated texts of a list, up to its double NUL (or its end).
std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('\0', start);
    if (end == std::string_view::npos) end = list.size();
    if (end == start) break;
    items.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

// The installer library, loaded by name through the system's search. It is
// never unloaded from the process (RTLD_NODELETE): the installer keeps caches
// of the ini files for its whole life, and unloading it would strand them.
class Installer {
 public:
  explicit Installer(const std::string& name) {
    m_library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!m_library) return;
    m_config = reinterpret_cast<ConfigDataSourceFn>(::dlsym(m_library, "SQLConfigDataSource"));
    m_drivers = reinterpret_cast<GetInstalledDriversFn>(::dlsym(m_library, "SQLGetInstalledDrivers"));
    m_getString = reinterpret_cast<GetPrivateProfileStringFn>(::dlsym(m_library, "SQLGetPrivateProfileString"));
    m_writeDsn = reinterpret_cast<WriteDsnToIniFn>(::dlsym(m_library, "SQLWriteDSNToIni"));
    m_writeString = reinterpret_cast<WritePrivateProfileStringFn>(::dlsym(m_library, "SQLWritePrivateProfileString"));
  }
  ~Installer() {
    if (m_library) ::dlclose(m_library);
  }
  Installer(const Installer&) = delete;
  Installer& operator=(const Installer&) = delete;

  bool CanConfigure() const { return m_config != nullptr; }
  bool Configure(const std::string& driver, const std::string& attributes) const {
    return m_config(nullptr, ODBC_ADD_DSN, driver.c_str(), attributes.c_str()) != 0;
  }

  // The driver's name as odbcinst.ini spells it; empty when it is not registered.
  std::string RegisteredDriver(std::string_view driver) const {
    if (!m_drivers) return {};
    std::vector<char> buffer(64 * 1024, '\0');
    unsigned short written = 0;
    if (!m_drivers(buffer.data(), static_cast<unsigned short>(buffer.size() - 2), &written)) return {};
    for (const std::string& name : SplitList(std::string_view(buffer.data(), buffer.size()))) {
      if (codepage::EqualsNoCaseAscii(name, driver)) return name;
    }
    return {};
  }

  // The driver's setup library ("Setup", else "Setup64"); empty for none.
  std::string SetupLibrary(const std::string& driver) const {
    if (!m_getString) return {};
    for (const char* key : {"Setup", "Setup64"}) {
      char value[4096] = {};
      m_getString(driver.c_str(), key, "", value, static_cast<int>(sizeof value), "ODBCINST.INI");
      if (value[0]) return value;
    }
    return {};
  }

  // What a setup library does for a plain source: its section in odbc.ini with the attributes.
  bool WriteSource(const std::string& driver, const std::vector<std::string>& attributes) const {
    if (!m_writeDsn || !m_writeString) return false;
    std::string dsn;
    for (const std::string& item : attributes) {
      const std::size_t eq = item.find('=');
      if (eq != std::string::npos && codepage::EqualsNoCaseAscii(item.substr(0, eq), "DSN")) dsn = item.substr(eq + 1);
    }
    if (dsn.empty()) return false;
    if (!m_writeDsn(dsn.c_str(), driver.c_str())) return false;
    for (const std::string& item : attributes) {
      const std::size_t eq = item.find('=');
      if (eq == std::string::npos || eq == 0) continue;
      const std::string key = item.substr(0, eq);
      if (codepage::EqualsNoCaseAscii(key, "DSN") || codepage::EqualsNoCaseAscii(key, "Driver")) continue;
      if (!m_writeString(dsn.c_str(), key.c_str(), item.substr(eq + 1).c_str(), "ODBC.INI")) return false;
    }
    return true;
  }

 private:
  void* m_library = nullptr;
  ConfigDataSourceFn m_config = nullptr;
  GetInstalledDriversFn m_drivers = nullptr;
  GetPrivateProfileStringFn m_getString = nullptr;
  WriteDsnToIniFn m_writeDsn = nullptr;
  WritePrivateProfileStringFn m_writeString = nullptr;
};

}  // namespace

bool ConfigDataSource(std::string_view driver, std::string_view attributes, const std::string& library) {
  Installer installer(library);
  if (!installer.CanConfigure()) return false;
  // The list handed on always ends in two NULs, whatever the caller gave.
  std::string list(attributes);
  list.append(2, '\0');
  const std::string driverName(driver);
  if (installer.Configure(driverName, list)) return true;
  const std::string registered = installer.RegisteredDriver(driver);
  if (registered.empty() || !installer.SetupLibrary(registered).empty()) return false;
  return installer.WriteSource(registered, SplitList(list));
}

}  // namespace tvn::sys
