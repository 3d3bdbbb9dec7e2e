// Archives split across disks through the extraction loop: the writer's layouts, parts looked for and asked for,
// and the archives refused before anything is written.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>

#include "setuptools/common/zip_extract.h"
#include "tests/support/temp_dir.h"
#include "tests/support/zip_tool.h"
#include "tests/support/zip_writer.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::BuildSpannedZip;
using tvn::testing::TempDir;
using tvn::testing::ZipEntrySpec;

// Answers disk prompts from a list of folders (nothing left: refused), recording each part asked for and
// remembering the folder given for it.
struct DiskHooks : IZipExtractHooks {
  bool Status(const CString&) override { return false; }
  bool Poll() override { return false; }
  std::optional<fs::path> PromptForZipDisk(int part) override {
    asked.push_back(part);
    if (answers.empty()) return std::nullopt;
    fs::path folder = answers.front();
    answers.erase(answers.begin());
    given[part] = folder;
    return folder;
  }
  std::optional<fs::path> ZipDiskFolder(int part) override {
    if (!given.contains(part)) return std::nullopt;
    return given[part];
  }
  std::vector<int> asked;
  std::vector<fs::path> answers;
  std::map<int, fs::path> given;
};

void Write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random() & 0xFF);
  return out;
}

// The parts as stem.z01, stem.z02, ... and last, in folder, the extensions' case varied.
void WriteParts(const fs::path& folder, const std::vector<std::string>& parts, const std::string& stem = "P") {
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    Write(folder / ((i % 2 ? stem + ".Z0" : stem + ".z0") + std::to_string(i + 1)), parts[i]);
  }
  Write(folder / (stem + ".ZIP"), parts.back());
}

// 30 + 9 + 60 + 4 = 103: the second local header begins 3 bytes before the first part's end.
const std::vector<ZipEntrySpec> kEntries = {
    {"first.txt", std::string(60, 'f')},
    {"sub/", ""},
    {.name = "sub/described.bin", .data = std::string(150, 'd'), .dataDescriptor = true},
    {"last.txt", "the end"},
};

TEST(SpannedZipExtractTest, TheWritersLayoutsExtractFromOneFolder) {
  TempDir dir;
  const auto parts = BuildSpannedZip(kEntries, 100);
  ASSERT_GE(parts.size(), 4u);
  // The central directory (4 records of 46 bytes and their names) spans two parts at least.
  WriteParts(dir.path(), parts);
  fs::create_directory(dir / "dest");
  DiskHooks hooks;
  ZipExtraction out = ExtractZipArchive(dir / "P.ZIP", dir / "dest", false, hooks);
  ASSERT_EQ(out.result, ZipResult::kDone) << out.error;
  EXPECT_TRUE(hooks.asked.empty());
  EXPECT_EQ(Read(dir / "dest/first.txt"), std::string(60, 'f'));
  EXPECT_EQ(Read(dir / "dest/sub/described.bin"), std::string(150, 'd'));
  EXPECT_EQ(Read(dir / "dest/last.txt"), "the end");
  EXPECT_EQ(out.directories, std::vector<fs::path>{dir / "dest/sub"});
  EXPECT_EQ(out.files.size(), 3u);
  EXPECT_EQ(CountZipEntries(dir / "P.ZIP"), 4);
  EXPECT_EQ(GetZipEntryName(dir / "P.ZIP", 2).str(), "sub/described.bin");
  // Names read as the single-file reader reads them: code page 437 where they are not UTF-8.
  const std::vector<ZipEntrySpec> named = {{"caf\x82.txt", std::string(120, 'c')}, {"na\xC3\xAFve.txt", "n"}};
  Write(dir / "whole/N.ZIP", tvn::testing::BuildZip(named));
  WriteParts(dir / "split", BuildSpannedZip(named, 100), "N");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(GetZipEntryName(dir / "split/N.ZIP", i).str(), GetZipEntryName(dir / "whole/N.ZIP", i).str()) << i;
  }
  EXPECT_EQ(GetZipEntryName(dir / "split/N.ZIP", 0).str(), "caf\xC3\xA9.txt");
}

TEST(SpannedZipExtractTest, ArchivesThatCannotBeReadWholeAreRefusedBeforeAnythingIsWritten) {
  struct Row {
    const char* what;
    std::vector<ZipEntrySpec> entries;
    std::function<void(std::vector<std::string>&)> damage;
    int result;
  } rows[] = {
      {"an unsafe name", {{"ok.txt", std::string(120, 'o')}, {"../x", "x"}}, nullptr, ZipResult::kUnsafeName},
      {"a wrong checksum past a part end, after a good entry",
       {{"ok.txt", "ok"}, {.name = "a.txt", .data = std::string(250, 'a'), .crc = 0x1234}},
       nullptr,
       ZipResult::kDamaged},
      // The first part loses the tail of an entry whose data runs on into the second.
      {"a cut part",
       {{"a.txt", std::string(180, 'a')}, {"b.txt", "b"}},
       [](std::vector<std::string>& parts) { parts[0].resize(parts[0].size() - 10); },
       ZipResult::kDamaged},
      {"an encrypted entry", {{"a.txt", std::string(120, 'a')}, {.name = "e", .data = "12345678901e", .encrypted = true}},
       nullptr, ZipResult::kDamaged},
      {"a Zip64 end record",
       {{"a.txt", std::string(120, 'a')}},
       [](std::vector<std::string>& parts) {  // its entry count
         std::string& last = parts.back();
         last[last.size() - 12] = last[last.size() - 11] = '\xFF';
       },
       ZipResult::kDamaged},
  };
  for (const Row& row : rows) {
    TempDir dir;
    auto parts = BuildSpannedZip(row.entries, 100);
    ASSERT_GE(parts.size(), 2u) << row.what;
    if (row.damage) row.damage(parts);
    WriteParts(dir.path(), parts);
    fs::create_directory(dir / "dest");
    DiskHooks hooks;
    ZipExtraction out = ExtractZipArchive(dir / "P.ZIP", dir / "dest", true, hooks);
    EXPECT_EQ(out.result, row.result) << row.what << ": " << out.error;
    EXPECT_TRUE(fs::is_empty(dir / "dest")) << row.what;
    EXPECT_TRUE(hooks.asked.empty()) << row.what;
  }
}

TEST(SpannedZipExtractTest, MissingAndForeignPartsAreAskedForAndARefusalEndsAtOnce) {
  TempDir dir;
  const auto parts = BuildSpannedZip(kEntries, 100);
  const auto other = BuildSpannedZip({{"other.txt", std::string(300, 'x')}}, 100);
  // The first part is missing: asked for once, refused.
  WriteParts(dir / "one", parts);
  fs::remove(dir / "one/P.z01");
  fs::create_directory(dir / "dest");
  DiskHooks refusing;
  ZipExtraction out = ExtractZipArchive(dir / "one/P.ZIP", dir / "dest", true, refusing);
  EXPECT_EQ(out.result, ZipResult::kArchiveMissing);
  EXPECT_TRUE(out.diskRefused);
  EXPECT_EQ(refusing.asked, std::vector<int>{1});
  EXPECT_TRUE(fs::is_empty(dir / "dest"));
  // Other archives' first parts stand in its place, beside it and in the folder last given for its disk: never read
  // as data, the part is asked for again and found in the folder given.
  Write(dir / "one/P.z01", other[0]);
  Write(dir / "stale/P.z01", BuildSpannedZip({{"stale.txt", std::string(300, 's')}}, 100)[0]);
  Write(dir / "right/P.Z01", parts[0]);
  DiskHooks answering;
  answering.given[1] = dir / "stale";
  answering.answers = {dir / "right"};
  out = ExtractZipArchive(dir / "one/P.ZIP", dir / "dest", true, answering);
  ASSERT_EQ(out.result, ZipResult::kDone) << out.error;
  EXPECT_EQ(answering.asked, std::vector<int>{1});
  EXPECT_EQ(Read(dir / "dest/first.txt"), std::string(60, 'f'));
  // Neither the last part nor the first: missing, nobody asked.
  DiskHooks none;
  out = ExtractZipArchive(dir / "none/P.ZIP", dir / "dest", true, none);
  EXPECT_EQ(out.result, ZipResult::kArchiveMissing);
  EXPECT_FALSE(out.diskRefused);
  EXPECT_TRUE(none.asked.empty());
}

// Info-ZIP's own split archive of a random file, a text and a folder with a file: the first part in one folder,
// the last in another that the disk prompt names; the others are found beside one of them.
TEST(SpannedZipExtractTest, ZipsSplitArchiveExtractsAcrossTwoFolders) {
  if (!tvn::testing::HaveZipTool()) GTEST_SKIP() << "zip is not installed";
  TempDir dir;
  const std::string random = Random(150 * 1024, 7);
  Write(dir / "src/random.bin", random);
  Write(dir / "src/text.txt", "some text\n");
  Write(dir / "src/folder/inner.txt", "inner\n");
  ASSERT_TRUE(tvn::testing::RunZipTool(dir / "src", {"-s", "64k", "-r", "PACK.zip", "random.bin", "text.txt", "folder"}));
  fs::create_directories(dir / "disk1");
  fs::create_directories(dir / "disk2");
  for (const auto& item : fs::directory_iterator(dir / "src")) {
    const std::string name = item.path().filename().string();
    if (name == "PACK.z01") fs::rename(item.path(), dir / "disk1" / name);
    else if (name.starts_with("PACK.")) fs::rename(item.path(), dir / "disk2" / name);
  }
  ASSERT_TRUE(fs::exists(dir / "disk2/PACK.z02"));  // three parts
  fs::create_directory(dir / "dest");
  DiskHooks hooks;
  hooks.answers = {dir / "disk2"};
  ZipExtraction out = ExtractZipArchive(dir / "disk1/PACK.zip", dir / "dest", false, hooks);
  ASSERT_EQ(out.result, ZipResult::kDone) << out.error;
  // Part 2's disk is asked for once: the last part is there, and part 2 is found in the folder given for it.
  EXPECT_EQ(hooks.asked, std::vector<int>{2});
  EXPECT_EQ(Read(dir / "dest/random.bin"), random);
  EXPECT_EQ(Read(dir / "dest/text.txt"), "some text\n");
  EXPECT_EQ(Read(dir / "dest/folder/inner.txt"), "inner\n");
}

}  // namespace
