#include "tests/support/scripted_player.h"

#include <QImage>
#include <mutex>

#include <algorithm>
#include <fstream>

#include "model/course_doc.h"
#include "model/task.h"
#include "model/variable.h"
#include "platform/mm/media_system.h"
#include "platform/msg/event_source.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"
#include "platform/user/qt_event_source.h"
#include "platform/msg/window_messages.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/packed_file_builder.h"

namespace tvn::testing {

ScriptedPlayer::ScriptedPlayer() : m_savedDirectory(std::filesystem::current_path()) { EnsureQtApplication(); }

ScriptedPlayer::~ScriptedPlayer() {
  m_app.reset();
  std::filesystem::current_path(m_savedDirectory);
}

void ScriptedPlayer::MakeApp(std::vector<CString> arguments) {
  m_app = std::make_unique<CPlayerApp>(std::move(arguments), m_clock);
  if (m_programFolder) m_app->SetModulePath(CString((*m_programFolder / "Tvnrun").string()));
  // Sound is mixed as the clock moves: what a course plays is recorded, and media end on time.
  m_app->SetAudioMode(m_audioDevice ? CAudioOutput::Mode::device : CAudioOutput::Mode::recording);
  CGuiSession::Attach(*m_app);
  m_app->SetEventSource(std::make_unique<CClockDrivenSource>(m_clock));
  auto dialogs = std::make_unique<CScriptedDialogs>();
  m_dialogs = dialogs.get();
  m_app->SetDialogs(std::move(dialogs));
  m_app->SetLibraryProbe({[](const std::string&) { return std::nullopt; },
                          [](const std::filesystem::path&, const std::string&) { return false; }});
}

bool ScriptedPlayer::StartDemo(const std::filesystem::path& demo) {
  for (const char* file : {"DEMO.BMP", "NARRATE.WAV", "STAR.BMP", "SPINNER.BMP", "BADGE.PNG", "TITLE.FLC", "FILM.AVI"})
    if (std::filesystem::exists(demo.parent_path() / file))
      std::filesystem::copy_file(demo.parent_path() / file, m_dir.path() / file);
  return Start(ReadBytes(demo), demo.filename().string());
}

bool ScriptedPlayer::Start(const std::vector<std::uint8_t>& course, const std::string& name) {
  const std::filesystem::path file = m_dir.path() / name;
  {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(course.data()), static_cast<std::streamsize>(course.size()));
  }
  std::vector<CString> arguments = m_before;
  arguments.push_back(CString(file.string()));
  arguments.insert(arguments.end(), m_after.begin(), m_after.end());
  MakeApp(std::move(arguments));
  // The listener is set on the view as soon as start-up made it; the first
  // 0x401 is only posted, so no step is missed.
  if (!m_app->InitInstance() || !m_app->GetPresentationView()) return false;
  if (m_mciTrace)
    if (CMediaSystem* media = m_app->GetMediaSystem()) media->Mci().SetTrace(m_mciTrace);
  m_app->SetPrinterSetup(m_printer);
  m_app->ControlRegistry() = m_controls;
  View().SetStepListener([this](UINT message, int task) { m_steps.push_back({message, task}); });
  Pump();
  return m_app && Course() != nullptr;
}

bool ScriptedPlayer::StartEmpty() {
  MakeApp({"-Embedding"});
  if (!m_app->InitInstance() || !m_app->GetPresentationView()) return false;
  m_app->SetPrinterSetup(m_printer);
  View().SetStepListener([this](UINT message, int task) { m_steps.push_back({message, task}); });
  return true;
}

bool ScriptedPlayer::Pump() {
  if (Ended()) return true;
  // Bounded: nothing here waits for the clock, so a queue found empty many
  // times over means the course waits for input.
  int emptyTurns = 0;
  while (emptyTurns < 50) {
    MSG msg;
    if (!m_app->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
      ++emptyTurns;
      m_app->OnIdle(0);
      continue;
    }
    emptyTurns = 0;
    if (msg.message == WM_QUIT) {
      m_exitCode = m_app->ExitInstance();
      return true;
    }
    if (!m_app->PreTranslateMessage(msg)) m_app->DispatchMessage(msg);
  }
  return false;
}

CPresentationView& ScriptedPlayer::View() { return *m_app->GetPresentationView(); }

CCourseDoc* ScriptedPlayer::Course() { return m_app ? m_app->GetCurrentCourse() : nullptr; }

void ScriptedPlayer::SendMouse(UINT message, CPoint point, UINT keyFlags) {
  if (Ended() || !m_app->GetPresentationView()) return;
  View().PostMessage(message, keyFlags, MAKELPARAM(point.x, point.y));
  Pump();
}

void ScriptedPlayer::Press(CPoint point, UINT keyFlags) { SendMouse(WM_LBUTTONDOWN, point, keyFlags | MK_LBUTTON); }
void ScriptedPlayer::MoveTo(CPoint point, UINT keyFlags) { SendMouse(WM_MOUSEMOVE, point, keyFlags); }
void ScriptedPlayer::Release(CPoint point, UINT keyFlags) { SendMouse(WM_LBUTTONUP, point, keyFlags); }

void ScriptedPlayer::Click(CPoint point, UINT keyFlags) {
  Press(point, keyFlags);
  Release(point, keyFlags);
}

void ScriptedPlayer::PressAndRelease(CPoint press, const std::vector<CPoint>& moves, CPoint release) {
  if (Ended() || !m_app->GetPresentationView()) return;
  View().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
  for (CPoint p : moves) View().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  View().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
  Pump();
}

void ScriptedPlayer::ClickWindow(CWnd& window, CPoint point) {
  if (Ended()) return;
  window.PostMessage(WM_QTFOCUS, kFocusByUser, 0);
  window.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  window.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  Pump();
}

void ScriptedPlayer::Hold(UINT virtualKey, bool down) { m_app->SetKeyDown(virtualKey, down); }

void ScriptedPlayer::Key(UINT virtualKey, bool ctrl, bool alt, bool shift) {
  if (Ended() || !m_app->GetPresentationView()) return;
  Hold(VK_CONTROL, ctrl);
  Hold(VK_MENU, alt);
  Hold(VK_SHIFT, shift);
  // As the window layer posts a real key: to the window with the keyboard
  // focus. With none, Qt hands the key to the top-level shell, which drops it.
  if (CWnd* focus = CWnd::GetFocus()) focus->PostMessage(alt && !ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, 1);
  Pump();
  Hold(VK_CONTROL, false);
  Hold(VK_MENU, false);
  Hold(VK_SHIFT, false);
}

void ScriptedPlayer::Command(UINT id) {
  if (Ended() || !m_app->GetPresentationView()) return;
  View().PostMessage(WM_COMMAND, id, 0);
  Pump();
}

void ScriptedPlayer::Tick(DWORD milliseconds) {
  if (Ended()) return;
  m_clock.Advance(milliseconds);
  // The sound of the time that passed is mixed first: media that ended post their notices.
  if (CMediaSystem* media = m_app->GetMediaSystem()) media->Output().Pump();
  Pump();
}

void ScriptedPlayer::TickInSteps(DWORD milliseconds) {
  for (DWORD passed = 0; passed < milliseconds; passed += 100) Tick(100);
}

void ScriptedPlayer::Timer(UINT id) {
  if (Ended() || !m_app->GetPresentationView()) return;
  View().PostMessage(WM_TIMER, id, 0);
  Pump();
}

std::vector<int> ScriptedPlayer::TasksRun() const {
  std::vector<int> tasks;
  for (const Step& step : m_steps)
    if (step.message == 0x402) tasks.push_back(step.task);
  return tasks;
}

int ScriptedPlayer::CurrentTask() {
  CCourseDoc* course = Course();
  CTask* task = course ? course->GetCurrentTask() : nullptr;
  return task ? task->GetTaskNumber() : 0;
}

CVariable* ScriptedPlayer::Variable(const char* name) {
  return m_app ? FindVariable(m_app->Variables(), name) : nullptr;
}

double ScriptedPlayer::Number(const char* name) {
  CVariable* variable = Variable(name);
  if (!variable) return 0.0;
  return variable->IsInteger() ? variable->GetLong() : variable->GetReal();
}

CString ScriptedPlayer::Text(const char* name) {
  CVariable* variable = Variable(name);
  return variable ? variable->GetString() : CString();
}

COLORREF ScriptedPlayer::Pixel(int x, int y) { return View().GetBufferPixel(x, y); }

COLORREF ScriptedPlayer::WindowPixel(int x, int y) {
  CPresentationView& view = View();
  std::lock_guard lock(view.SurfaceLock());
  const QImage* surface = view.GetSurface();
  if (!surface || !surface->rect().contains(x, y)) return CLR_INVALID;
  const QRgb c = surface->pixel(x, y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

}  // namespace tvn::testing
