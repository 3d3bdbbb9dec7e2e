// The mail of the SendEmail built-in: recipients checked, attachments read, the message built and handed on.
#include "controls/mapi_mail.h"

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "controls/mail_message.h"
#include "model/error_variables.h"
#include "model/string_table.h"
#include "platform/base/codepage.h"
#include "platform/base/host_path.h"
#include "platform/user/mail_dialog.h"
#include "platform/sys/system_info.h"
#include "platform/user/wait_cursor.h"

namespace {

std::string RandomToken() {
  std::random_device random;
  return std::to_string(random()) + "." + std::to_string(random());
}

// The host part of our addresses and message ids.
std::string HostPart() {
  const std::string host = tvn::sys::HostName().str();
  return IsValidMailAddress("x@" + host) ? host : "localhost";
}

}  // namespace

BOOL CMailComposeDialog::Compose(CWnd*, MailDraft& draft) {
  tvn::sys::MailDialogFields fields;
  fields.to = tvn::codepage::ToUtf8(draft.to.view());
  fields.subject = tvn::codepage::ToUtf8(draft.subject.view());
  fields.text = tvn::codepage::ToUtf8(draft.text.view());
  // Paths are host names already.
  for (const CString& path : draft.attachments) fields.attachments.push_back(path.str());
  if (!tvn::sys::RunMailDialog(fields)) return FALSE;
  draft.to = CString(tvn::codepage::FromUtf8(fields.to));
  draft.subject = CString(tvn::codepage::FromUtf8(fields.subject));
  draft.text = CString(tvn::codepage::FromUtf8(fields.text));
  return TRUE;
}

CMapiMail::CMapiMail(CWnd* owner, IProfileValues& profile, IErrorVariables& errors, IMailCompose& compose)
    : m_pOwner(owner), m_errors(errors), m_compose(compose), m_transport(MailSettings::Read(profile)) {
  LoadMapi();
}

BOOL CMapiMail::IsMapiAvailable() const { return m_transport.IsAvailable(); }

void CMapiMail::LoadMapi() {
  if (!IsMapiAvailable()) return;
  if (!m_transport.CanStartProgram()) {
    ReportError(StringId::kMailCannotLoad, MapiCode::kFailure);
    return;
  }
  m_loaded = TRUE;
}

void CMapiMail::ReportError(UINT messageId, int code) { m_errors.SetErrorVariables(code, LoadStringText(messageId)); }

BOOL CMapiMail::SendMail(const CString& recipients, const CString& subject, const CString& text,
                         const CString& attachments) {
  if (!m_loaded) return FALSE;
  CWaitCursor wait;

  // Names that make paths; a name that makes none is left out.
  std::vector<std::string> paths;
  for (const std::string& name : SplitMailList(attachments.view())) {
    std::optional<std::filesystem::path> path = tvn::path::MapWindowsPath(CString(name));
    std::error_code ec;
    if (path && !path->empty()) paths.push_back(std::filesystem::absolute(*path, ec).lexically_normal().string());
  }

  int result = MapiCode::kSuccess;
  if (recipients.IsEmpty()) {
    MailDraft draft;
    draft.subject = subject;
    draft.text = text;
    for (const std::string& path : paths) draft.attachments.emplace_back(path);
    if (!m_compose.Compose(m_pOwner, draft)) return TRUE;  // cancelled: code 1, not an error
    result = Send(draft.to, draft.subject, draft.text, paths);
  } else {
    result = Send(recipients, subject, text, paths);
  }
  if (result == MapiCode::kSuccess || result == MapiCode::kUserAbort || result == MapiCode::kLoginFailure) return TRUE;
  ReportError(StringId::kMailSendFailed, result);
  return FALSE;
}

int CMapiMail::Send(const CString& recipients, const CString& subject, const CString& text,
                    const std::vector<std::string>& attachmentPaths) {
  MailMessage message;
  for (const std::string& name : SplitMailList(recipients.view()))
    if (IsValidMailAddress(name)) message.to.push_back(name);
  if (message.to.empty()) return MapiCode::kInvalidRecipients;

  for (const std::string& path : attachmentPaths) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) return MapiCode::kAttachmentNotFound;
    message.attachments.push_back({std::filesystem::path(path).filename().string(), std::move(bytes).str()});
  }

  const std::string host = HostPart();
  std::string user = tvn::sys::UserName().str();
  message.from = user + "@" + host;
  if (!IsValidMailAddress(message.from)) message.from = "tavelon@" + host;
  message.subject = subject.str();
  message.text = text.str();
  message.unixTime = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  message.messageId = "<" + RandomToken() + "@" + host + ">";
  message.boundary = "=_tavelon_" + RandomToken();
  return m_transport.Send(BuildMailMessage(message));
}

int SendEmailMessage(CWnd* owner, IProfileValues& profile, IErrorVariables& errors, IMailCompose& compose,
                     const CString& recipients, const CString& subject, const CString& text,
                     const CString& attachments) {
  CMapiMail mail(owner, profile, errors, compose);
  return mail.SendMail(recipients, subject, text, attachments);
}
