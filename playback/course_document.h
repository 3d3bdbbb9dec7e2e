// CCourseDocument: the framework's document for one open course. The course
// itself (CCourseDoc) knows nothing of documents and templates; this wraps it
// so that the course template can open, list and close courses, and so that
// the page can tell the courses of its draw objects apart.
#pragma once

#include <memory>

#include "model/course_doc.h"
#include "platform/framework/document.h"

class CCourseDocument : public CDocument {
  DECLARE_DYNCREATE(CCourseDocument)

 public:
  // The course is served by the running application's course host; without
  // one the document stays empty and never opens.
  CCourseDocument();
  ~CCourseDocument() override;

  CCourseDoc* Course() const { return m_course.get(); }

  BOOL OnNewDocument() override;
  BOOL OnOpenDocument(const CString& path) override;
  // The course names itself as given (a packed data file entry keeps its name).
  void SetPathName(const CString& path) override;
  void OnCloseDocument() override;
  void DeleteContents() override;

  // The document that wraps the course, among the template's documents.
  static CCourseDocument* Of(const CCourseDoc* course);

 private:
  // The name a course keeps: its full path, or a packed entry's own name.
  CString FullName(const CString& path) const;

  std::unique_ptr<CCourseDoc> m_course;
  // A close asked for under a modal loop, waiting for the loops to unwind.
  bool m_closePending = false;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
