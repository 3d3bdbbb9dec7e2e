// Mail: lists split, messages built and parsed, and CMapiMail on the program and outbox transports.
#include "controls/mapi_mail.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <sstream>

#include "controls/mail_message.h"
#include "model/system_queries.h"
#include "tests/support/mail_headers.h"
#include "tests/support/recording_message_sink.h"

using tvn::testing::ParseMail;

namespace {

namespace fs = std::filesystem;

class MapProfile final : public IProfileValues {
 public:
  CString GetProfileString(const CString& section, const CString& key, const CString& def) override {
    auto found = values.find(section.str() + "." + key.str());
    return found == values.end() ? def : CString(found->second);
  }
  std::map<std::string, std::string> values;
};

class FakeCompose final : public IMailCompose {
 public:
  BOOL Compose(CWnd*, MailDraft& draft) override {
    shown.push_back(draft);
    draft.to = to;
    return send;
  }
  std::vector<MailDraft> shown;
  CString to = "c@z.org";
  BOOL send = FALSE;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class MailTest : public ::testing::Test {
 protected:
  MailTest() {
    std::string pattern = (fs::temp_directory_path() / "tvn-mail-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    profile.values["Mail.Outbox"] = (dir / "outbox").string();
  }
  ~MailTest() override { fs::remove_all(dir); }

  // A sendmail stand-in: it keeps its arguments and message beside itself and exits with the code.
  void UseProgram(int exitCode, const char* extra = "") {
    const fs::path program = dir / "sendmail";
    std::ofstream(program) << "#!/bin/sh\necho \"$@\" > \"" << (dir / "args").string() << "\"\ncat > \""
                           << (dir / "sent.eml").string() << "\"\n" << extra << "exit " << exitCode << "\n";
    fs::permissions(program, fs::perms::owner_all);
    profile.values["Mail.Program"] = program.string();
  }
  BOOL Send(const char* to, const char* attachments = "") {
    return SendEmailMessage(nullptr, profile, errors, compose, to, "Subject", "Text", attachments);
  }
  std::vector<fs::path> Outbox() const {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir / "outbox", ec)) files.push_back(entry.path());
    return files;
  }

  fs::path dir;
  MapProfile profile;
  tvn::testing::RecordingErrorVariables errors;
  FakeCompose compose;
};

}  // namespace

TEST(MailMessage, ListsAddressesAndTheBuiltMessage) {
  EXPECT_EQ(SplitMailList("a@x.org; b@y.org"), SplitMailList("a@x.org\nb@y.org"));
  EXPECT_EQ(SplitMailList(" a@x.org ;;\r\n\n b@y.org; "), (std::vector<std::string>{"a@x.org", "b@y.org"}));
  EXPECT_TRUE(SplitMailList(" ;\n; ").empty());
  for (const char* good : {"a@x.org", "first.last+tag@sub.example.com"}) EXPECT_TRUE(IsValidMailAddress(good)) << good;
  for (const char* bad : {"", "a", "@x.org", "a@", "a@b@c", "a b@x.org", "a@x.org\r\nBcc: e@v.il", "<a@x.org>",
                          "a,b@x.org", "\xe9@x.org"})
    EXPECT_FALSE(IsValidMailAddress(bad)) << bad;
  EXPECT_EQ(MailDate(0), "Thu, 01 Jan 1970 00:00:00 +0000");
  EXPECT_EQ(MailDate(1796817256), "Wed, 09 Dec 2026 11:54:16 +0000");
  EXPECT_EQ(MailDate(1709251199), "Thu, 29 Feb 2024 23:59:59 +0000");
  EXPECT_EQ(Base64("ab"), "YWI=");

  MailMessage message;
  message.from = "me@host";
  message.to = {"a@x.org", "b@y.org"};
  message.subject = "Caf\xe9\r\nBcc: e@v.il";  // 1252 text with a line break
  message.text = "line one\nline two";
  message.messageId = "<1@host>";
  message.boundary = "=_b";
  auto plain = ParseMail(BuildMailMessage(message));
  ASSERT_TRUE(plain);
  std::vector<std::string> names;
  for (const auto& field : plain->fields) names.push_back(field.first);
  EXPECT_EQ(names, (std::vector<std::string>{"From", "To", "Subject", "Date", "Message-ID", "MIME-Version",
                                             "Content-Type", "Content-Transfer-Encoding"}));
  EXPECT_EQ(*plain->Field("To"), "a@x.org, b@y.org");
  EXPECT_EQ(plain->Field("Subject")->rfind("=?UTF-8?B?", 0), 0u);
  EXPECT_EQ(plain->body, "line one\r\nline two\r\n");

  message.subject = "Plain";
  message.attachments = {{"r\xc3\xa9sum\xc3\xa9.txt", "hello"}, {"a.bin", std::string("\0\1", 2)}};
  auto mixed = ParseMail(BuildMailMessage(message));
  ASSERT_TRUE(mixed);
  EXPECT_EQ(*mixed->Field("Subject"), "Plain");
  EXPECT_EQ(*mixed->Field("Content-Type"), "multipart/mixed; boundary=\"=_b\"");
  EXPECT_NE(mixed->body.find("filename*=UTF-8''r%C3%A9sum%C3%A9.txt"), std::string::npos);
  EXPECT_NE(mixed->body.find("aGVsbG8=\r\n"), std::string::npos);
  EXPECT_NE(mixed->body.find("\r\n--=_b--\r\n"), std::string::npos);
}

TEST_F(MailTest, TheProgramGetsTheMessageAndItsFailuresAreReported) {
  UseProgram(0);
  EXPECT_TRUE(Send("a@x.org; b@y.org"));
  EXPECT_EQ(ReadFile(dir / "args"), "-t -oi\n");
  auto sent = ParseMail(ReadFile(dir / "sent.eml"));
  ASSERT_TRUE(sent);
  EXPECT_EQ(*sent->Field("To"), "a@x.org, b@y.org");
  EXPECT_EQ(errors.calls, 0);
  EXPECT_TRUE(Outbox().empty());

  UseProgram(1);
  EXPECT_FALSE(Send("a@x.org"));
  EXPECT_EQ(errors.errorNumber, 2);
  EXPECT_EQ(errors.errorMessage, "The mail could not be sent.");

  // A program that runs past its time is ended and counts as failed.
  UseProgram(0, "exec sleep 30\n");
  MailSettings settings = MailSettings::Read(profile);
  settings.timeLimitMs = 100;
  EXPECT_EQ(CMailTransport(settings).Send("To: a@x.org\r\n\r\n"), MapiCode::kFailure);

  profile.values["Mail.Program"] = (dir / "missing").string();
  errors = {};
  EXPECT_FALSE(Send("a@x.org"));
  EXPECT_EQ(errors.errorNumber, 2);
  EXPECT_EQ(errors.errorMessage, "The mail program cannot be found or started.");
}

TEST_F(MailTest, TheOutboxRecipientsAttachmentsAndTheDialog) {
  std::ofstream(dir / "notes.txt") << "notes";
  const std::string notes = (dir / "notes.txt").string();
  EXPECT_TRUE(Send("a@x.org", (";\n" + notes + ";").c_str()));
  auto files = Outbox();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].extension(), ".eml");
  auto mail = ParseMail(ReadFile(files[0]));
  ASSERT_TRUE(mail);
  EXPECT_NE(mail->body.find("filename=\"notes.txt\""), std::string::npos);

  // Only separators, or no valid address: nothing sent, code 25.
  EXPECT_FALSE(Send(" ; \n"));
  EXPECT_EQ(errors.errorNumber, 25);
  EXPECT_FALSE(Send("nobody; a b@x.org"));
  // An attachment that cannot be read: code 11.
  EXPECT_FALSE(Send("a@x.org", (dir / "gone.txt").string().c_str()));
  EXPECT_EQ(errors.errorNumber, 11);
  // A name that makes no path (an unmapped drive) adds no part.
  EXPECT_TRUE(Send("a@x.org", "Q:\\nowhere.txt"));
  EXPECT_EQ(ParseMail(ReadFile(Outbox()[0]))->Field("Content-Type") != nullptr, true);
  EXPECT_EQ(Outbox().size(), 2u);

  // Without recipients the dialog lists the attachments; Cancel sends nothing and is no error.
  errors = {};
  EXPECT_TRUE(Send("", notes.c_str()));
  ASSERT_EQ(compose.shown.size(), 1u);
  EXPECT_EQ(compose.shown[0].subject, "Subject");
  ASSERT_EQ(compose.shown[0].attachments.size(), 1u);
  EXPECT_EQ(compose.shown[0].attachments[0], notes);
  EXPECT_EQ(Outbox().size(), 2u);
  compose.send = TRUE;
  EXPECT_TRUE(Send(""));
  EXPECT_EQ(Outbox().size(), 3u);
  EXPECT_EQ(errors.calls, 0);

  // Mail unavailable (the outbox cannot be made): FALSE, the error variables untouched.
  std::ofstream(dir / "file") << "x";
  profile.values["Mail.Outbox"] = (dir / "file" / "outbox").string();
  EXPECT_FALSE(Send("a@x.org"));
  EXPECT_EQ(errors.calls, 0);
}
