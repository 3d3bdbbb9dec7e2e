// CFile on disk and CMemFile in memory.
#include "platform/sys/file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(CFile, MissingFileGivesFileNotFoundWithItsName) {
  CFile f;
  CFileException error;
  EXPECT_FALSE(f.Open("no\\such\\file.mcl", CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error.m_strFileName, "no\\such\\file.mcl");
  EXPECT_THROW(CFile("no_such_file.mcl", CFile::modeRead), CFileException);
}

TEST(CFile, WritesReadsAndSeeks) {
  fs::path path = fs::temp_directory_path() / "tvn_file_test.bin";
  {
    CFile f;
    ASSERT_TRUE(f.OpenHostPath(path, CFile::modeCreate | CFile::modeWrite));
    f.Write("hello world", 11);
  }
  CFile f;
  ASSERT_TRUE(f.OpenHostPath(path, CFile::modeRead));
  EXPECT_EQ(f.GetLength(), 11u);
  char buf[16] = {};
  EXPECT_EQ(f.Seek(6, CFile::begin), 6u);
  EXPECT_EQ(f.Read(buf, 16), 5u);  // short at the end of the file
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(f.Read(buf, 16), 0u);
  f.Close();
  EXPECT_THROW(f.Read(buf, 1), CFileException);
  fs::remove(path);
}

TEST(CFile, DirectoryIsNotAFile) {
  CFile f;
  CFileException error;
  EXPECT_FALSE(f.OpenHostPath(fs::temp_directory_path(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);
}

TEST(CMemFile, ReadsStopAtTheEndAndSeeksAreChecked) {
  const BYTE data[] = {1, 2, 3};
  CMemFile view(data, sizeof data);
  BYTE out[8] = {};
  EXPECT_EQ(view.Read(out, 8), 3u);
  EXPECT_EQ(view.Read(out, 8), 0u);
  EXPECT_THROW(view.Seek(-4, CFile::end), CFileException);
  EXPECT_EQ(view.Seek(10, CFile::begin), 10u);  // past the end is allowed, reads give nothing
  EXPECT_EQ(view.Read(out, 1), 0u);
  EXPECT_THROW(view.Write(data, 1), CFileException);  // an attached view is read-only

  CMemFile grown;
  grown.Seek(2, CFile::begin);
  grown.Write(data, 3);
  EXPECT_EQ(grown.GetLength(), 5u);
  EXPECT_EQ(grown.Detach(), (std::vector<BYTE>{0, 0, 1, 2, 3}));
}
