// CTask: one page or question of a course, with its events, actions and responses.
#pragma once

#include <memory>

#include "model/icon_manager.h"
#include "model/task_managers.h"
#include "model/task_services.h"

namespace TaskKind {
constexpr int kTask = 1;  // kind and icon id of every task
}

// Answer marks of responses, as the score counts them.
namespace AnswerMark {
constexpr BYTE kNone = 0;
constexpr BYTE kRight = 1;
constexpr BYTE kWrong = 2;
}  // namespace AnswerMark

// Owns its three managers. They are made through their class records by
// name ("CEventManager", "CActionManager", "CResponseManager"), as a course
// file names them, so the model needs no link to the behaviour library; a
// program without it gets plain lists that read the same stored form.
//
// A task is a question when one of its enabled responses carries an answer
// mark: its clock then times each answer and its judgements keep the
// course's score variables. Nothing of the clock or the score is stored.
class CTask : public CIconObject {
  DECLARE_SERIAL(CTask)

 public:
  CTask();
  ~CTask() override;
  CTask(const CTask&) = delete;
  CTask& operator=(const CTask&) = delete;

  // The course's services for this task and everything in it; not owned.
  void SetServices(ITaskServices* services) { m_pServices = services; }
  ITaskServices* GetServices() const { return m_pServices; }

  CIconManager* GetEvents() const { return m_events.get(); }
  CIconManager* GetActions() const { return m_actions.get(); }
  CIconManager* GetResponses() const { return m_responses.get(); }

  void Serialize(CArchive& ar) override;
  // The common part; the managers keep their children and copy only their
  // own common part; answer state, clock and attempts start afresh.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTaskNumber() override { return m_nTaskNumber; }
  void SetTaskNumber(int number) override { m_nTaskNumber = number; }

  // The task itself, or an object anywhere in its events, actions or responses.
  BOOL IsOrContains(const CIconObject* obj) const;
  // Runs the action list: FALSE when an action stopped it.
  BOOL ForwardToActions();
  // Starts the question clock for a question, then activates the responses:
  // 1 = wait for input, 0 = done at once (fired = the response that fired).
  using CIconObject::Activate;
  int Activate(CIconObject** fired);
  // Judges the answer the matched response (or none) gave and gives the outcome code.
  int EvaluateAnswer(CIconObject* matched, int* target);
  BOOL HasQuestion() const;
  void ResetAnswerState();
  void StartQuestionTimer();
  void StopQuestionTimer();
  // 1 right, 2 wrong, 0 nothing; any other mark forgets the judgement.
  void UpdateScore(int mark);

  // -1 not judged, 0 judged wrong and never right, n > 0 judged right n times.
  int GetAnswerState() const { return m_nAnswerState; }
  // Milliseconds the clock has run for this task, all answers together.
  LONG GetAnswerTime() const { return m_nAnswerTime; }
  WORD GetAttempts() const { return m_nAttempts; }
  BOOL IsQuestionClockRunning() const { return m_bClockRunning; }

 private:
  IResponseList* ResponseList() const;

  std::unique_ptr<CIconManager> m_actions;
  std::unique_ptr<CIconManager> m_events;
  std::unique_ptr<CIconManager> m_responses;
  DWORD m_dwQuestionStart = 0;  // tick count when the clock started
  // Its own flag rather than a start tick of 0: the tick count passes 0 when it wraps.
  BOOL m_bClockRunning = FALSE;
  LONG m_nAnswerTime = 0;
  int m_nAnswerState = -1;
  WORD m_nAttempts = 0;
  int m_nTaskNumber = 0;
  ITaskServices* m_pServices = nullptr;
};

// The task an object belongs to (the object itself when it is one), found
// through the parents; null when it is in none.
CTask* TaskOf(CIconObject* obj);
// The services of the task an object belongs to; null when there are none.
ITaskServices* TaskServicesOf(CIconObject* obj);
