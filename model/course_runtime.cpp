// CCourseDoc at run time: the next-task rule, arming events, question counts and the input forwarders.
#include "model/course_doc.h"
#include "model/input_source.h"
#include "model/script.h"

CTask* CCourseDoc::ChooseNext(CTask* from, int outcome, int target, WORD previousNumber) {
  switch (outcome) {
    case Outcome::kGoTo:
      if (CTask* task = m_tasks.FindTaskByNumber(target)) return task;
      break;
    case Outcome::kPrevious:
      if (CTask* task = m_tasks.FindTaskByNumber(previousNumber)) return task;
      break;
    case Outcome::kFirst: return m_tasks.GetHead();
    case Outcome::kLast: return m_tasks.GetTail();
    case Outcome::kEnd: return nullptr;
    case Outcome::kForward: return m_tasks.GetNextTask(from, target);
    case Outcome::kBack:
      if (CTask* task = m_tasks.GetPrevTask(from, target)) return task;
      return m_tasks.GetHead();
    default: break;
  }
  return m_tasks.GetNextTask(from, 1);
}

int CCourseDoc::NextTask() {
  CTask* current = m_pCurrentTask;
  if (!current) return 0;
  WORD kept = m_nPreviousTask;
  m_nPreviousTask = static_cast<WORD>(current->GetTaskNumber());
  int target = 0;
  int outcome = current->EvaluateAnswer(m_pCurrentResponse, &target);
  // A box among the response's actions lets the program go on under it: a
  // task left meanwhile has made its move already.
  if (m_pCurrentTask != current) return -1;
  if (outcome == Outcome::kStay) {
    m_nPreviousTask = kept;
    return -1;
  }
  if (outcome == Outcome::kReturn) {
    // Only a caller that is still open can be returned to; otherwise the task plays again.
    if (m_pCallerCourse && m_host.IsCourseOpen(m_pCallerCourse)) m_pCurrentTask = nullptr;
  } else {
    m_pCurrentTask = ChooseNext(current, outcome, target, kept);
  }
  return m_pCurrentTask ? 1 : 0;
}

CTask* CCourseDoc::TaskAfter(CIconObject* response, BOOL execute) {
  CTask* task = FindTaskOf(response);
  if (!task) return nullptr;
  int target = 0;
  int outcome = Outcome::kNext;
  if (execute) {
    outcome = response->ExecuteResponse(&target);
  } else if (auto* source = dynamic_cast<IOutcomeSource*>(response)) {
    outcome = source->GetOutcome(&target);
  }
  if (outcome == Outcome::kEnd) return nullptr;
  if (outcome == Outcome::kReturn || outcome == Outcome::kStay) outcome = Outcome::kNext;
  return ChooseNext(task, outcome, target, m_nPreviousTask);
}

CTask* CCourseDoc::FindTaskOf(const CIconObject* obj) const {
  if (!obj) return nullptr;
  for (const auto& task : m_tasks) {
    if (task->IsOrContains(obj)) return task.get();
  }
  return nullptr;
}

void CCourseDoc::ResetTaskEvents(IArmedEventSink& armed) {
  for (const auto& task : m_tasks) {
    if (auto* events = dynamic_cast<IEventList*>(task->GetEvents())) events->ArmEvents(armed, this, task.get());
  }
}

void CCourseDoc::CountQuestions() {
  int questions = 0;
  for (const auto& task : m_tasks) {
    task->ResetAnswerState();
    if (task->HasQuestion()) ++questions;
  }
  if (CVariable* count = m_variables->FindByName("NoOfQuestions")) count->SetReal(questions);
}

BOOL CCourseDoc::CurrentTaskHasAction() { return m_pCurrentTask ? m_pCurrentTask->ForwardToActions() : FALSE; }

BOOL CCourseDoc::CurrentTaskRequest() {
  if (!m_pCurrentTask) return FALSE;
  CIconObject* fired = nullptr;
  int waits = m_pCurrentTask->Activate(&fired);
  m_pCurrentResponse = fired;
  return waits ? TRUE : FALSE;
}

template <class Find>
BOOL CCourseDoc::OfferToResponses(const Find& find) {
  if (!m_pCurrentTask) return FALSE;
  CIconManager* responses = m_pCurrentTask->GetResponses();
  m_pCurrentResponse = responses ? find(*responses) : nullptr;
  return m_pCurrentResponse ? TRUE : FALSE;
}

BOOL CCourseDoc::CurrentTaskFind1(UINT keyFlags, CPoint point) {
  return OfferToResponses([&](CIconManager& r) { return r.FindMouseMoveTarget(keyFlags, point, kInputFromTaskResponses); });
}

BOOL CCourseDoc::CurrentTaskFind2(UINT message, UINT keyFlags, CPoint point) {
  return OfferToResponses(
      [&](CIconManager& r) { return r.FindMouseButtonTarget(message, keyFlags, point, kInputFromTaskResponses); });
}

BOOL CCourseDoc::CurrentTaskFind3(int key, int state) {
  return OfferToResponses([&](CIconManager& r) { return r.FindKeyTarget(key, state); });
}

BOOL CCourseDoc::CurrentTaskFind4(int id, LPARAM argument) {
  return OfferToResponses([&](CIconManager& r) { return r.FindCommandTarget(id, argument); });
}

BOOL CCourseDoc::CurrentTaskFind5(int timerId) {
  return OfferToResponses([&](CIconManager& r) { return r.FindTimerTarget(timerId); });
}

BOOL CCourseDoc::CurrentTaskCall6(WPARAM a, LPARAM b) {
  return OfferToResponses([&](CIconManager& r) { return r.FindMediaNotifyTarget(a, b); });
}

BOOL CCourseDoc::CurrentTaskFind7(LONG a, void* b) {
  return OfferToResponses([&](CIconManager& r) { return r.FindControlNotifyTarget(a, b); });
}

WORD CCourseDoc::ExecuteScript(const CString& script) { return ::ExecuteScript(m_host.Variables(), script); }

WORD CCourseDoc::CheckCondition(const CString& condition) { return ::CheckCondition(m_host.Variables(), condition); }

CVariableContext& CCourseDoc::Variables() { return m_host.Variables(); }
