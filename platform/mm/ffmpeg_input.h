// CFfmpegInput: a format context that reads a medium's byte source through a custom I/O context (platform files only).
#pragma once

#include <atomic>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

class IMediaByteSource;

namespace tvn::ffmpeg {

struct FormatCloser {
  void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct IoCloser {
  void operator()(AVIOContext* io) const {
    if (io) av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
struct CodecCloser {
  void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct PacketCloser {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameCloser {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};

using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;

// FFmpeg's own log lines stay quiet: a damaged medium is reported by its caller.
void QuietLogs();

// The demuxer reads only through the source; a raised stop flag interrupts
// reading from any thread. The source must outlive the input.
class CFfmpegInput {
 public:
  CFfmpegInput(IMediaByteSource& source, const std::atomic<bool>* stop = nullptr) : m_io{&source, stop} {}
  CFfmpegInput(const CFfmpegInput&) = delete;
  CFfmpegInput& operator=(const CFfmpegInput&) = delete;

  // Opens the container and reads its header; false when FFmpeg knows no
  // such medium. With findStreams the stream parameters are completed at once.
  bool Open(bool findStreams = true);
  // Completes the stream parameters by probing (a medium whose header does
  // not name them all: MPEG); the decoders opened for probing are held to
  // maxPixels per picture when it is above 0.
  bool FindStreams(long long maxPixels = 0);
  AVFormatContext* Format() const { return m_format.get(); }
  bool Stopped() const { return m_io.stop && m_io.stop->load(); }

 private:
  struct IoState {
    IMediaByteSource* source;
    const std::atomic<bool>* stop;
  };
  static int ReadPacket(void* opaque, uint8_t* buffer, int size);
  static int64_t SeekPacket(void* opaque, int64_t offset, int whence);
  static int Interrupt(void* opaque);

  IoState m_io;
  std::unique_ptr<AVIOContext, IoCloser> m_avio;
  std::unique_ptr<AVFormatContext, FormatCloser> m_format;
};

}  // namespace tvn::ffmpeg
