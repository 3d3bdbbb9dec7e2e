// Tvnrun tells the desktop about course files when it starts: checked from a
// fresh process in a data folder of the test's own, a second start changes
// nothing, and a data folder that cannot be written does not stop the course.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sys/process.h"
#include "tests/support/course_builder.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace tvn::testing;
namespace fs = std::filesystem;

// One task whose condition ends the course, and with it the program.
std::vector<std::uint8_t> CourseThatEnds() {
  CourseFileFields f;
  f.tasks.push_back([](CourseBuilder& b) {
    ResponseFields end;
    end.outcomeFlags = 0x2 | 0x400;
    end.targets = {0};
    b.Task(IconFields{4, "only", "", 3}, 1, {}, {},
           {[=](CourseBuilder& c) { c.ConditionResponse(IconFields{4, "end", "", 3}, end, "1 = 1"); }});
  });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

void WriteFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::pair<ino_t, std::int64_t> Identity(const fs::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return {0, 0};
  return {info.st_ino, static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

class ShellFileTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir.path() / "course.mcl", CourseThatEnds());
    std::ofstream(dir.path() / "a.mcl") << "a course";
    std::ofstream(dir.path() / "b.tvn") << "a course";
  }
  // Tvnrun on the course; a run that has not ended after a generous bound is stopped (124).
  int Play() {
    auto result = tvn::sys::RunAndWait("/usr/bin/timeout", {"120", TVN_TVNRUN_PROGRAM, (dir.path() / "course.mcl").string()});
    EXPECT_TRUE(result.started);
    return result.exitCode;
  }

  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", (dir.path() / "config").string()};
};

}  // namespace

TEST_F(ShellFileTypes, ThePresentationRuntimeOpensCourseFilesOnceItHasRun) {
  for (const char* tool : {"update-mime-database", "update-desktop-database"})
    if (!tvn::sys::ResolveProgram(tool)) GTEST_SKIP() << tool << " is missing (scripts/bootstrap installs it)";
  const fs::path home = dir.path() / "data";
  ScopedEnv data("XDG_DATA_HOME", home.string());
  ASSERT_EQ(Play(), 0);

  const fs::path answers = dir.path() / "answers.txt";
  auto probe = tvn::sys::RunAndWait(TVN_SHELL_TYPE_PROBE, {answers.string(), (dir.path() / "a.mcl").string(),
                                                            (dir.path() / "b.tvn").string()});
  ASSERT_TRUE(probe.started);
  std::ifstream in(answers);
  const std::string program = fs::canonical(TVN_TVNRUN_PROGRAM).string();
  for (const char* file : {"a.mcl", "b.tvn"}) {
    std::string line;
    ASSERT_TRUE(std::getline(in, line)) << file;
    EXPECT_EQ(line, "application/x-tavelon.presentation\t" + program) << file;
  }

  // A second start finds everything as it was and rewrites nothing.
  const std::vector<fs::path> files{home / "mime/packages/Tavelon.Presentation.xml",
                                    home / "applications/Tavelon.Presentation.desktop", home / "mime/mime.cache",
                                    home / "applications/mimeinfo.cache"};
  std::vector<std::pair<ino_t, std::int64_t>> before;
  for (const fs::path& file : files) {
    before.push_back(Identity(file));
    EXPECT_NE(before.back().first, 0u) << file;
  }
  ASSERT_EQ(Play(), 0);
  for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(Identity(files[i]), before[i]) << files[i];
}

TEST_F(ShellFileTypes, AnUnwritableDataFolderDoesNotStopTheCourse) {
  const fs::path blocked = dir.path() / "blocked";
  std::ofstream(blocked) << "a file where the data folder should be";
  ScopedEnv data("XDG_DATA_HOME", blocked.string());
  EXPECT_EQ(Play(), 0);
}
