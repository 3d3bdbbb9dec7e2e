// Starting, judging and executing a task's responses.
#include "behaviour/response_manager.h"

#include "behaviour/response_kinds.h"

IMPLEMENT_SERIAL(CResponseManager, CIconManager, VERSIONABLE_SCHEMA | 2)

int CResponseManager::CheckResponses(CIconObject** fired) {
  if (fired) *fired = nullptr;
  int result = 0;
  if (!IsEnabled()) return result;
  for (int i = 0; i < GetCount(); ++i) {
    CIconObject* response = GetChild(i);
    if (!response->IsEnabled()) continue;
    if (response->Activate()) {
      result = 1;
      continue;
    }
    result = 0;
    if (response->GetKind() != ResponseKind::kCondition) {
      if (fired) *fired = response;
      break;
    }
  }
  return result;
}

BOOL CResponseManager::HasMarkedResponse() {
  for (const auto& response : Children()) {
    if (response->IsEnabled() && response->GetAnswerMark() != 0) return TRUE;
  }
  return FALSE;
}

int CResponseManager::AllChecksCorrect() {
  int marked = 0;
  int right = 0;
  for (const auto& response : Children()) {
    if (response->GetKind() != ResponseKind::kCheckButton || !response->IsEnabled()) continue;
    if (response->GetAnswerMark() == 0) continue;
    ++marked;
    if (response->IsRightAnswer() == 1) ++right;
  }
  if (marked == 0) return 2;
  return right == marked ? 1 : 0;
}

int CResponseManager::ExecuteWithConditions(CIconObject* matched, int* target) {
  int result = 1;
  if (!IsEnabled()) return result;
  for (int i = 0; i < GetCount(); ++i) {
    CIconObject* response = GetChild(i);
    if (response->GetKind() != ResponseKind::kCondition || !response->IsEnabled()) continue;
    result = response->ExecuteResponse(target);
    if (result != 0) return result;
  }
  if (matched && matched->IsEnabled()) result = matched->ExecuteResponse(target);
  return result;
}
