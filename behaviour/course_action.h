// CCourseAction: closes, calls, replaces or starts another course, at its first task or a given one.
#pragma once

#include "behaviour/action.h"
#include "behaviour/course_switcher.h"
#include "model/var_or_value.h"
#include "page/view_messages.h"

// Course flag bits; the others are stored and copied only.
namespace CourseFlag {
constexpr DWORD kCall = 0x02;     // the current course becomes the started course's caller
constexpr DWORD kReplace = 0x08;  // the current course gets the close mark
constexpr DWORD kClose = 0x20;    // close the named course instead of starting it
constexpr DWORD kGoToTask = 0x40; // start at the task field's task
}  // namespace CourseFlag

// On disk: course flags, course file, the task (inline), then the common part.
class CCourseAction : public CAction {
  DECLARE_SERIAL(CCourseAction)

 public:
  static constexpr UINT kRunFromAnotherCourse = ViewMessage::kRunFromAnotherCourse;

  CCourseAction() : CAction(ActionKind::kCourse) {}
  CCourseAction(const CCourseAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  // FALSE once another course has been started: the rest of the list is not run.
  BOOL Execute() override;
  // The course file as written, not resolved.
  BOOL CollectFiles(CStringArray* files, int flags) override;

  const CString& GetCourseFile() const { return m_strCourseFile; }
  void SetCourseFile(const CString& file) { m_strCourseFile = file; }
  DWORD GetCourseFlags() const { return m_dwCourseFlags; }
  void SetCourseFlags(DWORD flags) { m_dwCourseFlags = flags; }
  CVarOrValue& Task() { return m_task; }

 private:
  ICourseSwitcher* Switcher();

  CString m_strCourseFile;
  DWORD m_dwCourseFlags = 4;
  CVarOrValue m_task;
};
