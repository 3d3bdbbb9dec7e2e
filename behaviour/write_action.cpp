// The write action: where its file goes, how it opens, and its stored form.
#include "behaviour/write_action.h"

#include "model/archive.h"
#include "model/course_host.h"
#include "model/message_service.h"
#include "model/script.h"
#include "model/string_table.h"
#include "model/task.h"
#include "model/task_services.h"
#include "platform/sys/file.h"

IMPLEMENT_SERIAL(CWriteAction, CAction, VERSIONABLE_SCHEMA | 2)

void CWriteAction::Serialize(CArchive& ar) {
  m_flags = ar.ReadLong();
  m_strFileName = ar.ReadString();
  m_strText = ar.ReadString();
  CAction::Serialize(ar);
  if (!(m_flags & (WriteFlag::kChoiceA | WriteFlag::kChoiceB))) m_flags |= WriteFlag::kChoiceA;
}

void CWriteAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CWriteAction*>(source)) {
    m_flags = other->m_flags;
    if (!(keepIdentity && other->m_strFileName.IsEmpty())) m_strFileName = other->m_strFileName;
    if (!(keepIdentity && other->m_strText.IsEmpty())) m_strText = other->m_strText;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CWriteAction::Execute() {
  if (m_strText.IsEmpty() || m_strFileName.IsEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return TRUE;
  // Files are written only for a course of the running program.
  ICourseHost* host = services->Host();
  if (!host || !host->MayReachOutside()) return TRUE;
  CVariableContext& vars = services->Variables();

  CString path = ExpandVariables(vars, m_strFileName, FALSE);
  // A bare name goes into the first search path, put in front as it stands
  // (no separator added), its variables expanded as media lookups do.
  if (path.FindOneOf("\\:/") < 0 && host->SearchPaths().GetSize() > 0)
    path = ExpandVariables(vars, host->SearchPaths()[0], FALSE) + path;

  CFile file;
  // Flags with neither choice append, so nothing already written is lost.
  const UINT mode = (m_flags & WriteFlag::kReplace) ? CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive
                                                    : CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                                          CFile::shareExclusive;
  CFileException error;
  if (!file.Open(path, mode, &error)) {
    host->Messages().MessageBoxFormatBeep(StringId::kCannotOpenFileQuoted, &path, nullptr, -1);
    return TRUE;
  }
  try {
    if (!(m_flags & WriteFlag::kReplace)) file.SeekToEnd();
    const CString text = ExpandVariables(vars, m_strText, FALSE);
    file.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
    file.Close();
  } catch (const std::exception&) {
    // Write errors are not reported.
    file.Abort();
  }
  return TRUE;
}
