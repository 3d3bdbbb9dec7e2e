// Fuzzes the video layer: any bytes as an AVI read through the byte source and FFmpeg, under tight caps,
// its frames sought in both directions and converted, and its sound track decoded.
#include <cstdint>

#include "platform/mm/media_source.h"
#include "platform/mm/video_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  VideoLimits limits;
  limits.maxWidth = 320;
  limits.maxHeight = 240;
  limits.maxFrames = 300;
  limits.maxSeconds = 30;
  limits.maxPaletteChanges = 2;  // films that change palette more often take the path past the cap
  auto decoder = CVideoDecoder::Open(std::make_unique<CMemoryByteSource>(std::vector<BYTE>(data, data + size), "f.avi"),
                                     limits);
  if (!decoder) return 0;
  const VideoStreamInfo& info = decoder->Info();
  if (info.hasVideo) {
    std::uint32_t pixels[16 * 12];
    const LONG last = info.frameCount - 1;
    for (LONG frame : {last, LONG{0}, last / 2, last / 2 + 1, LONG{-5}, last + 7}) {
      if (decoder->DecodeFrame(frame)) decoder->ConvertTo(pixels, 16, 12, 16);
      decoder->FrameAtTime(decoder->TimeOfFrame(frame));
    }
  }
  DecodeLimits sound;
  sound.maxSeconds = 30;
  sound.maxBytes = std::size_t{8} << 20;
  CPcmBuffer pcm;
  decoder->DecodeSound(sound, pcm);
  if (info.hasVideo) decoder->DecodeFrame(1);
  return 0;
}
