// CVideoDecoder: a medium's first video and audio streams read with FFmpeg, one picture at a time, frame-accurately.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/mm/media_decoder.h"
#include "platform/gdi/pixel_image.h"
#include "platform/base/win_types.h"

class CDC;
class IMediaByteSource;

// Caps checked against the stream headers before anything is allocated for
// the pictures; a medium past one of them does not open.
struct VideoLimits {
  int maxWidth = 4096;
  int maxHeight = 4096;
  LONG maxFrames = 1000000;        // about nine hours at 30 frames a second
  DWORD maxSeconds = 4 * 60 * 60;  // of the video stream and of the sound
  // A sound stream past these, which the sound decoder refuses, is left
  // out: the video plays silent, and a medium with nothing else does not open.
  int maxChannels = DecodeLimits{}.maxChannels;
  int maxRate = DecodeLimits{}.maxRate;
  // Palette changes of an 8-bit film kept by the frame they start at (1 KiB
  // each); past them, a seek beyond the last one kept reads on from it.
  std::size_t maxPaletteChanges = 4096;
};

// What the medium holds. Times are milliseconds of the medium's own time
// line (0 is its start), frames count from the video stream's first.
struct VideoStreamInfo {
  bool hasVideo = false;
  bool hasAudio = false;
  CString formatName;  // the container as FFmpeg named it ("avi", "mpeg"...)

  // The first video stream.
  int width = 0;
  int height = 0;
  LONG frameCount = 0;  // those it holds: a film cut short holds fewer than its header says
  DWORD rateNumerator = 0;  // frames per second as a fraction
  DWORD rateDenominator = 1;
  LONG videoStartMs = 0;
  LONG videoEndMs = 0;

  // The first audio stream.
  DWORD sampleRate = 0;       // samples per second
  DWORD avgBytesPerSec = 0;   // 0 when the stream does not say
  DWORD sampleSize = 0;       // bytes of one sample of all channels (the block size); 0 unknown
  int channels = 0;
  // Samples of the stream's own rate, 0 to the largest LONG (their sum too).
  LONG audioStartSample = 0;  // the stream's first sample on the time line
  LONG audioSamples = 0;      // its length in samples
  LONG audioStartMs = 0;
  LONG audioEndMs = 0;
};

enum class VideoOpenResult {
  ok,
  unreadable,  // not a medium FFmpeg knows, or its header is damaged
  noStreams,   // neither a picture nor a sound
  tooLarge,    // past one of the limits, or a sound past them and nothing else
};

// One decoder per open medium; it reads only its own byte source, on the
// thread that calls it. The picture it holds is a one-frame cache: asking
// for the frame it holds again costs nothing, the next frame one decode, and
// any other a seek to the key frame at or before it and a decode forward.
class CVideoDecoder {
 public:
  ~CVideoDecoder();
  CVideoDecoder(const CVideoDecoder&) = delete;
  CVideoDecoder& operator=(const CVideoDecoder&) = delete;

  // Null (and the reason, when asked) when the medium does not open.
  static std::unique_ptr<CVideoDecoder> Open(std::unique_ptr<IMediaByteSource> source, const VideoLimits& limits = {},
                                             VideoOpenResult* result = nullptr);
  // A disk file named Windows-style.
  static std::unique_ptr<CVideoDecoder> OpenFile(const CString& path, const VideoLimits& limits = {},
                                                 VideoOpenResult* result = nullptr);

  const VideoStreamInfo& Info() const { return m_info; }

  // The video frame shown at a time: the start frame before the stream's
  // start, the last one past its end; -1 without video.
  LONG FrameAtTime(LONG ms) const;
  // The time a frame starts (the frame clamped to the stream); -1 without video.
  LONG TimeOfFrame(LONG frame) const;

  // Makes the frame (clamped to the stream) the one held; false when no
  // picture could be decoded at or before it (the held one is then kept
  // when there is one).
  bool DecodeFrame(LONG frame);
  bool DecodeAtTime(LONG ms) { return m_info.hasVideo && DecodeFrame(FrameAtTime(ms)); }
  // The frame held, -1 when none.
  LONG HeldFrame() const { return m_heldIndex; }

  // The held picture converted to 32-bit pixels (0xFFRRGGBB) scaled to
  // width x height (each pixel the source pixel under its centre, as a
  // stretched blit takes it); stride in pixels. False without a picture.
  bool ConvertTo(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride);
  // The held picture at the size; the last conversion is kept, so drawing
  // the same frame at the same size again converts nothing. Null image without a picture.
  const CPixelImage& ScaledPicture(int width, int height);
  // Draws the held picture scaled into the rectangle (logical coordinates);
  // false without a picture or with an empty rectangle.
  bool Draw(CDC& dc, const CRect& rect);

  // The whole first audio stream decoded for the mixer (44100 Hz stereo).
  DecodeResult DecodeSound(const DecodeLimits& limits, CPcmBuffer& out);

 private:
  struct Impl;
  explicit CVideoDecoder(std::unique_ptr<Impl> impl);
  // The held picture at its own size in m_native (kept while the frame stays).
  bool ConvertNative();

  std::unique_ptr<Impl> m;
  VideoStreamInfo m_info;
  LONG m_heldIndex = -1;
  CPixelImage m_native;
  LONG m_nativeIndex = -1;
  CPixelImage m_scaled;
  LONG m_scaledIndex = -1;
  std::vector<int> m_columns;  // source column of each target column
};
