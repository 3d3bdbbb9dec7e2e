// Mail as the runtime sends it: recipient and attachment lists split, and the RFC 5322 message built.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The names of a list separated by ";" and line feeds, leading and trailing
// blanks dropped, empty names left out. The list itself is not changed.
std::vector<std::string> SplitMailList(std::string_view list);

// A plain address "local@domain" of printable ASCII: no blank, no control
// character (so no CR or LF), none of the characters that would let it reach
// beyond its header field, one "@" with text on both sides.
bool IsValidMailAddress(std::string_view address);

struct MailAttachment {
  std::string fileName;  // the name the receiver sees, UTF-8
  std::string bytes;
};

// The parts of a message. Texts are in the course's 8-bit code page except
// where noted; the builder converts them to UTF-8.
struct MailMessage {
  std::string from;             // an address, ASCII
  std::vector<std::string> to;  // valid addresses only
  std::string subject;
  std::string text;
  std::vector<MailAttachment> attachments;
  std::int64_t unixTime = 0;  // the Date field, written in UTC
  std::string messageId;      // "<...>"; ASCII
  std::string boundary;       // of the multipart body; must not occur in the parts
};

// The message with CR LF line ends: From, To, Subject (RFC 2047 encoded
// unless plain printable ASCII), Date, Message-ID, MIME-Version and the body:
// the text alone as UTF-8, or multipart/mixed with the text and one base64
// part per attachment when there are attachments.
std::string BuildMailMessage(const MailMessage& message);

// "Wed, 09 Dec 2026 11:54:16 +0000", written in the C locale.
std::string MailDate(std::int64_t unixTime);
std::string Base64(std::string_view bytes);
