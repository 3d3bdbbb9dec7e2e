// Tvnrun started as a process on a course that restarts itself by its own
// name: however the course was named on the command line, the open course
// restarts (its variables kept) instead of a second copy being opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sys/process.h"
#include "tests/support/course_builder.h"

namespace {

using namespace tvn::testing;
namespace fs = std::filesystem;

constexpr std::uint32_t kCourseRestartAtTask = 0x44;  // the course itself, at the given task

// A branching outcome (bit 0x2) refined by its bits, to the target task.
ResponseFields Branch(std::uint32_t refinement, std::int32_t target = 0) {
  ResponseFields r;
  r.outcomeFlags = 0x2 | refinement;
  r.targets = {target};
  return r;
}
constexpr std::uint32_t kEnd = 0x400;

// Task 1 counts its runs in a course variable and the courses opened in a
// global one. Run twice in one course it ends the program; a second copy
// (fresh variables) would count 1 again, so the third copy goes to task 3,
// which waits for a key that never comes. Task 2 restarts the course by the
// Windows path its author gave it; the file is found in the course's folder.
std::vector<std::uint8_t> SelfRestartingCourse() {
  CourseFileFields f;
  VariableFields runs;
  runs.name = "Runs";
  runs.flags = 0x200;  // a number
  VariableFields copies;
  copies.name = "Copies";
  copies.flags = 0x202;  // a global number
  f.variables = {runs, copies};
  f.tasks.push_back([](CourseBuilder& b) {
    b.Task(IconFields{4, "count", "", 3}, 1, {},
           {[](CourseBuilder& c) { c.VariableAction(IconFields{}, "Runs = Runs + 1"); },
            [](CourseBuilder& c) { c.VariableAction(IconFields{}, "Copies = Copies + 1"); }},
           {[](CourseBuilder& c) { c.ConditionResponse(IconFields{4, "twice", "", 3}, Branch(kEnd), "Runs > 1"); },
            [](CourseBuilder& c) { c.ConditionResponse(IconFields{4, "copied", "", 3}, Branch(0, 3), "Copies > 2"); }});
  });
  f.tasks.push_back([](CourseBuilder& b) {
    b.Task(IconFields{4, "again", "", 3}, 2, {},
           {[](CourseBuilder& c) { c.CourseAction(IconFields{}, kCourseRestartAtTask, "C:\\LESSONS\\SELF.MCL", 1); }}, {});
  });
  f.tasks.push_back([](CourseBuilder& b) {
    b.Task(IconFields{4, "stuck", "", 3}, 3, {}, {},
           {[](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "never", "", 3}, ResponseFields{}, KeyFields{0, "Q", {0, 0, 0}}); }});
  });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

class SelfNamedCourse : public ::testing::Test {
 protected:
  void SetUp() override {
    m_home = fs::current_path();
    m_top = fs::temp_directory_path() / ("tvn_self_named_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_top);
    fs::create_directories(m_top / "lessons");
    const std::vector<std::uint8_t> bytes = SelfRestartingCourse();
    std::ofstream(m_top / "lessons" / "self.mcl", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  void TearDown() override {
    fs::current_path(m_home);
    fs::remove_all(m_top);
  }

  // Runs Tvnrun on the name from the folder; a run that has not ended after
  // a generous bound is stopped (exit status 124).
  int Play(const fs::path& folder, const std::string& name) {
    fs::current_path(folder);
    tvn::sys::ProcessResult result =
        tvn::sys::RunAndWait("/usr/bin/timeout", {"60", TVN_TVNRUN_PROGRAM, name});
    fs::current_path(m_home);
    EXPECT_TRUE(result.started);
    return result.exitCode;
  }

  fs::path m_home;
  fs::path m_top;
};

TEST_F(SelfNamedCourse, RestartsWhenStartedByItsBareName) { EXPECT_EQ(Play(m_top / "lessons", "self.mcl"), 0); }

TEST_F(SelfNamedCourse, RestartsWhenStartedByARelativeName) {
  EXPECT_EQ(Play(m_top, "lessons/./self.mcl"), 0);
}

TEST_F(SelfNamedCourse, RestartsWhenStartedByItsFullPath) {
  EXPECT_EQ(Play(m_top, (m_top / "lessons" / "self.mcl").string()), 0);
}

}  // namespace
