#include "platform/cmd_target.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
