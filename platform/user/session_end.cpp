#include "platform/user/session_end.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

// The write end of the watcher's pipe: the one thing a signal handler may
// reach. -1 while no watcher lives.
volatile sig_atomic_t g_signalPipe = -1;

extern "C" void WriteSignalByte(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  if (g_signalPipe >= 0) [[maybe_unused]] ssize_t written = ::write(g_signalPipe, &byte, 1);
  errno = saved;
}

// Qt's request to quit (a session manager, the platform) reaches the
// application object as a Quit event; the program's own loop decides instead.
class QuitFilter final : public QObject {
 public:
  explicit QuitFilter(std::function<void()>& onEnd) : m_onEnd(onEnd) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
      m_onEnd();
      return true;
    }
    return false;
  }

 private:
  std::function<void()>& m_onEnd;
};

}  // namespace

struct CSessionEndWatcher::Impl {
  std::function<void()> onEnd;
  std::array<int, 2> pipe{-1, -1};
  std::array<struct sigaction, kSignals.size()> previous{};
  std::unique_ptr<QSocketNotifier> notifier;
  std::unique_ptr<QuitFilter> filter;

  void Drain() {
    unsigned char bytes[64];
    bool any = false;
    while (::read(pipe[0], bytes, sizeof bytes) > 0) any = true;
    if (any && onEnd) onEnd();
  }
};

CSessionEndWatcher::CSessionEndWatcher(std::function<void()> onEnd) : m_impl(std::make_unique<Impl>()) {
  m_impl->onEnd = std::move(onEnd);
  if (g_signalPipe >= 0) return;  // another watcher has them
  if (QCoreApplication* app = QCoreApplication::instance()) {
    m_impl->filter = std::make_unique<QuitFilter>(m_impl->onEnd);
    app->installEventFilter(m_impl->filter.get());
  }
  if (::pipe2(m_impl->pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
  m_impl->notifier = std::make_unique<QSocketNotifier>(m_impl->pipe[0], QSocketNotifier::Read);
  Impl* impl = m_impl.get();
  QObject::connect(m_impl->notifier.get(), &QSocketNotifier::activated, m_impl->notifier.get(), [impl] { impl->Drain(); });
  g_signalPipe = m_impl->pipe[1];
  struct sigaction action {};
  action.sa_handler = WriteSignalByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &m_impl->previous[i]);
}

CSessionEndWatcher::~CSessionEndWatcher() {
  if (m_impl->filter)
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(m_impl->filter.get());
  if (m_impl->pipe[0] < 0) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &m_impl->previous[i], nullptr);
  g_signalPipe = -1;
  m_impl->notifier.reset();
  ::close(m_impl->pipe[0]);
  ::close(m_impl->pipe[1]);
}

bool CSessionEndWatcher::IsWatching() const { return m_impl->notifier != nullptr; }
