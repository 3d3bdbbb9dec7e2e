#include "playback/course_frame.h"

IMPLEMENT_DYNCREATE(CCourseFrame, CFrameWnd)
IMPLEMENT_DYNCREATE(CCourseView, CView)

void CCourseFrame::ActivateFrame(int) {}
