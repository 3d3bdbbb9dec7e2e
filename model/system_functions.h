// The built-ins that act outside the values: what they need of the running program, and their dispatch.
#pragma once

#include "model/drive_helpers.h"
#include "platform/base/cstring.h"
#include "platform/base/exceptions.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

struct CBuiltinCall;
class CMessageService;
class IErrorVariables;

// The presentation window, the page and the media, as the built-ins reach
// them. Page objects are named by the course object that owns them (the
// first match on the page, case-sensitive); an operation on a name that finds
// nothing answers FALSE and changes nothing.
class ISystemFunctionHost {
 public:
  virtual ~ISystemFunctionHost() = default;

  // --- program ---
  // Hides the presentation frame (the course stops) and asks the main window to close.
  virtual void QuitApplication() = 0;
  // The current course, when there is one, has no current task from now on.
  virtual void EndCurrentCourse() = 0;

  // --- sound and MCI ---
  // TRUE when the wave file played; with wait the call returns at its end.
  virtual BOOL PlaySound(const CString& file, BOOL wait) = 0;
  // The MCI error code (0 for success); a reply text into reply.
  virtual DWORD MciCommand(const CString& command, CString& reply) = 0;

  // --- cursor, clipboard, scrolling, repaint ---
  // Shows the cursor with that shape, or hides it.
  virtual void ShowCursor(BOOL show, UINT cursorId) = 0;
  // WM_COPY, WM_CUT or WM_PASTE to the window with the keyboard focus.
  virtual void SendToFocus(UINT message) = 0;
  virtual void SetScrollPosition(BOOL vertical, int position) = 0;
  virtual void RedrawWindow() = 0;
  // The mouse position in the view's client coordinates.
  virtual CPoint GetCursorPosition() = 0;
  // FALSE where the pointer cannot be moved.
  virtual BOOL SetCursorPosition(CPoint client) = 0;

  // --- page objects ---
  // The rectangle as the owner evaluates it (the object's own without an owner).
  virtual BOOL GetOwnerRect(const CString& name, CRect& rect) = 0;
  virtual BOOL GetObjectRect(const CString& name, CRect& rect) = 0;
  // Moves the draw object only; its owner keeps its stored rectangle.
  virtual BOOL MoveObjectTo(const CString& name, const CRect& rect) = 0;
  virtual BOOL GetObjectLayer(const CString& name, int& layer) = 0;
  // The draw object's SetLayer, then the page re-sorts it.
  virtual BOOL SetObjectLayer(const CString& name, int layer) = 0;
  // The owner runs and activates again; its rectangle is repainted at once.
  virtual BOOL ReloadObject(const CString& name) = 0;
  virtual BOOL EnableObjectWindow(const CString& name, BOOL enable) = 0;
  // The handle of the owner's control window.
  virtual BOOL GetObjectWindow(const CString& name, LONG& handle) = 0;
  // The window with the keyboard focus, 0 when none.
  virtual LONG GetFocusWindow() = 0;
  virtual void SetFocusWindow(LONG handle) = 0;
  // The address an HTML action shows; FALSE when the owner is none.
  virtual BOOL GetCurrentUrl(const CString& name, CString& url) = 0;
  // The owner's media position or length, else a playing sound's of that file name.
  virtual BOOL GetMediaPosition(const CString& name, LONG& position) = 0;
  virtual BOOL GetMediaLength(const CString& name, LONG& length) = 0;

  // --- mail ---
  virtual int SendEmail(const CString& recipients, const CString& subject, const CString& text,
                        const CString& attachments) = 0;
};

// What the dispatch works with. Without a host only the file and machine
// functions run; the others report themselves unavailable.
struct SystemFunctionServices {
  CMessageService& messages;
  ISystemFunctionHost* host = nullptr;
  const tvn::path::DriveTable* drives = nullptr;  // the process's table when null
  DriveTypeQuery driveType = &tvn::sys::GetDriveType;
};

// Runs the built-in of the call; FALSE when it needs a service that is absent.
// A failure other than a file error sets "ErrorNumber" 1 and its text.
BOOL RunSystemBuiltin(CBuiltinCall& call, SystemFunctionServices& services);

// Fills "ErrorNumber" with the Windows code of the failure's system error
// and "ErrorMessage" with the text for its cause (empty for cause 0).
void SetFileErrorVariables(IErrorVariables& variables, const CString& fileName, const CFileException& error,
                           BOOL writing);

// The system cursor id ShowCursor gives a shape number.
UINT CursorIdOfShape(LONG shape);
