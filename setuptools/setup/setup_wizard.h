// ISetupWizard: what the step sequence of setup needs of its dialogs (Startup, terms, options, Directory, copying, timed message).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/cstring.h"

// One optional component of the options dialog: a line "combobox = label,
// checked, section, size" of [custom.dialog].
struct SetupComponent {
  CString label;
  CString section;       // the file-list section it installs
  std::int32_t size = 0;  // bytes; a negative size counts as 0
  bool selected = false;
};

// Dialog results: 1 Continue (OK, Accept), 2 Exit after the exit question, 402 Back.
namespace WizardResult {
inline constexpr int kContinue = 1;
inline constexpr int kExit = 2;
inline constexpr int kBack = 402;
}  // namespace WizardResult

class ISetupWizard {
 public:
  virtual ~ISetupWizard() = default;
  // Startup (26): 1 or 2.
  virtual int Startup() = 0;
  // Terms (401) showing the text: 1, 2 or 402.
  virtual int Terms(const CString& text) = 0;
  // Options (30): on Continue the selected flags take the check boxes' state;
  // Back and Exit leave them as they were.
  virtual int Options(std::vector<SetupComponent>& components) = 0;
  // Directory (11): on Continue the edited folder replaces directory; Back and
  // Exit leave it as it was.
  virtual int Directory(CString& directory) = 0;
  // The copying dialog (400) from before the copy to after it.
  virtual void ShowCopying() = 0;
  virtual void CloseCopying() = 0;
  // The timed message (291): 1 after the time or OK, 2 for Escape.
  virtual int ShowTimedMessage(const CString& text, int seconds) = 0;
};
