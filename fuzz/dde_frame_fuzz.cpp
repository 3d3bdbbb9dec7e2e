// Fuzzes the conversation frame decoder with a peer's bytes: every frame it gives encodes back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/dde/dde_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tvn::dde::FrameDecoder decoder;
  // In two pieces, as a socket may deliver them.
  decoder.Feed(bytes.substr(0, size / 2));
  std::string again;
  auto take = [&] {
    while (auto frame = decoder.Next()) {
      if (frame->service.size() > tvn::dde::kMaxNameLength || frame->data.size() > tvn::dde::kMaxFrameBody) std::abort();
      auto encoded = tvn::dde::EncodeFrame(*frame);
      if (encoded.empty()) std::abort();
      again.append(encoded.begin(), encoded.end());
    }
  };
  take();
  decoder.Feed(bytes.substr(size / 2));
  take();
  if (bytes.substr(0, again.size()) != again) std::abort();
  return 0;
}
