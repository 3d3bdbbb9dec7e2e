// The frames of the runtime's conversation protocol between processes, and their bounded decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::dde {

// Every frame is a 32-bit little-endian body length, then the body: one type
// byte and the type's fields. Texts are a 16-bit length and the bytes; data
// runs to the end of the body. A server answers each frame but a disconnect
// with one ack, nack or data frame, in the order the frames came, or hangs
// up; calls carry no number, so a client that stopped waiting for an answer
// knows it as the next to come and drops it.
enum class FrameType : std::uint8_t {
  kConnect = 1,     // service, topic
  kExecute = 2,     // format, data
  kPoke = 3,        // item, format, data
  kRequest = 4,     // item, format
  kData = 5,        // format, data (the answer to a request)
  kAck = 6,
  kNack = 7,
  kDisconnect = 8,
};

// The largest body a peer may send; a longer one ends the conversation.
inline constexpr std::size_t kMaxFrameBody = 64 * 1024;
// DDE names (services, topics, items) are at most 255 bytes.
inline constexpr std::size_t kMaxNameLength = 255;

struct Frame {
  FrameType type = FrameType::kAck;
  std::string service;  // kConnect
  std::string topic;    // kConnect
  std::string item;     // kPoke, kRequest
  std::uint16_t format = 1;
  std::string data;     // kExecute, kPoke, kData
};

// The frame's bytes; empty when a field is too long for its frame.
std::vector<std::uint8_t> EncodeFrame(const Frame& frame);

// Takes a peer's bytes as they come and gives whole frames. Any frame that
// is too long, of an unknown type or whose fields do not fill its body
// exactly puts the decoder in the failed state for good.
class FrameDecoder {
 public:
  void Feed(std::string_view bytes);
  // The next whole frame, or nothing (more bytes needed, or failed).
  std::optional<Frame> Next();
  bool Failed() const { return m_failed; }

 private:
  std::string m_buffer;
  std::size_t m_read = 0;  // bytes of m_buffer already taken
  bool m_failed = false;
};

// A decoded body (type byte and fields); nothing when it is malformed.
std::optional<Frame> DecodeBody(std::string_view body);

}  // namespace tvn::dde
