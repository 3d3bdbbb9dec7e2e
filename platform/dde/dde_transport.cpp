// The conversation transport on Qt's local sockets: the private socket folder, the serving side and the client side.
#include "platform/dde/dde_transport.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <system_error>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/dde/dde_frame.h"

namespace tvn::dde {
namespace {

using Clock = std::chrono::steady_clock;

// A folder of ours that no one else may enter: made when missing, refused
// when it is a link, belongs to another user or cannot be made private.
bool IsPrivateFolder(const std::filesystem::path& folder) {
  ::mkdir(folder.c_str(), 0700);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return false;
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return false;
  return true;
}

// Socket names carry a hash of the service name folded to lower case, so
// that a client finds the servers of a name without regard to case.
std::string ServiceKey(std::string_view service) {
  std::uint64_t hash = 1469598103934665603ull;
  for (char c : service) {
    hash ^= codepage::ToLower(static_cast<unsigned char>(c));
    hash *= 1099511628211ull;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string key = "dde-";
  for (int shift = 60; shift >= 0; shift -= 4) key += kHex[(hash >> shift) & 0xF];
  return key + "-";
}

// The process that made a socket, from its name ("dde-<key>-<pid>-<number>"); 0 when the name is none of ours.
pid_t SocketOwner(const std::string& name) {
  constexpr std::size_t kPidAt = 4 + 16 + 1;
  if (name.size() <= kPidAt || name.compare(0, 4, "dde-") != 0 || name[kPidAt - 1] != '-') return 0;
  const char* first = name.data() + kPidAt;
  const char* last = name.data() + name.size();
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(first, last, pid);
  if (error != std::errc() || end == first || end == last || *end != '-' || pid <= 0) return 0;
  return pid;
}

// Nobody answers on the socket: a connection to it is refused (no process
// listens there any more).
bool NobodyListens(const std::filesystem::path& socketPath) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string text = socketPath.string();
  if (text.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  const bool refused = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 &&
                       errno == ECONNREFUSED;
  ::close(fd);
  return refused;
}

// Removes the sockets that processes which ended without closing their
// service (a crash, a kill) left behind. A socket is stale when nobody
// listens on it and the process named in it is gone: a process that has only
// just made its socket and does not listen yet still runs.
void SweepStaleSockets(const std::filesystem::path& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code kind;
    if (!entry.is_socket(kind)) continue;
    const pid_t owner = SocketOwner(entry.path().filename().string());
    if (owner == 0 || (::kill(owner, 0) == 0 || errno != ESRCH)) continue;
    if (!NobodyListens(entry.path())) continue;
    std::error_code removal;
    std::filesystem::remove(entry.path(), removal);
  }
}

bool WriteFrame(QLocalSocket& socket, const Frame& frame) {
  const std::vector<std::uint8_t> bytes = EncodeFrame(frame);
  if (bytes.empty() || socket.state() != QLocalSocket::ConnectedState) return false;
  const auto size = static_cast<qint64>(bytes.size());
  if (socket.write(reinterpret_cast<const char*>(bytes.data()), size) != size) return false;
  socket.flush();
  return true;
}

void ReadInto(QLocalSocket& socket, FrameDecoder& decoder) {
  while (socket.bytesAvailable() > 0) {
    const QByteArray bytes = socket.read(16 * 1024);
    if (bytes.isEmpty()) break;
    decoder.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

}  // namespace

std::optional<std::filesystem::path> SocketFolder() {
  std::filesystem::path folder;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') {
    folder = std::filesystem::path(runtime) / "tavelon-dde";
  } else {
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec) temp = "/tmp";
    folder = temp / ("tavelon-dde-" + std::to_string(::geteuid()));
  }
  if (!IsPrivateFolder(folder)) return std::nullopt;
  return folder;
}

// --- the serving side ---

class ServerImpl {
 public:
  ~ServerImpl() {
    for (auto& [id, peer] : m_peers) {
      QObject::disconnect(peer.socket, nullptr, nullptr, nullptr);
      peer.socket->abort();
    }
    m_server.close();
  }

  bool Listen(std::string_view service, IServerHandler& handler) {
    std::optional<std::filesystem::path> folder = SocketFolder();
    if (!folder) return false;
    SweepStaleSockets(*folder);
    m_service = service;
    m_handler = &handler;
    std::random_device random;
    const std::string name = ServiceKey(service) + std::to_string(::getpid()) + "-" + std::to_string(random());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { Accept(); });
    return m_server.listen(QString::fromStdString((*folder / name).string()));
  }

  bool IsListening() const { return m_server.isListening(); }

 private:
  struct Peer {
    QLocalSocket* socket = nullptr;  // owned by the server object
    FrameDecoder decoder;
    bool accepted = false;
    std::string topic;
  };

  void Accept() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
      const int id = m_nextId++;
      m_peers[id].socket = socket;
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, id] { Read(id); });
      QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, id] { Drop(id); });
      // Bytes that came with the connection.
      Read(id);
    }
  }

  void Read(int id) {
    auto found = m_peers.find(id);
    if (found == m_peers.end()) return;
    Peer& peer = found->second;
    // A chunk at a time, so a fast peer cannot pile up more than a frame and a chunk.
    do {
      const QByteArray bytes = peer.socket->read(16 * 1024);
      peer.decoder.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      while (std::optional<Frame> frame = peer.decoder.Next()) {
        if (!Handle(id, peer, *frame)) {
          Drop(id);
          return;
        }
      }
      // A peer that sends what is no frame is hung up on.
      if (peer.decoder.Failed()) {
        Drop(id);
        return;
      }
    } while (peer.socket->bytesAvailable() > 0);
  }

  // False ends the conversation.
  bool Handle(int id, Peer& peer, const Frame& frame) {
    Frame answer;
    switch (frame.type) {
      case FrameType::kConnect:
        if (peer.accepted || !codepage::EqualsNoCase(frame.service, m_service) ||
            !m_handler->OnConnect(id, frame.service, frame.topic)) {
          answer.type = FrameType::kNack;
          WriteFrame(*peer.socket, answer);
          return peer.accepted;
        }
        peer.accepted = true;
        peer.topic = frame.topic;
        answer.type = FrameType::kAck;
        break;
      case FrameType::kExecute:
      case FrameType::kPoke:
        if (!peer.accepted) return false;
        answer.type = m_handler->OnExecute(id, peer.topic, frame.data, frame.format) ? FrameType::kAck : FrameType::kNack;
        break;
      case FrameType::kRequest: {
        if (!peer.accepted) return false;
        std::optional<std::string> data = m_handler->OnRequest(id, peer.topic, frame.item, frame.format);
        answer.type = data ? FrameType::kData : FrameType::kNack;
        answer.format = frame.format;
        if (data) answer.data = std::move(*data);
        break;
      }
      case FrameType::kDisconnect:
        return false;
      default:
        // Answers are never sent to a server.
        return false;
    }
    return WriteFrame(*peer.socket, answer);
  }

  void Drop(int id) {
    auto found = m_peers.find(id);
    if (found == m_peers.end()) return;
    QLocalSocket* socket = found->second.socket;
    const bool accepted = found->second.accepted;
    m_peers.erase(found);
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    socket->abort();
    socket->deleteLater();
    if (accepted) m_handler->OnDisconnect(id);
  }

  QLocalServer m_server;
  IServerHandler* m_handler = nullptr;
  std::string m_service;
  std::map<int, Peer> m_peers;
  int m_nextId = 1;
};

Server::Server() : m_impl(std::make_unique<ServerImpl>()) {}
Server::~Server() = default;
bool Server::Listen(std::string_view service, IServerHandler& handler) { return m_impl->Listen(service, handler); }
bool Server::IsListening() const { return m_impl->IsListening(); }

// --- the client side ---

class ConversationImpl {
 public:
  explicit ConversationImpl(int timeoutMs) : m_timeoutMs(timeoutMs) {}
  ~ConversationImpl() { Disconnect(); }

  bool Open(const std::filesystem::path& socketPath, std::string_view service, std::string_view topic) {
    m_socket.connectToServer(QString::fromStdString(socketPath.string()));
    if (!m_socket.waitForConnected(m_timeoutMs)) return false;
    Frame connect;
    connect.type = FrameType::kConnect;
    connect.service = service;
    connect.topic = topic;
    std::optional<Frame> answer = Call(connect);
    if (answer && answer->type == FrameType::kAck) return true;
    m_socket.abort();
    return false;
  }

  bool IsConnected() const { return m_socket.state() == QLocalSocket::ConnectedState && !m_decoder.Failed(); }

  // Sends the frame and waits for the server's answer, handling socket events
  // of this thread meanwhile (so a service of this process can answer too),
  // but no user input. The answers of calls that gave up waiting come first
  // and are dropped.
  std::optional<Frame> Call(const Frame& frame) {
    if (!WriteFrame(m_socket, frame)) return std::nullopt;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_timeoutMs);
    for (;;) {
      ReadInto(m_socket, m_decoder);
      std::optional<Frame> answer = m_decoder.Next();
      while (answer && answer->type != FrameType::kDisconnect && m_unanswered > 0) {
        --m_unanswered;
        answer = m_decoder.Next();
      }
      if (answer) {
        if (answer->type == FrameType::kDisconnect) break;
        return answer;
      }
      if (!IsConnected()) break;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) {
        // Its answer may still come: the next call drops it.
        ++m_unanswered;
        return std::nullopt;
      }
      m_socket.waitForReadyRead(static_cast<int>(std::min<long long>(left, 10)));
      if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    m_socket.abort();
    return std::nullopt;
  }

  void Disconnect() {
    if (m_socket.state() == QLocalSocket::ConnectedState) {
      Frame bye;
      bye.type = FrameType::kDisconnect;
      WriteFrame(m_socket, bye);
      m_socket.disconnectFromServer();
    }
    m_socket.abort();
  }

 private:
  int m_timeoutMs;
  QLocalSocket m_socket;
  FrameDecoder m_decoder;
  // Calls that gave up waiting and whose answers have not come yet: a server
  // answers every call once, in the order sent, so these arrive first.
  long long m_unanswered = 0;
};

Conversation::Conversation(std::unique_ptr<ConversationImpl> impl) : m_impl(std::move(impl)) {}
Conversation::~Conversation() = default;

std::unique_ptr<Conversation> Conversation::Connect(std::string_view service, std::string_view topic, int timeoutMs) {
  if (service.size() > kMaxNameLength || topic.size() > kMaxNameLength) return nullptr;
  std::optional<std::filesystem::path> folder = SocketFolder();
  if (!folder) return nullptr;
  const std::string key = ServiceKey(service);
  std::vector<std::filesystem::path> sockets;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(*folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, key.size(), key) == 0 && entry.is_socket(ec)) sockets.push_back(entry.path());
  }
  std::sort(sockets.begin(), sockets.end());
  for (const auto& path : sockets) {
    auto impl = std::make_unique<ConversationImpl>(timeoutMs);
    if (impl->Open(path, service, topic)) return std::unique_ptr<Conversation>(new Conversation(std::move(impl)));
  }
  return nullptr;
}

bool Conversation::IsConnected() const { return m_impl->IsConnected(); }

bool Conversation::Execute(std::string_view data, std::uint16_t format) {
  Frame frame;
  frame.type = FrameType::kExecute;
  frame.format = format;
  frame.data = data;
  std::optional<Frame> answer = m_impl->Call(frame);
  return answer && answer->type == FrameType::kAck;
}

bool Conversation::Poke(std::string_view item, std::string_view data, std::uint16_t format) {
  Frame frame;
  frame.type = FrameType::kPoke;
  frame.item = item;
  frame.format = format;
  frame.data = data;
  std::optional<Frame> answer = m_impl->Call(frame);
  return answer && answer->type == FrameType::kAck;
}

std::optional<std::string> Conversation::Request(std::string_view item, std::uint16_t format) {
  Frame frame;
  frame.type = FrameType::kRequest;
  frame.item = item;
  frame.format = format;
  std::optional<Frame> answer = m_impl->Call(frame);
  if (!answer || answer->type != FrameType::kData) return std::nullopt;
  return std::move(answer->data);
}

void Conversation::Disconnect() { m_impl->Disconnect(); }

}  // namespace tvn::dde
