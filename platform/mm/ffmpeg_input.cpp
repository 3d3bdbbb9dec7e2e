// The FFmpeg input over a byte source: the custom I/O callbacks and the opening of the container.
#include "platform/mm/ffmpeg_input.h"

#include <algorithm>
#include <mutex>
#include <string>

extern "C" {
#include <libavutil/dict.h>
}

#include "platform/mm/media_source.h"

namespace tvn::ffmpeg {

namespace {
constexpr int kIoBufferSize = 32768;
}  // namespace

void QuietLogs() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// A short read is not an error: 0 is the end of the medium.
int CFfmpegInput::ReadPacket(void* opaque, uint8_t* buffer, int size) {
  auto* io = static_cast<IoState*>(opaque);
  if (io->stop && io->stop->load()) return AVERROR_EXIT;
  const long long n = io->source->Read(buffer, static_cast<std::size_t>(std::max(size, 0)));
  if (n < 0) return AVERROR(EIO);
  if (n == 0) return AVERROR_EOF;
  return static_cast<int>(n);
}

int64_t CFfmpegInput::SeekPacket(void* opaque, int64_t offset, int whence) {
  auto* io = static_cast<IoState*>(opaque);
  const auto size = static_cast<int64_t>(io->source->Size());
  whence &= ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE) return size;
  if (whence != SEEK_SET) return -1;  // the format layer only seeks absolutely through us
  if (offset < 0 || offset > size) return -1;
  return io->source->Seek(static_cast<unsigned long long>(offset)) ? offset : -1;
}

int CFfmpegInput::Interrupt(void* opaque) {
  const auto* io = static_cast<const IoState*>(opaque);
  return io->stop && io->stop->load() ? 1 : 0;
}

bool CFfmpegInput::Open(bool findStreams) {
  QuietLogs();
  auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
  if (!buffer) return false;
  m_avio.reset(avio_alloc_context(buffer, kIoBufferSize, 0, &m_io, &ReadPacket, nullptr, &SeekPacket));
  if (!m_avio) {
    av_free(buffer);
    return false;
  }
  AVFormatContext* ctx = avformat_alloc_context();
  if (!ctx) return false;
  ctx->pb = m_avio.get();
  ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
  ctx->interrupt_callback.callback = &Interrupt;
  ctx->interrupt_callback.opaque = &m_io;
  ctx->probesize = 1 << 20;
  ctx->max_analyze_duration = 5 * AV_TIME_BASE;
  if (avformat_open_input(&ctx, nullptr, nullptr, nullptr) < 0) return false;  // frees ctx on failure
  m_format.reset(ctx);
  return !findStreams || FindStreams();
}

bool CFfmpegInput::FindStreams(long long maxPixels) {
  AVFormatContext* ctx = m_format.get();
  if (!ctx) return false;
  // Probing opens a decoder per stream: each is held to the picture cap.
  const unsigned streams = ctx->nb_streams;
  std::unique_ptr<AVDictionary*[]> options;
  if (maxPixels > 0 && streams > 0) {
    options = std::make_unique<AVDictionary*[]>(streams);
    const std::string cap = std::to_string(maxPixels);
    for (unsigned i = 0; i < streams; ++i) {
      options[i] = nullptr;
      av_dict_set(&options[i], "max_pixels", cap.c_str(), 0);
    }
  }
  const bool found = avformat_find_stream_info(ctx, options.get()) >= 0;
  if (options)
    for (unsigned i = 0; i < streams; ++i) av_dict_free(&options[i]);
  return found;
}

}  // namespace tvn::ffmpeg
