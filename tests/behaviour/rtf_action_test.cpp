// The rich-text action: its stored form, variables at each run, the shadow's rectangles and the live window's size.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <fstream>
#include <memory>

#include "behaviour/rtf_action.h"
#include "model/course_doc.h"
#include "model/variable.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

// Laying out text needs Qt's fonts.
class RtfActionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QGuiApplication::instance()) s_app = std::make_unique<QGuiApplication>(s_argc, s_argv);
  }
  static void TearDownTestSuite() { s_app.reset(); }
  RtfActionTest() { services.pageOverride = &page; }

  CRtfAction* Read(const RtfFields& fields, VariableRectFields rect = {10, 10, 200, 100}) {
    task = TaskWithActions(services, {[=](CourseBuilder& b) {
      DisplayFields d;
      d.rect = rect;
      d.layer = 4;
      b.RtfAction(IconFields{4, "rich", "", 3}, fields, d);
    }});
    return task ? ActionOf<CRtfAction>(*task) : nullptr;
  }

  CTestPage page;
  FakeTaskServices services;
  std::unique_ptr<CTask> task;
  TempDir dir;

  static inline int s_argc = 1;
  static inline char s_name[] = "behaviour_tests";
  static inline char* s_argv[] = {s_name, nullptr};
  static inline std::unique_ptr<QGuiApplication> s_app;
};

}  // namespace

TEST_F(RtfActionTest, DefaultsAndTheStoredForm) {
  CRtfAction fresh;
  EXPECT_EQ(fresh.GetTextColour(), 0x8000u);
  EXPECT_EQ(fresh.GetFlags(), 0x40u);
  EXPECT_EQ(fresh.GetByteValue(), 10);
  EXPECT_EQ(fresh.GetLayer(), 4);
  EXPECT_EQ(fresh.GetTypeFlags(), 330);

  RtfFields f;
  f.flags = RtfFlag::kShadow | RtfFlag::kOpaque;
  f.textColour = RGB(1, 2, 3);
  f.text = "{\\rtf1 stored}";
  f.byteValue = 77;
  f.fileName = "notes.rtf";
  f.font.pointSize = 14;
  CRtfAction* read = Read(f);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->GetStateValue(), 0x18);
  EXPECT_EQ(read->GetText().str(), "{\\rtf1 stored}");
  EXPECT_EQ(read->GetByteValue(), 77);
  EXPECT_FALSE(read->IsOpaque());
  int size = 0;
  COLORREF colour = 0;
  ASSERT_TRUE(read->GetFont(&size, &colour));
  EXPECT_EQ(size, 14);
  EXPECT_EQ(colour, RGB(1, 2, 3));
  CStringArray files;
  EXPECT_FALSE(read->CollectFiles(&files, 0)) << "the file counts only with flag 0x80";

  CRtfAction copy;
  copy.CopyFrom(read, FALSE);
  EXPECT_EQ(copy.GetText().str(), "{\\rtf1 stored}");
  EXPECT_EQ(copy.GetByteValue(), 77);
}

TEST_F(RtfActionTest, VariablesShowTheirValueAtEachRunAndTheShadowIsRecoloured) {
  services.vars.Declare("Score", VarType::kInteger);
  services.ExecuteScript("Score = 5");
  RtfFields f;
  f.flags = RtfFlag::kShadow | RtfFlag::kWrap;
  f.text = "{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}\\cf1 Score \\{Score\\}}";
  f.shadowColour = RGB(128, 128, 128);
  CRtfAction* action = Read(f);
  ASSERT_TRUE(action);
  action->Execute();
  EXPECT_EQ(action->TextDisplay().CRichEditCtrl::StreamOut(SF_TEXT), "Score 5");
  EXPECT_NE(action->GetShadowText().str().find("{\\colortbl\\red128\\green128\\blue128;}"), std::string::npos);
  EXPECT_EQ(action->ShadowDisplay().CRichEditCtrl::StreamOut(SF_TEXT), "Score 5");
  services.ExecuteScript("Score = 7");
  action->Execute();
  EXPECT_EQ(action->TextDisplay().CRichEditCtrl::StreamOut(SF_TEXT), "Score 7");
  EXPECT_TRUE(page.FindDisplayItem(action));

  // A text file holding the reference shows the value too.
  std::ofstream(dir.path() / "score.txt") << "{Score}";
  RtfFields fromFile;
  fromFile.flags = RtfFlag::kFromFile;
  fromFile.fileName = (dir.path() / "score.txt").string();
  CRtfAction* loaded = Read(fromFile);
  ASSERT_TRUE(loaded);
  loaded->Execute();
  EXPECT_EQ(loaded->TextDisplay().CRichEditCtrl::StreamOut(SF_TEXT), "7");
  CStringArray files;
  EXPECT_TRUE(loaded->CollectFiles(&files, 0));
}

TEST_F(RtfActionTest, TheShadowSplitsTheRectangleAndALiveWindowIsNeverTooSmall) {
  RtfFields f;
  f.flags = RtfFlag::kShadow;
  f.text = "{\\rtf1 Heading}";
  f.shadowX = -3;
  f.shadowY = 3;
  CRtfAction* action = Read(f);
  ASSERT_TRUE(action);
  action->Execute();
  const int indent = action->TextDisplay().GetLeftIndent();
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  const CRect area(10, 10, 200, 100);
  action->Draw(&dc, 0, &area);
  EXPECT_EQ(action->TextArea(), CRect(10 + indent + 3, 10, 200, 97));
  EXPECT_EQ(action->ShadowArea(), CRect(10 + indent, 13, 197, 100));

  action->SizeObject(CRect(10, 10, 12, 11));
  EXPECT_EQ(action->WindowArea(), CRect(10, 10, 15, 15));
  EXPECT_FALSE(action->OnMouseButton(WM_LBUTTONDOWN, 0, CPoint(20, 20), 6, &area)) << "responses still see clicks";
}

TEST_F(RtfActionTest, ACourseWhosePointSizeOverflowsTwipsRunsItsRichText) {
  // A point size past what twips in a LONG hold, and the largest size RTF gives.
  RtfFields f;
  f.font.pointSize = 654311444;
  f.font.face = "Times New Roman";
  f.text = "{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs3276\\protect tall\\protect0}";
  CourseBuilder b;
  CourseFileFields file;
  file.tasks.push_back([f](CourseBuilder& w) {
    w.Task(IconFields{4, "t", "", 3}, 1, {}, {[f](CourseBuilder& a) {
             DisplayFields d;
             d.rect = {10, 10, 200, 100};
             a.RtfAction(IconFields{4, "rich", "", 3}, f, d);
           }},
           {});
  });
  b.CourseFile(file);
  const auto path = dir / "tall.mcl";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.bytes().data()), b.bytes().size());

  FakeCourseHost host;
  CCourseDoc course(host);
  ASSERT_TRUE(course.OnOpenDocument(CString(path.string())));
  course.SetCurrentTask(course.Tasks().GetAt(0));
  ASSERT_TRUE(course.CurrentTaskHasAction());
  auto* action = ActionOf<CRtfAction>(*course.Tasks().GetAt(0));
  ASSERT_TRUE(action);
  int size = 0;
  COLORREF colour = 0;
  ASSERT_TRUE(action->GetFont(&size, &colour));
  EXPECT_EQ(size, 654311444) << "the size is kept as stored";
  EXPECT_EQ(action->TextDisplay().GetHyperTextFormat().yHeight, 2147483647);
  EXPECT_EQ(action->TextDisplay().CRichEditCtrl::StreamOut(SF_TEXT), "tall");
  // 1638 points in the text: drawn at the tallest font, 1500 points.
  QTextCursor cursor(&action->TextDisplay().Document());
  cursor.setPosition(1);
  EXPECT_DOUBLE_EQ(cursor.charFormat().fontPointSize(), 1500.0);
  course.OnCloseDocument();
}
