// Message boxes from string ids and texts.
#include "model/message_service.h"

#include "model/string_table.h"
#include "platform/sys/system_info.h"

void CMessageService::BeepIf(int beepType) {
  if (beepType != 0) m_sink.Beep(static_cast<UINT>(beepType));
}

int CMessageService::MessageBoxText(const CString& text, UINT style) {
  return m_sink.ShowMessageBox(nullptr, text, m_appName, style, 0);
}

int CMessageService::MessageBoxId(UINT stringId, UINT style) {
  return m_sink.ShowMessageBox(nullptr, LoadStringText(stringId), m_appName, style, stringId);
}

int CMessageService::MessageBoxOnWindow(const CString& text, CWnd* window, const CString& caption, UINT style) {
  if (!window) return MessageBoxText(text, style);
  return m_sink.ShowMessageBox(window, text, caption.IsEmpty() ? m_appName : caption, style, 0);
}

int CMessageService::MessageBoxBeep(UINT stringId, CWnd* window, int beepType) {
  BeepIf(beepType);
  if (!window) return MessageBoxId(stringId, MB_OK);
  return m_sink.ShowMessageBox(window, LoadStringText(stringId), m_appName, MB_OK, 0);
}

int CMessageService::MessageBoxFormatBeep(UINT stringId, const CString* argument, CWnd* window, int beepType) {
  if (!argument) return MessageBoxBeep(stringId, window, beepType);
  BeepIf(beepType);
  CString text = FormatStringId1(stringId, *argument);
  if (!window) return MessageBoxText(text, MB_OK);
  return m_sink.ShowMessageBox(window, text, m_appName, MB_OK, 0);
}

int CMessageService::MessageBoxTextBeep(const CString& text, CWnd* window, int beepType) {
  BeepIf(beepType);
  if (!window) return MessageBoxText(text, MB_OK);
  return m_sink.ShowMessageBox(window, text, m_appName, MB_OK, 0);
}

int CMessageService::ShowLastErrorMessage(CWnd* window, int beepType) {
  // Read the error before anything else can overwrite it.
  int error = tvn::sys::LastError();
  return MessageBoxTextBeep(tvn::sys::ErrorText(error), window, beepType);
}
