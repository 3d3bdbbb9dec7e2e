// The branch response's class record.
#include "behaviour/branch_response.h"

IMPLEMENT_SERIAL(CBranchResponse, CResponse, VERSIONABLE_SCHEMA | 2)
