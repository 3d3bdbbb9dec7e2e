// Building RFC 5322 messages: address checks, encoded subjects, the dated header and base64 attachments.
#include "controls/mail_message.h"

#include <array>
#include <chrono>

#include "platform/base/codepage.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool IsPlainAscii(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) return false;
  }
  return true;
}

// RFC 2047 encoded words of at most 75 characters, folded onto new lines.
// Whole UTF-8 characters stay in one word.
std::string EncodedWords(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t n = std::min<std::size_t>(45, utf8.size() - i);
    while (n > 0 && i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80) --n;
    if (n == 0) n = std::min<std::size_t>(45, utf8.size() - i);
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(utf8.substr(i, n)) + "?=";
    i += n;
  }
  return out;
}

// The text with every line ended by CR LF.
std::string WithCrLf(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += kCrLf;
    } else if (text[i] == '\n') {
      out += kCrLf;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool HasLongLine(std::string_view text) {
  std::size_t line = 0;
  for (char c : text) {
    line = c == '\n' ? 0 : line + 1;
    if (line > 998) return true;
  }
  return false;
}

std::string Base64Lines(std::string_view bytes) {
  const std::string all = Base64(bytes);
  std::string out;
  for (std::size_t i = 0; i < all.size(); i += 76) out += all.substr(i, 76) + std::string(kCrLf);
  return out;
}

// The text part's header fields and body.
// A text that holds the boundary goes in base64, so the boundary stays unique.
std::string TextPart(std::string_view text, std::string_view boundary) {
  const std::string utf8 = WithCrLf(tvn::codepage::ToUtf8(text));
  std::string out = "Content-Type: text/plain; charset=UTF-8\r\n";
  if (HasLongLine(utf8) || (!boundary.empty() && utf8.find(boundary) != std::string::npos)) return out + "Content-Transfer-Encoding: base64\r\n\r\n" + Base64Lines(utf8);
  out += "Content-Transfer-Encoding: 8bit\r\n\r\n" + utf8;
  if (!utf8.empty() && utf8.back() != '\n') out += kCrLf;
  return out;
}

// filename="name" for plain names, else RFC 2231's filename*=UTF-8''...
std::string FileNameParameter(std::string_view name) {
  bool plain = IsPlainAscii(name);
  for (char c : name) plain = plain && c != '"' && c != '\\' && c != '%';
  if (plain) return "filename=\"" + std::string(name) + "\"";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "filename*=UTF-8''";
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        byte == '.' || byte == '-' || byte == '_') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> SplitMailList(std::string_view list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find_first_of(";\n", start);
    if (end == std::string_view::npos) end = list.size();
    std::string_view name = list.substr(start, end - start);
    while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    if (!name.empty()) names.emplace_back(name);
    start = end + 1;
  }
  return names;
}

bool IsValidMailAddress(std::string_view address) {
  if (address.size() > 254 || !IsPlainAscii(address)) return false;
  const std::size_t at = address.find('@');
  if (at == 0 || at == std::string_view::npos || at + 1 >= address.size() || address.find('@', at + 1) != std::string_view::npos)
    return false;
  return address.find_first_of(" <>,;:\"()[]\\") == std::string_view::npos;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
  }
  return out;
}

std::string MailDate(std::int64_t unixTime) {
  using namespace std::chrono;
  const sys_seconds time{seconds{unixTime}};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss<seconds> clock{time - day};
  static constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  auto two = [](long long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return std::string(kDays[weekday{day}.c_encoding()]) + ", " + two(static_cast<unsigned>(date.day())) + " " +
         kMonths[static_cast<unsigned>(date.month()) - 1] + " " + std::to_string(static_cast<int>(date.year())) + " " +
         two(clock.hours().count()) + ":" + two(clock.minutes().count()) + ":" + two(clock.seconds().count()) +
         " +0000";
}

std::string BuildMailMessage(const MailMessage& message) {
  std::string out = "From: " + message.from + "\r\nTo: ";
  for (std::size_t i = 0; i < message.to.size(); ++i) out += (i ? ",\r\n " : "") + message.to[i];
  out += kCrLf;
  const std::string subject = tvn::codepage::ToUtf8(message.subject);
  out += "Subject: " + (IsPlainAscii(subject) ? subject : EncodedWords(subject)) + std::string(kCrLf);
  out += "Date: " + MailDate(message.unixTime) + "\r\n";
  out += "Message-ID: " + message.messageId + "\r\n";
  out += "MIME-Version: 1.0\r\n";
  if (message.attachments.empty()) return out + TextPart(message.text, {});

  const std::string& b = message.boundary;
  out += "Content-Type: multipart/mixed; boundary=\"" + b + "\"\r\n\r\n";
  out += "--" + b + "\r\n" + TextPart(message.text, b);
  for (const MailAttachment& file : message.attachments) {
    out += "--" + b + "\r\n";
    out += "Content-Type: application/octet-stream\r\n";
    out += "Content-Disposition: attachment; " + FileNameParameter(file.fileName) + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n\r\n" + Base64Lines(file.bytes);
  }
  return out + "--" + b + "--\r\n";
}
