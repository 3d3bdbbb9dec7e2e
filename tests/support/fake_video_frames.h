// A picture stream for the video-device tests: solid frames whose colour tells their number, and the opener that gives it.
#pragma once

#include <memory>

#include "platform/mm/media_source.h"
#include "platform/mm/video_frames.h"

namespace tvn::testing {

class CFakeVideoFrames final : public IVideoFrames {
 public:
  CFakeVideoFrames(int width, int height, DWORD count, double frameMs)
      : m_width(width), m_height(height), m_count(count), m_frameMs(frameMs) {}
  // Frame n is filled with RGB(n * 10, 0, 255 - n * 10); the top-left pixel is white.
  static COLORREF ColourOf(DWORD n) { return RGB((n * 10) & 0xFF, 0, (255 - n * 10) & 0xFF); }

  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  DWORD FrameCount() const override { return m_count; }
  double FrameMs() const override { return m_frameMs; }
  bool Frame(DWORD n, CPixelImage& out) override {
    if (n >= m_count) return false;
    out = CPixelImage(m_width, m_height);
    out.Fill(ColourOf(n));
    out.SetPixel(0, 0, RGB(255, 255, 255));
    return true;
  }

 private:
  int m_width;
  int m_height;
  DWORD m_count;
  double m_frameMs;
};

// Opens every medium whose name holds "VID" as 8 x 6 pictures, 10 frames of 100 ms.
inline std::unique_ptr<IVideoFrames> OpenFakeFrames(std::unique_ptr<IMediaByteSource> source, const DecodeLimits&) {
  if (!source || source->Name().MakeUpper().Find("VID") < 0) return nullptr;
  return std::make_unique<CFakeVideoFrames>(8, 6, 10, 100.0);
}

}  // namespace tvn::testing
