// CDdeLink: the runtime's DDE service "Tavelon" (topic "system") for other programs, and its one client conversation.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "controls/dde_command.h"
#include "model/dde_client.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CMessageService;

namespace tvn::dde {
class Conversation;
class Server;
}  // namespace tvn::dde

// What the service's commands act on: the application's courses and the view.
class IDdeCommandTarget {
 public:
  virtual ~IDdeCommandTarget() = default;
  // Runs one command; called from a posted call, never inside the transport.
  virtual void RunDdeCommand(const DdeCommand& command) = 0;
};

// DDEML's error codes, as ReportDdeError takes them.
namespace DdeError {
constexpr UINT kDllNotInitialized = 0x4003;
constexpr UINT kInvalidParameter = 0x4006;
constexpr UINT kNoConversation = 0x400A;
}  // namespace DdeError

// The transaction result word: DDE_FACK when the server acknowledged the
// command or gave the data, 0 when it refused, went away or did not answer in time.
namespace DdeResult {
constexpr DWORD kAck = 0x8000;
}  // namespace DdeResult

class CDdeLink final : public IDdeClient {
 public:
  // Runs a call later on the user-interface thread (the message loop's PostCall in the program).
  using Poster = std::function<void(std::function<void()>)>;

  static constexpr const char* kService = "Tavelon";
  static constexpr const char* kTopic = "system";

  // Starts serving; when the transport cannot start: a beep and message 8345,
  // and the link stays without a service.
  CDdeLink(CMessageService& messages, IDdeCommandTarget& target, Poster post);
  ~CDdeLink() override;
  CDdeLink(const CDdeLink&) = delete;
  CDdeLink& operator=(const CDdeLink&) = delete;

  BOOL IsServing() const;
  BOOL IsConnected() const;

  // --- IDdeClient ---
  // Nothing while connected. A service or topic longer than 255 bytes is an
  // invalid parameter (message 8137); every failure then shows 8346 with the service.
  void Connect(const CString& service, const CString& topic) override;
  void Disconnect() override;
  void Execute(const CString& command, UINT format) override;
  std::optional<std::string> Request(const CString& item, UINT format) override;

  // The result word of the last execute or request sent; kept, not reported.
  DWORD GetTransactionResult() const { return m_transactionResult; }

  // Invalid parameter: a beep and message 8137; other codes show nothing.
  void ReportDdeError(UINT error);

  // The callback table of the service (the transport calls these).
  BOOL OnConnect(const CString& service, const CString& topic);
  // TRUE acknowledges: a command to the topic "system" of at most 4 KiB. The
  // command runs from a posted call.
  BOOL OnExecute(const CString& topic, std::string_view data);

 private:
  class Handler;

  CMessageService& m_messages;
  IDdeCommandTarget& m_target;
  Poster m_post;
  // Posted calls hold a weak reference: a call that outlives the link does nothing.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
  std::unique_ptr<Handler> m_handler;
  std::unique_ptr<tvn::dde::Server> m_server;
  std::unique_ptr<tvn::dde::Conversation> m_client;
  DWORD m_transactionResult = 0;
};
