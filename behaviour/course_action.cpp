#include "behaviour/course_action.h"

#include "model/archive.h"
#include "model/course_doc.h"
#include "model/course_host.h"
#include "model/task.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CCourseAction, CAction, VERSIONABLE_SCHEMA | 2)

void CCourseAction::Serialize(CArchive& ar) {
  m_dwCourseFlags = ar.ReadDword();
  m_strCourseFile = ar.ReadString();
  m_task.Serialize(ar);
  CAction::Serialize(ar);
}

void CCourseAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CCourseAction*>(source)) {
    m_dwCourseFlags = other->m_dwCourseFlags;
    if (!(keepIdentity && other->m_strCourseFile.IsEmpty())) m_strCourseFile = other->m_strCourseFile;
    if (!keepIdentity) m_task = other->m_task;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CCourseAction::CollectFiles(CStringArray* files, int) {
  if (m_strCourseFile.IsEmpty() || !files) return FALSE;
  files->Add(m_strCourseFile);
  return TRUE;
}

ICourseSwitcher* CCourseAction::Switcher() {
  ITaskServices* services = TaskServicesOf(this);
  return services ? dynamic_cast<ICourseSwitcher*>(services->Host()) : nullptr;
}

BOOL CCourseAction::Execute() {
  ICourseSwitcher* switcher = Switcher();
  if (!switcher) return TRUE;
  CCourseDoc* remembered = switcher->GetCurrentCourse();
  if (m_strCourseFile.IsEmpty()) return TRUE;

  // Without a current course there is nothing to resolve against: the
  // stored name is opened as it is.
  const CString path = remembered ? remembered->FindMediaFile(m_strCourseFile) : m_strCourseFile;
  CCourseDoc* found = switcher->FindDocument(path);

  if ((m_dwCourseFlags & CourseFlag::kClose) && found && found != remembered && !found->GetCallerCourse()) {
    found->SetCloseMark(TRUE);
    if (remembered) remembered->SetCallerCourse(nullptr, nullptr);
    return TRUE;
  }

  ITaskServices* services = TaskServicesOf(this);
  const LONG task = services ? m_task.GetLong(services->Variables()) : m_task.GetLiteral();

  CCourseDoc* started = found ? found : switcher->OpenPresentation(path, TRUE);
  switcher->SetCurrentCourse(started);
  if (!started) {
    switcher->SetCurrentCourse(remembered);
    return TRUE;
  }

  if (m_dwCourseFlags & CourseFlag::kCall) {
    // A course that calls itself would return to itself for ever.
    started->SetCallerCourse(started == remembered ? nullptr : remembered, nullptr);
  } else if (m_dwCourseFlags & CourseFlag::kReplace) {
    if (remembered && remembered != started) remembered->SetCloseMark(TRUE);
    started->SetCallerCourse(nullptr, nullptr);
  } else {
    started->SetCallerCourse(nullptr, nullptr);
  }

  const WPARAM wParam = (m_dwCourseFlags & CourseFlag::kGoToTask) ? static_cast<WPARAM>(task) : 0;
  switcher->PostViewMessage(kRunFromAnotherCourse, wParam, 0);
  return FALSE;
}
