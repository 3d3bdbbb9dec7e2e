// The FTP, HTML page, HTML frame and OLE object actions: stored forms, copies, and what running them does.
#include <gtest/gtest.h>

#include "behaviour/internet_actions.h"
#include "behaviour/ole_action.h"
#include "platform/user/native_control.h"
#include "platform/msg/window_messages.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/activex_builder.h"

using namespace tvn::testing;

namespace {

// The page, keeping what would be posted to the view's window.
class PostingPage : public CTestPage {
 public:
  void PostViewMessage(UINT message, WPARAM wParam, LPARAM) override { posted.emplace_back(message, wParam); }
  std::vector<std::pair<UINT, WPARAM>> posted;
};

class InternetOleTest : public ::testing::Test {
 protected:
  InternetOleTest() { services.pageOverride = &page; }
  FakeTaskServices services;
  PostingPage page;
  DisplayFields placed{"CDisplayAction", {10, 10, 60, 60}, 0, 6, {}};
};

}  // namespace

TEST_F(InternetOleTest, FtpAndFrameActionsKeepTheirSettings) {
  FtpFields f{0x801, "t1", "t2", "t3", "t4", "t5", 17};
  HtmlFrameFields frame;
  frame.first = 40;
  frame.pages[0] = "a.htm";
  frame.pages[2] = "c.htm";
  auto task = TaskWithActions(services, {
      [&](CourseBuilder& b) { WriteFtpAction(b, IconFields{4, "ftp", "", 3}, f); },
      [&](CourseBuilder& b) { WriteHtmlFrameAction(b, IconFields{4, "frame", "", 3}, frame, placed); },
  });
  auto* ftp = ActionOf<CFtpAction>(*task, 0);
  ASSERT_TRUE(ftp);
  EXPECT_EQ(std::vector<CString>({ftp->GetText(1), ftp->GetText(2), ftp->GetText(3), ftp->GetText(4), ftp->GetText(5)}),
            std::vector<CString>({"t1", "t2", "t3", "t4", "t5"}));
  EXPECT_EQ(ftp->GetValueA(), 17);
  CFtpAction fresh;
  EXPECT_EQ(fresh.GetValueA(), 0);
  fresh.CopyFrom(ftp, TRUE);
  EXPECT_EQ(fresh.GetValueA(), 17);
  EXPECT_TRUE(fresh.GetText(1).IsEmpty()) << "texts stay with keepIdentity";

  auto* frameAction = ActionOf<CHtmlFrameAction>(*task, 1);
  ASSERT_TRUE(frameAction);
  EXPECT_EQ(frameAction->GetPair(), std::make_pair(LONG(40), LONG(30)));
  CStringArray files;
  EXPECT_TRUE(frameAction->CollectFiles(&files, 0));
  EXPECT_EQ(files.items(), (std::vector<CString>{"a.htm", "c.htm"}));
}

TEST_F(InternetOleTest, ThePageActionActsOnlyTowardsItsFrame) {
  HtmlFields toFrame{3, "p.htm", 0x20 | 0x02, "frame", "3rd"};
  HtmlFields old = toFrame;
  old.schema = 2;
  auto task = TaskWithActions(services, {
      [&](CourseBuilder& b) { WriteHtmlAction(b, IconFields{4, "page", "", 3}, toFrame, placed); },
      [&](CourseBuilder& b) { WriteHtmlFrameAction(b, IconFields{4, "frame", "", 3}, HtmlFrameFields{}, placed); },
  });
  // One archive keeps one schema per class: the old form has a stream of its own.
  auto oldTask = TaskWithActions(services, {[&](CourseBuilder& b) { WriteHtmlAction(b, IconFields{4, "o", "", 3}, old, placed); }});
  auto* html = ActionOf<CHtmlAction>(*task, 0);
  ASSERT_TRUE(html);
  EXPECT_EQ(html->GetThirdText(), CString("3rd"));
  EXPECT_TRUE(ActionOf<CHtmlAction>(*oldTask)->GetThirdText().IsEmpty()) << "schema 2 stores none";
  CHtmlAction fresh;
  EXPECT_EQ(fresh.GetHtmlFlags(), 0x410u);
  EXPECT_TRUE(fresh.Execute()) << "a new action does nothing";

  // Towards a frame that is not on the page the action list stops. Running
  // a frame action puts nothing on the page: something else must.
  EXPECT_FALSE(html->Execute());
  auto* frame = ActionOf<CHtmlFrameAction>(*task, 1);
  EXPECT_TRUE(frame->Execute());
  EXPECT_FALSE(page.FindObjectByName("frame"));
  page.AddObject(frame, 0);
  EXPECT_TRUE(html->Execute());
  EXPECT_EQ(page.GetObjectCount(), 1) << "the page action paints nothing of its own";

  // The browser's download-complete event is reported, never taken.
  CControlEventRecord complete;
  complete.dispid = 104;
  EXPECT_FALSE(html->OnControlEvent(754, &complete));
  EXPECT_FALSE(html->OnControlEvent(755, &complete));
  fresh.OnControlEvent(754, &complete);  // flag 0x02 not set
  EXPECT_EQ(page.posted, (std::vector<std::pair<UINT, WPARAM>>{{MM_MCINOTIFY, 1046}}));
}

TEST_F(InternetOleTest, OleActionsWithoutAnItemGoOnThePage) {
  DisplayFields withEffect = placed;
  withEffect.effect.category = 1;
  withEffect.effect.variant = 2;
  auto task = TaskWithActions(services, {
      [&](CourseBuilder& b) { WriteOleAction(b, IconFields{4, "ole", "", 3}, 0x5, 0, placed); },
      [&](CourseBuilder& b) { WriteOleAction(b, IconFields{4, "ole2", "", 3}, 0x1, 0, withEffect); },
  });
  auto* ole = ActionOf<COleAction>(*task, 0);
  ASSERT_TRUE(ole);
  EXPECT_EQ(ole->TestOleFlags(0x4), 0x4);
  auto* faded = ActionOf<COleAction>(*task, 1);
  EXPECT_TRUE(ole->Execute());
  EXPECT_TRUE(faded->Execute());
  ASSERT_TRUE(page.FindDisplayItem(ole) && page.FindDisplayItem(faded));
  EXPECT_EQ(page.FindDisplayItem(ole)->GetFlags(), 64u);
  EXPECT_EQ(page.FindDisplayItem(faded)->GetFlags(), 2112u);

  // An item's layout is not known: reading one fails the load instead of misreading the rest.
  CourseBuilder b(5);
  b.Task(IconFields{4, "t", "", 3}, 1, {},
         {[&](CourseBuilder& w) { WriteOleAction(w, IconFields{4, "x", "", 3}, 1, 1, placed); }}, {});
  StreamReader r(b.bytes(), 5);
  try {
    r.ar.ReadOwned<CTask>();
    ADD_FAILURE() << "read";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::badClass);
  }
}
