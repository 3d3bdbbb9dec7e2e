#include "behaviour/comment_action.h"

IMPLEMENT_SERIAL(CCommentAction, CAction, VERSIONABLE_SCHEMA | 2)
