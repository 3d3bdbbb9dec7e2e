#include "platform/base/cmd_target.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
