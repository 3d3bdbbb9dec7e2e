// CPlayerSystemFunctions: the presentation window, its page and its media as the outside built-ins reach them.
#pragma once

#include "model/system_functions.h"

class CDrawObj;
class CPlayerApp;
class CPresentationView;

// Every operation does nothing (and answers FALSE or 0) while there is no presentation view.
class CPlayerSystemFunctions final : public ISystemFunctionHost {
 public:
  explicit CPlayerSystemFunctions(CPlayerApp& app) : m_app(app) {}

  void QuitApplication() override;
  void EndCurrentCourse() override;
  BOOL PlaySound(const CString& file, BOOL wait) override;
  DWORD MciCommand(const CString& command, CString& reply) override;
  void ShowCursor(BOOL show, UINT cursorId) override;
  void SendToFocus(UINT message) override;
  void SetScrollPosition(BOOL vertical, int position) override;
  void RedrawWindow() override;
  CPoint GetCursorPosition() override;
  BOOL SetCursorPosition(CPoint client) override;
  BOOL GetOwnerRect(const CString& name, CRect& rect) override;
  BOOL GetObjectRect(const CString& name, CRect& rect) override;
  BOOL MoveObjectTo(const CString& name, const CRect& rect) override;
  BOOL GetObjectLayer(const CString& name, int& layer) override;
  BOOL SetObjectLayer(const CString& name, int layer) override;
  BOOL ReloadObject(const CString& name) override;
  BOOL EnableObjectWindow(const CString& name, BOOL enable) override;
  BOOL GetObjectWindow(const CString& name, LONG& handle) override;
  LONG GetFocusWindow() override;
  void SetFocusWindow(LONG handle) override;
  BOOL GetCurrentUrl(const CString& name, CString& url) override;
  BOOL GetMediaPosition(const CString& name, LONG& position) override;
  BOOL GetMediaLength(const CString& name, LONG& length) override;
  // Mail through the runtime profile's [Mail] settings, owned by the presentation view.
  int SendEmail(const CString& recipients, const CString& subject, const CString& text,
                const CString& attachments) override;

 private:
  CPresentationView* View() const;
  CDrawObj* Find(const CString& name) const;
  BOOL Media(const CString& name, bool length, LONG& value);

  CPlayerApp& m_app;
};
