// Fuzzes mail building: recipients, subject, text and attachment names from the input; the message must
// parse and hold only the header fields the builder writes.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "controls/mail_message.h"
#include "tests/support/mail_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  // Four texts separated by 0xFF bytes: recipients, subject, text, attachment names.
  std::string parts[4];
  for (std::string& part : parts) {
    const std::size_t cut = std::min(rest.find('\xFF'), rest.size());
    part = rest.substr(0, cut);
    rest.remove_prefix(std::min(cut + 1, rest.size()));
  }
  MailMessage message;
  message.from = "me@host";
  for (const std::string& name : SplitMailList(parts[0]))
    if (IsValidMailAddress(name)) message.to.push_back(name);
  message.subject = parts[1];
  message.text = parts[2];
  for (const std::string& name : SplitMailList(parts[3])) message.attachments.push_back({name, name});
  message.unixTime = static_cast<std::int64_t>(size) * 86400 * 365;
  message.messageId = "<1@host>";
  message.boundary = "=_tavelon_1";
  auto mail = tvn::testing::ParseMail(BuildMailMessage(message));
  if (!mail) std::abort();
  static const std::set<std::string> kOurs{"From", "To", "Subject", "Date", "Message-ID", "MIME-Version",
                                           "Content-Type", "Content-Transfer-Encoding"};
  if (mail->fields.size() != (message.attachments.empty() ? 8u : 7u)) std::abort();
  for (const auto& field : mail->fields)
    if (!kOurs.count(field.first)) std::abort();
  return 0;
}
