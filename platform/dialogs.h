// The modal dialogs behind the message service and the common file dialog. The
// loop holds one implementation: Qt's in the program, a scripted one in tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/cstring.h"
#include "platform/message_box_types.h"
#include "platform/win_types.h"

class CWnd;

// Open-file dialog flags.
constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_NOCHANGEDIR = 0x8;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct MessageBoxRequest {
  CWnd* owner = nullptr;
  CString text;
  CString caption;
  UINT type = MB_OK;
};

struct FileDialogRequest {
  CWnd* owner = nullptr;
  bool open = true;
  CString title;
  CString filter;  // "Name|*.a;*.b|Name|*.*|"
  CString defaultExtension;
  CString fileName;
  DWORD flags = 0;
  int filterIndex = 0;                 // the filter shown first (from 1; 0: the first)
  int* chosenFilterIndex = nullptr;    // receives the filter chosen (from 1) on OK
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The button chosen (IDOK ...); closing the box counts as its cancel button.
  virtual int MessageBox(const MessageBoxRequest& request) = 0;
  // The chosen file as a host path in 8-bit text, or nothing when cancelled.
  virtual std::optional<CString> FileDialog(const FileDialogRequest& request) = 0;
  // The system sound for a message-box icon type (0xFFFFFFFF the simple beep).
  virtual void Beep(UINT type) = 0;
};

// The buttons a message-box style shows, in order, and the one that answers
// when the box is closed without choosing (the cancel or the only button).
struct MessageBoxButtons {
  int buttons[3] = {0, 0, 0};
  int count = 0;
  int escapeResult = IDOK;
};
MessageBoxButtons ButtonsOfStyle(UINT type);

// A Windows filter text ("Text|*.tvn;*.mcl|All|*.*|") as Qt name filters
// ("Text (*.tvn *.mcl)", "All (*.*)"), as UTF-8. A missing pattern after the
// last name is dropped.
std::vector<std::string> QtNameFilters(const CString& windowsFilter);
