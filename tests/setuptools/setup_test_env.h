// Test helpers for the setup tools: a home folder of its own and scripted message boxes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/user/message_box_types.h"
#include "platform/sys/windows_locations.h"
#include "setuptools/common/message_boxes.h"
#include "tests/support/temp_dir.h"

namespace tvn::testing {

// Points HOME at a fresh folder (or a folder of that name inside one) with
// the XDG variables unset, for one test.
class SetupHome {
 public:
  explicit SetupHome(const std::string& folder = {}) : m_path(folder.empty() ? m_home.path() : m_home / folder) {
    std::filesystem::create_directories(m_path);
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      const char* value = std::getenv(name);
      m_saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("HOME", m_path.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
  }
  ~SetupHome() {
    const char* names[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
    for (std::size_t i = 0; i < 3; ++i) {
      if (m_saved[i]) ::setenv(names[i], m_saved[i]->c_str(), 1);
      else ::unsetenv(names[i]);
    }
  }
  const std::filesystem::path& path() const { return m_path; }
  tvn::sys::WindowsLocations Locations() const { return tvn::sys::GetWindowsLocations(); }

 private:
  TempDir m_home;
  std::filesystem::path m_path;
  std::vector<std::optional<std::string>> m_saved;
};

// Answers boxes from a list (IDOK when it runs out) and records what they said.
class ScriptedBoxes : public IMessageBoxes {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    UINT type;
  };
  int Show(const CString& text, const CString& caption, UINT type) override {
    shown.push_back({text.str(), caption.str(), type});
    if (answers.empty()) return IDOK;
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::vector<int> answers;
  std::vector<Shown> shown;
};

}  // namespace tvn::testing
