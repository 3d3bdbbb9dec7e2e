// The MCI video devices' way to the program's video layer: a video decoder seen as a picture stream.
#include "platform/mm/video_frames.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/mm/media_source.h"
#include "platform/mm/video_decoder.h"

namespace {

class CDecoderFrames final : public IVideoFrames {
 public:
  explicit CDecoderFrames(std::unique_ptr<CVideoDecoder> decoder) : m_decoder(std::move(decoder)) {}

  int Width() const override { return m_decoder->Info().width; }
  int Height() const override { return m_decoder->Info().height; }
  DWORD FrameCount() const override { return static_cast<DWORD>(std::max<LONG>(m_decoder->Info().frameCount, 0)); }
  double FrameMs() const override {
    const VideoStreamInfo& info = m_decoder->Info();
    return info.rateNumerator ? 1000.0 * info.rateDenominator / info.rateNumerator : 0.0;
  }
  bool Frame(DWORD n, CPixelImage& out) override {
    if (!m_decoder->DecodeFrame(static_cast<LONG>(std::min<DWORD>(n, 0x7FFFFFFF)))) return false;
    const CPixelImage& picture = m_decoder->ScaledPicture(Width(), Height());
    if (picture.IsNull()) return false;
    out = picture;  // shares the pixels until one side writes
    return true;
  }

 private:
  std::unique_ptr<CVideoDecoder> m_decoder;
};

}  // namespace

std::unique_ptr<IVideoFrames> OpenVideoFrames(std::unique_ptr<IMediaByteSource> source, const DecodeLimits& limits) {
  VideoLimits caps;
  caps.maxSeconds = std::min(caps.maxSeconds, limits.maxSeconds);
  auto decoder = CVideoDecoder::Open(std::move(source), caps);
  if (!decoder || !decoder->Info().hasVideo) return nullptr;
  return std::make_unique<CDecoderFrames>(std::move(decoder));
}

void DrawPicturePart(CDC& dc, const CPixelImage& picture, const CRect& source, const CRect& dest, const CRect& clip) {
  if (picture.IsNull() || source.IsRectEmpty() || dest.IsRectEmpty() || source.left < 0 || source.top < 0 ||
      source.right > picture.Width() || source.bottom > picture.Height())
    return;
  CRect target;
  if (!target.IntersectRect(dest, clip)) return;
  const gdi::PixelSurface out = dc.GetPixelRect(target);
  if (!out.IsValid() || out.width != target.Width() || out.height != target.Height()) return;
  // One column map for all the lines.
  const long long sw = source.Width(), sh = source.Height(), dw = dest.Width(), dh = dest.Height();
  std::vector<int> columns(static_cast<std::size_t>(out.width));
  for (int x = 0; x < out.width; ++x)
    columns[static_cast<std::size_t>(x)] = source.left + static_cast<int>((target.left + x - dest.left) * sw / dw);
  for (int y = 0; y < out.height; ++y) {
    const std::uint32_t* in = picture.Row(source.top + static_cast<int>((target.top + y - dest.top) * sh / dh));
    DWORD* row = out.Row(y);
    for (int x = 0; x < out.width; ++x) row[x] = in[columns[static_cast<std::size_t>(x)]];
  }
}
