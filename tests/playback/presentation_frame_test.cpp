// The presentation frame and document: page geometry, the black background,
// commands through the view, closing, and painting the display list.
#include <gtest/gtest.h>

#include <mutex>

#include "model/course_doc.h"
#include "platform/gdi/dc.h"
#include "playback/app_resources.h"
#include "playback/presentation_doc.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"
#include "tests/playback/app_test_support.h"
#include "tests/support/packed_file_builder.h"

namespace {

using tvn::testing::PlayerAppTest;
using tvn::testing::WriteBytes;

class PresentationFrameTest : public PlayerAppTest {
 protected:
  // A player started for automation: frame, view and document, nothing playing.
  CPresentationFrame& Frame() {
    CPlayerApp& player = MakeApp({"-Automation"});
    EXPECT_TRUE(player.InitInstance());
    return *player.GetPresentationFrame();
  }

  // Gives the frame a client area of the size.
  static void SetClientSize(CPresentationFrame& frame, int width, int height) {
    CRect window, client;
    frame.GetWindowRect(&window);
    frame.GetClientRect(&client);
    frame.MoveWindow(window.left, window.top, width + window.Width() - client.Width(),
                     height + window.Height() - client.Height());
  }

  static CRect ViewRectInClient(CPresentationFrame& frame) {
    CRect rect;
    frame.GetPresentationView()->GetWindowRect(&rect);
    frame.ScreenToClient(&rect);
    return rect;
  }
};

TEST_F(PresentationFrameTest, AFixedPageIsCentredAndLimitedToTheClientArea) {
  CPresentationFrame& frame = Frame();
  SetClientSize(frame, 800, 600);
  EXPECT_EQ(ViewRectInClient(frame), CRect(0, 0, 800, 600)) << "without a fixed page the view fills the client";

  frame.SetFixedPageSize(640, 480);
  EXPECT_EQ(ViewRectInClient(frame), CRect(80, 60, 720, 540));

  frame.SetFixedPageSize(1024, 768);
  EXPECT_EQ(ViewRectInClient(frame), CRect(0, 0, 800, 600));

  // Resizing keeps the page centred.
  frame.SetFixedPageSize(640, 480);
  SetClientSize(frame, 700, 500);
  EXPECT_EQ(ViewRectInClient(frame), CRect(30, 10, 670, 490));

  frame.MoveView(nullptr);
  const CRect explicitRect(5, 6, 105, 206);
  frame.MoveView(&explicitRect);
  EXPECT_EQ(ViewRectInClient(frame), explicitRect);
}

TEST_F(PresentationFrameTest, TitleAndStyleComeFromThePresentationTemplate) {
  CPresentationFrame& frame = Frame();
  CString title;
  frame.GetWindowText(title);
  EXPECT_EQ(title, "Presentation Window");
  EXPECT_TRUE(frame.GetStyle() & WS_CLIPCHILDREN);
  EXPECT_FALSE(frame.GetStyle() & FWS_ADDTOTITLE);
  EXPECT_EQ(frame.GetHelpId(), AppResource::kPresentationTemplate);
}

TEST_F(PresentationFrameTest, TheBackgroundIsErasedBlack) {
  CPresentationFrame& frame = Frame();
  frame.SetFixedPageSize(100, 100);
  EXPECT_TRUE(frame.SendMessage(WM_ERASEBKGND));
  std::lock_guard lock(frame.SurfaceLock());
  CDC dc;
  dc.AttachSurface(frame.GetSurface());
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 0));
  dc.DetachSurface();
}

TEST_F(PlayerAppTest, CommandsReachTheViewAndClosingTheFrameStopsTheCourseThenEndsTheProgram) {
  WriteBytes(dir / "wait.tvn", tvn::testing::EmptyTaskCourse(2, true));
  CPlayerApp& player = MakeApp({CString((dir / "wait.tvn").string())});
  ASSERT_TRUE(player.InitInstance());
  ASSERT_EQ(RunUntilQuiet(), std::nullopt);
  CPresentationView* view = player.GetPresentationView();
  ASSERT_TRUE(view->IsRunning());

  // The frame would route the stop command to the view anyway; the view gets it first.
  player.GetPresentationFrame()->SendMessage(WM_COMMAND, AppCommand::kStopCourse);
  EXPECT_TRUE(view->IsRunning()) << "once started the view runs for the rest of the program";
  EXPECT_TRUE(view->GetKillEvent()->IsSet());

  view->StartPresentation();
  EXPECT_FALSE(view->GetKillEvent()->IsSet());
  ASSERT_EQ(RunUntilQuiet(), std::nullopt);
  player.GetPresentationFrame()->SendMessage(WM_CLOSE);
  EXPECT_TRUE(view->GetKillEvent()->IsSet()) << "the course stops before the program ends";
  EXPECT_EQ(RunToEnd(), 0);
}

// A draw object that notes the order it was painted in.
class CNotingDrawObj : public CDrawObj {
 public:
  CNotingDrawObj(int id, DWORD flags, std::vector<int>& log) : CDrawObj(nullptr, flags), m_id(id), m_log(log) {}
  BOOL Draw(CDC*, const CRect&, int) override {
    m_log.push_back(m_id);
    return TRUE;
  }

 private:
  int m_id;
  std::vector<int>& m_log;
};

TEST_F(PresentationFrameTest, TheDocumentPaintsItsListFromHeadToTailSkippingHiddenObjectsWhileRunning) {
  Frame();
  CPresentationDoc& doc = *app->GetPresentationDoc();
  std::vector<int> painted;
  CDrawObjList& list = GetDocumentDrawList(doc);
  list.AddInLayerOrder(std::make_unique<CNotingDrawObj>(1, 0, painted));
  list.AddInLayerOrder(std::make_unique<CNotingDrawObj>(2, DrawFlag::kHidden, painted));
  list.AddInLayerOrder(std::make_unique<CNotingDrawObj>(3, 0, painted));

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CPresentationView* view = app->GetPresentationView();
  doc.DrawAll(&dc, CRect(0, 0, 10, 10), view);
  EXPECT_EQ(painted.size(), 3u) << "before the view runs every object paints";
  std::vector<int> order;
  for (CDrawObj* obj : list.Snapshot()) order.push_back(obj->GetFlags() ? 2 : 0);
  ASSERT_EQ(order.size(), painted.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == 2) {
      EXPECT_EQ(painted[i], 2) << "painted in list order";
    }

  painted.clear();
  view->SetRunning(true);
  doc.DrawAll(&dc, CRect(0, 0, 10, 10), view);
  EXPECT_EQ(painted.size(), 2u);
  EXPECT_EQ(std::count(painted.begin(), painted.end(), 2), 0);
  view->SetRunning(false);

  doc.SetModifiedFlag(TRUE);
  EXPECT_TRUE(doc.SaveModified());
  EXPECT_FALSE(doc.IsModified()) << "closing never asks to save";
  doc.DeleteContents();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_NE(CPresentationDoc::ClipboardFormat(), 0u);
}

}  // namespace
