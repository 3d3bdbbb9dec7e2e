// The response base: executing a response, the outcome rule and its stored form.
#include "behaviour/response.h"

#include <cmath>

#include "model/archive.h"
#include "model/script_random.h"
#include "model/task.h"
#include "model/variable.h"
#include "model/variable_context.h"

IMPLEMENT_SERIAL(CResponse, CIconObject, VERSIONABLE_SCHEMA | 3)

namespace {

// A number's whole part kept to its low 16 bits, as an integer value AND 0xFFFF.
int Low16(double value) {
  if (!std::isfinite(value)) return 0;
  double low = std::fmod(std::trunc(value), 65536.0);
  if (low < 0) low += 65536.0;
  return static_cast<int>(low);
}

}  // namespace

CResponse::CResponse(int kind) : CIconObject(kind, ResponseKind::kResponse) { m_actions.SetParent(this); }

CResponse::CResponse(const CResponse& other)
    : CIconObject(other),
      m_nAnswerMark(other.m_nAnswerMark),
      m_dwOutcomeFlags(other.m_dwOutcomeFlags),
      m_targets(other.m_targets),
      m_strExpression(other.m_strExpression) {
  m_actions.CopyFrom(&other.m_actions, FALSE);
  m_actions.SetParent(this);
}

ITaskServices* CResponse::Services() { return TaskServicesOf(this); }

void CResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  // A source that is no response answers as the base's accessors would.
  const auto* other = DynamicDowncast<CResponse>(source);
  if (other != this) {
    m_dwOutcomeFlags = other ? other->m_dwOutcomeFlags : 0;
    m_nAnswerMark = other ? other->m_nAnswerMark : 0;
    if (!keepIdentity) {
      if (other) m_targets = other->m_targets;
      else m_targets.fill(0);
    }
    CString expression = other ? other->m_strExpression : CString();
    if (!keepIdentity || !expression.IsEmpty()) m_strExpression = expression;
    if (other) m_actions.CopyFrom(&other->m_actions, FALSE);
  }
  CIconObject::CopyFrom(source, keepIdentity);
}

void CResponse::Serialize(CArchive& ar) {
  UINT schema = 2;  // files before version 5 carry no class reference here
  if (ar.GetCourseVersion() >= 5) ar.ReadClass(RUNTIME_CLASS(CResponse), &schema);
  m_dwOutcomeFlags = ar.ReadDword();
  m_nAnswerMark = ar.ReadByte();
  ar.CheckAvailable(sizeof(DWORD) * kTargetCount);
  for (LONG& target : m_targets) target = ar.ReadLong();
  ar.ReadString(m_strExpression);
  if (schema < 3) ConvertOldTarget(ar);
  m_actions.DeleteAll();
  m_actions.Serialize(ar);
  m_actions.SetParent(this);
  CIconObject::Serialize(ar);
}

void CResponse::ConvertOldTarget(CArchive& ar) {
  // Older files coded the special destinations as values of target 0.
  struct Special {
    DWORD stored;
    DWORD flag;
  };
  static constexpr Special kSpecials[] = {{0xFFFF, OutcomeFlag::kPrevious},
                                          {0xFFFD, OutcomeFlag::kFirst},
                                          {0xFFFC, OutcomeFlag::kLast},
                                          {0xFFFB, OutcomeFlag::kEnd},
                                          {0xFFFA, OutcomeFlag::kReturn}};
  DWORD stored = static_cast<DWORD>(m_targets[0]);
  for (const Special& s : kSpecials) {
    if (stored == s.stored) {
      m_dwOutcomeFlags |= s.flag;
      m_targets[0] = 0;
      return;
    }
  }
  if (stored == 0xFFFE) {
    // The target task is named by the course variable "TaskTag".
    m_dwOutcomeFlags |= OutcomeFlag::kVariable;
    if (CVariableContext* vars = ar.GetVariableContext()) {
      if (CVariable* tag = FindVariable(*vars, "TaskTag")) m_targets[0] = tag->GetId();
    }
    return;
  }
  if (m_dwOutcomeFlags & OutcomeFlag::kOldVariable) m_dwOutcomeFlags |= OutcomeFlag::kVariable;
}

int CResponse::ExecuteResponse(int* target) {
  ITaskServices* services = Services();
  if (!m_strExpression.IsEmpty() && services) {
    services->ExecuteScript(m_strExpression);
    if (services->IsCourseOpenWithoutTask()) return Outcome::kEnd;
  }
  if (m_actions.GetCount() > 0) {
    m_actions.RemoveChildrenFromPage(services ? services->GetPage() : nullptr);
    if (GetOutcomeFlags() & OutcomeFlag::kRunAndStay) {
      m_actions.RunActions();
      if (services) services->FlushInvalidRects();
      return Outcome::kStay;
    }
    if (services) services->FlushInvalidRects();
  }
  return GetOutcome(target);
}

void CResponse::RunHoverActions() {
  if ((GetOutcomeFlags() & OutcomeFlag::kRunAndStay) || m_actions.GetCount() == 0) return;
  m_actions.RunActions();
  if (ITaskServices* services = Services()) services->FlushInvalidRects();
}

void CResponse::TakeHoverActionsOff() {
  if ((GetOutcomeFlags() & OutcomeFlag::kRunAndStay) || m_actions.GetCount() == 0) return;
  ITaskServices* services = Services();
  m_actions.RemoveChildrenFromPage(services ? services->GetPage() : nullptr);
  if (services) services->FlushInvalidRects();
}

int CResponse::GetOutcome(int* target) {
  if ((GetOutcomeFlags() & OutcomeFlag::kRunAndStay) && m_actions.GetCount() > 0) return Outcome::kStay;
  if (ITaskServices* services = Services()) {
    if (int simulated = services->GetSimulatorTarget(); simulated != 0) {
      if (target) *target = simulated;
      return Outcome::kGoTo;
    }
  }
  const DWORD flags = m_dwOutcomeFlags;
  if (flags & OutcomeFlag::kNext) return Outcome::kNext;
  if (!(flags & OutcomeFlag::kBranch)) return Outcome::kNext;
  int chosen = ChooseTarget();
  if (target) *target = chosen;
  static constexpr std::pair<DWORD, int> kRefinements[] = {
      {OutcomeFlag::kPrevious, Outcome::kPrevious}, {OutcomeFlag::kReturn, Outcome::kReturn},
      {OutcomeFlag::kFirst, Outcome::kFirst},       {OutcomeFlag::kLast, Outcome::kLast},
      {OutcomeFlag::kEnd, Outcome::kEnd},           {OutcomeFlag::kForward, Outcome::kForward},
      {OutcomeFlag::kBack, Outcome::kBack}};
  for (auto [flag, code] : kRefinements) {
    if (flags & flag) return code;
  }
  return chosen == 0 ? Outcome::kNext : Outcome::kGoTo;
}

int CResponse::ChooseTarget() {
  ITaskServices* services = Services();
  if (m_dwOutcomeFlags & OutcomeFlag::kVariable) {
    CVariable* v = services ? FindVariableById(services->Variables(), m_targets[0]) : nullptr;
    if (!v) return 0;
    if (v->IsInteger()) return v->GetLong() & 0xFFFF;
    if (v->IsNumber()) return Low16(v->GetReal());
    return 0;
  }
  if (m_targets[1] <= 0) return m_targets[0];
  int count = 0;
  while (count < kTargetCount && m_targets[static_cast<std::size_t>(count)] > 0) ++count;
  // Target 0 not positive: there is nothing to draw from.
  if (count == 0) return 0;
  // Seeded from the tick count at every call, with a generator of its own
  // so that the scripts' Random keeps its sequence.
  CScriptRandom random;
  random.Seed(services ? services->GetTickCount() : 0);
  return m_targets[static_cast<std::size_t>(random.Next() % count)];
}
