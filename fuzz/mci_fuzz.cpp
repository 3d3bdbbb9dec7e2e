// Fuzzes the MCI command-string interpreter: the bytes are split into lines and each is sent as a command,
// against a device opened on a short generated sound, so open, play, seek, status and set all see hostile words.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/media_source.h"
#include "platform/media_system.h"

namespace {

std::vector<BYTE> ShortWave() {
  // 16-bit mono PCM, 8000 Hz, 80 frames of silence.
  std::vector<BYTE> w = {'R', 'I', 'F', 'F', 196, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1,
                         0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 160, 0, 0, 0};
  w.resize(w.size() + 160, 0);
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A real clock and the silent output: a "wait" ends when the 10 ms sound has played.
  DecodeLimits limits;
  limits.maxSeconds = 5;
  CMediaSystem media(SteadyClock(), CAudioOutput::Mode::silent, limits);
  media.SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> {
    return std::make_unique<CMemoryByteSource>(ShortWave(), name);
  });
  std::string reply;
  media.Mci().SendString("open x.wav alias a", reply, nullptr);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int line = 0; line < 64 && !text.empty(); ++line) {
    const std::size_t end = text.find('\n');
    media.Mci().SendString(text.substr(0, end), reply, nullptr);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return 0;
}
