// CProgmanClient: the Program Manager client of setup and uninstal, over a transport seam (the menu-entry service in the programs, a recording fake in tests).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/sys/program_groups.h"
#include "platform/base/win_types.h"

// What the client needs of a conversation with "PROGMAN".
class IProgmanTransport {
 public:
  virtual ~IProgmanTransport() = default;
  // The exchange library's instance; false gives message 444.
  virtual bool Initialize() = 0;
  // The conversation with service and topic "PROGMAN"; false gives message 443.
  virtual bool Connect() = 0;
  // One execute transaction (its answer is not examined).
  virtual void Execute(std::string_view command) = 0;
  // One request transaction for the item; nothing when no data come back.
  virtual std::optional<std::string> Request(std::string_view item) = 0;
  // Ends the conversation and the instance.
  virtual void Disconnect() = 0;
};

// The transport of the programs: the menu-entry service answers in Program Manager's place.
class CMenuEntryTransport : public IProgmanTransport {
 public:
  bool Initialize() override { return true; }
  // False when the menu folders cannot be written.
  bool Connect() override { return m_service.Open(); }
  void Execute(std::string_view command) override { m_service.Execute(command); }
  std::optional<std::string> Request(std::string_view item) override { return m_service.Request(item); }
  void Disconnect() override {}

 private:
  tvn::sys::ProgramGroupService m_service;
};

class CProgmanClient {
 public:
  // report shows a message by its id (443, 444) as the program shows messages.
  CProgmanClient(IProgmanTransport& transport, std::function<void(UINT)> report)
      : m_transport(transport), m_report(std::move(report)) {}
  ~CProgmanClient() {
    if (m_connected || m_initialized) m_transport.Disconnect();
  }
  CProgmanClient(const CProgmanClient&) = delete;
  CProgmanClient& operator=(const CProgmanClient&) = delete;

  // True when a conversation exists (made now or before).
  bool ProgmanConnect();
  bool IsConnected() const { return m_connected; }
  // Dropped silently without a conversation.
  void DdeExecuteCommand(const CString& text);
  // False without a conversation or without data; text up to its first NUL.
  bool DdeRequestItem(const CString& item, CString& text);
  // "[exitprogman(1)]", then the conversation and the instance end.
  void ProgmanDisconnect();

 private:
  IProgmanTransport& m_transport;
  std::function<void(UINT)> m_report;
  bool m_initialized = false;
  bool m_connected = false;
};

// Field n (from 0) of a comma-separated answer line; commas inside double
// quotes do not separate and the quotes are dropped. Nothing when the line
// has fewer fields.
std::optional<std::string> AnswerField(std::string_view line, int n);
