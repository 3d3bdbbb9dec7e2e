// CCourseDoc: building, emptying and closing the course document.
#include "model/course_doc.h"

CCourseDoc::CCourseDoc(ICourseHost& host)
    : m_host(host), m_ptOrigin(host.GetDefaultOrigin(), host.GetDefaultOrigin()) {
  ResetContents();
}

CCourseDoc::~CCourseDoc() {
  m_fonts->RemoveFonts(m_host.Fonts());
  if (m_host.GetOpeningCourse() == this) m_host.SetOpeningCourse(nullptr);
  m_pCurrentTask = nullptr;
  m_tasks.RemoveAll();
}

void CCourseDoc::ResetContents() {
  if (m_fonts) m_fonts->RemoveFonts(m_host.Fonts());
  m_fonts = std::make_unique<CEmbeddedFontObjList>();
  m_packaging = std::make_unique<CPackagerInfo>();
  m_searchPaths.RemoveAll();
  m_variables = std::make_unique<CVariableTable>(1);
  m_strHeader.Empty();
  m_nHeaderFlags = 0;
  m_nFileVersion = 0;
  m_courseObject = std::make_unique<CIconObject>();
}

void CCourseDoc::DeleteContents() {
  if (!m_host.IsClosing()) m_host.FreePageObjects(this);
  m_pCurrentTask = nullptr;
  m_pCurrentResponse = nullptr;
  m_tasks.RemoveAll();
  // Nothing of a file read before, or of one that failed half-way, stays behind.
  ResetContents();
}

void CCourseDoc::OnCloseDocument() {
  m_fonts->RemoveFonts(m_host.Fonts());
  // The pointer would dangle once this document is gone, view or no view.
  if (m_host.GetOpeningCourse() == this) m_host.SetOpeningCourse(nullptr);
  DeleteContents();
}

void CCourseDoc::SetCallerCourse(CCourseDoc* course, CTask* task) {
  m_pCallerCourse = course;
  m_pCallerTask = task;
}
