// The simulator action: one call of the simulator library's entry point per run.
#include "behaviour/simulator_action.h"

#include "model/archive.h"
#include "model/course_host.h"
#include "model/string_table.h"
#include "model/task.h"
#include "platform/sys/dynamic_library.h"
#include "platform/sys/foreign_call.h"

IMPLEMENT_SERIAL(CSimulatorAction, CAction, VERSIONABLE_SCHEMA | 2)

void CSimulatorAction::Serialize(CArchive& ar) {
  m_strSimulation = ar.ReadString();
  CAction::Serialize(ar);
}

void CSimulatorAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CSimulatorAction*>(source)) {
    m_result = other->m_result;
    m_strSimulation = other->m_strSimulation;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CSimulatorAction::Execute() {
  ITaskServices* services = TaskServicesOf(this);
  ICourseHost* host = services ? services->Host() : nullptr;
  if (!host || !host->MayReachOutside() || !host->IsSimulatorPresent() || m_strSimulation.IsEmpty()) return TRUE;
  const CString directory = host->GetProgramDirectory();
  CDynamicLibrary library;
  if (directory.IsEmpty() ||
      !library.LoadMapped(directory + LoadStringText(StringId::kSimulatorLibrary), {}, FALSE))
    return TRUE;  // the last result stays
  std::uint32_t answer = 0;
  if (void* entry = library.GetProcAddress(kEntryPoint)) {
    using Kind = tvn::sys::ForeignArgument::Kind;
    tvn::sys::ForeignArgument window;
    window.kind = Kind::pointer;
    window.pointer = reinterpret_cast<const void*>(host->GetNativeViewWindow());
    tvn::sys::ForeignArgument name;
    name.kind = Kind::pointer;
    name.pointer = m_strSimulation.GetString();
    tvn::sys::ForeignResult result;
    if (tvn::sys::CallForeignFunction(entry, {window, name}, tvn::sys::ForeignReturn::uint32, result))
      answer = result.integer;
  }
  m_result = static_cast<LONG>(answer >> 16);
  return TRUE;
}
