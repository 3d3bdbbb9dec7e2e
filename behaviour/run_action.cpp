// The run action: the command line it builds, where the program comes from, and what follows its start.
#include "behaviour/run_action.h"

#include <cerrno>

#include "model/archive.h"
#include "model/course_host.h"
#include "model/message_service.h"
#include "model/path_helpers.h"
#include "model/program_watch.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/sys/desktop_apps.h"
#include "platform/base/host_path.h"
#include "platform/sys/process.h"
#include "platform/user/program_windows.h"
#include "platform/user/wait_rule.h"

IMPLEMENT_SERIAL(CRunAction, CAction, VERSIONABLE_SCHEMA | 2)

void CRunAction::Serialize(CArchive& ar) {
  m_strProgram = ar.ReadString();
  m_strParameters = ar.ReadString();
  m_flags = ar.ReadLong();
  CAction::Serialize(ar);
}

void CRunAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CRunAction*>(source)) {
    m_flags = other->m_flags;
    if (!(keepIdentity && other->m_strProgram.IsEmpty())) m_strProgram = other->m_strProgram;
    if (!(keepIdentity && other->m_strParameters.IsEmpty())) m_strParameters = other->m_strParameters;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CRunAction::Execute() {
  if (m_strProgram.IsEmpty() && m_strParameters.IsEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return TRUE;
  // Programs start only for a course of the running program.
  ICourseHost* host = services->Host();
  if (!host || !host->MayReachOutside()) return TRUE;
  CVariableContext& vars = services->Variables();
  CString command = ExpandVariables(vars, m_strProgram, FALSE);
  const CString argument = ExpandVariables(vars, m_strParameters, FALSE);

  if (command.IsEmpty() && !argument.IsEmpty()) {
    // The program the desktop opens the document with; none: silently nothing.
    auto document = tvn::path::MapWindowsPath(argument);
    auto program = document ? tvn::sys::FindExecutableFor(*document) : std::nullopt;
    if (!program) return TRUE;
    command = CString(*program);
  }

  // Of the window bits, maximised wins over minimised, and minimised over hidden.
  const int show = (m_flags & RunFlag::kMaximised)   ? tvn::sys::kShowMaximised
                   : (m_flags & RunFlag::kMinimised) ? tvn::sys::kShowMinimised
                   : (m_flags & RunFlag::kHidden)    ? tvn::sys::kShowHidden
                                                     : tvn::sys::kShowNormal;
  if (m_flags & RunFlag::kUseRunningCopy) {
    const std::string key(GetFileNameFromPath(command.view()));
    if (int running = tvn::sys::FindRunningProgram(key)) {
      tvn::sys::RaiseProgramWindow(running, show);
      return TRUE;
    }
  }

  // No quoting is added: the line is split by the Windows rules as it stands.
  const CString line = argument.IsEmpty() ? command : command + " " + argument;
  IProgramWatch* watch = host->GetProgramWatch();
  if (!(m_flags & RunFlag::kWait) && !watch) return TRUE;  // nothing could follow or reap the program

  tvn::sys::StartResult started = tvn::sys::StartCommandLine(line.view());
  if (!started.process) {
    errno = started.error;
    host->Messages().ShowLastErrorMessage(nullptr, -1);
    return TRUE;
  }
  // The new program's first window gets the state asked for once it appears,
  // matched by this process's id alone; the wait runs beside the page.
  std::unique_ptr<tvn::sys::ProgramWindowShow> window;
  if (show != tvn::sys::kShowNormal) window = std::make_unique<tvn::sys::ProgramWindowShow>(started.process, show);
  if (m_flags & RunFlag::kWait) {
    // A close that ends the wait first leaves the program running: the watch
    // list collects it.
    if (!WaitForProgram(started.process) && watch) watch->Release(started.process);
    return TRUE;  // the program has ended: its window is no longer waited for
  }
  if (m_flags & RunFlag::kWatch) watch->Add(started.process, static_cast<WORD>(m_flags & 0xFFFF));
  else watch->Release(started.process);
  if (window) {
    std::erase_if(m_pendingWindows.list, [](const auto& pending) { return pending->Finished(); });
    m_pendingWindows.list.push_back(std::move(window));
  }
  return TRUE;
}
