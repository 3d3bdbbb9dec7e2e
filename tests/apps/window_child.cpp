// A small windowed program that other programs' tests start: it shows one
// window on the X display and reports to a file, a line each, "pid <n>",
// "window <id>" once shown, "painted" at its first paint (the window is on
// screen) and "maximised" when the window manager maximises it. With
// "--end-when-maximised" it ends then; otherwise after 300 s at the latest.
// Usage: window_child <report file> [--end-when-maximised]
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class ReportingWindow : public QWidget {
 public:
  ReportingWindow(const char* report, bool endWhenMaximised) : m_report(report), m_end(endWhenMaximised) {}
  void Say(const std::string& line) { m_report << line << std::endl; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (m_painted) return;
    m_painted = true;
    Say("painted");
  }
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized) && !m_maximised) {
      m_maximised = true;
      Say("maximised");
      if (m_end) QTimer::singleShot(0, qApp, &QApplication::quit);
    }
    QWidget::changeEvent(event);
  }

 private:
  std::ofstream m_report;
  bool m_end;
  bool m_painted = false;
  bool m_maximised = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  QApplication app(argc, argv);
  ReportingWindow window(argv[1], argc > 2 && std::string(argv[2]) == "--end-when-maximised");
  window.Say("pid " + std::to_string(::getpid()));
  window.setWindowTitle("window child");
  window.resize(300, 200);
  window.show();
  window.Say("window " + std::to_string(window.winId()));
  QTimer::singleShot(300000, &app, &QApplication::quit);
  return app.exec();
}
