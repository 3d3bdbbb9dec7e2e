// The course file type for the desktop: what the package and the desktop
// entry say, and that they are written only when missing or different.
#include "platform/sys/shell_file_types.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "platform/sys/desktop_apps.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tvn::sys::ShellFileType;

ShellFileType CourseType(const fs::path& program) {
  return {"Tavelon.Presentation", "Tavelon Presentation", {".tvn", ".mcl"}, "Tavelon", program};
}

// The file's inode and modification time: a file renamed over it changes them.
std::pair<ino_t, std::int64_t> Identity(const fs::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return {0, 0};
  return {info.st_ino, static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace

TEST(ShellFileTypes, PackageAndEntryNameTheTypeAndQuoteTheProgram) {
  EXPECT_EQ(tvn::sys::ShellMimeType("Tavelon.Presentation"), "application/x-tavelon.presentation");
  EXPECT_EQ(tvn::sys::ShellMimeType("A b/c"), "application/x-a-b-c");
  EXPECT_EQ(tvn::sys::ShellFileStem("../x y"), "_.._x_y");

  const std::string package = tvn::sys::MimePackageText(CourseType("/opt/t/Tvnrun"));
  EXPECT_NE(package.find("<mime-type type=\"application/x-tavelon.presentation\">"), std::string::npos);
  EXPECT_NE(package.find("<comment>Tavelon Presentation</comment>"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.tvn\"/>"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.mcl\"/>"), std::string::npos);

  // A program path with every character the Exec rules treat specially comes back whole.
  const std::string odd = "/opt/my courses/a$b`c\"d\\e%f/Tvnrun";
  const std::string entry = tvn::sys::DesktopEntryText(CourseType(odd));
  EXPECT_NE(entry.find("\nNoDisplay=true\n"), std::string::npos);
  EXPECT_NE(entry.find("\nMimeType=application/x-tavelon.presentation;\n"), std::string::npos);
  const auto exec = tvn::sys::DesktopExecLine(entry);
  ASSERT_TRUE(exec);
  EXPECT_EQ(exec->substr(exec->size() - 3), " %f");
  EXPECT_EQ(tvn::sys::ProgramOfExec(*exec), odd);
}

TEST(ShellFileTypes, OnlyWhatDiffersIsWrittenAgain) {
  tvn::testing::TempDir dir;
  const fs::path home = dir.path() / "data";
  const fs::path package = home / "mime" / "packages" / "Tavelon.Presentation.xml";
  const fs::path entry = home / "applications" / "Tavelon.Presentation.desktop";
  auto first = tvn::sys::RegisterShellFileType(CourseType("/opt/t/Tvnrun"), home);
  EXPECT_TRUE(first.packageWritten && first.entryWritten && !first.failed);
  const auto packageBefore = Identity(package);

  // Another copy of the program: only the entry changes.
  auto moved = tvn::sys::RegisterShellFileType(CourseType("/usr/local/bin/Tvnrun"), home);
  EXPECT_FALSE(moved.packageWritten);
  EXPECT_TRUE(moved.entryWritten);
  EXPECT_EQ(Identity(package), packageBefore);
  // An entry edited by hand is put right.
  std::ofstream(entry) << "[Desktop Entry]\nExec=other %f\n";
  EXPECT_TRUE(tvn::sys::RegisterShellFileType(CourseType("/usr/local/bin/Tvnrun"), home).entryWritten);
  std::ifstream in(entry);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, tvn::sys::DesktopEntryText(CourseType("/usr/local/bin/Tvnrun")));

  // No temporary file is left beside them.
  for (const fs::path& folder : {package.parent_path(), entry.parent_path()})
    for (const auto& item : fs::directory_iterator(folder))
      EXPECT_NE(item.path().filename().string().rfind(".~", 0), 0u) << item.path();
  // A program path no desktop entry can hold.
  EXPECT_TRUE(tvn::sys::RegisterShellFileType(CourseType("/opt/a\nb"), home).failed);
}
