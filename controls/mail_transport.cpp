// The mail transport: a sendmail-compatible program with a time limit, or files in the outbox folder.
#include "controls/mail_transport.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <system_error>

#include "model/system_queries.h"
#include "platform/sys/process.h"
#include "platform/sys/windows_locations.h"

namespace {

std::string RandomName() {
  std::random_device random;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name;
  for (int i = 0; i < 4; ++i) {
    std::uint32_t value = random();
    for (int j = 0; j < 8; ++j, value >>= 4) name += kHex[value & 0xF];
  }
  return name;
}

}  // namespace

MailSettings MailSettings::Read(IProfileValues& profile) {
  MailSettings settings;
  settings.program = profile.GetProfileString("Mail", "Program", CString()).str();
  const CString outbox = profile.GetProfileString("Mail", "Outbox", CString());
  settings.outbox = outbox.IsEmpty() ? tvn::sys::GetWindowsLocations().prefix / "outbox"
                                     : std::filesystem::path(outbox.str());
  return settings;
}

std::filesystem::path RuntimeProfilePath() { return tvn::sys::RuntimeProfilePath(); }

bool CMailTransport::IsAvailable() const {
  if (!m_settings.program.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(m_settings.outbox, ec);
  return std::filesystem::is_directory(m_settings.outbox, ec);
}

bool CMailTransport::CanStartProgram() const {
  return m_settings.program.empty() || tvn::sys::ResolveProgram(m_settings.program).has_value();
}

int CMailTransport::Send(const std::string& message) const {
  return m_settings.program.empty() ? SendToOutbox(message) : SendToProgram(message);
}

int CMailTransport::SendToProgram(const std::string& message) const {
  const auto program = tvn::sys::ResolveProgram(m_settings.program);
  if (!program) return MapiCode::kFailure;
  const tvn::sys::ProcessResult result =
      tvn::sys::RunWithInput(*program, {"-t", "-oi"}, message, m_settings.timeLimitMs);
  return result.started && !result.timedOut && result.exitCode == 0 ? MapiCode::kSuccess : MapiCode::kFailure;
}

int CMailTransport::SendToOutbox(const std::string& message) const {
  std::error_code ec;
  std::filesystem::create_directories(m_settings.outbox, ec);
  const std::string name = RandomName();
  const std::filesystem::path temporary = m_settings.outbox / (".tmp-" + name);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(message.data(), static_cast<std::streamsize>(message.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(temporary, ec);
      return MapiCode::kFailure;
    }
  }
  // Readers of the outbox see whole messages only.
  std::filesystem::rename(temporary, m_settings.outbox / (name + ".eml"), ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return MapiCode::kFailure;
  }
  return MapiCode::kSuccess;
}
