// IDdeClient: the runtime's one client conversation with another program, as the DDE action reaches it.
#pragma once

#include <optional>
#include <string>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class IDdeClient {
 public:
  virtual ~IDdeClient() = default;
  // Nothing while a conversation is open; a failure is reported to the learner.
  virtual void Connect(const CString& service, const CString& topic) = 0;
  virtual void Disconnect() = 0;
  // Sends the text with its terminating zero; nothing without a conversation.
  virtual void Execute(const CString& command, UINT format) = 0;
  // The item's data with one zero byte added; nothing without a conversation or data.
  virtual std::optional<std::string> Request(const CString& item, UINT format) = 0;
};
