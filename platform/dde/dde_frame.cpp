// The conversation frames: encoding, and decoding with every length checked against the bytes there are.
#include "platform/dde/dde_frame.h"

namespace tvn::dde {
namespace {

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

bool PutText(std::vector<std::uint8_t>& out, std::string_view text) {
  if (text.size() > kMaxNameLength) return false;
  PutWord(out, static_cast<std::uint16_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
  return true;
}

// Reads fields off a body, front to back, never past its end.
class BodyReader {
 public:
  explicit BodyReader(std::string_view body) : m_rest(body) {}
  bool Word(std::uint16_t& value) {
    if (m_rest.size() < 2) return false;
    value = static_cast<std::uint16_t>(static_cast<std::uint8_t>(m_rest[0]) |
                                       (static_cast<std::uint8_t>(m_rest[1]) << 8));
    m_rest.remove_prefix(2);
    return true;
  }
  bool Text(std::string& text) {
    std::uint16_t length = 0;
    if (!Word(length) || length > kMaxNameLength || length > m_rest.size()) return false;
    text.assign(m_rest.substr(0, length));
    m_rest.remove_prefix(length);
    return true;
  }
  void Rest(std::string& data) {
    data.assign(m_rest);
    m_rest = {};
  }
  bool AtEnd() const { return m_rest.empty(); }

 private:
  std::string_view m_rest;
};

}  // namespace

std::vector<std::uint8_t> EncodeFrame(const Frame& frame) {
  std::vector<std::uint8_t> out(4, 0);
  out.push_back(static_cast<std::uint8_t>(frame.type));
  bool ok = true;
  switch (frame.type) {
    case FrameType::kConnect: ok = PutText(out, frame.service) && PutText(out, frame.topic); break;
    case FrameType::kPoke:
    case FrameType::kRequest: ok = PutText(out, frame.item); [[fallthrough]];
    case FrameType::kExecute:
    case FrameType::kData:
      PutWord(out, frame.format);
      if (frame.type != FrameType::kRequest) out.insert(out.end(), frame.data.begin(), frame.data.end());
      break;
    case FrameType::kAck:
    case FrameType::kNack:
    case FrameType::kDisconnect: break;
  }
  const std::size_t body = out.size() - 4;
  if (!ok || body > kMaxFrameBody) return {};
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(body >> (8 * i));
  return out;
}

std::optional<Frame> DecodeBody(std::string_view body) {
  if (body.empty()) return std::nullopt;
  Frame frame;
  const auto type = static_cast<std::uint8_t>(body[0]);
  if (type < static_cast<std::uint8_t>(FrameType::kConnect) || type > static_cast<std::uint8_t>(FrameType::kDisconnect))
    return std::nullopt;
  frame.type = static_cast<FrameType>(type);
  BodyReader in(body.substr(1));
  switch (frame.type) {
    case FrameType::kConnect:
      if (!in.Text(frame.service) || !in.Text(frame.topic)) return std::nullopt;
      break;
    case FrameType::kPoke:
    case FrameType::kRequest:
      if (!in.Text(frame.item)) return std::nullopt;
      [[fallthrough]];
    case FrameType::kExecute:
    case FrameType::kData:
      if (!in.Word(frame.format)) return std::nullopt;
      if (frame.type != FrameType::kRequest) in.Rest(frame.data);
      break;
    case FrameType::kAck:
    case FrameType::kNack:
    case FrameType::kDisconnect: break;
  }
  if (!in.AtEnd()) return std::nullopt;
  return frame;
}

void FrameDecoder::Feed(std::string_view bytes) {
  if (m_failed) return;
  // Bytes already taken go before the buffer can grow past two frames.
  if (m_read > 0 && m_read >= m_buffer.size() / 2) {
    m_buffer.erase(0, m_read);
    m_read = 0;
  }
  m_buffer.append(bytes);
}

std::optional<Frame> FrameDecoder::Next() {
  if (m_failed) return std::nullopt;
  const std::string_view rest = std::string_view(m_buffer).substr(m_read);
  if (rest.size() < 4) return std::nullopt;
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<std::uint8_t>(rest[static_cast<std::size_t>(i)]);
  if (length == 0 || length > kMaxFrameBody) {
    m_failed = true;
    return std::nullopt;
  }
  if (rest.size() - 4 < length) return std::nullopt;
  std::optional<Frame> frame = DecodeBody(rest.substr(4, length));
  if (!frame) {
    m_failed = true;
    return std::nullopt;
  }
  m_read += 4 + length;
  return frame;
}

}  // namespace tvn::dde
