#include "playback/course_document.h"

#include "model/data_file.h"
#include "platform/framework/doc_template.h"
#include "platform/sys/program_module.h"
#include "platform/framework/win_app.h"

IMPLEMENT_DYNCREATE(CCourseDocument, CDocument)

CCourseDocument::CCourseDocument() {
  if (auto* host = dynamic_cast<ICourseHost*>(CWinApp::Get())) m_course = std::make_unique<CCourseDoc>(*host);
}

CCourseDocument::~CCourseDocument() {
  // A close asked for and never carried out must not end the loops of a
  // course made later at the same place.
  if (CWinApp* app = CWinApp::Get()) app->EndOwnerClose(m_course.get());
}

BOOL CCourseDocument::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return FALSE;
  return m_course ? TRUE : FALSE;
}

CString CCourseDocument::FullName(const CString& path) const {
  // A packed data file entry is named as given; a file on disk by its full
  // path, so that a course asking for itself by name finds the open copy
  // whatever name it was started by.
  if (!m_course || m_course->Host()->DataFile().FindEntry(path.view())) return path;
  return tvn::sys::GetFullPathName(path);
}

BOOL CCourseDocument::OnOpenDocument(const CString& path) {
  if (!m_course) return FALSE;
  return m_course->OnOpenDocument(FullName(path));
}

void CCourseDocument::SetPathName(const CString& path) {
  const CString name = FullName(path);
  CDocument::SetPathName(name);
  if (m_course) m_course->SetPathName(name);
}

void CCourseDocument::OnCloseDocument() {
  CWinApp* app = CWinApp::Get();
  if (app && app->InNestedLoop()) {
    // A loop runs over code of this course (a box or dialog of its actions,
    // the wait of a move, a transition, an MCI "wait", the pump at a task's
    // end), which must find the course alive when the loop returns: the
    // course's own loops end now, and it closes once every loop has returned.
    app->BeginOwnerClose(m_course.get());
    if (m_closePending) return;
    m_closePending = true;
    app->PostWhenUnwound([this, alive = std::weak_ptr<bool>(m_alive)] {
      if (alive.expired()) return;  // closed meanwhile with the program
      m_closePending = false;
      OnCloseDocument();
    });
    return;
  }
  if (app) app->EndOwnerClose(m_course.get());
  // The course lets go of the page, its fonts and the host's pointers first;
  // the framework then destroys the frames and deletes this document.
  if (m_course) m_course->OnCloseDocument();
  CDocument::OnCloseDocument();
}

void CCourseDocument::DeleteContents() {
  if (m_course) m_course->DeleteContents();
}

CCourseDocument* CCourseDocument::Of(const CCourseDoc* course) {
  CWinApp* app = CWinApp::Get();
  if (!app || !course) return nullptr;
  for (const auto& docTemplate : app->Templates())
    for (const auto& doc : docTemplate->Documents())
      if (auto* wrapper = DynamicDowncast<CCourseDocument>(doc.get()); wrapper && wrapper->Course() == course)
        return wrapper;
  return nullptr;
}
