// Conversations between processes on Unix-domain sockets: serving a service and talking to one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tvn::dde {

// How long a synchronous call waits for its answer; an answer that comes
// later is dropped, never taken for a later call's.
inline constexpr int kCallTimeoutMs = 1000;

// The folder every serving process puts its socket in: $XDG_RUNTIME_DIR/tavelon-dde,
// else tavelon-dde-<uid> in the system's temporary folder. It is made with
// mode 0700 and must belong to the user and be reachable by no one else;
// nothing when it cannot be had so.
std::optional<std::filesystem::path> SocketFolder();

// What a server does with its peers' frames (user-interface thread).
class IServerHandler {
 public:
  virtual ~IServerHandler() = default;
  // TRUE accepts the conversation.
  virtual bool OnConnect(int conversation, std::string_view service, std::string_view topic) = 0;
  // Execute and poke data of an accepted conversation; true acknowledges it.
  virtual bool OnExecute(int conversation, std::string_view topic, std::string_view data, std::uint16_t format) = 0;
  // The answer to a request; nothing refuses it.
  virtual std::optional<std::string> OnRequest(int conversation, std::string_view topic, std::string_view item,
                                               std::uint16_t format) = 0;
  // The peer went away or hung up.
  virtual void OnDisconnect(int conversation) = 0;
};

class ServerImpl;
class ConversationImpl;

// A service this process serves for as long as the object lives.
class Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Listens on a new socket of its own in the socket folder; false when no
  // socket can be made. The handler must outlive the server.
  bool Listen(std::string_view service, IServerHandler& handler);
  bool IsListening() const;

 private:
  std::unique_ptr<ServerImpl> m_impl;
};

// A client conversation with one serving process.
class Conversation {
 public:
  ~Conversation();
  Conversation(const Conversation&) = delete;
  Conversation& operator=(const Conversation&) = delete;

  // Tries every process serving the service (names compare without case)
  // until one accepts the topic; nothing when none does. Every call waits at
  // most timeoutMs for its answer (a peer that is no runtime may wait longer).
  static std::unique_ptr<Conversation> Connect(std::string_view service, std::string_view topic,
                                               int timeoutMs = kCallTimeoutMs);

  bool IsConnected() const;
  // True when the server acknowledged the data.
  bool Execute(std::string_view data, std::uint16_t format);
  bool Poke(std::string_view item, std::string_view data, std::uint16_t format);
  // The server's data for the item; nothing when it refused, went away or did not answer in time.
  std::optional<std::string> Request(std::string_view item, std::uint16_t format);
  void Disconnect();

 private:
  explicit Conversation(std::unique_ptr<ConversationImpl> impl);
  std::unique_ptr<ConversationImpl> m_impl;
};

}  // namespace tvn::dde
