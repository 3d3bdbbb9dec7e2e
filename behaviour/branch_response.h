// CBranchResponse: fires as soon as its task starts; a task that only branches.
#pragma once

#include "behaviour/response.h"

// No fields of its own: on disk only the response base.
class CBranchResponse : public CResponse {
  DECLARE_SERIAL(CBranchResponse)

 public:
  CBranchResponse() : CResponse(ResponseKind::kBranch) {}
  CBranchResponse(const CBranchResponse& other) = default;

  int GetTypeFlags() override { return 68; }
  BOOL Activate() override { return FALSE; }
};
