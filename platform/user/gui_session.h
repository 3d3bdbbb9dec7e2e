// The Qt side of a program's start: the widget application, and the loop's
// event source and dialogs on Qt.
#pragma once

#include <memory>

class CMessageLoop;
class QApplication;

class CGuiSession {
 public:
  // Makes the widget application unless one exists. Qt takes the locale from
  // the environment; numbers are put back to the C locale.
  CGuiSession(int& argc, char** argv);
  // offscreen: Qt runs on its off-screen platform, needing no display and
  // showing nothing (a silent setup).
  CGuiSession(int& argc, char** argv, bool offscreen);
  ~CGuiSession();
  CGuiSession(const CGuiSession&) = delete;
  CGuiSession& operator=(const CGuiSession&) = delete;

  // The loop gets its input from Qt and shows Qt's dialogs.
  static void Attach(CMessageLoop& loop);
  // Whether windows and boxes reach a display: false with no widget
  // application and on Qt's off-screen and minimal platforms, where a modal
  // box would wait for a click that never comes.
  static bool ShowsWindows();

 private:
  std::unique_ptr<QApplication> m_app;
};
