// The runtime's own modal dialog for writing a mail: To, Subject, the text, and the attachments listed.
#pragma once

#include <string>
#include <vector>

namespace tvn::sys {

// All texts UTF-8.
struct MailDialogFields {
  std::string to;
  std::string subject;
  std::string text;
  std::vector<std::string> attachments;  // shown, not changed
};

// Shows the dialog over the application's windows; true when the user chose
// Send (the fields then hold what was written), false for Cancel.
bool RunMailDialog(MailDialogFields& fields);

}  // namespace tvn::sys
