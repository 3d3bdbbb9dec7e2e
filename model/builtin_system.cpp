// Built-ins that act outside the values: the dispatch, and the program, window, page and machine functions.
#include "model/builtin_files.h"
#include "model/builtin_functions.h"
#include "model/system_functions.h"
#include "model/value_conversion.h"
#include "model/variable_context.h"
#include "platform/user/cursor.h"
#include "platform/base/host_path.h"
#include "platform/sys/system_info.h"
#include "platform/msg/window_messages.h"
#include "platform/sys/windows_locations.h"

namespace tvn::builtins {
namespace {

// The system's "not supported" error code, as a missing library function reports.
constexpr int kNotSupported = 120;

LONG Trunc(const CVariable& v) { return values::TruncateToLong(v.GetReal()); }

// A folder as the Windows folder queries give it: with a closing separator.
CString FolderText(const std::optional<std::filesystem::path>& folder) {
  if (!folder) return CString();
  CString text = tvn::path::HostPathToText(*folder);
  if (text.IsEmpty() || text[text.GetLength() - 1] != '/') text += "/";
  return text;
}

using HostFunction = void (*)(CBuiltinCall&, ISystemFunctionHost&);

void Quit(CBuiltinCall& call, ISystemFunctionHost& host) {
  if (call.Arg(1).GetString().CompareNoCase("application") == 0) host.QuitApplication();
  else host.EndCurrentCourse();
}

void PlaySoundFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  BOOL wait = call.argumentCount >= 2 && call.Arg(2).GetString().CompareNoCase("wait") == 0;
  call.SetNumber(host.PlaySound(call.Arg(1).GetString(), wait) ? 1 : 0);
}

void MciCommandFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  CString reply;
  DWORD code = host.MciCommand(call.Arg(1).GetString(), reply);
  call.Result().SetReal(code);
  if (!reply.IsEmpty()) {
    call.Result().SetString(reply);
    call.Result().SetType(VarType::kString);
  }
}

void ShowCursorFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  double n = call.Arg(1).GetReal();
  host.ShowCursor(n > 0, CursorIdOfShape(Trunc(call.Arg(1))));
}

template <UINT kMessage>
void SendToFocus(CBuiltinCall& call, ISystemFunctionHost& host) {
  host.SendToFocus(kMessage);
  call.SetText(CString());
}

template <BOOL kVertical>
void SetScroll(CBuiltinCall& call, ISystemFunctionHost& host) {
  host.SetScrollPosition(kVertical, Trunc(call.Arg(1)));
}

void Redraw(CBuiltinCall& call, ISystemFunctionHost& host) {
  host.RedrawWindow();
  call.SetText(CString());
}

template <bool kY>
void GetCursor(CBuiltinCall& call, ISystemFunctionHost& host) {
  CPoint point = host.GetCursorPosition();
  call.SetNumber(kY ? point.y : point.x);
}

void SetCursorPositionFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  call.SetNumber(host.SetCursorPosition(CPoint(Trunc(call.Arg(1)), Trunc(call.Arg(2)))) ? 1 : 0);
}

template <bool kHeight>
void GetObjectSize(CBuiltinCall& call, ISystemFunctionHost& host) {
  CRect rect;
  if (host.GetOwnerRect(call.Arg(1).GetString(), rect)) call.SetNumber(kHeight ? rect.Height() : rect.Width());
  else call.SetNumber(call.Arg(1).GetReal());
}

template <bool kHeight>
void SetObjectSize(CBuiltinCall& call, ISystemFunctionHost& host) {
  const CString name = call.Arg(1).GetString();
  CRect rect;
  if (host.GetObjectRect(name, rect)) {
    const LONG size = Trunc(call.Arg(2));
    const bool centre = call.argumentCount >= 3 && call.Arg(3).GetReal() > 0;
    LONG& low = kHeight ? rect.top : rect.left;
    LONG& high = kHeight ? rect.bottom : rect.right;
    if (centre) {
      const long long current = static_cast<long long>(high) - low;
      low = values::Saturate(low + (current - size) / 2);
    }
    high = values::Saturate(static_cast<long long>(low) + size);
    host.MoveObjectTo(name, rect);
  }
  call.SetNumber(0);
}

void GetObjectZLayer(CBuiltinCall& call, ISystemFunctionHost& host) {
  int layer = 0;
  if (host.GetObjectLayer(call.Arg(1).GetString(), layer)) call.SetNumber(layer);
  else call.SetNumber(call.Arg(1).GetReal());
}

void SetObjectZLayer(CBuiltinCall& call, ISystemFunctionHost& host) {
  host.SetObjectLayer(call.Arg(1).GetString(), Trunc(call.Arg(2)));
  call.SetNumber(0);
}

void ReloadObjectFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  host.ReloadObject(call.Arg(1).GetString());
  call.SetNumber(0);
}

void EnableWindowFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  host.EnableObjectWindow(call.Arg(1).GetString(), Trunc(call.Arg(2)) != 0);
  call.SetNumber(0);
}

void GetFocusFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  LONG handle = 0;
  const CString name = call.argumentCount >= 1 ? call.Arg(1).GetString() : CString();
  if (name.IsEmpty() || !host.GetObjectWindow(name, handle)) handle = host.GetFocusWindow();
  call.SetNumber(handle);
}

void SetFocusFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  if (LONG handle = Trunc(call.Arg(1))) host.SetFocusWindow(handle);
}

void GetCurrentUrlFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  CString url;
  call.SetText(host.GetCurrentUrl(call.Arg(1).GetString(), url) ? url : call.Arg(1).GetString());
}

template <bool kLength>
void GetMedia(CBuiltinCall& call, ISystemFunctionHost& host) {
  LONG value = 0;
  const CString name = call.Arg(1).GetString();
  if (kLength ? host.GetMediaLength(name, value) : host.GetMediaPosition(name, value)) call.SetNumber(value);
  else call.SetNumber(call.Arg(1).GetReal());
}

void SendEmailFunction(CBuiltinCall& call, ISystemFunctionHost& host) {
  CString attachments = call.argumentCount >= 4 ? call.Arg(4).GetString() : CString();
  call.SetNumber(host.SendEmail(call.Arg(1).GetString(), call.Arg(2).GetString(), call.Arg(3).GetString(), attachments));
}

struct HostEntry {
  const char* name;
  HostFunction run;
};

constexpr HostEntry kHostFunctions[] = {
    {"ShowCursor", &ShowCursorFunction},
    {"Quit", &Quit},
    {"PlaySound", &PlaySoundFunction},
    {"MciCommand", &MciCommandFunction},
    {"Copy", &SendToFocus<WM_COPY>},
    {"Cut", &SendToFocus<WM_CUT>},
    {"Paste", &SendToFocus<WM_PASTE>},
    {"GetObjectWidth", &GetObjectSize<false>},
    {"GetObjectHeight", &GetObjectSize<true>},
    {"SetHorizScrollPosition", &SetScroll<FALSE>},
    {"SetVertScrollPosition", &SetScroll<TRUE>},
    {"RedrawWindow", &Redraw},
    {"GetMediaPosition", &GetMedia<false>},
    {"GetCurrentURL", &GetCurrentUrlFunction},
    {"ReloadObject", &ReloadObjectFunction},
    {"GetMediaLength", &GetMedia<true>},
    {"SetObjectWidth", &SetObjectSize<false>},
    {"SetObjectHeight", &SetObjectSize<true>},
    {"GetObjectZLayer", &GetObjectZLayer},
    {"SetObjectZLayer", &SetObjectZLayer},
    {"GetCursorX", &GetCursor<false>},
    {"GetCursorY", &GetCursor<true>},
    {"SetCursorPosition", &SetCursorPositionFunction},
    {"EnableWindow", &EnableWindowFunction},
    {"SendEmail", &SendEmailFunction},
    {"GetFocus", &GetFocusFunction},
    {"SetFocus", &SetFocusFunction},
};

// The functions that need no window: files and facts about the machine.
BOOL RunWithoutHost(std::string_view name, CBuiltinCall& call, SystemFunctionServices& services) {
  const tvn::path::DriveTable& drives = services.drives ? *services.drives : tvn::path::Drives();
  if (name == "CreateDirectory") CreateDirectoryFunction(call);
  else if (name == "DeleteFile") DeleteFileFunction(call);
  else if (name == "CopyFile") CopyFileFunction(call, services.messages);
  else if (name == "RenameFile") RenameFileFunction(call);
  else if (name == "CheckFile") CheckFileFunction(call);
  else if (name == "CheckDiskette") CheckDisketteFunction(call, services.messages, drives, services.driveType);
  else if (name == "GetUserName") call.SetText(tvn::sys::UserName());
  else if (name == "GetComputerName") call.SetText(tvn::sys::ComputerName());
  else if (name == "GetWindowsDir") call.SetText(FolderText(tvn::sys::WindowsFolder()));
  else if (name == "GetWindowsSystemDir") call.SetText(FolderText(tvn::sys::WindowsSystemFolder()));
  else return FALSE;
  return TRUE;
}

}  // namespace

void SystemFunction(CBuiltinCall& call) {
  if (call.context.RunSystemFunction(call.id, call)) return;
  CString message = CString(BuiltinFunctions()[static_cast<std::size_t>(call.id)].name) +
                    ": this function is not supported on this system.";
  SetErrorVariables(call.context, kNotSupported, message.GetString());
  call.Result() = CVariable();
  call.SetNumber(0);
}

}  // namespace tvn::builtins

UINT CursorIdOfShape(LONG shape) {
  switch (shape) {
    case 2: return IDC_WAIT;
    case 3: return IDC_IBEAM;
    case 4: return IDC_CROSS;
    case 5: return IDC_UPARROW;
    case 6: return IDC_SIZE;
    case 7: return IDC_ICON;
    case 8: return IDC_SIZENWSE;
    case 9: return IDC_SIZENESW;
    case 10: return IDC_SIZEWE;
    case 11: return IDC_SIZENS;
    default: return IDC_ARROW;
  }
}

BOOL RunSystemBuiltin(CBuiltinCall& call, SystemFunctionServices& services) {
  using namespace tvn::builtins;
  if (call.id < 0 || static_cast<std::size_t>(call.id) >= BuiltinFunctions().size()) return FALSE;
  const std::string_view name = BuiltinFunctions()[static_cast<std::size_t>(call.id)].name;
  try {
    if (RunWithoutHost(name, call, services)) return TRUE;
    if (!services.host) return FALSE;
    for (const HostEntry& entry : kHostFunctions) {
      if (name == entry.name) {
        entry.run(call, *services.host);
        return TRUE;
      }
    }
  } catch (const CFileException& error) {
    SetFileErrorVariables(call.context, error.m_strFileName, error, FALSE);
    return TRUE;
  } catch (const std::exception& error) {
    // A failure that is no file error never stops the script: it shows in the error variables.
    call.context.SetErrorVariables(1, CString::FromUtf8(error.what()));
    return TRUE;
  }
  return FALSE;
}
