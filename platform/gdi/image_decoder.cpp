// Picture decoding: Qt's image readers, then FFmpeg's image decoders for kinds Qt lacks.
#include "platform/gdi/image_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace tvn::platform {
namespace {

bool WithinCaps(long long width, long long height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         static_cast<unsigned long long>(width * height * 4) <= kMaxImageBytes;
}

QByteArray Wrap(const std::uint8_t* data, std::size_t size) {
  return QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

int DepthOf(const QImage::Format format, bool hasAlpha) {
  if (hasAlpha) return 32;
  switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8: return 8;
    default: return 24;
  }
}

// ---- Qt ----

std::optional<ImageInfo> ProbeWithQt(const std::uint8_t* data, std::size_t size) {
  QByteArray bytes = Wrap(data, size);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  if (!reader.canRead()) return std::nullopt;
  const QSize s = reader.size();
  if (!WithinCaps(s.width(), s.height())) return std::nullopt;
  ImageInfo info;
  info.width = s.width();
  info.height = s.height();
  const QImage::Format format = reader.imageFormat();
  info.bitsPerPixel = DepthOf(format, QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha);
  return info;
}

std::optional<DecodedImage> DecodeWithQt(const std::uint8_t* data, std::size_t size) {
  QByteArray bytes = Wrap(data, size);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  if (!reader.canRead()) return std::nullopt;
  const QSize s = reader.size();
  // A reader that cannot tell the size before decoding is held to the caps afterwards.
  if (s.isValid() && !WithinCaps(s.width(), s.height())) return std::nullopt;
  QImageReader::setAllocationLimit(static_cast<int>(kMaxImageBytes / (1024 * 1024)));
  QImage image = reader.read();
  if (image.isNull() || !WithinCaps(image.width(), image.height())) return std::nullopt;
  DecodedImage out;
  out.width = image.width();
  out.height = image.height();
  out.hasAlpha = image.hasAlphaChannel();
  out.bitsPerPixel = DepthOf(image.format(), out.hasAlpha);
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  for (int y = 0; y < out.height; ++y) {
    std::memcpy(&out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width)], argb.constScanLine(y),
                static_cast<std::size_t>(out.width) * 4);
  }
  return out;
}

// ---- FFmpeg ----

// Kinds Qt has no reader for, told by their signatures.
AVCodecID SniffCodec(const std::uint8_t* data, std::size_t size) {
  if (size >= 128 && data[0] == 0x0A && data[1] <= 5 && data[2] <= 1) return AV_CODEC_ID_PCX;
  if (size >= 512 && data[0] == 0x01 && data[1] == 0xDA) return AV_CODEC_ID_SGI;
  if (size >= 32 && data[0] == 0x59 && data[1] == 0xA6 && data[2] == 0x6A && data[3] == 0x95)
    return AV_CODEC_ID_SUNRAST;
  auto starts = [&](const char* magic) { return size >= 26 && std::memcmp(data, magic, 4) == 0; };
  if (starts("8BPS")) return AV_CODEC_ID_PSD;
  if (starts("qoif")) return AV_CODEC_ID_QOI;
  if (starts("SDPX") || starts("XPDS")) return AV_CODEC_ID_DPX;
  return AV_CODEC_ID_NONE;
}

struct CodecContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

std::optional<DecodedImage> DecodeWithFfmpeg(const std::uint8_t* data, std::size_t size) {
  const AVCodecID id = SniffCodec(data, size);
  if (id == AV_CODEC_ID_NONE || size > kMaxImageBytes) return std::nullopt;
  // Decoder complaints about damaged files are diagnostics, never shown.
  av_log_set_level(AV_LOG_QUIET);
  const AVCodec* codec = avcodec_find_decoder(id);
  if (!codec) return std::nullopt;
  std::unique_ptr<AVCodecContext, CodecContextFree> context(avcodec_alloc_context3(codec));
  if (!context) return std::nullopt;
  context->max_pixels = static_cast<int64_t>(kMaxImageBytes / 4);
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return std::nullopt;

  std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  if (!packet || av_new_packet(packet.get(), static_cast<int>(size)) < 0) return std::nullopt;
  std::memcpy(packet->data, data, size);  // the decoder reads past the end: av_new_packet pads
  std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
  if (!frame) return std::nullopt;
  if (avcodec_send_packet(context.get(), packet.get()) < 0) return std::nullopt;
  avcodec_send_packet(context.get(), nullptr);
  if (avcodec_receive_frame(context.get(), frame.get()) < 0) return std::nullopt;
  if (!WithinCaps(frame->width, frame->height)) return std::nullopt;

  DecodedImage out;
  out.width = frame->width;
  out.height = frame->height;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
  out.hasAlpha = desc && (desc->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
  out.bitsPerPixel = out.hasAlpha ? 32 : (desc && (desc->flags & AV_PIX_FMT_FLAG_PAL) ? 8 : 24);
  out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  std::unique_ptr<SwsContext, ScaleFree> scale(sws_getContext(out.width, out.height,
                                                              static_cast<AVPixelFormat>(frame->format), out.width,
                                                              out.height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr,
                                                              nullptr, nullptr));
  if (!scale) return std::nullopt;
  uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(out.pixels.data()), nullptr, nullptr, nullptr};
  int strides[4] = {out.width * 4, 0, 0, 0};
  if (sws_scale(scale.get(), frame->data, frame->linesize, 0, out.height, planes, strides) != out.height)
    return std::nullopt;
  if (!out.hasAlpha)
    for (auto& p : out.pixels) p |= 0xFF000000u;
  return out;
}

}  // namespace

std::optional<ImageInfo> ProbeImage(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0) return std::nullopt;
  if (auto info = ProbeWithQt(data, size)) return info;
  // FFmpeg learns the size only by decoding.
  if (auto image = DecodeWithFfmpeg(data, size)) return ImageInfo{image->width, image->height, image->bitsPerPixel};
  return std::nullopt;
}

std::optional<DecodedImage> DecodeImage(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0 || size > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
  if (auto image = DecodeWithQt(data, size)) return image;
  return DecodeWithFfmpeg(data, size);
}

}  // namespace tvn::platform
