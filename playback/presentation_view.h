// CPresentationView: the one window a course plays in. It steps the current
// course through its tasks with three private messages: a task is entered
// (0x401, posted, so each task starts from a fresh turn of the loop), its
// actions run (0x402, sent) and it is finished (0x403, sent). Every kind of
// input goes the same road: the armed events of all open courses first, then
// the owners on the page, then the current task's responses.
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "behaviour/armed_event_list.h"
#include "behaviour/process_watch_list.h"
#include "behaviour/response_view.h"
#include "controls/hypertext_notify.h"
#include "controls/rich_text_view.h"
#include "model/input_source.h"
#include "model/page_access.h"
#include "model/task_services.h"
#include "platform/user/cursor.h"
#include "playback/activex_sites.h"
#include "playback/app_resources.h"
#include "page/off_screen_view.h"
#include "playback/view_services.h"

class CDdeLink;
class CPlayerDdeCommands;

class CCourseDoc;
class CDrawObj;
class CWindowAction;
class CPlayingSounds;
class CEffectResources;

// Timer ids of the view that are not time events'.
namespace ViewTimer {
constexpr UINT kResponse = 18;  // the time response
constexpr UINT kFrame = 37;     // the frame response
constexpr UINT kWatch = 79;     // the watched programs, every 500 ms
// Ids above this one belong to armed time events.
constexpr UINT kLastFixed = 200;
}  // namespace ViewTimer

// Private messages the view answers besides the three of the stepping.
namespace ViewMessageMore {
constexpr UINT kUnused406 = 0x406;
constexpr UINT kUnused407 = 0x407;
using ViewMessage::kRunFromAnotherCourse;
}  // namespace ViewMessageMore

// The cursor the view shows.
namespace ViewCursor {
constexpr int kSystem = 0;
constexpr int kHand = 1;
constexpr int kCourse = 2;
}  // namespace ViewCursor

class CPresentationView : public COffScreenView,
                          public IPageAccess,
                          public IResponseView,
                          public IRichTextView,
                          private IArmedEventHost {
  DECLARE_DYNCREATE(CPresentationView)

 public:
  // The codes input carries to the course's objects (the view offers under kSourceView).
  using enum InputSource;
  // The command that stops the course.
  static constexpr UINT kStopCourseCommand = AppCommand::kStopCourse;
  static constexpr UINT kRepaintAllCommand = 32938;
  static constexpr UINT kCancelCaptureCommand = 32828;
  // The framework's print command that asks no questions.
  static constexpr UINT kPrintDirectCommand = 0xE108;

  // The view makes itself the application's presentation view.
  CPresentationView();
  ~CPresentationView() override;

  // --- stepping ---
  // Starts the current course from its first task.
  void StartPresentation();
  // Starts the current course at the task of that number (the first when
  // there is none); 0 always.
  LRESULT OnRunFromAnotherCourse(WPARAM taskNumber, LPARAM);
  LRESULT OnTaskEntered();
  LRESULT OnRunTask();
  LRESULT OnTaskFinished();
  // Workers stop, the course's timers, sounds, armed events and controls go.
  // The running flag stays as it is.
  void OnStopCourse();

  // Told of every step (0x401, 0x402, 0x403) with the number of the task
  // that is current when the step begins (0 without one); for watching a
  // course play.
  using StepListener = std::function<void(UINT message, int taskNumber)>;
  void SetStepListener(StepListener listener) { m_stepListener = std::move(listener); }

  // --- timers and notices ---
  void OnTimer(UINT id) override;
  LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnMciSignal(WPARAM wParam, LPARAM lParam);
  LRESULT OnWaveDone(WPARAM wParam, LPARAM lParam);
  // Counts the users of the idle-time animation step; no timer is involved.
  void SetAnimationTimer() override { ++m_nAnimationUsers; }
  // The program's media layer and files, with this view as the owner of every notice.
  MediaEnvironment GetMediaEnvironment() override;
  void KillAnimationTimer(BOOL force);
  int GetAnimationUsers() const { return m_nAnimationUsers; }
  ITimerOwner& Timers() { return m_timers; }

  // --- the armed events and the services the view reaches ---
  CArmedEventList& GetArmedEventList() { return m_armedEvents; }
  // Another list of playing sounds; null: the view's own.
  void SetPlayingSounds(IPlayingSounds* sounds);
  IPlayingSounds& GetPlayingSounds() { return *m_pSounds; }
  // The view's own list of started programs unless another is given.
  void SetProgramWatch(IProgramWatch* watch) { m_pWatch = watch ? watch : &m_watchList; }
  IProgramWatch* GetProgramWatch() { return m_pWatch; }
  void SetControlSites(IControlSites* sites) { m_pSites = sites ? sites : &m_activeXSites; }
  int GetLookAheadPreload() const { return m_nLookAheadPreload; }
  void SetLookAheadPreload(int value) override { m_nLookAheadPreload = value; }
  DWORD GetPaletteMode() const override { return m_dwPaletteMode; }
  void SetPaletteMode(DWORD mode) override { m_dwPaletteMode = mode; }
  CPreloadCache* GetPreloadCache() override;

  // The page's own window action.
  CWindowAction& GetWindowSettings();
  // The DDE service and client of the runtime; null for a view without the application.
  CDdeLink* GetDdeLink() const { return m_ddeLink.get(); }

  // --- printing ---
  // Keeps the arguments and prints the page on the application's printer;
  // without one, or when it cannot be started, message 61702 and nothing is
  // printed. A printer that prints to a file asks for the file first. Run
  // while the direct-print command is handled, the job goes to the printer
  // the command line's "/pt" named, when it named one. Waiting messages are
  // handled while the job runs (the view's own input is dropped); an Escape
  // or the quit message cancels the job, and nothing is printed.
  void PrintArea(const CRect& margins, DWORD mode, int scale) override;

  // --- cursors ---
  // With a cursor: the course's own (state 2); without: the hand (state 1).
  void SetCursor(HCURSOR cursor) override;
  // Back to the kept system cursor (state 0) when another shows, or when forced.
  void RestoreCursor(BOOL force) override;
  // The application's cursor of a cursor file (null: none could be read).
  HCURSOR GetCursor(const CString& fileName) override;
  void SetSystemCursorId(UINT id) { m_nCursorId = id; }
  UINT GetSystemCursorId() const { return m_nCursorId; }
  int GetCursorState() const { return m_nCursorState; }

  // --- rich text (IRichTextView) ---
  BOOL IsPlaying() override { return IsRunning() ? TRUE : FALSE; }
  void ShowHandCursor() override { SetCursor(nullptr); }
  void RestoreCursor() override { RestoreCursor(FALSE); }
  // The record waits in the view until its 953 is handled, in order with input.
  void PostHyperTextClick(const HyperTextNotify& click) override;
  CWnd* GetViewWindow() override { return this; }

  // --- dragging ---
  BOOL IsDragging() const { return m_bDragging; }
  // While a drop is offered: the response the dropped object is linked to.
  CIconObject* GetDropPartner() override;
  // 0 until a course has been started in the view, then 1 for good.
  BOOL IsMode1() override { return m_nMode == 1; }
  CDrawObj* GetDraggedObject() const { return m_pDraggedObject; }
  // Scrolls while the cursor stays in a margin of the window; TRUE when it scrolled.
  BOOL AutoScroll(CPoint screenPoint, BOOL dragging);

  // --- IPageAccess and the page ---
  CDocument* GetCurrentCourse() override;
  bool RemoveObjectOf(CIconObject* owner) override;
  void StopSound(CIconObject* action) override { m_pSounds->StopSound(action); }
  void PlaySound(CIconObject* action) override { m_pSounds->Play(action); }
  CIconObject* FindPlayingSound(const CString& name) override { return m_pSounds->FindByFile(name); }

  // --- commands and messages ---
  // The frame hands every command here first; TRUE when handled.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // An ActiveX control's event; TRUE when handled.
  BOOL OnControlEvent(LONG controlId, void* eventRecord);
  // Control events (CN_EVENT) go to OnControlEvent; the rest on the framework's way.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  int OnCreate(const CREATESTRUCT& cs) override;
  // The page scrolls over the screen's size until a window action says otherwise.
  void OnInitialUpdate() override;
  BOOL OnEraseBkgnd() override { return TRUE; }
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  void OnRButtonDblClk(UINT flags, CPoint point) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;

  // The current task's turn after the owners on the page.
  BOOL OfferMouseMoveToTask(UINT flags, CPoint point) override;
  BOOL OfferButtonToTask(UINT message, UINT flags, CPoint point) override;
  BOOL OfferNotifyToTask(WPARAM wParam, LPARAM lParam) override;
  BOOL OfferControlEventToTask(LONG id, void* event) override;
  void DestroyCourse() override;

 private:
  // Sets the view timers for the course's objects.
  class ViewTimers final : public ITimerOwner {
   public:
    explicit ViewTimers(CPresentationView& view) : m_view(view) {}
    void SetTimer(UINT id, UINT intervalMs) override;
    void KillTimer(UINT id) override;

   private:
    CPresentationView& m_view;
  };

  // IArmedEventHost
  BOOL IsCourseOpen(const CCourseDoc* course) override;
  CCourseDoc* GetActiveCourse() override { return CurrentCourse(); }
  void SetActiveCourse(CCourseDoc* course) override;

  CCourseDoc* CurrentCourse() const;
  // The current course while it goes on: none once its close, or the
  // program's, has been asked for (no further step, event or response of it runs).
  CCourseDoc* PlayingCourse() const;
  bool Runs() const { return IsRunning() && PlayingCourse(); }
  // "CurrentTaskTag" moves to "PreviousTaskTag" and takes the task's number.
  void UpdateTaskTags(CCourseDoc& course);
  void KillResponseTimers();
  void TellStep(UINT message);
  void RestoreFocus();
  void ReturnToCaller(CCourseDoc& finished);
  void EndPlayback();
  // A course that may close once nothing refers to it.
  bool IsReferenced(CCourseDoc* course);
  void CloseCourse(CCourseDoc* course);

  // Input: the point in the view's client coordinates, made logical.
  CPoint LogicalPoint(CPoint client) const;
  void SetLongVariable(const char* name, LONG value);
  void SetStringVariable(const char* name, const CString& value);
  // Armed events, then the page's owners and the task's responses.
  void RouteButton(UINT message, UINT flags, CPoint logical);
  // TRUE when an armed event or a response took the key.
  BOOL RouteKey(int key, UINT flags);
  void RouteRightButton(UINT message, UINT flags, CPoint point);

  // Dragging.
  // TRUE when the topmost object under the point and its colour is draggable.
  BOOL StartDrag(CPoint logical, COLORREF colour);
  void DragTo(CPoint logical);
  // TRUE when the drop was accepted and routing ends.
  BOOL Drop(UINT flags);
  IDragPartner* PartnerOf(CDrawObj* obj) const;
  void SetCentreVariables(const char* xName, const char* yName, const CRect& rect);

  void OpenCourseFromDialog();
  // OnCommand's work: the course first while it runs, then the view's own commands.
  BOOL RouteCommand(UINT id, LPARAM lParam);
  void OnRepaintAll();

  CArmedEventList m_armedEvents{*this};
  ViewTimers m_timers{*this};
  CAbsentPlayingSounds m_absentSounds;
  CProcessWatchList m_watchList{m_timers, [this](UINT message, WPARAM wParam, LPARAM lParam) {
                                  PostMessage(message, wParam, lParam);
                                }};
  CActiveXSites m_activeXSites{*this};
  // The application's sounds when it has a media layer.
  std::unique_ptr<CPlayingSounds> m_ownSounds;
  std::unique_ptr<CEffectResources> m_effectResources;
  IPlayingSounds* m_pSounds = &m_absentSounds;
  IProgramWatch* m_pWatch = &m_watchList;
  IControlSites* m_pSites = &m_activeXSites;

  CDrawObj* m_pDraggedObject = nullptr;  // on the page; not owned
  CPoint m_dragOffset;
  int m_nCursorState = ViewCursor::kSystem;
  UINT m_nCursorId = IDC_ARROW;
  HCURSOR m_hHandCursor = nullptr;
  HCURSOR m_hCourseCursor = nullptr;
  int m_nLookAheadPreload = 0;
  BOOL m_bDragging = FALSE;
  DWORD m_dwPaletteMode = 0;
  HWND m_hSavedFocus = nullptr;
  BOOL m_bAutoScrollBusy = FALSE;
  int m_nAnimationUsers = 0;
  int m_nMode = 0;
  UINT m_nCommand = 0;  // the command OnCommand is handling, 0 outside it
  StepListener m_stepListener;
  // Made with the view: other programs reach the runtime through it.
  std::unique_ptr<CPlayerDdeCommands> m_ddeCommands;
  std::unique_ptr<CDdeLink> m_ddeLink;
  std::deque<HyperTextNotify> m_hyperTextClicks;  // each waits for its posted 953
};
