// Joining split files: a whole set, sets already joined or out of order, and every header the join refuses.
#include "setuptools/common/split_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/base/exceptions.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::TempDir;

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Header(const std::string& name, unsigned count) {
  std::string head{static_cast<char>(name.size() & 0xFF), static_cast<char>(name.size() >> 8)};
  return head + name + std::string{static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)};
}

TEST(SplitFilesTest, PiecesAreRecognisedByTheFileNameOnly) {
  EXPECT_TRUE(IsSplitPieceName("BIG.D00"));
  EXPECT_TRUE(IsSplitPieceName("big.d02"));
  EXPECT_FALSE(IsSplitPieceName(".D0"));  // not after the first character
  EXPECT_FALSE(IsSplitPieceName("BIG.AVI"));
  EXPECT_FALSE(IsSplitPieceName("README.TXT"));
}

TEST(SplitFilesTest, ASetJoinsIntoTheWholeFileAndThePiecesGo) {
  TempDir dir;
  Write(dir / "BIG.D00", Header("BIG.AVI", 3) + "first-");
  Write(dir / "BIG.D01", "second-");
  Write(dir / "BIG.D02", std::string(300000, 'z'));
  // A later piece listed before the first waits for it.
  EXPECT_EQ(JoinSplitFile(dir / "BIG.D01").status, SplitJoin::Status::kSkipped);
  SplitJoin joined = JoinSplitFile(dir / "BIG.D00");
  ASSERT_EQ(joined.status, SplitJoin::Status::kJoined);
  EXPECT_EQ(joined.joined, dir / "BIG.AVI");
  EXPECT_EQ(Read(dir / "BIG.AVI"), "first-second-" + std::string(300000, 'z'));
  for (const char* piece : {"BIG.D00", "BIG.D01", "BIG.D02"}) EXPECT_FALSE(fs::exists(dir / piece)) << piece;
  // The rest of the list finds its pieces gone.
  EXPECT_EQ(JoinSplitFile(dir / "BIG.D02").status, SplitJoin::Status::kSkipped);
  EXPECT_EQ(JoinSplitFile(dir / "BIG.D00").status, SplitJoin::Status::kSkipped);
}

TEST(SplitFilesTest, BadSetsFailWithNothingWrittenAndEveryPieceKept) {
  struct Row {
    std::string first;
    bool secondPresent;
  } rows[] = {
      {Header("X.AVI", 2) + "data", false},          // the second piece is missing
      {Header(std::string(256, 'n'), 1), true},      // name over 255 bytes
      {Header("a/b", 1), true},                      // separators
      {Header("a\\b", 1), true},
      {Header("C:x", 1), true},
      {Header("..", 1), true},
      {Header(std::string("a\0b", 3), 1), true},
      {Header("", 1), true},
      {Header("X.AVI", 0), true},                    // counts
      {Header("X.AVI", 11), true},
      {std::string("\x05\x00" "X.A", 5), true},      // truncated headers
      {std::string("\x05\x00" "X.AVI\x01", 8), true},
      {"\x01", true},
      {Header("X.D01", 2) + "data", true},           // the set's own pieces, in any case
      {Header("x.d00", 2) + "data", true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    TempDir dir;
    Write(dir / "X.D00", rows[i].first);
    if (rows[i].secondPresent) Write(dir / "X.D01", "more");
    SplitJoin result = JoinSplitFile(dir / "X.D00");
    EXPECT_EQ(result.status, SplitJoin::Status::kFailed) << "row " << i;
    EXPECT_EQ(result.cause, i == 0 ? CFileException::fileNotFound : CFileException::invalidFile) << "row " << i;
    EXPECT_FALSE(result.writing) << "row " << i;
    EXPECT_EQ(Read(dir / "X.D00"), rows[i].first) << "row " << i;
    if (rows[i].secondPresent) {
      EXPECT_EQ(Read(dir / "X.D01"), "more") << "row " << i;
    }
    const auto files = std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
    EXPECT_EQ(files, rows[i].secondPresent ? 2 : 1) << "row " << i;
  }
  TempDir dir;
  Write(dir / "X.D00", Header("X.AVI", 2));
  EXPECT_EQ(JoinSplitFile(dir / "X.D00").failedFile, dir / "X.D01");
  EXPECT_EQ(JoinSplitFile(dir / "X.D00").cause, CFileException::fileNotFound);
}

}  // namespace
