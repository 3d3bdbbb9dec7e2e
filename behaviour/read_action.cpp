// The read action: the file found as media are, the section picked out, the value stored by the variable's type.
#include "behaviour/read_action.h"

#include "model/archive.h"
#include "model/course_host.h"
#include "model/data_mem_file.h"
#include "model/file_error_report.h"
#include "model/message_service.h"
#include "model/script.h"
#include "model/string_table.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/text_sections.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/base/number_text.h"

IMPLEMENT_SERIAL(CReadAction, CAction, VERSIONABLE_SCHEMA | 3)

void CReadAction::Serialize(CArchive& ar) {
  const UINT schema = ar.GetObjectSchema();
  m_flags = ar.ReadLong();
  m_variableId = ar.ReadLong();
  m_strFileName = ar.ReadString();
  if (schema >= 3) {
    m_strMarker = ar.ReadString();
    m_strSection = ar.ReadString();
  }
  CAction::Serialize(ar);
  if (!(m_flags & (ReadFlag::kNotCollected | ReadFlag::kCollected))) m_flags |= ReadFlag::kNotCollected;
}

void CReadAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CReadAction*>(source)) {
    m_flags = other->m_flags;
    if (!(keepIdentity && other->m_strFileName.IsEmpty())) m_strFileName = other->m_strFileName;
    if (!keepIdentity) {
      m_variableId = other->m_variableId;
      m_strSection = other->m_strSection;
      m_strMarker = other->m_strMarker;
    }
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CReadAction::CollectFiles(CStringArray* files, int) {
  if ((m_flags & ReadFlag::kNotCollected) || m_strFileName.IsEmpty() || !files) return FALSE;
  files->Add(m_strFileName);
  return TRUE;
}

BOOL CReadAction::Execute() {
  if (m_strFileName.IsEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return TRUE;
  CVariableContext& vars = services->Variables();
  const CString path = services->FindMediaFile(m_strFileName);

  ICourseHost* host = services->Host();
  CDataFile* dataFile = host ? &host->DataFile() : nullptr;
  IPreloadCache* cache = host ? host->GetPreloadCache() : nullptr;
  CDataMemFile file(dataFile, cache);
  CFileException openError;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &openError)) return TRUE;

  std::string text;
  int error = 0;
  try {
    const ULONGLONG length = file.GetLength();
    if (length > kLargestFile) throw std::bad_alloc();
    text.resize(static_cast<std::size_t>(length));
    std::size_t done = 0;
    while (done < text.size()) {
      UINT got = file.Read(text.data() + done, static_cast<UINT>(text.size() - done));
      if (got == 0) break;
      done += got;
    }
    text.resize(done);
  } catch (const std::bad_alloc&) {
    if (host) host->Messages().MessageBoxBeep(StringId::kOutOfMemory, nullptr, -1);
    return TRUE;
  } catch (const std::exception& failure) {
    if (host) {
      CFileErrorReporter reporter(vars, host->Messages());
      reporter.ReportFileErrorToVariables(path, failure, FALSE, StringId::kReadSharing);
    }
    const auto* fileFailure = dynamic_cast<const CFileException*>(&failure);
    error = fileFailure && fileFailure->m_cause ? fileFailure->m_cause : 1;
  }
  file.Close();
  if (error) return TRUE;

  // The text is zero-terminated: anything after a zero byte is not part of it.
  std::string_view value(text.data(), std::min(text.size(), text.find('\0')));
  if ((m_flags & ReadFlag::kSection) && !m_strMarker.IsEmpty() && !m_strSection.IsEmpty()) {
    const CString name = ExpandVariables(vars, m_strSection, FALSE);
    auto section = FindSection(value, m_strMarker.view(), name.view());
    if (!section) return TRUE;
    value = *section;
  }

  CVariable* target = FindVariableById(vars, m_variableId);
  if (!target) return TRUE;
  if (target->GetType() == VarType::kString) {
    target->SetString(CString(value));
  } else if (target->GetType() == VarType::kNumber) {
    auto number = tvn::numtext::ParseDoublePrefix(value);
    target->SetReal(number ? number->value : 0.0);
  }
  return TRUE;
}
