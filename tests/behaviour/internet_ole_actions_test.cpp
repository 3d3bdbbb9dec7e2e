// The FTP, HTML page, HTML frame and OLE object actions: stored forms, copies, and what running them does.
#include <gtest/gtest.h>

#include "behaviour/internet_actions.h"
#include "behaviour/ole_action.h"
#include "platform/native_control.h"
#include "platform/window_messages.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/activex_builder.h"

using namespace tvn::testing;

namespace {

// The page, keeping what would be posted to the view's window.
class PostingPage : public CTestPage {
 public:
  void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    posted.push_back({message, wParam, lParam});
  }
  struct Post {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Post&) const = default;
  };
  std::vector<Post> posted;
};

class InternetOleTest : public ::testing::Test {
 protected:
  InternetOleTest() { services.pageOverride = &page; }
  FakeTaskServices services;
  PostingPage page;
};

DisplayFields Placed(const char* className = "CDisplayAction") {
  DisplayFields d;
  d.className = className;
  d.rect = {10, 10, 60, 60};
  return d;
}

}  // namespace

TEST_F(InternetOleTest, FtpAndFrameActionsKeepTheirSettings) {
  FtpFields f{0x801, "t1", "t2", "t3", "t4", "t5", 17};
  HtmlFrameFields frame;
  frame.valueA = 3;
  frame.first = 40;
  frame.valueD = 9;
  frame.pages[0] = "a.htm";
  frame.pages[2] = "c.htm";
  auto task = TaskWithActions(services, {
      [&](CourseBuilder& b) { WriteFtpAction(b, IconFields{4, "ftp", "", 3}, f); },
      [&](CourseBuilder& b) { WriteHtmlFrameAction(b, IconFields{4, "frame", "", 3}, frame, Placed()); },
  });
  auto* ftp = ActionOf<CFtpAction>(*task, 0);
  ASSERT_TRUE(ftp);
  EXPECT_EQ(std::vector<CString>({ftp->GetText(1), ftp->GetText(2), ftp->GetText(3), ftp->GetText(4), ftp->GetText(5)}),
            std::vector<CString>({"t1", "t2", "t3", "t4", "t5"}));
  EXPECT_EQ(ftp->GetValueA(), 17);
  EXPECT_EQ(ftp->GetFlagsB(), 0x801u);
  EXPECT_TRUE(ftp->Execute());
  CFtpAction fresh;
  EXPECT_EQ(fresh.GetValueA(), 0);
  EXPECT_EQ(fresh.GetFlagsB(), 0x800u);
  fresh.CopyFrom(ftp, TRUE);
  EXPECT_EQ(fresh.GetValueA(), 17);
  EXPECT_TRUE(fresh.GetText(1).IsEmpty()) << "texts stay with keepIdentity";
  fresh.CopyFrom(ftp, FALSE);
  EXPECT_EQ(fresh.GetText(3), CString("t3"));

  auto* frameAction = ActionOf<CHtmlFrameAction>(*task, 1);
  ASSERT_TRUE(frameAction);
  EXPECT_EQ(frameAction->GetPair(), std::make_pair(LONG(40), LONG(30)));
  EXPECT_EQ(frameAction->GetValueD(), 9);
  EXPECT_EQ(frameAction->GetTypeFlags(), 16);
  CStringArray files;
  EXPECT_TRUE(frameAction->CollectFiles(&files, 0));
  EXPECT_EQ(files.items(), (std::vector<CString>{"a.htm", "c.htm"}));
  CHtmlFrameAction empty;
  EXPECT_FALSE(empty.CollectFiles(&files, 0));
}

TEST_F(InternetOleTest, ThePageActionActsOnlyTowardsItsFrame) {
  HtmlFields toFrame;
  toFrame.page = "p.htm";
  toFrame.flags = 0x20 | 0x02;
  toFrame.frame = "frame";
  toFrame.third = "3rd";
  HtmlFields old = toFrame;
  old.schema = 2;
  auto task = TaskWithActions(services, {
      [&](CourseBuilder& b) { WriteHtmlAction(b, IconFields{4, "page", "", 3}, toFrame, Placed()); },
      [&](CourseBuilder& b) { WriteHtmlFrameAction(b, IconFields{4, "frame", "", 3}, HtmlFrameFields{}, Placed()); },
  });
  auto* html = ActionOf<CHtmlAction>(*task, 0);
  ASSERT_TRUE(html);
  EXPECT_EQ(html->GetThirdText(), CString("3rd"));

  // A new action (on layer 1) does nothing.
  CHtmlAction fresh;
  EXPECT_EQ(fresh.GetLayer(), 1);
  EXPECT_EQ(fresh.GetHtmlFlags(), 0x410u);
  EXPECT_TRUE(fresh.Execute());

  // Towards a frame that is not on the page the action list stops.
  EXPECT_FALSE(html->Execute());
  // Running a frame action puts nothing on the page; something else must.
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
  complete.dispid = 105;
  EXPECT_FALSE(html->OnControlEvent(754, &complete));
  complete.dispid = 104;
  EXPECT_FALSE(html->OnControlEvent(755, &complete));
  EXPECT_EQ(page.posted, (std::vector<PostingPage::Post>{{MM_MCINOTIFY, 1046, 0}}));
  fresh.CopyFrom(html, TRUE);
  EXPECT_FALSE(fresh.OnControlEvent(754, &complete)) << "flags are copied";
  EXPECT_EQ(page.posted.size(), 1u) << "the fresh action is on no page";

  // Schema 2 has no third text; copying with keepIdentity keeps a text only where the source has none.
  auto oldTask = TaskWithActions(services, {[&](CourseBuilder& b) { WriteHtmlAction(b, IconFields{4, "o", "", 3}, old, Placed()); }});
  auto* oldHtml = ActionOf<CHtmlAction>(*oldTask);
  ASSERT_TRUE(oldHtml);
  EXPECT_TRUE(oldHtml->GetThirdText().IsEmpty());
  EXPECT_EQ(oldHtml->GetFrameName(), CString("frame"));
  html->CopyFrom(oldHtml, TRUE);
  EXPECT_EQ(html->GetThirdText(), CString("3rd"));
  html->CopyFrom(oldHtml, FALSE);
  EXPECT_TRUE(html->GetThirdText().IsEmpty());
}

TEST_F(InternetOleTest, OleActionsWithoutAnItemGoOnThePage) {
  DisplayFields withEffect = Placed();
  withEffect.effect.category = 1;
  withEffect.effect.variant = 2;
  auto task = TaskWithActions(services, {
      [&](CourseBuilder& b) { WriteOleAction(b, IconFields{4, "ole", "", 3}, 0x5, 0, Placed()); },
      [&](CourseBuilder& b) { WriteOleAction(b, IconFields{4, "ole2", "", 3}, 0x1, 0, withEffect); },
  });
  auto* ole = ActionOf<COleAction>(*task, 0);
  ASSERT_TRUE(ole);
  EXPECT_EQ(ole->TestOleFlags(0x4), 0x4);
  EXPECT_EQ(ole->GetLayer(), 6);
  EXPECT_EQ(ole->GetTypeFlags(), 0);
  EXPECT_TRUE(ole->Execute());
  ASSERT_TRUE(page.FindDisplayItem(ole));
  EXPECT_EQ(page.FindDisplayItem(ole)->GetFlags(), 64u);
  auto* faded = ActionOf<COleAction>(*task, 1);
  EXPECT_TRUE(faded->Execute());
  ASSERT_TRUE(page.FindDisplayItem(faded));
  EXPECT_EQ(page.FindDisplayItem(faded)->GetFlags(), 2112u);
  COleAction copy;
  EXPECT_EQ(copy.GetOleFlags(), 1u);
  copy.CopyFrom(ole, TRUE);
  EXPECT_EQ(copy.GetOleFlags(), 5u);

  // An item's layout is not known: reading one fails the load instead of misreading the rest.
  CourseBuilder b(5);
  b.Task(IconFields{4, "t", "", 3}, 1, {}, {[&](CourseBuilder& w) { WriteOleAction(w, IconFields{4, "x", "", 3}, 1, 1, Placed()); }}, {});
  StreamReader r(b.bytes(), 5);
  try {
    r.ar.ReadOwned<CTask>();
    ADD_FAILURE() << "read";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::badClass);
  }
}
