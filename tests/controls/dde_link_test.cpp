// The DDE link end to end on local sockets: frames, the command language, the service's answers and the client.
#include "controls/dde_link.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>

#include "platform/dde/dde_frame.h"
#include "platform/dde/dde_transport.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/recording_message_sink.h"

using namespace tvn::dde;
using tvn::testing::RecordingMessageSink;

namespace {

// How long the test's own peers wait for an answer: a bound, never a timing.
constexpr int kGenerousMs = 60 * 1000;

Frame Of(FrameType type) {
  Frame frame;
  frame.type = type;
  return frame;
}

std::string Bytes(const Frame& frame) {
  auto bytes = EncodeFrame(frame);
  return std::string(bytes.begin(), bytes.end());
}

// A program serving "Peer": it answers requests and acknowledges what it is sent.
class PeerHandler final : public IServerHandler {
 public:
  bool OnConnect(int, std::string_view, std::string_view topic) override { return topic == "data"; }
  bool OnExecute(int, std::string_view, std::string_view data, std::uint16_t) override {
    received.emplace_back(data);
    return true;
  }
  std::optional<std::string> OnRequest(int, std::string_view, std::string_view item, std::uint16_t) override {
    if (item != "answer") return std::nullopt;
    return std::string("42abc");
  }
  void OnDisconnect(int) override { ++disconnects; }
  std::vector<std::string> received;
  int disconnects = 0;
};

// Another program serving "Slow", on a thread of its own: it holds its answer
// to the request for "first", and so every call after it, until the test lets
// it go; then it answers each call at once, a request with "answer to" and
// the item.
class SlowPeer {
 public:
  SlowPeer() {
    std::promise<bool> listening;
    std::future<bool> listens = listening.get_future();
    m_thread = std::thread([this, listening = std::move(listening)]() mutable { Serve(listening); });
    m_listening = listens.get();
  }
  ~SlowPeer() {
    Release();
    m_stop = true;
    m_thread.join();
  }
  bool IsListening() const { return m_listening; }
  void Release() {
    std::lock_guard lock(m_mutex);
    m_released = true;
    m_releasedChanged.notify_all();
  }

 private:
  class Handler final : public IServerHandler {
   public:
    explicit Handler(SlowPeer& peer) : m_peer(peer) {}
    bool OnConnect(int, std::string_view, std::string_view) override { return true; }
    bool OnExecute(int, std::string_view, std::string_view, std::uint16_t) override { return true; }
    std::optional<std::string> OnRequest(int, std::string_view, std::string_view item, std::uint16_t) override {
      if (item == "first") {
        std::unique_lock lock(m_peer.m_mutex);
        m_peer.m_releasedChanged.wait_for(lock, std::chrono::milliseconds(kGenerousMs),
                                          [this] { return m_peer.m_released; });
      }
      return "answer to " + std::string(item);
    }
    void OnDisconnect(int) override {}

   private:
    SlowPeer& m_peer;
  };

  void Serve(std::promise<bool>& listening) {
    QEventLoop loop;  // gives this thread an event dispatcher of its own
    QTimer wake;      // so that the loop looks at the stop flag now and then
    wake.start(10);
    Handler handler(*this);
    Server server;
    listening.set_value(server.Listen("Slow", handler));
    while (!m_stop) loop.processEvents(QEventLoop::WaitForMoreEvents);
  }

  std::thread m_thread;
  bool m_listening = false;
  std::atomic<bool> m_stop = false;
  std::mutex m_mutex;
  std::condition_variable m_releasedChanged;
  bool m_released = false;
};

class Commands final : public IDdeCommandTarget {
 public:
  void RunDdeCommand(const DdeCommand& command) override { run.push_back(command); }
  std::vector<DdeCommand> run;
};

// A socket file in the folder that nobody listens on, as a process that
// ended without closing its service leaves it.
bool LeaveSocket(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (text.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return bound;
}

class DdeLinkTest : public ::testing::Test {
 protected:
  DdeLinkTest() { EnsureQtApplication(); }
  // The posted calls, run as the loop would run them.
  void RunPosted() {
    auto calls = std::move(posted);
    posted.clear();
    for (auto& call : calls) call();
  }
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tavelon"};
  Commands commands;
  std::vector<std::function<void()>> posted;
  CDdeLink::Poster poster = [this](std::function<void()> call) { posted.push_back(std::move(call)); };
};

}  // namespace

TEST(DdeFrames, RoundTripTruncationAndHostileLengths) {
  Frame poke;
  poke.type = FrameType::kPoke;
  poke.item = "item";
  poke.format = 7;
  poke.data = std::string("a\0b", 3);
  const std::string bytes = Bytes(poke) + Bytes(Of(FrameType::kAck));
  // Fed one byte at a time, the frames come out whole and only then.
  FrameDecoder decoder;
  std::vector<Frame> out;
  for (char c : bytes) {
    decoder.Feed(std::string_view(&c, 1));
    while (auto frame = decoder.Next()) out.push_back(*frame);
  }
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].item, "item");
  EXPECT_EQ(out[0].format, 7);
  EXPECT_EQ(out[0].data, std::string("a\0b", 3));
  EXPECT_EQ(out[1].type, FrameType::kAck);
  EXPECT_FALSE(decoder.Failed());

  // Too long a name cannot be sent; a frame over 64 KiB neither.
  Frame connect = Of(FrameType::kConnect);
  connect.service = std::string(256, 's');
  EXPECT_TRUE(EncodeFrame(connect).empty());
  Frame big = Of(FrameType::kExecute);
  big.data = std::string(kMaxFrameBody, 'x');
  EXPECT_TRUE(EncodeFrame(big).empty());

  struct Row {
    std::string bytes;
    const char* why;
  };
  const Row rows[] = {
      {std::string("\x01\x00\x01\x00", 4), "over 64 KiB"},
      {std::string("\x00\x00\x00\x00", 4), "empty body"},
      {std::string("\x01\x00\x00\x00\x09", 5), "unknown type"},
      {std::string("\x03\x00\x00\x00\x01\x05\x00", 7), "service longer than its body"},
      {std::string("\x02\x00\x00\x00\x06\x00", 6), "bytes after an answer"},
  };
  for (const Row& row : rows) {
    FrameDecoder bad;
    bad.Feed(row.bytes + Bytes(Of(FrameType::kAck)));
    EXPECT_FALSE(bad.Next()) << row.why;
    EXPECT_TRUE(bad.Failed()) << row.why;
  }
}

TEST(DdeCommands, WordsArgumentsAndWhatIsIgnored) {
  struct Row {
    std::string_view text;
    bool some;
    DdeCommandWord word;
    const char* argument;
  };
  const Row rows[] = {
      {"[Open(C:\\COURSES\\INTRO.MCL)]", true, DdeCommandWord::kOpen, "C:\\COURSES\\INTRO.MCL"},
      {"start( c:\\a.mcl )", true, DdeCommandWord::kStart, "c:\\a.mcl"},
      {"start(c:\\my courses\\a.mcl)", true, DdeCommandWord::kStart, "c:\\my courses\\a.mcl"},
      {"start(c:\\open.mcl)", true, DdeCommandWord::kStart, "c:\\open.mcl"},
      {"  [ CLOSE (\"c:\\b (2).mcl\") ]", true, DdeCommandWord::kClose, "c:\\b (2).mcl"},
      {"event(startup)", true, DdeCommandWord::kEvent, "startup"},
      {"[quit()]", true, DdeCommandWord::kQuit, ""},
      {"quit", false, DdeCommandWord::kQuit, ""},
      {"open()", false, DdeCommandWord::kOpen, ""},
      {"open(  )", false, DdeCommandWord::kOpen, ""},
      {"reopen(a)", false, DdeCommandWord::kOpen, ""},
      {"dance(a)", false, DdeCommandWord::kOpen, ""},
      {"open(a", false, DdeCommandWord::kOpen, ""},
      {"", false, DdeCommandWord::kOpen, ""},
      {std::string_view("open(a)\0start(b)", 16), true, DdeCommandWord::kOpen, "a"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    auto command = ParseDdeCommand(rows[i].text);
    ASSERT_EQ(command.has_value(), rows[i].some) << "row " << i;
    if (!command) continue;
    EXPECT_EQ(command->word, rows[i].word) << "row " << i;
    EXPECT_EQ(command->argument, rows[i].argument) << "row " << i;
  }
}

TEST_F(DdeLinkTest, TheServiceAcknowledgesSystemCommandsAndRunsThemLater) {
  auto folder = SocketFolder();
  ASSERT_TRUE(folder);
  struct stat info {};
  ASSERT_EQ(::stat(folder->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  auto link = std::make_unique<CDdeLink>(messages, commands, poster);
  ASSERT_TRUE(link->IsServing());
  // Names compare without case; a connect for another service is refused without a word.
  EXPECT_FALSE(Conversation::Connect("Nobody", "system"));
  EXPECT_FALSE(link->OnConnect("Other", "system"));
  auto peer = Conversation::Connect("TAVELON", "System", kGenerousMs);
  ASSERT_TRUE(peer);
  EXPECT_TRUE(peer->Execute("[Open(C:\\COURSES\\INTRO.MCL)]", 1));
  EXPECT_TRUE(peer->Execute("unknown(x)", 1));
  EXPECT_TRUE(peer->Poke("item", std::string("[quit()]") + '\0' + "garbage", 1));
  EXPECT_FALSE(peer->Execute(std::string(kMaxDdeCommand + 1, 'x'), 1));
  EXPECT_FALSE(peer->Request("anything", 1));
  // Nothing ran inside the transport.
  EXPECT_TRUE(commands.run.empty());
  RunPosted();
  ASSERT_EQ(commands.run.size(), 2u);
  EXPECT_EQ(commands.run[0].argument, "C:\\COURSES\\INTRO.MCL");
  EXPECT_EQ(commands.run[1].word, DdeCommandWord::kQuit);

  // Another topic is not acknowledged.
  auto other = Conversation::Connect("Tavelon", "files", kGenerousMs);
  ASSERT_TRUE(other);
  EXPECT_FALSE(other->Execute("[quit()]", 1));
  // A call posted before the link went is dropped.
  EXPECT_TRUE(peer->Execute("[quit()]", 1));
  link.reset();
  RunPosted();
  EXPECT_EQ(commands.run.size(), 2u);
  EXPECT_TRUE(sink.boxes.empty());
}

TEST_F(DdeLinkTest, AServiceStartingRemovesTheSocketsOfProcessesThatAreGone) {
  auto folder = SocketFolder();
  ASSERT_TRUE(folder);
  const std::string unique = std::to_string(::getpid()) + "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this));
  // No process has so high a number.
  const auto crashed = *folder / ("dde-0123456789abcdef-" + std::to_string(INT_MAX) + "-" + unique);
  // This process's, as between making a socket and listening on it.
  const auto starting = *folder / ("dde-0123456789abcdef-" + std::to_string(::getpid()) + "-" + unique);
  const auto notOurs = *folder / ("other-" + std::to_string(INT_MAX) + "-" + unique);
  for (const auto& path : {crashed, starting, notOurs}) ASSERT_TRUE(LeaveSocket(path)) << path;

  PeerHandler running;
  Server first;
  ASSERT_TRUE(first.Listen("Peer", running));
  PeerHandler handler;
  Server second;
  ASSERT_TRUE(second.Listen("Peer", handler));
  EXPECT_FALSE(std::filesystem::exists(crashed));
  EXPECT_TRUE(std::filesystem::exists(starting));
  EXPECT_TRUE(std::filesystem::exists(notOurs));
  // The first service's socket is no one's to remove.
  auto conversation = Conversation::Connect("peer", "data", kGenerousMs);
  ASSERT_TRUE(conversation);
  EXPECT_TRUE(conversation->Execute("[go]", 1));
  std::filesystem::remove(starting);
  std::filesystem::remove(notOurs);
}

TEST_F(DdeLinkTest, TheClientHoldsOneConversationAndReportsFailures) {
  PeerHandler handler;
  Server server;
  ASSERT_TRUE(server.Listen("Peer", handler));
  CDdeLink link(messages, commands, poster);

  // Without a conversation nothing is sent.
  link.Execute("lost", 1);
  EXPECT_FALSE(link.Request("answer", 1));

  link.Connect("peer", "data");
  ASSERT_TRUE(link.IsConnected());
  link.Execute("[go]", 1);
  auto data = link.Request("answer", 1);
  ASSERT_TRUE(data);
  EXPECT_EQ(*data, std::string("42abc") + '\0');
  EXPECT_FALSE(link.Request("nothing", 1));
  // Connect while connected does nothing, even to another service.
  link.Connect("Tavelon", "system");
  link.Execute("[again]", 1);
  EXPECT_EQ(handler.received, (std::vector<std::string>{std::string("[go]") + '\0', std::string("[again]") + '\0'}));
  EXPECT_TRUE(sink.boxes.empty());
  link.Disconnect();
  EXPECT_FALSE(link.IsConnected());

  // The runtime can talk to its own service.
  link.Connect("Tavelon", "system");
  ASSERT_TRUE(link.IsConnected());
  link.Execute("[event(ping)]", 1);
  RunPosted();
  ASSERT_EQ(commands.run.size(), 1u);
  EXPECT_EQ(commands.run[0].argument, "ping");
  link.Disconnect();

  // A refused topic, and names too long for DDE.
  link.Connect("Peer", "other");
  EXPECT_FALSE(link.IsConnected());
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "Unable to start a DDE conversation with 'Peer'.");
  link.Connect(CString(std::string(256, 'p')), "data");
  ASSERT_EQ(sink.boxes.size(), 3u);
  EXPECT_EQ(sink.boxes[1].text, "A DDE call was given an invalid service, topic or item name.");
  EXPECT_EQ(sink.beeps.size(), 3u);
}

TEST_F(DdeLinkTest, AnAnswerThatComesAfterItsCallGaveUpIsDroppedAndLaterCallsGetTheirOwn) {
  // How many calls give up (each after the real time-out) before the peer answers.
  for (int late : {1, 2}) {
    SCOPED_TRACE(late);
    SlowPeer peer;
    ASSERT_TRUE(peer.IsListening());
    CDdeLink link(messages, commands, poster);
    link.Connect("Slow", "data");
    ASSERT_TRUE(link.IsConnected());
    link.Execute("[go]", 1);
    EXPECT_EQ(link.GetTransactionResult(), DdeResult::kAck);

    EXPECT_FALSE(link.Request("first", 1));
    EXPECT_EQ(link.GetTransactionResult(), 0u);
    if (late == 2) {
      link.Execute("[held]", 1);
      EXPECT_EQ(link.GetTransactionResult(), 0u);
    }
    peer.Release();
    for (const char* item : {"second", "third"}) {
      auto data = link.Request(item, 1);
      ASSERT_TRUE(data) << item;
      EXPECT_EQ(*data, "answer to " + std::string(item) + '\0');
      EXPECT_EQ(link.GetTransactionResult(), DdeResult::kAck);
    }
    link.Execute("[go]", 1);
    EXPECT_EQ(link.GetTransactionResult(), DdeResult::kAck);
    EXPECT_TRUE(link.IsConnected());
    link.Disconnect();
  }
  EXPECT_TRUE(sink.boxes.empty());
}
