// The version install: staged copies and expansions, objections from versions and translations, files in use, the shared-file search.
#include "setuptools/common/version_install.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/sys/staged_file.h"
#include "tests/support/pe_writer.h"
#include "tests/support/szdd_writer.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace VersionInstallBit;
using tvn::testing::TempDir;

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Pe(const std::string& version, std::uint16_t language = 0x0409, std::uint16_t codePage = 0x04B0,
               std::uint32_t fileType = 0) {
  tvn::testing::PeImageOptions options;
  options.fileVersion = version;
  options.fileType = fileType;
  options.language = language;
  options.codePage = codePage;
  return tvn::testing::BuildPeImage(options);
}
std::size_t EntryCount(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(VersionInstallTest, InstallsCopiesAndExpansionsKeepingTheSourcesTime) {
  TempDir src, dst;
  Write(src / "README.TX_", tvn::testing::BuildSzdd("read me, read me, read me", [] {
          tvn::testing::SzddOptions options;
          options.missingChar = 'T';
          return options;
        }()));
  Write(src / "PLAIN.DAT", "plain");
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(5000);
  fs::last_write_time(src / "README.TX_", when);
  VersionInstallResult result = VersionInstallFile(false, src.path(), "README.TX_", dst.path(), "README.TXT");
  EXPECT_EQ(result.bits, 0u);
  EXPECT_EQ(Read(dst / "README.TXT"), "read me, read me, read me");
  EXPECT_EQ(fs::last_write_time(dst / "README.TXT"), when);
  Write(dst / "PLAIN.DAT", "older contents");
  EXPECT_EQ(VersionInstallFile(false, src.path(), "PLAIN.DAT", dst.path(), "PLAIN.DAT").bits, 0u);
  EXPECT_EQ(Read(dst / "PLAIN.DAT"), "plain");
  EXPECT_EQ(EntryCount(dst.path()), 2u);
}

TEST(VersionInstallTest, ObjectionsLeaveTheTargetAndTheStagedFile) {
  struct Row {
    std::string source, installed;
    unsigned bits;
  } rows[] = {
      {Pe("1.0.0.0"), Pe("2.0.0.0"), kSourceOld | kMismatch | kTempFile},
      {Pe("2.0.0.0"), Pe("1.0.0.0"), 0},
      {Pe("2.0.0.0", 0x0407), Pe("1.0.0.0"), kDiffLanguage | kMismatch | kTempFile},
      {Pe("2.0.0.0", 0x0409, 0x04E4), Pe("1.0.0.0"), kDiffCodePage | kMismatch | kTempFile},
      {Pe("1.0.0.0"), "no version here", 0},
      // An application over a library and back.
      {Pe("2.0.0.0", 0x0409, 0x04B0, 1), Pe("1.0.0.0", 0x0409, 0x04B0, 2), kDiffType | kMismatch | kTempFile},
      {Pe("1.0.0.0", 0x0409, 0x04B0, 1), Pe("2.0.0.0", 0x0409, 0x04B0, 2), kSourceOld | kDiffType | kMismatch | kTempFile},
      {Pe("2.0.0.0", 0x0409, 0x04B0, 2), Pe("1.0.0.0", 0x0409, 0x04B0, 2), 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    TempDir src, dst;
    Write(src / "LIB.DLL", rows[i].source);
    Write(dst / "LIB.DLL", rows[i].installed);
    VersionInstallResult result = VersionInstallFile(false, src.path(), "LIB.DLL", dst.path(), "LIB.DLL");
    EXPECT_EQ(result.bits, rows[i].bits) << "row " << i;
    if (result.bits & kTempFile) {
      EXPECT_EQ(Read(dst / "LIB.DLL"), rows[i].installed) << "row " << i;
      EXPECT_EQ(Read(result.temporary), rows[i].source) << "row " << i;
      EXPECT_EQ(result.temporary.parent_path(), dst.path()) << "row " << i;
      // With force the same install replaces it.
      fs::remove(result.temporary);
      EXPECT_EQ(VersionInstallFile(true, src.path(), "LIB.DLL", dst.path(), "LIB.DLL").bits, 0u) << "row " << i;
    }
    EXPECT_EQ(Read(dst / "LIB.DLL"), rows[i].source) << "row " << i;
    EXPECT_EQ(EntryCount(dst.path()), 1u) << "row " << i;
  }
}

TEST(VersionInstallTest, FailuresAndProgramsInUse) {
  TempDir src, dst;
  EXPECT_EQ(VersionInstallFile(false, src.path(), "NONE.DLL", dst.path(), "NONE.DLL").bits, kCannotReadSource);
  Write(src / "A.DLL", "a");
  EXPECT_EQ(VersionInstallFile(false, src.path(), "A.DLL", dst / "missing", "A.DLL").bits, kCannotCreate);

  fs::copy_file("/bin/sleep", dst / "RUN");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl((dst / "RUN").c_str(), "RUN", "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  Write(src / "RUN", "new program");
  for (int i = 0; i < 20000 && !tvn::sys::IsFileInUse(dst / "RUN"); ++i) ::usleep(1000);  // until exec has happened
  VersionInstallResult result = VersionInstallFile(true, src.path(), "RUN", dst.path(), "RUN");
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(result.bits, kFileInUse | kTempFile);
  EXPECT_EQ(Read(result.temporary), "new program");
  EXPECT_NE(Read(dst / "RUN"), "new program");
}

TEST(VersionInstallTest, TheSharedFileSearchTriesSystemWindowsThenDestination) {
  TempDir root;
  tvn::sys::WindowsLocations locations;
  locations.windowsDir = root / "windows";
  locations.systemDir = root / "windows" / "system";
  fs::create_directories(locations.systemDir);
  fs::create_directory(root / "dest");
  EXPECT_EQ(FindSharedFileDirectory("X.DLL", locations, root / "dest"), root / "dest");
  Write(root / "dest" / "X.DLL", "");
  EXPECT_EQ(FindSharedFileDirectory("X.DLL", locations, root / "dest"), root / "dest");
  Write(locations.windowsDir / "X.DLL", "");
  EXPECT_EQ(FindSharedFileDirectory("X.DLL", locations, root / "dest"), locations.windowsDir);
  Write(locations.systemDir / "X.DLL", "");
  EXPECT_EQ(FindSharedFileDirectory("X.DLL", locations, root / "dest"), locations.systemDir);
}

}  // namespace
