#include "tests/platform/user/window_test_support.h"

#include <QApplication>
#include <QImage>

#include <algorithm>

#include "platform/user/gui_session.h"

namespace {

int g_argc = 1;
char g_name[] = "tvn_platform_tests";
char* g_argv[] = {g_name, nullptr};
QApplication* g_app = nullptr;

// Qt's application must go before the exit handlers run: Qt's own static
// objects are gone by then.
class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete g_app;
    g_app = nullptr;
  }
};
[[maybe_unused]] auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

void EnsureQtApplication() {
  if (!QCoreApplication::instance()) g_app = new QApplication(g_argc, g_argv);
}

int CScriptedDialogs::MessageBox(const MessageBoxRequest& request) {
  boxes.push_back(request);
  if (boxAnswers.empty()) return IDOK;
  int answer = boxAnswers.front();
  boxAnswers.pop_front();
  return answer;
}

std::optional<CString> CScriptedDialogs::FileDialog(const FileDialogRequest& request) {
  fileDialogs.push_back(request);
  if (fileAnswers.empty()) return std::nullopt;
  auto answer = fileAnswers.front();
  fileAnswers.pop_front();
  if (answer && request.chosenFilterIndex) {
    *request.chosenFilterIndex = std::max(1, request.filterIndex);
    if (!filterAnswers.empty()) {
      *request.chosenFilterIndex = filterAnswers.front();
      filterAnswers.pop_front();
    }
  }
  return answer;
}

std::optional<CHARFORMAT> CScriptedDialogs::FontDialog(const FontDialogRequest& request) {
  fontDialogs.push_back(request);
  if (fontAnswers.empty()) return std::nullopt;
  auto answer = std::move(fontAnswers.front());
  fontAnswers.pop_front();
  return answer ? answer(request) : std::nullopt;
}

std::optional<COLORREF> CScriptedDialogs::ColourDialog(const ColourDialogRequest& request) {
  colourDialogs.push_back(request);
  if (colourAnswers.empty()) return std::nullopt;
  auto answer = colourAnswers.front();
  colourAnswers.pop_front();
  return answer;
}

UINT CScriptedDialogs::TrackPopupMenu(const PopupMenuRequest& request) {
  popupMenus.push_back(request);
  if (menuAnswers.empty()) return 0;
  UINT answer = menuAnswers.front();
  menuAnswers.pop_front();
  return answer;
}

void CClockDrivenSource::Wait(std::optional<DWORD> maxMs) {
  m_qt.Poll();
  m_clock.Advance(maxMs ? std::max<DWORD>(*maxMs, 1) : 10);
}

LRESULT CRecordingWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  RecordedMessage r{m_hWnd, message, wParam, lParam};
  received.push_back(r);
  if (m_log) m_log->push_back(r);
  if (hook)
    if (auto answer = hook(message, wParam, lParam)) return *answer;
  return CWnd::WindowProc(message, wParam, lParam);
}

std::vector<RecordedMessage> CRecordingWnd::Messages(UINT message) const {
  std::vector<RecordedMessage> out;
  for (const auto& r : received)
    if (r.message == message) out.push_back(r);
  return out;
}

WindowTest::WindowTest() {
  EnsureQtApplication();
  loop = std::make_unique<CMessageLoop>(clock);
  CGuiSession::Attach(*loop);
  auto scripted = std::make_unique<CScriptedDialogs>();
  dialogs = scripted.get();
  loop->SetDialogs(std::move(scripted));
  loop->SetAppName("Test App");
}

WindowTest::~WindowTest() = default;

int WindowTest::PumpReady() {
  int count = 0;
  MSG msg;
  while (loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    loop->DispatchMessage(msg);
    ++count;
  }
  return count;
}

std::unique_ptr<CRecordingWnd> WindowTest::MakeWindow(const CRect& rect, UINT classStyle) {
  auto wnd = std::make_unique<CRecordingWnd>();
  EXPECT_TRUE(wnd->CreateEx(0, "Test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect, nullptr, 0, classStyle));
  return wnd;
}

COLORREF SurfacePixel(CWnd& wnd, int x, int y) {
  std::lock_guard lock(wnd.SurfaceLock());
  const QRgb p = wnd.GetSurface()->pixel(x, y);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}
