// The DDE link: the service's callback table, commands run from posted calls, and the client conversation.
#include "controls/dde_link.h"

#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/base/codepage.h"
#include "platform/dde/dde_frame.h"
#include "platform/dde/dde_transport.h"

class CDdeLink::Handler final : public tvn::dde::IServerHandler {
 public:
  explicit Handler(CDdeLink& link) : m_link(link) {}
  bool OnConnect(int, std::string_view service, std::string_view topic) override {
    return m_link.OnConnect(CString(service), CString(topic));
  }
  bool OnExecute(int, std::string_view topic, std::string_view data, std::uint16_t) override {
    return m_link.OnExecute(CString(topic), data);
  }
  // The service has no items to give.
  std::optional<std::string> OnRequest(int, std::string_view, std::string_view, std::uint16_t) override {
    return std::nullopt;
  }
  void OnDisconnect(int) override {}

 private:
  CDdeLink& m_link;
};

CDdeLink::CDdeLink(CMessageService& messages, IDdeCommandTarget& target, Poster post)
    : m_messages(messages), m_target(target), m_post(std::move(post)), m_handler(std::make_unique<Handler>(*this)) {
  auto server = std::make_unique<tvn::dde::Server>();
  if (server->Listen(kService, *m_handler)) {
    m_server = std::move(server);
  } else {
    m_messages.MessageBoxBeep(StringId::kDdeCannotStart, nullptr, -1);
  }
}

CDdeLink::~CDdeLink() {
  m_alive.reset();
  Disconnect();
  m_server.reset();
}

BOOL CDdeLink::IsServing() const { return m_server != nullptr; }

BOOL CDdeLink::IsConnected() const { return m_client && m_client->IsConnected(); }

void CDdeLink::Connect(const CString& service, const CString& topic) {
  if (m_client) {
    // A conversation the other side ended no longer counts.
    if (m_client->IsConnected()) return;
    m_client.reset();
  }
  if (service.view().size() > tvn::dde::kMaxNameLength || topic.view().size() > tvn::dde::kMaxNameLength) {
    ReportDdeError(DdeError::kInvalidParameter);
  } else {
    m_client = tvn::dde::Conversation::Connect(service.view(), topic.view());
    if (m_client) return;
    ReportDdeError(DdeError::kNoConversation);
  }
  m_messages.MessageBoxFormatBeep(StringId::kDdeCannotConnect, &service, nullptr, -1);
}

void CDdeLink::Disconnect() {
  if (m_client) m_client->Disconnect();
  m_client.reset();
}

void CDdeLink::Execute(const CString& command, UINT format) {
  if (!IsConnected()) return;
  std::string data = command.str();
  data.push_back('\0');
  m_transactionResult = m_client->Execute(data, static_cast<std::uint16_t>(format)) ? DdeResult::kAck : 0;
}

std::optional<std::string> CDdeLink::Request(const CString& item, UINT format) {
  if (!IsConnected()) return std::nullopt;
  std::optional<std::string> data = m_client->Request(item.view(), static_cast<std::uint16_t>(format));
  m_transactionResult = data ? DdeResult::kAck : 0;
  if (data) data->push_back('\0');
  return data;
}

void CDdeLink::ReportDdeError(UINT error) {
  if (error == DdeError::kInvalidParameter) m_messages.MessageBoxBeep(StringId::kDdeInvalidParameter, nullptr, -1);
}

BOOL CDdeLink::OnConnect(const CString& service, const CString&) {
  // Another service's name is refused without a word to the learner.
  return service.CompareNoCase(kService) == 0;
}

BOOL CDdeLink::OnExecute(const CString& topic, std::string_view data) {
  if (topic.CompareNoCase(kTopic) != 0) return FALSE;
  if (const std::size_t end = data.find('\0'); end != std::string_view::npos) data = data.substr(0, end);
  if (data.size() > kMaxDdeCommand) return FALSE;
  std::optional<DdeCommand> command = ParseDdeCommand(data);
  if (command && m_post) {
    std::weak_ptr<bool> alive = m_alive;
    m_post([this, alive, command = std::move(*command)] {
      if (alive.lock()) m_target.RunDdeCommand(command);
    });
  }
  return TRUE;
}
