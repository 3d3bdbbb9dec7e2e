// The packed data file: directory reading, lookup by name and positioning on entries.
#include "model/data_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "model/file_error_report.h"
#include "model/string_table.h"
#include "platform/base/host_path.h"
#include "tests/support/archive_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

using tvn::testing::PackedFileBuilder;
using tvn::testing::RecordingErrorVariables;
using tvn::testing::RecordingMessageSink;
using tvn::testing::TempDir;

namespace {

CString Text(const std::filesystem::path& p) { return tvn::path::HostPathToText(p); }

std::vector<BYTE> ReadEntry(CFile& file, std::size_t count) {
  std::vector<BYTE> out(count);
  out.resize(file.Read(out.data(), static_cast<UINT>(count)));
  return out;
}

std::vector<BYTE> Bytes(const std::string& s) { return std::vector<BYTE>(s.begin(), s.end()); }

struct Fixture : ::testing::Test {
  TempDir dir;
  RecordingMessageSink sink;
  RecordingErrorVariables vars;
  CMessageService messages{sink, "Tvnrun"};
  CFileErrorReporter reporter{vars, messages};
  CDataFile data{&reporter};

  CString Write(const PackedFileBuilder& builder, const std::string& name = "course.dat") {
    builder.WriteTo(dir / name);
    return Text(dir / name);
  }
};

using DataFileTest = Fixture;

}  // namespace

TEST_F(DataFileTest, ReferenceFileReadsItsDirectoryAndEntriesWithExactBytes) {
  const char* root = TVN_TEST_DATA_DIR;
  std::filesystem::path path = std::filesystem::path(root) / "reference-courses/d_packed/d_packed.dat";
  std::vector<BYTE> raw = tvn::testing::ReadBytes(path);
  ASSERT_TRUE(data.Open(Text(path)));
  ASSERT_EQ(data.GetCount(), 2);

  const CDataFileObject* course = data.FindEntry("D_PACKED.DAT");
  const CDataFileObject* logo = data.FindEntry("d_logo.bmp");
  ASSERT_NE(course, nullptr);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(course->m_strName, "d_packed.dat");
  EXPECT_EQ(logo->m_strName, "D_LOGO.BMP");
  EXPECT_TRUE(course->m_strSourcePath.IsEmpty());

  for (const CDataFileObject* entry : {course, logo}) {
    CFile file;
    ASSERT_TRUE(data.OpenEntryFile(file, entry->m_strName.view()));
    std::vector<BYTE> got = ReadEntry(file, entry->m_dwSize);
    ASSERT_LE(entry->m_dwOffset + entry->m_dwSize, raw.size());
    std::vector<BYTE> expected(raw.begin() + entry->m_dwOffset, raw.begin() + entry->m_dwOffset + entry->m_dwSize);
    EXPECT_EQ(got, expected) << entry->m_strName.str();
  }
  // The bitmap entry is a bitmap file; the shared handle lands on the course entry.
  CFile logoFile;
  ASSERT_TRUE(data.OpenEntryFile(logoFile, "D_Logo.Bmp"));
  EXPECT_EQ(ReadEntry(logoFile, 2), Bytes("BM"));
  ASSERT_TRUE(data.SeekToEntry("d_packed.DAT"));
  EXPECT_EQ(data.GetFile().GetPosition(), course->m_dwOffset);
}

TEST_F(DataFileTest, LookupIgnoresCaseAndTheFirstOfTwoEqualNamesWins) {
  PackedFileBuilder b;
  b.Add("intro.bmp", "first").Add("Other.wav", "x").Add("INTRO.BMP", "second");
  ASSERT_TRUE(data.Open(Write(b)));
  EXPECT_EQ(data.GetCount(), 3);
  CFile file;
  ASSERT_TRUE(data.OpenEntryFile(file, "Intro.Bmp"));
  EXPECT_EQ(data.FindEntry("INTRO.bmp")->m_dwSize, 5u);
  EXPECT_EQ(ReadEntry(file, 5), Bytes("first"));
  EXPECT_EQ(data.FindEntry("missing.bmp"), nullptr);
  // Letters of the code page beyond ASCII fold as well.
  PackedFileBuilder accents;
  accents.Add("\xE9t\xE9.txt", "summer");
  ASSERT_TRUE(data.Open(Write(accents, "accents.dat")));
  EXPECT_NE(data.FindEntry("\xC9T\xC9.TXT"), nullptr);
}

TEST_F(DataFileTest, BadFilesCloseSilentlyWithoutEntries) {
  struct Row {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  PackedFileBuilder good;
  good.Add("a.txt", "alpha").Add("b.txt", "beta");
  std::vector<std::uint8_t> goodBytes = good.Build();
  std::vector<std::uint8_t> truncated(goodBytes.begin(), goodBytes.begin() + 30);
  PackedFileBuilder wrongCase;
  wrongCase.Signature("tvn_datafile").Add("a.txt", "alpha");
  std::vector<std::uint8_t> hugeCount = {12, 'T', 'V', 'N', '_', 'D', 'a', 't', 'a', 'F', 'i', 'l', 'e', 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0x7F};
  // The second directory entry names the first object again: it would be owned twice.
  std::vector<std::uint8_t> twice = {12, 'T', 'V', 'N', '_', 'D', 'a', 't', 'a', 'F', 'i', 'l', 'e', 2, 0};
  tvn::testing::ArchiveWriter w;
  w.NewObject("CDataFileObject", 1);
  w.String("a").Dword(20).Dword(1);
  twice.insert(twice.end(), w.bytes().begin(), w.bytes().end());
  twice.push_back(0x02);  // back-reference to object index 2
  twice.push_back(0x00);
  const Row rows[] = {
      {"empty file", {}},
      {"signature in other case", wrongCase.Build()},
      {"truncated directory", truncated},
      {"count beyond the file", hugeCount},
      {"entry named twice", twice},
  };
  int row = 0;
  for (const Row& r : rows) {
    tvn::testing::WriteBytes(dir / "bad.dat", r.bytes);
    EXPECT_FALSE(data.Open(Text(dir / "bad.dat"))) << "row " << row << ": " << r.what;
    EXPECT_FALSE(data.IsOpen()) << "row " << row;
    EXPECT_EQ(data.GetCount(), 0) << "row " << row;
    EXPECT_EQ(data.FindEntry("a.txt"), nullptr) << "row " << row;
    ++row;
  }
  EXPECT_TRUE(sink.boxes.empty());
  EXPECT_EQ(vars.calls, 0);
  // A good file after the bad ones reads as usual.
  ASSERT_TRUE(data.Open(Write(good)));
  EXPECT_EQ(data.GetCount(), 2);
}

TEST_F(DataFileTest, MissingFileIsReportedToTheErrorVariables) {
  EXPECT_FALSE(data.Open(Text(dir / "none.dat")));
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(vars.errorNumber, CFileException::fileNotFound);
  EXPECT_NE(vars.errorMessage.find("Cannot find this file."), std::string::npos);
  EXPECT_FALSE(data.IsOpen());
  CFile file;
  EXPECT_FALSE(data.OpenEntryFile(file, "a.txt"));
}

TEST_F(DataFileTest, EntriesThatAreEmptyAtZeroOrOutsideTheFileCannotBeOpened) {
  PackedFileBuilder b;
  b.Add("good.txt", "good");
  b.AddEntry({"empty.txt", {}, std::nullopt, std::nullopt});
  b.AddEntry({"zero.txt", Bytes("zz"), 0u, std::nullopt});
  b.AddEntry({"beyond.txt", Bytes("bb"), std::nullopt, 100000u});
  b.AddEntry({"wrap.txt", Bytes("ww"), 0xFFFFFFF0u, 0x20u});
  ASSERT_TRUE(data.Open(Write(b)));
  for (const char* name : {"empty.txt", "zero.txt", "beyond.txt", "wrap.txt"}) {
    EXPECT_NE(data.FindEntry(name), nullptr) << name;
    EXPECT_FALSE(data.SeekToEntry(name)) << name;
    CFile file;
    EXPECT_FALSE(data.OpenEntryFile(file, name)) << name;
    EXPECT_FALSE(file.IsOpen()) << name;
  }
  EXPECT_TRUE(data.SeekToEntry("good.txt"));
}

TEST_F(DataFileTest, ClosingForgetsEntriesForLookups) {
  PackedFileBuilder b;
  b.Add("a.txt", "alpha");
  ASSERT_TRUE(data.Open(Write(b)));
  data.Close();
  EXPECT_FALSE(data.IsOpen());
  EXPECT_EQ(data.FindEntry("a.txt"), nullptr);
  EXPECT_FALSE(data.SeekToEntry("a.txt"));
}
