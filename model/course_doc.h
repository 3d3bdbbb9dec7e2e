// CCourseDoc: one open course, read from its file, and where it stands while it plays.
#pragma once

#include <exception>
#include <memory>

#include "model/course_host.h"
#include "model/embedded_font.h"
#include "model/icon_object.h"
#include "model/packager_info.h"
#include "model/preload_source.h"
#include "model/task_list.h"
#include "model/task_managers.h"
#include "model/task_services.h"
#include "model/variable_table.h"
#include "platform/base/geometry.h"

class CArchive;
class CFile;

// Course file layout (little-endian, archive encoding): wide mark (DWORD, 0),
// signature "mcl" (3 bytes, any case), version (DWORD, 3 to 5), rectangle,
// reserved DWORD, flags byte, header string, the variable table, the search
// paths, the course object's common part, the tasks as an object list, the
// packaging record and the embedded fonts. Nothing follows the fonts.
//
// The document gives each of its tasks its services and owns everything it
// read. Every failure to read leaves it empty with an empty course directory.
class CCourseDoc : public ITaskServices, public IPreloadCourse {
 public:
  static constexpr int kHighestVersion = 5;
  static constexpr int kLowestVersion = 3;
  // The first DWORD of a course in the old format ("cpm" and 0x1F).
  static constexpr DWORD kOldFormatMark = 0x1F6D7063;
  // Exit codes of the conversion program: it failed, or it left the new
  // file's path on the clipboard. The host passes on only the low 8 bits of
  // an exit code, so they are compared by those.
  static constexpr int kConverterFailed = 9000;
  static constexpr int kConverterRenamed = 8000;
  // Load states.
  static constexpr int kNothingRead = 0;
  static constexpr int kHeaderAccepted = 2;

  explicit CCourseDoc(ICourseHost& host);
  ~CCourseDoc() override;
  CCourseDoc(const CCourseDoc&) = delete;
  CCourseDoc& operator=(const CCourseDoc&) = delete;


  // --- opening and loading ---
  BOOL OnOpenDocument(const CString& path);
  BOOL LoadCourse(const CString& path);
  // Reading only; throws on any failure.
  void Serialize(CArchive& ar) { ReadCourse(ar); }
  int ReadCourse(CArchive& ar);
  BOOL TryBackup(const CString& path);
  void SetCourseDirectory(const CString& path);
  void DeleteContents();
  void OnCloseDocument();
  void ReportSaveLoadException(const CString& path, const std::exception* error, BOOL saving, UINT defaultPrompt);
  // A course read from the packed data file keeps the name as given and never
  // enters the recent-file list.
  void SetPathName(const CString& path, BOOL addToRecent = TRUE);
  const CString& GetPathName() const { return m_strPathName; }
  BOOL WantsRecentFileEntry() const { return m_bAddToRecent; }

  // --- what was read ---
  int GetLoadState() const { return m_nLoadState; }
  BOOL IsOldFormat() const { return m_bOldFormat; }
  int GetFileVersion() const { return m_nFileVersion; }
  BYTE GetHeaderFlags() const { return m_nHeaderFlags; }
  const CString& GetHeaderString() const { return m_strHeader; }
  const CString& GetCourseDirectory() const override { return m_strCourseDirectory; }
  BOOL IsFromDataFile() const { return m_bFromDataFile; }
  CTaskList& Tasks() override { return m_tasks; }
  CIconObject& CourseObject() { return *m_courseObject; }
  CVariableTable& CourseVariables() { return *m_variables; }
  const CStringArray& StoredSearchPaths() const { return m_searchPaths; }
  CPackagerInfo& Packaging() { return *m_packaging; }
  CEmbeddedFontObjList& Fonts() { return *m_fonts; }
  BOOL IsModified() const { return m_bModified; }
  // The system's error code when the conversion program could not be started.
  int GetConverterError() const { return m_nConverterError; }

  // --- at run time ---
  CTask* GetCurrentTask() const { return m_pCurrentTask; }
  CTask* GetCurrentTask() override { return m_pCurrentTask; }
  void SetCurrentTask(CTask* task) { m_pCurrentTask = task; }
  CIconObject* GetCurrentResponse() const { return m_pCurrentResponse; }
  void SetCurrentResponse(CIconObject* response) { m_pCurrentResponse = response; }
  WORD GetPreviousTaskNumber() const { return m_nPreviousTask; }
  void SetPreviousTaskNumber(WORD number) { m_nPreviousTask = number; }
  CCourseDoc* GetCallerCourse() const { return m_pCallerCourse; }
  CTask* GetCallerTask() const { return m_pCallerTask; }
  void SetCallerCourse(CCourseDoc* course, CTask* task);
  BOOL GetCloseMark() const { return m_bCloseMark; }
  void SetCloseMark(BOOL mark) { m_bCloseMark = mark; }
  BOOL GetCloseOnReturn() const { return m_bCloseOnReturn; }
  void SetCloseOnReturn(BOOL value) { m_bCloseOnReturn = value; }
  CPoint GetOrigin() const { return m_ptOrigin; }
  void SetOrigin(CPoint origin) { m_ptOrigin = origin; }

  // 1 a task is current afterwards, 0 the course has ended, -1 stay.
  int NextTask();
  CTask* TaskAfter(CIconObject* response, BOOL execute);
  // The look-ahead's question: where the response leads, the course not moved.
  CTask* TaskAfter(CIconObject* response) override { return TaskAfter(response, FALSE); }
  void ResetTaskEvents(IArmedEventSink& armed);
  void CountQuestions();
  BOOL CurrentTaskHasAction();
  BOOL CurrentTaskRequest();
  BOOL CurrentTaskFind1(UINT keyFlags, CPoint point);
  BOOL CurrentTaskFind2(UINT message, UINT keyFlags, CPoint point);
  BOOL CurrentTaskFind3(int key, int state);
  BOOL CurrentTaskFind4(int id, LPARAM argument);
  BOOL CurrentTaskFind5(int timerId);
  BOOL CurrentTaskCall6(WPARAM a, LPARAM b);
  BOOL CurrentTaskFind7(LONG a, void* b);
  CTask* FindTaskByNumber(int number) const { return m_tasks.FindTaskByNumber(number); }
  CTask* FindTaskOf(const CIconObject* obj) const;
  CString FindMediaFile(const CString& name) override;

  // --- ITaskServices ---
  WORD ExecuteScript(const CString& script) override;
  WORD CheckCondition(const CString& condition) override;
  CVariableContext& Variables() override;
  DWORD GetTickCount() override { return m_host.GetTickCount(); }
  int GetKeyState(int virtualKey) override { return m_host.GetKeyState(virtualKey); }
  BOOL IsCourseOpenWithoutTask() override { return m_pCurrentTask == nullptr; }
  BOOL IsClosing() override { return m_host.IsCourseClosing(this); }
  IPageAccess* GetPage() override { return m_host.GetPage(); }
  void FlushInvalidRects() override { m_host.FlushInvalidRects(); }
  int GetSimulatorTarget() override { return m_host.GetSimulatorTarget(); }
  ITimerOwner* GetTimers() override { return m_host.GetTimers(); }
  const CNativeControlRegistry* GetControlRegistry() override { return m_host.GetControlRegistry(); }
  // Never null: a document always has the application that opened it.
  ICourseHost* Host() override { return &m_host; }

 private:
  // Opens a file on disk and reads it; a failure to open is reported.
  BOOL ReadDiskFile(const CString& path);
  // Reading one file from an open file object (positioned at its first byte).
  BOOL ReadFrom(CFile& file, const CString& path);
  void ReadSearchPaths(CArchive& ar);
  void ReadTasks(CArchive& ar);
  BOOL ConvertOldFormat(CString& path);
  void ForgetOpening();
  // The task an outcome leads to from the given task (stay and return are the callers').
  CTask* ChooseNext(CTask* from, int outcome, int target, WORD previousNumber);
  // Offers input to the current task's responses; the one that accepts becomes the current response.
  template <class Find>
  BOOL OfferToResponses(const Find& find);
  void ResetContents();

  ICourseHost& m_host;
  CPoint m_ptOrigin;
  int m_nLoadState = kNothingRead;
  BOOL m_bOldFormat = FALSE;
  CCourseDoc* m_pCallerCourse = nullptr;  // not owned
  CTask* m_pCallerTask = nullptr;         // not owned
  BOOL m_bCloseMark = FALSE;
  BOOL m_bCloseOnReturn = TRUE;
  int m_nFileVersion = 0;
  CTaskList m_tasks;
  CTask* m_pCurrentTask = nullptr;
  WORD m_nPreviousTask = 0;
  CIconObject* m_pCurrentResponse = nullptr;
  std::unique_ptr<CIconObject> m_courseObject;
  CString m_strCourseDirectory;
  BOOL m_bFromDataFile = FALSE;
  BYTE m_nHeaderFlags = 0;
  CString m_strHeader;
  std::unique_ptr<CVariableTable> m_variables;
  CStringArray m_searchPaths;
  std::unique_ptr<CPackagerInfo> m_packaging;
  std::unique_ptr<CEmbeddedFontObjList> m_fonts;
  CString m_strPathName;
  BOOL m_bAddToRecent = TRUE;
  BOOL m_bModified = FALSE;
  int m_nConverterError = 0;
};
