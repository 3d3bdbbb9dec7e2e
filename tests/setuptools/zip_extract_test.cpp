// ZIP extraction: what lands where, what is listed for the uninstall log, and the archives refused whole.
#include "setuptools/common/zip_extract.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"
#include "tests/support/zip_writer.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::BuildZip;
using tvn::testing::TempDir;
using tvn::testing::ZipEntrySpec;

struct RecordingHooks : IZipExtractHooks {
  bool Status(const CString& name) override {
    names.push_back(name.str());
    return false;
  }
  bool Poll() override { return ++polls == cancelAfter; }
  std::vector<std::string> names;
  int polls = 0;
  int cancelAfter = -1;
};

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ZipExtractTest, FoldersAndFilesLandUnderTheDestinationAndAreListed) {
  TempDir dir;
  const fs::path archive = dir / "PACK.ZIP";
  Write(archive, BuildZip({{"sub/", ""}, {"sub/a.txt", "alpha"}, {"deep/er/b.txt", "beta"}, {"c.txt", ""}}));
  const fs::path dest = dir / "dest";
  fs::create_directory(dest);
  RecordingHooks hooks;
  ZipExtraction out = ExtractZipArchive(archive, dest, false, hooks);
  ASSERT_EQ(out.result, ZipResult::kDone) << out.error;
  EXPECT_EQ(Read(dest / "sub" / "a.txt"), "alpha");
  EXPECT_EQ(Read(dest / "deep" / "er" / "b.txt"), "beta");
  EXPECT_EQ(out.files, (std::vector<fs::path>{dest / "sub" / "a.txt", dest / "deep" / "er" / "b.txt", dest / "c.txt"}));
  EXPECT_EQ(out.directories, (std::vector<fs::path>{dest / "sub", dest / "deep", dest / "deep" / "er"}));
  EXPECT_EQ(hooks.names, (std::vector<std::string>{"sub/", "sub/a.txt", "deep/er/b.txt", "c.txt"}));
  EXPECT_EQ(hooks.polls, 4);
  EXPECT_EQ(CountZipEntries(archive), 4);
  EXPECT_EQ(GetZipEntryName(archive, 1).str(), "sub/a.txt");
  EXPECT_EQ(GetZipEntryName(archive, 4).str(), "");
  EXPECT_EQ(CountZipEntries(dir / "none.zip"), 0);
}

TEST(ZipExtractTest, AnExistingFileIsReplacedOnlyWithOverwriteAndOnlyWrittenFilesAreListed) {
  TempDir dir;
  const fs::path archive = dir / "P.ZIP";
  Write(archive, BuildZip({{"keep.txt", "new"}, {"fresh.txt", "f"}}));
  Write(dir / "keep.txt", "old");
  RecordingHooks hooks;
  ZipExtraction kept = ExtractZipArchive(archive, dir.path(), false, hooks);
  ASSERT_EQ(kept.result, ZipResult::kDone);
  EXPECT_EQ(Read(dir / "keep.txt"), "old");
  EXPECT_EQ(kept.files, std::vector<fs::path>{dir / "fresh.txt"});
  ZipExtraction replaced = ExtractZipArchive(archive, dir.path(), true, hooks);
  ASSERT_EQ(replaced.result, ZipResult::kDone);
  EXPECT_EQ(Read(dir / "keep.txt"), "new");
  EXPECT_EQ(replaced.files.size(), 2u);
  for (const auto& item : fs::directory_iterator(dir.path())) {
    EXPECT_EQ(item.path().filename().string().find(".~"), std::string::npos) << item.path();  // no staged leftovers
  }
}

TEST(ZipExtractTest, BadEntriesRefuseTheWholeArchiveBeforeAnythingIsMade) {
  struct Row {
    std::vector<ZipEntrySpec> entries;
    int result;
  } rows[] = {
      {{{"ok.txt", "x"}, {"../up.txt", "x"}}, ZipResult::kUnsafeName},
      {{{"ok.txt", "x"}, {"/abs.txt", "x"}}, ZipResult::kUnsafeName},
      {{{"ok.txt", "x"}, {"C:/drive.txt", "x"}}, ZipResult::kUnsafeName},
      {{{"ok.txt", "x"}, {"a\\b.txt", "x"}}, ZipResult::kUnsafeName},
      {{{"ok.txt", "x"}, {"a/../../b.txt", "x"}}, ZipResult::kUnsafeName},
      {{{"ok.txt", "x"}, {"link", "/etc", true}}, ZipResult::kUnsafeName},
      // Data that cannot be read back, after a folder and a file in it: imploded, or encrypted.
      {{{"sub/", ""}, {"sub/a.txt", "a"}, {.name = "sub/b.bin", .data = "xx", .method = 6}}, ZipResult::kDamaged},
      {{{"sub/", ""}, {"sub/a.txt", "a"}, {.name = "c.txt", .data = "012345678901c", .encrypted = true}},
       ZipResult::kDamaged},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    TempDir dir;
    Write(dir / "p.zip", BuildZip(rows[i].entries));
    fs::create_directory(dir / "dest");
    RecordingHooks hooks;
    ZipExtraction out = ExtractZipArchive(dir / "p.zip", dir / "dest", true, hooks);
    EXPECT_EQ(out.result, rows[i].result) << "row " << i;
    EXPECT_NE(out.error.find(rows[i].entries.back().name), std::string::npos) << "row " << i << ": " << out.error;
    EXPECT_TRUE(fs::is_empty(dir / "dest")) << "row " << i;
    EXPECT_TRUE(out.files.empty() && out.directories.empty()) << "row " << i;
  }
  // A name through a link already in the destination.
  TempDir dir;
  fs::create_directory(dir / "dest");
  fs::create_directory(dir / "elsewhere");
  fs::create_directory_symlink(dir / "elsewhere", dir / "dest" / "via");
  Write(dir / "p.zip", BuildZip({{"via/x.txt", "x"}}));
  RecordingHooks hooks;
  EXPECT_EQ(ExtractZipArchive(dir / "p.zip", dir / "dest", true, hooks).result, ZipResult::kUnsafeName);
  EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

TEST(ZipExtractTest, MissingDamagedAndCancelled) {
  TempDir dir;
  RecordingHooks hooks;
  EXPECT_EQ(ExtractZipArchive(dir / "none.zip", dir.path(), false, hooks).result, ZipResult::kArchiveMissing);
  Write(dir / "junk.zip", "not an archive at all");
  EXPECT_EQ(ExtractZipArchive(dir / "junk.zip", dir.path(), false, hooks).result, ZipResult::kDamaged);
  // A damaged byte in an entry's data fails its checksum; the target is not left half written.
  std::string zip = BuildZip({{"a.txt", "hello world"}});
  zip[30 + 5 + 3] ^= 0x55;
  Write(dir / "crc.zip", zip);
  fs::create_directory(dir / "d");
  ZipExtraction out = ExtractZipArchive(dir / "crc.zip", dir / "d", false, hooks);
  EXPECT_EQ(out.result, ZipResult::kDamaged);
  EXPECT_TRUE(fs::is_empty(dir / "d"));
  // Cancel after the first entry.
  Write(dir / "two.zip", BuildZip({{"1.txt", "1"}, {"2.txt", "2"}}));
  fs::create_directory(dir / "c");
  RecordingHooks cancelling;
  cancelling.cancelAfter = 1;
  out = ExtractZipArchive(dir / "two.zip", dir / "c", false, cancelling);
  EXPECT_EQ(out.result, ZipResult::kCancelled);
  EXPECT_TRUE(fs::exists(dir / "c" / "1.txt"));
  EXPECT_FALSE(fs::exists(dir / "c" / "2.txt"));
}

}  // namespace
