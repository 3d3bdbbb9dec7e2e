// Message boxes built from string-table ids or texts, with an optional beep, shown through a sink.
#pragma once

#include "platform/base/cstring.h"
#include "platform/user/message_box_types.h"
#include "platform/base/win_types.h"

class CWnd;

// What shows a box and sounds a beep: the window layer's message boxes in the
// program, a recording sink in tests.
class IMessageSink {
 public:
  virtual ~IMessageSink() = default;
  // Shows a modal box and gives the button it was closed with. A null window
  // stands for the framework's own box over the main window.
  virtual int ShowMessageBox(CWnd* window, const CString& text, const CString& caption, UINT style,
                             UINT helpContext) = 0;
  // The sound of a beep type (an icon value, or 0xFFFFFFFF for the simple beep).
  virtual void Beep(UINT type) = 0;
};

// The message-box helpers every subsystem calls. A beep type of 0 means no
// beep; any other value is sounded before the box appears. Boxes carry the
// application's name as caption unless a caption is given.
class CMessageService {
 public:
  CMessageService(IMessageSink& sink, CString appName) : m_sink(sink), m_appName(std::move(appName)) {}

  const CString& AppName() const { return m_appName; }

  int MessageBoxText(const CString& text, UINT style = MB_OK);
  // The string id serves as help context.
  int MessageBoxId(UINT stringId, UINT style = MB_OK);
  int MessageBoxOnWindow(const CString& text, CWnd* window, const CString& caption = CString(), UINT style = MB_OK);
  int MessageBoxBeep(UINT stringId, CWnd* window = nullptr, int beepType = 0);
  // With an argument the text's "%1" is replaced by it; without one as MessageBoxBeep.
  int MessageBoxFormatBeep(UINT stringId, const CString* argument, CWnd* window = nullptr, int beepType = 0);
  int MessageBoxTextBeep(const CString& text, CWnd* window = nullptr, int beepType = 0);
  // A beep alone (an icon type, or 0xFFFFFFFF for the simple beep).
  void Beep(UINT type) { m_sink.Beep(type); }
  // The system's text for the calling thread's last error.
  int ShowLastErrorMessage(CWnd* window = nullptr, int beepType = 0);

 private:
  void BeepIf(int beepType);

  IMessageSink& m_sink;
  CString m_appName;
};
