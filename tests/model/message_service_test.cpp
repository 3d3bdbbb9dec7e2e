// The string table and the message-box helpers.
#include "model/message_service.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "model/string_table.h"
#include "tests/support/recording_message_sink.h"

using tvn::testing::RecordingMessageSink;

namespace {
CWnd* const kWindow = reinterpret_cast<CWnd*>(0x1000);
}

TEST(StringTable, CourseAndFileMessagesReadAsTheyAlwaysHave) {
  struct Row {
    UINT id;
    const char* text;
  };
  const Row rows[] = {
      {8038, "'%1' is not a valid Velostra file."},
      {8039, "'%1' is from a previous version of Velostra and will NOT be compatible."},
      {8040, "'%1' was created for a newer version of Velostra."},
      {8330, "'%1' was created for UNICODE and cannot be loading."},
      {8089, "No backup file found."},
      {8090, "An error has occured in loading file '%1'.\n\nTavelon has detected a backup file, do you want to load this "
             "file?"},
      {8091, "An error has occured in loading the backup file '%1', please contact software supplier."},
      {8148, "Unable to open file"},
      {61706, "Insufficient memory to perform operation."},
      {61728, "Unexpected file format."},
      {61729, "%1\nCannot find this file.\nPlease verify that the correct path and file name are given."},
      {61732, "Unable to write to %1, it is read-only or opened by someone else."},
      {180, "Unable to open %1.  There are too many files already open."},
  };
  for (const Row& r : rows) EXPECT_EQ(LoadStringText(r.id).str(), r.text) << "id " << r.id;
  for (UINT id : {8211u, 8212u, 8231u, 61696u, 61697u}) EXPECT_FALSE(LoadStringText(id).IsEmpty()) << "id " << id;
  EXPECT_TRUE(LoadStringText(8000).IsEmpty());
  EXPECT_FALSE(HasStringText(1));
}

TEST(StringTable, FormattingReplacesEveryPlaceholderOnce) {
  EXPECT_EQ(FormatStringId1(8038, "a.mcl").str(), "'a.mcl' is not a valid Velostra file.");
  EXPECT_EQ(FormatString1("%1 and %1", "x").str(), "x and x");
  EXPECT_EQ(FormatString1("%1!", "%1").str(), "%1!");
  EXPECT_EQ(FormatString1("none", "x").str(), "none");
  // Two placeholders in one pass: an argument's own "%1" or "%2" stays; other
  // percent signs, and one at the very end, are text.
  EXPECT_EQ(FormatString2(LoadStringText(119), "-22\"", "22\"").str(), "The measurement must be between -22\" and 22\".");
  EXPECT_EQ(FormatString2("%2/%1/%2", "%2", "%1").str(), "%1/%2/%1");
  EXPECT_EQ(FormatString2("100% %3 %", "a", "b").str(), "100% %3 %");
}

TEST(MessageService, BoxesCarryTheTextCaptionAndBeepInOrder) {
  RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  sink.answers = {IDYES};
  EXPECT_EQ(messages.MessageBoxId(8089, MB_YESNO), IDYES);
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "No backup file found.");
  EXPECT_EQ(sink.boxes[0].caption, "Tvnrun");
  EXPECT_EQ(sink.boxes[0].helpContext, 8089u);
  EXPECT_EQ(sink.boxes[0].window, nullptr);

  messages.MessageBoxBeep(8089, nullptr, 0);
  EXPECT_TRUE(sink.beeps.empty());
  messages.MessageBoxBeep(8089, kWindow, -1);
  EXPECT_EQ(sink.beeps, std::vector<UINT>{0xFFFFFFFFu});
  EXPECT_EQ(sink.boxes.back().window, kWindow);
  EXPECT_EQ((std::vector<std::string>{sink.events.end() - 2, sink.events.end()}),
            (std::vector<std::string>{"beep", "box"}));

  CString name = "C:\\COURSE\\A.MCL";
  messages.MessageBoxFormatBeep(8040, &name, nullptr, MB_ICONEXCLAMATION);
  EXPECT_EQ(sink.boxes.back().text, "'C:\\COURSE\\A.MCL' was created for a newer version of Velostra.");
  EXPECT_EQ(sink.beeps.back(), MB_ICONEXCLAMATION);
  messages.MessageBoxFormatBeep(8040, nullptr, nullptr, 0);
  EXPECT_EQ(sink.boxes.back().text, "'%1' was created for a newer version of Velostra.");

  messages.MessageBoxOnWindow("hello", kWindow, "Own caption", MB_OKCANCEL);
  EXPECT_EQ(sink.boxes.back().caption, "Own caption");
  EXPECT_EQ(sink.boxes.back().style, MB_OKCANCEL);
  messages.MessageBoxOnWindow("hello", kWindow);
  EXPECT_EQ(sink.boxes.back().caption, "Tvnrun");
}

TEST(MessageService, LastErrorIsShownWithTheSystemText) {
  RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  errno = ENOENT;
  messages.ShowLastErrorMessage(nullptr, 0);
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_FALSE(sink.boxes[0].text.empty());
}
