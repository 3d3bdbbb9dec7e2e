// The DLL action: the library found and kept, the call built from the argument text, the result stored.
#include "behaviour/dll_action.h"

#include <algorithm>
#include <memory>

#include "behaviour/dll_arguments.h"
#include "model/archive.h"
#include "model/course_host.h"
#include "model/message_service.h"
#include "model/script.h"
#include "model/string_table.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/base/codepage.h"
#include "platform/sys/dynamic_library.h"
#include "platform/sys/foreign_call.h"

IMPLEMENT_SERIAL(CDLLAction, CAction, VERSIONABLE_SCHEMA | 2)

namespace {

tvn::sys::ForeignReturn ReturnOf(BYTE type) {
  using R = tvn::sys::ForeignReturn;
  switch (type) {
    case DllResult::kText: return R::pointer;
    case DllResult::kByte: return R::uint8;
    case DllResult::kWord: return R::uint16;
    case DllResult::kDword:
    case DllResult::kDwordNotStored: return R::uint32;
    case DllResult::kFloat: return R::float32;
    case DllResult::kDouble: return R::float64;
    default: return R::none;
  }
}

// "%1" and "%2" of a message filled in one pass, so neither argument is read as a placeholder.
CString Format2(const CString& pattern, const CString& first, const CString& second) {
  std::string out;
  std::string_view p = pattern.view();
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (p[i] == '%' && i + 1 < p.size() && (p[i + 1] == '1' || p[i + 1] == '2')) {
      out += (p[i + 1] == '1' ? first : second).str();
      ++i;
    } else {
      out += p[i];
    }
  }
  return CString(out);
}

}  // namespace

void CDLLAction::Serialize(CArchive& ar) {
  m_reserved = ar.ReadLong();
  m_resultVariable = ar.ReadLong();
  m_strLibrary = ar.ReadString();
  m_strFunction = ar.ReadString();
  m_strArgumentTypes = ar.ReadString();
  m_strArguments = ar.ReadString();
  m_resultType = ar.ReadByte();
  CAction::Serialize(ar);
}

void CDLLAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CDLLAction*>(source)) {
    m_reserved = other->m_reserved;
    if (!keepIdentity) {
      m_resultVariable = other->m_resultVariable;
      m_strLibrary = other->m_strLibrary;
      m_strFunction = other->m_strFunction;
      m_strArgumentTypes = other->m_strArgumentTypes;
      m_strArguments = other->m_strArguments;
      m_resultType = other->m_resultType;
    }
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CDLLAction::Execute() {
  if (m_strLibrary.IsEmpty() || m_strFunction.IsEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return TRUE;
  // Libraries are called only for a course of the running program.
  ICourseHost* host = services->Host();
  if (!host || !host->MayReachOutside()) return TRUE;
  CVariableContext& vars = services->Variables();
  const CString arguments = ExpandVariables(vars, m_strArguments, FALSE);

  // Found in the course's folder and the program's; kept loaded for the run.
  std::vector<std::filesystem::path> folders;
  if (!services->GetCourseDirectory().IsEmpty()) folders.emplace_back(services->GetCourseDirectory().str());
  if (!host->GetProgramDirectory().IsEmpty()) folders.emplace_back(host->GetProgramDirectory().str());
  CLibraryTable* table = host->GetLibraries();
  CLibraryTable ownTable;
  CDynamicLibrary* library = (table ? table : &ownTable)->Load(m_strLibrary, folders);
  if (!library) {
    host->Messages().MessageBoxTextBeep(FormatStringId1(StringId::kFileNotFound, m_strLibrary), nullptr, -1);
    return TRUE;
  }

  CVariable* result = m_resultVariable ? FindVariableById(vars, m_resultVariable) : nullptr;
  // One byte more than the callee is told of, so the text it leaves always ends.
  std::unique_ptr<char[]> buffer;
  if (tvn::codepage::Upper(arguments.view()).find("@BUF") != std::string::npos)
    buffer = std::make_unique<char[]>(kBufferSize + 1);

  // By name only: ordinals exist only in Windows libraries.
  const bool byOrdinal = !m_strFunction.IsEmpty() && m_strFunction[0] >= '0' && m_strFunction[0] <= '9';
  void* function = byOrdinal ? nullptr : library->GetProcAddress(m_strFunction.GetString());
  if (!function) {
    CString text = Format2(LoadStringText(StringId::kFunctionNotFound), m_strFunction, m_strLibrary);
    host->Messages().MessageBoxTextBeep(text, nullptr, -1);
    return TRUE;
  }
  if (m_resultType == DllResult::kNotCalled) return TRUE;

  const std::vector<std::string> tokens = SplitDllArguments(arguments.view());
  std::vector<tvn::sys::ForeignArgument> passed;
  for (const std::string& token : tokens) passed.push_back(DllArgumentOf(token, buffer.get()));
  tvn::sys::ForeignResult answer;
  if (!tvn::sys::CallForeignFunction(function, passed, ReturnOf(m_resultType), answer)) return TRUE;

  if (!result) return TRUE;
  switch (m_resultType) {
    case DllResult::kText:
      result->SetString(answer.pointer ? CString(static_cast<const char*>(answer.pointer)) : CString());
      break;
    case DllResult::kByte:
    case DllResult::kWord:
    case DllResult::kDword: result->SetReal(answer.integer); break;
    case DllResult::kFloat:
    case DllResult::kDouble: result->SetReal(answer.real); break;
    default: break;
  }
  if (buffer && buffer[0] != '\0') result->SetString(CString(buffer.get()));
  return TRUE;
}
