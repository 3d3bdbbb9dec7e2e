// Fuzzes the sound decoder: any bytes as a medium, read through the byte source and FFmpeg's custom I/O,
// decoded under tight caps (length, channels, rate, memory), then played once through the mixer.
#include <cstdint>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/media_decoder.h"
#include "platform/mm/media_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodeLimits limits;
  limits.maxSeconds = 10;
  limits.maxChannels = 8;
  limits.maxRate = 96000;
  limits.maxBytes = std::size_t{8} << 20;
  CMemoryByteSource source(std::vector<BYTE>(data, data + size), "fuzz.wav");
  auto pcm = std::make_shared<CPcmBuffer>();
  MediaInfo info;
  if (DecodeSound(source, limits, *pcm, &info) != DecodeResult::ok) return 0;
  CAudioMixer mixer;
  CAudioMixer::VoiceSettings settings;
  settings.rate = 1.5;
  mixer.Start(pcm, settings, nullptr);
  std::vector<std::int16_t> out(2 * 4096);
  for (int i = 0; i < 4 && mixer.VoiceCount(); ++i) mixer.Mix(out.data(), 4096);
  return 0;
}
