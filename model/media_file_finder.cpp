// CCourseDoc::FindMediaFile: where a file name a course uses is found.
#include "model/course_doc.h"
#include "model/data_file.h"
#include "model/path_helpers.h"
#include "model/script.h"

CString CCourseDoc::FindMediaFile(const CString& name) {
  CVariableContext& variables = m_host.Variables();
  CString expanded = ExpandVariables(variables, name, FALSE);
  // The readers open a packed entry from the data file, whatever lies on disk.
  if (m_host.DataFile().FindEntry(expanded.view())) return expanded;

  const CString& dir = m_strCourseDirectory;
  if (expanded.FindOneOf(":/\\") >= 0) {
    if (FileExists(expanded)) return expanded;
    if (!dir.IsEmpty()) {
      // The same path under the course folder, its drive taken away.
      CString rest = expanded.Mid(expanded.Find(':') + 1);
      if (!rest.IsEmpty() && (rest[0] == '\\' || rest[0] == '/')) rest = rest.Mid(1);
      CString candidate = dir + rest;
      if (FileExists(candidate)) return candidate;
    }
  }
  CString filePart(GetFileNameFromPath(expanded.view()));
  if (!dir.IsEmpty()) {
    CString candidate = dir + filePart;
    if (FileExists(candidate)) return candidate;
  }
  // No separator is put between: a search path works only when it ends in one.
  for (const CString& path : m_host.SearchPaths()) {
    CString candidate = ExpandVariables(variables, path, FALSE) + filePart;
    if (FileExists(candidate)) return candidate;
  }
  CString found;
  if (FindFileOnPath(found, expanded)) return found;
  return expanded;
}
