// The data memory file over pre-loaded blocks, packed entries and disk files, and extraction.
#include "model/data_mem_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "model/data_file.h"
#include "model/file_error_report.h"
#include "model/preload_source.h"
#include "model/string_table.h"
#include "platform/base/host_path.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

using tvn::testing::PackedFileBuilder;
using tvn::testing::TempDir;

namespace {

CString Text(const std::filesystem::path& p) { return tvn::path::HostPathToText(p); }
std::vector<BYTE> Bytes(const std::string& s) { return std::vector<BYTE>(s.begin(), s.end()); }

std::vector<BYTE> ReadAll(CFile& file, std::size_t atMost) {
  std::vector<BYTE> out(atMost);
  out.resize(file.Read(out.data(), static_cast<UINT>(atMost)));
  return out;
}

class FakeBlock : public IPreloadBlock {
 public:
  explicit FakeBlock(std::vector<BYTE> bytes) : data(std::move(bytes)) {}
  void SetInUse(bool v) override { inUse = v; }
  const BYTE* LockData() override {
    ++locks;
    return data.data();
  }
  void UnlockData() override { --locks; }
  std::size_t GetDataSize() const override { return data.size(); }
  std::vector<BYTE> data;
  bool inUse = false;
  int locks = 0;
};

class FakeCache : public IPreloadCache {
 public:
  IPreloadBlock* FindImage(const CString& name) override {
    for (auto& [key, block] : blocks) {
      if (CString(key).CompareNoCase(name.view()) == 0) return &block;
    }
    return nullptr;
  }
  std::map<std::string, FakeBlock> blocks;
};

// Points the temporary folder at a folder of the test's own while it lives.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::filesystem::path& folder) {
    if (const char* old = std::getenv("TMPDIR")) m_old = old;
    ::setenv("TMPDIR", folder.c_str(), 1);
  }
  ~ScopedTempFolder() {
    if (m_old.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", m_old.c_str(), 1);
    }
  }

 private:
  std::string m_old;
};

int FilesIn(const std::filesystem::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

struct DataMemFileTest : ::testing::Test {
  DataMemFileTest() {
    PackedFileBuilder b;
    b.Add("first.txt", "0123456789").Add("second.txt", "ABCDEFGHIJ").Add("shared.txt", "from the data file");
    b.AddEntry({"beyond.txt", Bytes("xx"), std::nullopt, 5000u});
    b.WriteTo(dir / "pack.dat");
    EXPECT_TRUE(data.Open(Text(dir / "pack.dat")));
  }

  TempDir dir;
  tvn::testing::RecordingMessageSink sink;
  tvn::testing::RecordingErrorVariables vars;
  CMessageService messages{sink, "Tvnrun"};
  CFileErrorReporter reporter{vars, messages};
  CDataFile data{&reporter};
  FakeCache cache;
};

}  // namespace

TEST_F(DataMemFileTest, EntryReadsAsAFileOfItsOwnAndNeverIntoTheNextEntry) {
  CDataMemFile file(&data, &cache, &reporter);
  ASSERT_TRUE(file.Open("FIRST.TXT", CFile::modeRead));
  EXPECT_TRUE(file.IsFromDataFile());
  EXPECT_EQ(file.GetPosition(), 0u);
  EXPECT_EQ(file.GetLength(), 10u);
  EXPECT_EQ(ReadAll(file, 4), Bytes("0123"));
  EXPECT_EQ(file.GetPosition(), 4u);
  // Asking for more than is left gives only the rest of the entry.
  EXPECT_EQ(ReadAll(file, 100), Bytes("456789"));
  EXPECT_EQ(ReadAll(file, 100), Bytes(""));

  EXPECT_EQ(file.Seek(2, CFile::begin), 2u);
  EXPECT_EQ(ReadAll(file, 2), Bytes("23"));
  EXPECT_EQ(file.Seek(-3, CFile::current), 1u);
  EXPECT_EQ(ReadAll(file, 1), Bytes("1"));
  EXPECT_EQ(file.Seek(-2, CFile::end), 8u);
  EXPECT_EQ(ReadAll(file, 5), Bytes("89"));
  // Beyond the end is allowed as a position, and reads there give end of file.
  EXPECT_EQ(file.Seek(3, CFile::end), 13u);
  EXPECT_EQ(ReadAll(file, 5), Bytes(""));
  // Before the entry's first byte is not.
  EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
  EXPECT_THROW(file.Seek(-14, CFile::current), CFileException);
  EXPECT_THROW(file.Write("x", 1), CFileException);
}

TEST_F(DataMemFileTest, StatusIsTheEntrysTheDiskFilesOrTheBlocksAndTheNameStays) {
  tvn::testing::WriteBytes(dir / "disk.txt", Bytes("disk only"));
  cache.blocks.emplace("cached.bmp", FakeBlock(Bytes("12345")));
  CFileStatus status;
  CDataMemFile file(&data, &cache, &reporter);
  ASSERT_TRUE(file.Open("Second.txt", CFile::modeRead));
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_EQ(status.m_size, 10u) << "the entry's size, not the packed file's";
  EXPECT_EQ(status.m_szFullName, CString("Second.txt"));
  EXPECT_GT(status.m_mtime, 0);
  file.SetFilePath("other.txt");
  EXPECT_EQ(file.GetFilePath(), CString("Second.txt"));

  const CString disk = Text(dir / "disk.txt");
  ASSERT_TRUE(file.Open(disk, CFile::modeRead));
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_EQ(status.m_size, 9u);
  EXPECT_EQ(status.m_szFullName, disk);
  EXPECT_EQ(status.m_attribute & CFile::readOnly, 0);
  std::filesystem::permissions(dir / "disk.txt", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_EQ(status.m_attribute & CFile::readOnly, CFile::readOnly);

  ASSERT_TRUE(file.Open("CACHED.BMP", CFile::modeRead));
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_EQ(status.m_size, 5u);
  file.Close();
  CFile closed;
  EXPECT_FALSE(closed.GetStatus(status));
}

TEST_F(DataMemFileTest, SourcesAreTriedCacheFirstThenDataFileThenDisk) {
  tvn::testing::WriteBytes(dir / "shared.txt", Bytes("from the disk"));
  tvn::testing::WriteBytes(dir / "disk.txt", Bytes("disk only"));
  {
    CDataMemFile file(&data, &cache, &reporter);
    ASSERT_TRUE(file.Open(Text(dir / "disk.txt"), CFile::modeRead));
    EXPECT_FALSE(file.IsFromDataFile());
    EXPECT_EQ(file.GetLength(), 9u);
    EXPECT_EQ(ReadAll(file, 100), Bytes("disk only"));
  }
  {
    CDataMemFile file(&data, &cache, &reporter);
    ASSERT_TRUE(file.Open("shared.txt", CFile::modeRead));
    EXPECT_EQ(ReadAll(file, 100), Bytes("from the data file"));
  }
  auto [it, added] = cache.blocks.emplace("SHARED.TXT", FakeBlock(Bytes("from memory")));
  FakeBlock& block = it->second;
  {
    CDataMemFile file(&data, &cache, &reporter);
    ASSERT_TRUE(file.Open("shared.txt", CFile::modeRead));
    EXPECT_TRUE(file.IsFromCache());
    EXPECT_TRUE(block.inUse);
    EXPECT_EQ(block.locks, 1);
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(ReadAll(file, 100), Bytes("from memory"));
  }
  // The destructor gave the block back.
  EXPECT_FALSE(block.inUse);
  EXPECT_EQ(block.locks, 0);
}

TEST_F(DataMemFileTest, MissingNamesAndUnreadableEntries) {
  {
    CDataMemFile file(&data, &cache, &reporter);
    EXPECT_TRUE(file.Open("nowhere.bmp", CFile::modeRead | CDataMemFile::kMayBeMissing));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(vars.calls, 0);
  }
  {
    CDataMemFile file(&data, &cache, &reporter);
    CFileException error;
    EXPECT_FALSE(file.Open(Text(dir / "nowhere.bmp"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(vars.calls, 0);  // the caller has the exception and reports it
  }
  {
    CDataMemFile file(&data, &cache, &reporter);
    EXPECT_FALSE(file.Open(Text(dir / "nowhere.bmp"), CFile::modeRead));
    EXPECT_EQ(vars.calls, 1);
    EXPECT_EQ(vars.errorNumber, CFileException::fileNotFound);
  }
  {
    // An entry that reaches past the end of the packed file fails, even when it may be missing.
    CDataMemFile file(&data, &cache, &reporter);
    EXPECT_FALSE(file.Open("beyond.txt", CFile::modeRead | CDataMemFile::kMayBeMissing));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(vars.calls, 2);
  }
}

TEST_F(DataMemFileTest, ExtractionCopiesTheWholeContentThroughTheTransferBuffer) {
  TempDir temp;
  ScopedTempFolder scoped(temp.path());
  std::vector<BYTE> content(100000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<BYTE>(i * 7 + i / 256);
  PackedFileBuilder b;
  b.Add("lead.bin", Bytes("lead")).Add("big.bin", content).Add("tail.bin", Bytes("tail"));
  b.WriteTo(dir / "big.dat");
  ASSERT_TRUE(data.Open(Text(dir / "big.dat")));

  struct CountingFile : CDataMemFile {
    using CDataMemFile::CDataMemFile;
    UINT Read(void* buffer, UINT count) override {
      ++reads;
      largest = std::max(largest, count);
      return CDataMemFile::Read(buffer, count);
    }
    int reads = 0;
    UINT largest = 0;
  } file(&data, nullptr, &reporter);
  ASSERT_TRUE(file.Open("BIG.BIN", CFile::modeRead));
  file.Seek(123, CFile::begin);
  CString out;
  ASSERT_TRUE(file.ExtractToTempFile(out, FALSE));
  EXPECT_EQ(file.reads, 4);
  EXPECT_EQ(file.largest, CDataMemFile::kTransferBuffer);
  EXPECT_EQ(file.GetPosition(), 123u);
  std::filesystem::path extracted(out.ToUtf8());
  EXPECT_EQ(extracted.parent_path(), temp.path());
  EXPECT_EQ(extracted.filename().string().rfind("tvn", 0), 0u);
  EXPECT_EQ(tvn::testing::ReadBytes(extracted), content);
}

TEST_F(DataMemFileTest, ShortExtractionFailsAndLeavesNoTemporaryFile) {
  TempDir temp;
  ScopedTempFolder scoped(temp.path());
  // A source whose reads stop early, as a file cut short under us would.
  struct ShortFile : CDataMemFile {
    using CDataMemFile::CDataMemFile;
    UINT Read(void* buffer, UINT count) override { return given++ < 1 ? CDataMemFile::Read(buffer, count / 2) : 0; }
    int given = 0;
  } file(&data, nullptr, &reporter);
  ASSERT_TRUE(file.Open("second.txt", CFile::modeRead));
  CString out = "unchanged";
  EXPECT_FALSE(file.ExtractToTempFile(out, TRUE));
  EXPECT_EQ(out, "unchanged");
  EXPECT_EQ(FilesIn(temp.path()), 0);
  EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(DataMemFileTest, ExtractionFromMemoryAndAnEmptyContent) {
  TempDir temp;
  ScopedTempFolder scoped(temp.path());
  cache.blocks.emplace("mem.bin", FakeBlock(Bytes("cached bytes")));
  cache.blocks.emplace("empty.bin", FakeBlock({}));
  CDataMemFile file(&data, &cache, &reporter);
  ASSERT_TRUE(file.Open("MEM.BIN", CFile::modeRead));
  CString out;
  ASSERT_TRUE(file.ExtractToTempFile(out, TRUE));
  EXPECT_EQ(tvn::testing::ReadBytes(out.ToUtf8()), Bytes("cached bytes"));
  CDataMemFile empty(&data, &cache, &reporter);
  ASSERT_TRUE(empty.Open("empty.bin", CFile::modeRead));
  ASSERT_TRUE(empty.ExtractToTempFile(out, TRUE));
  EXPECT_TRUE(tvn::testing::ReadBytes(out.ToUtf8()).empty());
}
