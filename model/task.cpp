// Tasks: their managers, stored form, question clock and score.
#include "model/task.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "model/archive.h"
#include "model/variable.h"
#include "model/variable_context.h"

IMPLEMENT_SERIAL(CTask, CIconObject, VERSIONABLE_SCHEMA | 2)

namespace {

// The managers' classes live in a library above this one and are found by
// name. The registry is complete before main() runs and no task is made
// before then, so each name is looked up once.
std::unique_ptr<CIconManager> MakeManager(int kind) {
  static const CRuntimeClass* const kActions = CRuntimeClass::FromName("CActionManager");
  static const CRuntimeClass* const kEvents = CRuntimeClass::FromName("CEventManager");
  static const CRuntimeClass* const kResponses = CRuntimeClass::FromName("CResponseManager");
  const CRuntimeClass* cls = kind == IconKind::kActionManager  ? kActions
                             : kind == IconKind::kEventManager ? kEvents
                                                               : kResponses;
  if (cls) {
    std::unique_ptr<CObject> obj = cls->CreateObject();
    if (auto* manager = DynamicDowncast<CIconManager>(obj.get())) {
      obj.release();
      return std::unique_ptr<CIconManager>(manager);
    }
  }
  return std::make_unique<CIconManager>(kind, kind);
}

double NumberOf(const CVariable& v) { return v.IsInteger() ? v.GetLong() : v.GetReal(); }

// The score counters are numbers; a course may have declared one as an integer.
void Increase(CVariable* v) {
  if (!v) return;
  if (v->IsInteger()) {
    v->SetLong(static_cast<LONG>(static_cast<DWORD>(v->GetLong()) + 1u));
  } else {
    v->SetReal(v->GetReal() + 1.0);
  }
}

}  // namespace

CTask::CTask()
    : CIconObject(TaskKind::kTask, TaskKind::kTask),
      m_actions(MakeManager(IconKind::kActionManager)),
      m_events(MakeManager(IconKind::kEventManager)),
      m_responses(MakeManager(IconKind::kResponseManager)) {
  m_actions->SetParent(this);
  m_events->SetParent(this);
  m_responses->SetParent(this);
}

CTask::~CTask() = default;

void CTask::Serialize(CArchive& ar) {
  CIconObject::Serialize(ar);
  m_nTaskNumber = ar.ReadLong();
  m_events->Serialize(ar);
  m_events->SetParent(this);
  m_actions->Serialize(ar);
  m_actions->SetParent(this);
  m_responses->Serialize(ar);
  m_responses->SetParent(this);
}

void CTask::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  CIconObject::CopyFrom(source, keepIdentity);
  const CTask* task = DynamicDowncast<CTask>(source);
  for (auto [mine, theirs] : {std::pair{m_actions.get(), task ? task->m_actions.get() : nullptr},
                              std::pair{m_events.get(), task ? task->m_events.get() : nullptr},
                              std::pair{m_responses.get(), task ? task->m_responses.get() : nullptr}}) {
    mine->SetParent(this);
    if (theirs) mine->CopyFrom(theirs, FALSE);
  }
  ResetAnswerState();
  if (task && task != this) m_nTaskNumber = task->m_nTaskNumber;
}

BOOL CTask::IsOrContains(const CIconObject* obj) const {
  if (obj == this) return TRUE;
  return m_events->Contains(obj) || m_actions->Contains(obj) || m_responses->Contains(obj);
}

BOOL CTask::ForwardToActions() {
  auto* list = dynamic_cast<IActionList*>(m_actions.get());
  return list ? list->RunActions() : TRUE;
}

IResponseList* CTask::ResponseList() const { return dynamic_cast<IResponseList*>(m_responses.get()); }

BOOL CTask::HasQuestion() const {
  IResponseList* list = ResponseList();
  return list && list->HasMarkedResponse();
}

int CTask::Activate(CIconObject** fired) {
  if (fired) *fired = nullptr;
  if (HasQuestion()) StartQuestionTimer();
  IResponseList* list = ResponseList();
  return list ? list->CheckResponses(fired) : 0;
}

void CTask::ResetAnswerState() {
  m_nAnswerState = -1;
  m_dwQuestionStart = 0;
  m_bClockRunning = FALSE;
  m_nAnswerTime = 0;
  m_nAttempts = 0;
}

void CTask::StartQuestionTimer() {
  m_dwQuestionStart = m_pServices ? m_pServices->GetTickCount() : 0;
  m_bClockRunning = TRUE;
}

void CTask::StopQuestionTimer() {
  if (!m_bClockRunning) return;
  DWORD now = m_pServices ? m_pServices->GetTickCount() : m_dwQuestionStart;
  if (m_nAttempts < 0xFFFF) ++m_nAttempts;  // kept from wrapping back to a first answer
  // Unsigned difference: right across a wrap of the tick count.
  m_nAnswerTime = static_cast<LONG>(static_cast<DWORD>(m_nAnswerTime) + (now - m_dwQuestionStart));
  m_dwQuestionStart = 0;
  m_bClockRunning = FALSE;
  if (!m_pServices) return;
  CVariableContext& vars = m_pServices->Variables();
  if (CVariable* time = FindVariable(vars, "QuestionTime")) time->SetTimeSpan(m_nAnswerTime / 1000);
  if (m_nAttempts == 1) Increase(FindVariable(vars, "QuestionsAnswered"));
  if (m_nAttempts == 2) Increase(FindVariable(vars, "QuestionsRepeated"));
}

void CTask::UpdateScore(int mark) {
  if (mark == AnswerMark::kNone) return;
  CVariableContext* vars = m_pServices ? &m_pServices->Variables() : nullptr;
  auto counter = [&](const char* name) { return vars ? FindVariable(*vars, name) : nullptr; };
  if (mark == AnswerMark::kRight) {
    m_nAnswerState = m_nAnswerState < 1 ? 1 : m_nAnswerState + (m_nAnswerState < INT_MAX ? 1 : 0);
    if (m_nAnswerState == 1) Increase(counter("QuestionsCorrect"));
  } else if (mark == AnswerMark::kWrong) {
    m_nAnswerState = std::max(m_nAnswerState, 0);
    if (m_nAnswerState == 0) Increase(counter("QuestionsWrong"));
  } else {
    m_nAnswerState = -1;
    return;
  }
  CVariable* percentage = counter("PercentageCorrect");
  CVariable* correct = counter("QuestionsCorrect");
  CVariable* answered = counter("QuestionsAnswered");
  if (!percentage || !correct || !answered) return;
  double whole = std::trunc(NumberOf(*answered));
  if (whole == 0.0 || !std::isfinite(whole)) return;  // the percentage keeps its value
  double value = NumberOf(*correct) * 100.0 / whole;
  if (percentage->IsInteger()) {
    percentage->SetLong(static_cast<LONG>(std::clamp(value, -2147483648.0, 2147483647.0)));
  } else {
    percentage->SetReal(value);
  }
}

int CTask::EvaluateAnswer(CIconObject* matched, int* target) {
  IResponseList* list = ResponseList();
  if (HasQuestion()) {
    StopQuestionTimer();
    int checks = list->AllChecksCorrect();
    if (checks == 1 || checks == 0) {
      UpdateScore(checks == 1 ? AnswerMark::kRight : AnswerMark::kWrong);
      if (m_pServices) {
        if (CVariable* text = FindVariable(m_pServices->Variables(), "AnswerText"))
          text->SetString(checks == 1 ? "Right" : "Wrong");
      }
    }
  }
  // A disabled response never accepts input and is never scored.
  if (matched && !matched->IsEnabled()) matched = nullptr;
  int outcome = list ? list->ExecuteWithConditions(matched, target) : 1;
  if (matched && matched->GetAnswerMark() != AnswerMark::kNone) UpdateScore(matched->GetAnswerMark());
  return outcome;
}

CTask* TaskOf(CIconObject* obj) {
  for (CIconObject* o = obj; o; o = o->GetParent()) {
    if (auto* task = DynamicDowncast<CTask>(o)) return task;
  }
  return nullptr;
}

ITaskServices* TaskServicesOf(CIconObject* obj) {
  CTask* task = TaskOf(obj);
  return task ? task->GetServices() : nullptr;
}
