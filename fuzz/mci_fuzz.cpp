// Fuzzes the MCI command-string interpreter: the bytes are split into lines and each is sent as a command,
// against devices opened on a short generated sound, a short MIDI song and a new recording, so open, play,
// seek, record, status and set all see hostile words.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// 10 ticks (about 10 ms) at 480 ticks a quarter and tempo 500000: a note on and its end.
std::vector<BYTE> ShortSong() {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 13,
          0x00, 0x90, 0x3C, 0x64, 0x0A, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00, 0x00};
}

bool Contains(std::string_view line, std::string_view word) {
  return std::search(line.begin(), line.end(), word.begin(), word.end(),
                     [](char a, char b) { return (a | 0x20) == b; }) != line.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A real clock and the silent output: a "wait" ends when the 10 ms sound has played.
  DecodeLimits limits;
  limits.maxSeconds = 5;
  // Recording goes through SDL's dummy driver, which captures silence.
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  CMediaSystem media(SteadyClock(), CAudioOutput::Mode::silent, limits);
  media.Mci().Services().soundFont.clear();  // MIDI plays silent: the soundfont would load on every open
  media.SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> {
    const bool midi = Contains(name.GetString(), ".mid");
    return std::make_unique<CMemoryByteSource>(midi ? ShortSong() : ShortWave(), name);
  });
  std::string reply;
  media.Mci().SendString("open x.wav alias a", reply, nullptr);
  media.Mci().SendString("open x.mid alias m", reply, nullptr);
  media.Mci().SendString("open new type waveaudio alias r", reply, nullptr);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int line = 0; line < 64 && !text.empty(); ++line) {
    const std::size_t end = text.find('\n');
    const std::string_view command = text.substr(0, end);
    // A recording has no end but its "to": waiting on one would hold the fuzzer for as long as it says.
    if (!(Contains(command, "record") && Contains(command, "wait")))
      media.Mci().SendString(command, reply, nullptr);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return 0;
}
