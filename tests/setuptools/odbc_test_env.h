// unixODBC's folders for a test process: the installer library takes ODBCSYSINI and ODBCINI once a process, so every test shares one pair.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "platform/sys/dynamic_library.h"
#include "platform/sys/odbc_installer.h"

namespace tvn::testing {

class OdbcFolders {
 public:
  // The process's folders, made and named in the environment on first use;
  // null when unixODBC's installer library is not installed.
  static const OdbcFolders* Get() {
    static const OdbcFolders folders;
    return folders.m_available ? &folders : nullptr;
  }
  // A fresh odbcinst.ini with the text, and an empty user odbc.ini and mark file.
  void Reset(const std::string& odbcinst) const {
    std::ofstream(m_folder / "odbcinst.ini", std::ios::trunc) << odbcinst;
    std::ofstream(UserIni(), std::ios::trunc).flush();
    std::ofstream(Marks(), std::ios::trunc).flush();
  }
  std::filesystem::path UserIni() const { return m_folder / "user.ini"; }
  // Where the test setup library records its calls.
  std::filesystem::path Marks() const { return m_folder / "mark.txt"; }

 private:
  OdbcFolders() {
    std::random_device random;
    m_folder = std::filesystem::temp_directory_path() / ("tvn-odbc-" + std::to_string(random()));
    std::filesystem::create_directories(m_folder);
    ::setenv("ODBCSYSINI", m_folder.c_str(), 1);
    // The user's odbc.ini: unixODBC takes the password file's home, not $HOME.
    ::setenv("ODBCINI", UserIni().c_str(), 1);
    ::setenv("TVN_TEST_ODBC_MARK", Marks().c_str(), 1);
    CDynamicLibrary probe;
    m_available = probe.Load(CString(tvn::sys::kOdbcInstallerLibrary));
  }
  ~OdbcFolders() {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  std::filesystem::path m_folder;
  bool m_available = false;
};

}  // namespace tvn::testing
