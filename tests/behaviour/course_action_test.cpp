// The variable action's script, and the course action switching, calling, replacing and closing courses.
#include "behaviour/course_action.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "behaviour/variable_action.h"
#include "model/course_doc.h"
#include "model/variable.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"

using namespace tvn::testing;

namespace {

// Courses known by their bare file name, upper case; opening fails unless a course is waiting under the name.
class SwitchingHost : public FakeCourseHost, public ICourseSwitcher {
 public:
  struct Post {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Post&) const = default;
  };
  static std::string Key(const CString& path) {
    CString name(std::filesystem::path(path.str()).filename().string());
    name.MakeUpper();
    return name.str();
  }
  CCourseDoc* GetCurrentCourse() const override { return current; }
  void SetCurrentCourse(CCourseDoc* course) override { current = course; }
  CCourseDoc* FindDocument(const CString& path) override {
    looked.push_back(path.str());
    auto it = open.find(Key(path));
    return it == open.end() ? nullptr : it->second;
  }
  CCourseDoc* OpenPresentation(const CString& path, BOOL) override {
    opened.push_back(path.str());
    auto it = openable.find(Key(path));
    return it == openable.end() ? nullptr : it->second;
  }
  void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override { posts.push_back({message, wParam, lParam}); }

  CCourseDoc* current = nullptr;
  std::map<std::string, CCourseDoc*> open, openable;
  std::vector<std::string> looked, opened;
  std::vector<Post> posts;
};

class CourseActionTest : public ::testing::Test {
 protected:
  CourseActionTest() : a(host), b(host) { host.open["B.MCL"] = &b; }
  std::unique_ptr<CTask> TaskWith(std::uint32_t flags, const char* file, std::int32_t task) {
    return TaskWithActions(a, {[=](CourseBuilder& w) { w.CourseAction(IconFields{}, flags, file, task); }});
  }

  SwitchingHost host;
  CCourseDoc a, b;
};

}  // namespace

TEST_F(CourseActionTest, CallingAtATaskMakesTheOtherCourseCurrentWithTheCallerAndStopsTheList) {
  host.current = &a;
  auto task = TaskWith(0x42, "b.mcl", 3);
  ASSERT_TRUE(task);
  EXPECT_FALSE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_EQ(host.current, &b);
  EXPECT_EQ(b.GetCallerCourse(), &a);
  EXPECT_EQ(b.GetCallerTask(), nullptr);
  EXPECT_EQ(host.posts, (std::vector<SwitchingHost::Post>{{0x414, 3, 0}}));
}

TEST_F(CourseActionTest, WithoutTheTaskBitTheCourseStartsAtItsFirstTask) {
  host.current = &a;
  b.SetCallerCourse(&a, nullptr);
  auto task = TaskWith(0x00, "b.mcl", 3);
  EXPECT_FALSE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_EQ(b.GetCallerCourse(), nullptr);
  EXPECT_EQ(host.posts, (std::vector<SwitchingHost::Post>{{0x414, 0, 0}}));
}

TEST_F(CourseActionTest, ReplacingMarksThePreviousCourseForClosing) {
  host.current = &a;
  auto task = TaskWith(0x08, "b.mcl", 0);
  EXPECT_FALSE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_TRUE(a.GetCloseMark());
  EXPECT_EQ(b.GetCallerCourse(), nullptr);

  // A course replacing itself is not marked: it goes on running.
  a.SetCloseMark(FALSE);
  host.open["A.MCL"] = &a;
  host.current = &a;
  auto self = TaskWith(0x08 | 0x02, "a.mcl", 0);
  EXPECT_FALSE(ActionOf<CCourseAction>(*self)->Execute());
  EXPECT_EQ(a.GetCallerCourse(), nullptr) << "a course is never its own caller";
}

TEST_F(CourseActionTest, ClosingMarksAnOpenCourseThatNobodyCalledAndStartsNothing) {
  host.current = &a;
  a.SetCallerCourse(&b, nullptr);
  auto task = TaskWith(0x20, "b.mcl", 0);
  EXPECT_TRUE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_TRUE(b.GetCloseMark());
  EXPECT_EQ(a.GetCallerCourse(), nullptr);
  EXPECT_EQ(host.current, &a);
  EXPECT_TRUE(host.posts.empty());

  // A course that was called is started instead.
  b.SetCloseMark(FALSE);
  b.SetCallerCourse(&a, nullptr);
  EXPECT_FALSE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_FALSE(b.GetCloseMark());
  EXPECT_EQ(host.current, &b);
}

TEST_F(CourseActionTest, WithNoCurrentCourseTheStoredNameIsUsedAndAFailedOpenLetsTheListGoOn) {
  auto task = TaskWith(0x02, "Missing.mcl", 0);
  EXPECT_TRUE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_EQ(host.looked, std::vector<std::string>{"Missing.mcl"});
  EXPECT_EQ(host.opened, std::vector<std::string>{"Missing.mcl"});
  EXPECT_EQ(host.current, nullptr);
  EXPECT_TRUE(host.posts.empty());

  host.current = &a;
  EXPECT_TRUE(ActionOf<CCourseAction>(*task)->Execute());
  EXPECT_EQ(host.current, &a) << "the previous course is current again";
}

TEST_F(CourseActionTest, AnEmptyFileDoesNothingAndNamedFilesAreCollectedAsWritten) {
  host.current = &a;
  auto task = TaskWith(0x42, "", 3);
  auto* action = ActionOf<CCourseAction>(*task);
  EXPECT_TRUE(action->Execute());
  EXPECT_TRUE(host.looked.empty());
  CStringArray files;
  EXPECT_FALSE(action->CollectFiles(&files, 0));
  action->SetCourseFile("{Dir}\\b.mcl");
  EXPECT_TRUE(action->CollectFiles(&files, 0));
  EXPECT_EQ(files[0], CString("{Dir}\\b.mcl"));
  EXPECT_EQ(action->GetTypeFlags(), 68);
}

TEST(VariableAction, RunsItsScriptAndLetsTheListGoOnEvenAfterAnError) {
  FakeTaskServices s;
  s.vars.Declare("Total", VarType::kNumber);
  auto task = TaskWithActions(s, {[](CourseBuilder& b) { b.VariableAction(IconFields{}, "Total = 2 + 3 * 4"); },
                                  [](CourseBuilder& b) { b.VariableAction(IconFields{}, "Broken = ("); },
                                  [](CourseBuilder& b) { b.VariableAction(IconFields{}, ""); }});
  ASSERT_TRUE(task);
  EXPECT_TRUE(static_cast<CActionManager*>(task->GetActions())->RunActions());
  EXPECT_DOUBLE_EQ(s.vars.Var("Total").GetReal(), 20.0) << "left to right, no precedence";
  EXPECT_EQ(s.scripts.size(), 2u) << "an empty script is not run";

  CVariableAction copy;
  copy.SetScript("X = 1");
  copy.CopyFrom(ActionOf<CVariableAction>(*task, 2), TRUE);
  EXPECT_EQ(copy.GetScript(), CString("X = 1"));
  copy.CopyFrom(ActionOf<CVariableAction>(*task, 2), FALSE);
  EXPECT_TRUE(copy.GetScript().IsEmpty());
}
