// CResponse: the base of every response kind: answer mark, outcome rule, branch targets, script and actions.
#pragma once

#include <array>

#include "behaviour/action_manager.h"
#include "behaviour/response_kinds.h"
#include "model/icon_object.h"
#include "model/input_source.h"
#include "model/task_managers.h"

class ITaskServices;

// Outcome flag bits.
namespace OutcomeFlag {
constexpr DWORD kNext = 0x1;         // next task; wins over kBranch
constexpr DWORD kBranch = 0x2;       // a chosen target, refined by the bits 0x40 to 0x2000
constexpr DWORD kOldVariable = 0x10; // older files only: target 0 is a variable id
constexpr DWORD kRunAndStay = 0x20;  // run the actions and stay (when there are actions)
constexpr DWORD kPrevious = 0x40;
constexpr DWORD kVariable = 0x80;    // the target is the value of the variable whose id is target 0
constexpr DWORD kFirst = 0x100;
constexpr DWORD kLast = 0x200;
constexpr DWORD kEnd = 0x400;
constexpr DWORD kReturn = 0x800;
constexpr DWORD kForward = 0x1000;
constexpr DWORD kBack = 0x2000;
}  // namespace OutcomeFlag

// On disk a response kind's own fields come first, then (from course file
// version 5) the class reference of "CResponse", the outcome flags, the
// answer mark, ten 32-bit branch targets, the expression, the action list
// and the common part.
class CResponse : public CIconObject, public IOutcomeSource {
  DECLARE_SERIAL(CResponse)

 public:
  static constexpr int kTargetCount = 10;

  CResponse() : CResponse(ResponseKind::kResponse) {}
  explicit CResponse(int kind);
  CResponse(const CResponse& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0; }
  int GetOutcomeFlags() override { return static_cast<int>(m_dwOutcomeFlags); }
  void SetOutcomeFlags(int flags) override { m_dwOutcomeFlags = static_cast<DWORD>(flags); }
  // Indexes past the last (or below 0) address target 9.
  int GetBranchTarget(int index) override { return m_targets[TargetIndex(index)]; }
  void SetBranchTarget(int task, int index) override { m_targets[TargetIndex(index)] = task; }
  // 1: wait for input. A kind that returns 0 fires as soon as its task starts.
  BOOL Activate() override { return TRUE; }
  // Runs the expression and, by the outcome flags, the actions; gives the
  // outcome code and writes the branch target where the rule gives one.
  int ExecuteResponse(int* target) override;
  BYTE GetAnswerMark() override { return m_nAnswerMark; }
  void SetAnswerMark(BYTE mark) override { m_nAnswerMark = mark; }
  CString GetExpression() override { return m_strExpression; }
  void SetExpression(const CString& expression) override { m_strExpression = expression; }

  // The outcome ExecuteResponse would give, from the flags and targets
  // alone: nothing is run. Pre-loading uses it to look ahead.
  int GetOutcome(int* target) override;
  // The branch target the flags choose: a variable's value, target 0, or
  // one of the leading positive targets drawn at random.
  int ChooseTarget();

  CActionManager& GetActions() { return m_actions; }

 protected:
  // For the kinds that judge input through the input operations: their own
  // action list, so the dispatchers ask the actions inside as well.
  CIconManager* OwnActionList() { return &m_actions; }
  ITaskServices* Services();
  // Hover actions of the kinds on the page: the action list runs while the
  // pointer is over them and comes off when it leaves, unless the outcome
  // runs the actions on the answer (kRunAndStay).
  void RunHoverActions();
  void TakeHoverActionsOff();

 private:
  static std::size_t TargetIndex(int index) {
    return index < 0 || index >= kTargetCount ? kTargetCount - 1 : static_cast<std::size_t>(index);
  }
  void ConvertOldTarget(CArchive& ar);

  BYTE m_nAnswerMark = 0;
  DWORD m_dwOutcomeFlags = OutcomeFlag::kNext;
  std::array<LONG, kTargetCount> m_targets{1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  CString m_strExpression;
  CActionManager m_actions;
};
