// CMapiMail: sends one mail for the SendEmail built-in, through the runtime's mail transport or the compose dialog.
#pragma once

#include <memory>
#include <vector>

#include "controls/mail_transport.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CWnd;
class IErrorVariables;
class IProfileValues;

// What the learner writes when a course sends mail without recipients. Texts in the course's code page.
struct MailDraft {
  CString to;
  CString subject;
  CString text;
  std::vector<CString> attachments;  // full paths, listed in the dialog
};

class IMailCompose {
 public:
  virtual ~IMailCompose() = default;
  // A modal dialog over the owner; FALSE when the learner cancelled.
  virtual BOOL Compose(CWnd* owner, MailDraft& draft) = 0;
};

// The runtime's own mail dialog.
class CMailComposeDialog final : public IMailCompose {
 public:
  BOOL Compose(CWnd* owner, MailDraft& draft) override;
};

class CMapiMail {
 public:
  // Reads the mail settings of the profile and loads the transport
  // (LoadMapi): nothing when mail is not available; a set program that
  // cannot be run is message 61840 with code 2.
  CMapiMail(CWnd* owner, IProfileValues& profile, IErrorVariables& errors, IMailCompose& compose);

  BOOL IsLoaded() const { return m_loaded; }
  BOOL IsMapiAvailable() const;

  // FALSE at once when not loaded. Attachments are names separated by ";" or
  // line feeds; names that do not make paths are left out, and one that
  // cannot be read fails the send (code 11). Without recipients the compose
  // dialog opens (Cancel: TRUE, nothing sent). Recipients that are no valid
  // address are left out; none left is code 25. Every failure sets the error
  // variables to its code and message 61842 and gives FALSE.
  BOOL SendMail(const CString& recipients, const CString& subject, const CString& text, const CString& attachments);

  // The error variables get the code and the message's text.
  void ReportError(UINT messageId, int code);

 private:
  void LoadMapi();
  // The message to the valid addresses of the list; a MapiCode.
  int Send(const CString& recipients, const CString& subject, const CString& text,
           const std::vector<std::string>& attachmentPaths);

  CWnd* m_pOwner;
  IErrorVariables& m_errors;
  IMailCompose& m_compose;
  CMailTransport m_transport;
  BOOL m_loaded = FALSE;
};

// The SendEmail built-in: one CMapiMail owned by the window, its SendMail, and its result.
int SendEmailMessage(CWnd* owner, IProfileValues& profile, IErrorVariables& errors, IMailCompose& compose,
                     const CString& recipients, const CString& subject, const CString& text,
                     const CString& attachments);
