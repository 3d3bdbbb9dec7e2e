// CPresentationView: the page of the presentation window and the stepping of
// the course through its tasks.
//
// The stepping here is the plain road: a task is entered (0x401, posted), its
// actions run (0x402, sent), and when it waits for nothing it is finished
// (0x403, sent) and the next task is entered; a key a response takes finishes
// a task that waits; a course that has no next task
// ends playback and the program. Armed events, timers, media notices, focus
// and returning to a calling course come with the full stepping.
#pragma once

#include "model/page_access.h"
#include "playback/off_screen_view.h"

class CCourseDoc;
class CPlayerApp;

class CPresentationView : public COffScreenView, public IPageAccess {
  DECLARE_DYNCREATE(CPresentationView)

 public:
  // The view makes itself the application's presentation view.
  CPresentationView();
  ~CPresentationView() override;

  // Starts the current course from its first task.
  void StartPresentation();
  // Starts the current course at the task of that number (the first when
  // there is none); 0 when it did.
  LRESULT OnRunFromAnotherCourse(WPARAM taskNumber, LPARAM);
  LRESULT OnTaskEntered();
  LRESULT OnRunTask();
  LRESULT OnTaskFinished();
  // Command 32805: workers stop, the animation threads are told to end, the
  // course's timers go.
  void OnStopCourse();

  // The course that draw objects made now belong to.
  CDocument* GetCurrentCourse() override;

  // IPageAccess
  bool RemoveObjectOf(CIconObject* owner) override;
  void StopSound(CIconObject*) override {}

  // The frame hands every command here first. Opening a course (2092, 1260)
  // asks for a file; stopping (32805) stops the course.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CCourseDoc* CurrentCourse() const;
  void OpenCourseFromDialog();
  void EndPlayback();
  // "CurrentTaskTag" moves to "PreviousTaskTag" and takes the task's number.
  void UpdateTaskTags(CCourseDoc& course);
};
