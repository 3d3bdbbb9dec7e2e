// File failures reported into the error variables, and copying with that report.
#include "model/file_error_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "model/string_table.h"
#include "platform/base/host_path.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/recording_message_sink.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/temp_dir.h"

using tvn::testing::RecordingErrorVariables;
using tvn::testing::RecordingMessageSink;

namespace {
struct Reporter {
  RecordingMessageSink sink;
  RecordingErrorVariables vars;
  CMessageService messages{sink, "Tvnrun"};
  CFileErrorReporter reporter{vars, messages};
};
}  // namespace

TEST(FileErrorReport, EveryCauseHasItsMessage) {
  struct Row {
    int cause;
    bool writing;
    UINT id;
  };
  const Row rows[] = {
      {0, false, 999},    {1, false, 61733},  {1, true, 61734},   {2, false, 61729},  {3, true, 61729},
      {4, false, 180},    {5, false, 61731},  {5, true, 61732},   {6, false, 61733},  {7, false, 999},
      {8, false, 181},    {9, true, 61734},   {10, false, 61733}, {11, false, 182},   {12, true, 61734},
      {13, false, 61730}, {14, false, 999},   {8038, false, 999},
  };
  int row = 0;
  for (const Row& r : rows) {
    EXPECT_EQ(FileErrorMessageId(r.cause, r.writing, 999), r.id) << "row " << row;
    ++row;
  }
}

TEST(FileErrorReport, FileExceptionsSetTheVariablesWithoutABox) {
  Reporter r;
  r.reporter.ReportFileErrorToVariables("C:\\A.BMP", CFileException(CFileException::accessDenied), TRUE, 61697);
  EXPECT_EQ(r.vars.errorNumber, 5);
  EXPECT_EQ(r.vars.errorMessage, "Unable to write to C:\\A.BMP, it is read-only or opened by someone else.");
  r.reporter.ReportFileErrorToVariables("B.WAV", CFileException(CFileException::endOfFile), FALSE, 8148);
  EXPECT_EQ(r.vars.errorNumber, 14);
  EXPECT_EQ(r.vars.errorMessage, "Unable to open file");
  EXPECT_TRUE(r.sink.boxes.empty());
}

TEST(FileErrorReport, MemoryFailuresShowABoxAndLeaveTheVariables) {
  Reporter r;
  r.reporter.ReportFileErrorToVariables("A", CMemoryException(), FALSE, 61697);
  r.reporter.ReportFileErrorToVariables("A", std::bad_alloc(), FALSE, 61697);
  EXPECT_EQ(r.vars.calls, 0);
  ASSERT_EQ(r.sink.boxes.size(), 2u);
  EXPECT_EQ(r.sink.boxes[0].text, "Insufficient memory to perform operation.");
  EXPECT_EQ(r.sink.beeps, (std::vector<UINT>{0xFFFFFFFFu, 0xFFFFFFFFu}));
}

TEST(FileErrorReport, OtherFailuresShowTheirOwnTextAndSetErrorOne) {
  Reporter r;
  r.reporter.ReportFileErrorToVariables("A.MCL", CArchiveException(CArchiveException::badClass), FALSE, 61697);
  EXPECT_EQ(r.vars.errorNumber, 1);
  EXPECT_EQ(r.vars.errorMessage, "Unexpected file format.");
  ASSERT_EQ(r.sink.boxes.size(), 1u);
  EXPECT_EQ(r.sink.boxes[0].style, MB_ICONEXCLAMATION);
  r.reporter.ReportFileErrorToVariables("A", std::runtime_error(std::string(600, 'x')), FALSE, 61697);
  EXPECT_EQ(r.vars.errorMessage.size(), 512u);
}

TEST(FileErrorReport, CopyFileReportOverwritesOrReportsTheCause) {
  Reporter r;
  tvn::testing::TempDir dir;
  tvn::testing::WriteBytes(dir / "a.txt", {1, 2, 3});
  tvn::testing::WriteBytes(dir / "b.txt", {9});
  auto text = [](const std::filesystem::path& p) { return tvn::path::HostPathToText(p); };
  EXPECT_EQ(r.reporter.CopyFileReport(text(dir / "a.txt"), text(dir / "b.txt")), 0);
  EXPECT_EQ(tvn::testing::ReadBytes(dir / "b.txt"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(r.vars.calls, 0);
  CString missing = text(dir / "none.txt");
  EXPECT_EQ(r.reporter.CopyFileReport(missing, text(dir / "c.txt")), CFileException::fileNotFound);
  EXPECT_EQ(r.vars.errorNumber, CFileException::fileNotFound);
  EXPECT_EQ(r.vars.errorMessage.rfind(missing.str(), 0), 0u);
}

TEST(FileErrorReport, ReachesTheScriptVariablesThroughTheVariableContext) {
  tvn::testing::TestVariableContext context;
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  CFileErrorReporter reporter{context, messages};
  reporter.ReportFileErrorToVariables("B.WAV", CFileException(CFileException::fileNotFound), FALSE, 8148);
  EXPECT_EQ(context.Var("ErrorNumber").GetLong(), 2);
  EXPECT_FALSE(context.Var("ErrorMessage").GetString().IsEmpty());
}
