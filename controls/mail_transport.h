// Where the runtime's mail goes: the configured sendmail-compatible program, else the outbox folder.
#pragma once

#include <filesystem>
#include <string>

class IProfileValues;

// Simple MAPI's result codes that the transport gives.
namespace MapiCode {
constexpr int kSuccess = 0;
constexpr int kUserAbort = 1;
constexpr int kFailure = 2;
constexpr int kLoginFailure = 3;
constexpr int kAttachmentNotFound = 11;
constexpr int kInvalidRecipients = 25;
}  // namespace MapiCode

// [Mail] Program and [Mail] Outbox of the runtime's profile; the outbox is
// "outbox" in the runtime's data folder unless set.
struct MailSettings {
  std::string program;
  std::filesystem::path outbox;
  // How long the program may take.
  int timeLimitMs = 60 * 1000;

  static MailSettings Read(IProfileValues& profile);
};

// The runtime's profile: tvnrun.ini in the runtime's configuration folder
// ($XDG_CONFIG_HOME/tavelon).
std::filesystem::path RuntimeProfilePath();

class CMailTransport {
 public:
  explicit CMailTransport(MailSettings settings) : m_settings(std::move(settings)) {}

  // A program is set, or the outbox exists or can be made.
  bool IsAvailable() const;
  // FALSE when a program is set that cannot be found or run.
  bool CanStartProgram() const;
  // The message to the program ("Program -t -oi", no shell, the message on
  // its standard input) or into the outbox (a temporary name renamed to a
  // ".eml" one). A MapiCode: 0, or 2 for a program failure, a time-out or an
  // outbox that cannot be written.
  int Send(const std::string& message) const;

 private:
  int SendToProgram(const std::string& message) const;
  int SendToOutbox(const std::string& message) const;

  MailSettings m_settings;
};
