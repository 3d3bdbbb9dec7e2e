// The sound decoder: an FFmpeg custom I/O context over the medium's byte source, libavcodec and libswresample.
#include "platform/mm/media_decoder.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "platform/mm/ffmpeg_input.h"
#include "platform/mm/media_source.h"

namespace {

using namespace tvn::ffmpeg;

struct SwrCloser {
  void operator()(SwrContext* ctx) const { swr_free(&ctx); }
};

// A channel layout owned (a custom order holds a map of its own).
struct ChannelLayout {
  AVChannelLayout layout{};
  ChannelLayout() = default;
  ChannelLayout(const ChannelLayout&) = delete;
  ChannelLayout& operator=(const ChannelLayout&) = delete;
  ~ChannelLayout() { av_channel_layout_uninit(&layout); }
};

// The first audio stream, or the one FFmpeg thinks best.
int FindSoundStream(AVFormatContext* ctx, bool first) {
  if (!first) return av_find_best_stream(ctx, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  for (unsigned i = 0; i < ctx->nb_streams; ++i)
    if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) return static_cast<int>(i);
  return -1;
}

class SoundDecoder {
 public:
  SoundDecoder(IMediaByteSource& source, const DecodeLimits& limits, CPcmBuffer& out, const std::atomic<bool>* stop)
      : m_input(source, stop), m_limits(limits), m_out(out) {}

  DecodeResult Run(MediaInfo* info, bool firstStream) {
    if (!m_input.Open()) return Stopped() ? DecodeResult::stopped : DecodeResult::unreadable;
    m_format = m_input.Format();
    if (info) Describe(*info);
    const int stream = FindSoundStream(m_format, firstStream);
    if (stream < 0) return DecodeResult::noSound;
    if (info) info->hasAudio = true;
    const AVCodecParameters* par = m_format->streams[stream]->codecpar;
    if (par->ch_layout.nb_channels <= 0 || par->ch_layout.nb_channels > m_limits.maxChannels ||
        par->sample_rate <= 0 || par->sample_rate > m_limits.maxRate)
      return DecodeResult::tooLarge;
    if (!OpenCodec(par)) return DecodeResult::unreadable;
    if (info) DescribeSound(*par, *info);
    const DecodeResult result = Decode(stream);
    if (result == DecodeResult::ok) KeepStated(StatedSamples(*m_format->streams[stream]), par->sample_rate);
    if (info) {
      info->soundSamples = m_decodedSamples;
      if (m_parts.size() > 1) {
        // Each part runs to where the next begins, the last to the end.
        info->soundSamples = 0;
        for (std::size_t i = 0; i < m_parts.size(); ++i) {
          const std::uint64_t end = i + 1 < m_parts.size() ? m_parts[i + 1].firstFrame : m_out.Frames();
          info->soundParts.push_back({m_parts[i].rate, m_parts[i].samples, end - m_parts[i].firstFrame});
          info->soundSamples += m_parts[i].samples;
        }
      }
    }
    return result;
  }

 private:
  bool Stopped() const { return m_input.Stopped(); }

  void Describe(MediaInfo& info) const {
    info.formatName = m_format->iformat && m_format->iformat->name ? m_format->iformat->name : "";
    info.hasVideo = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) >= 0;
    if (m_format->duration > 0) info.durationSeconds = static_cast<double>(m_format->duration) / AV_TIME_BASE;
  }

  static bool IsPcm(const AVCodecParameters& par) {
    return par.codec_id >= AV_CODEC_ID_PCM_S16LE && par.codec_id < AV_CODEC_ID_ADPCM_IMA_QT;
  }

  static void DescribeSound(const AVCodecParameters& par, MediaInfo& info) {
    const int channels = par.ch_layout.nb_channels;
    info.soundRate = static_cast<DWORD>(par.sample_rate);
    info.soundPcm = IsPcm(par);
    DWORD align = par.block_align > 0 ? static_cast<DWORD>(par.block_align) : 0;
    if (info.soundPcm && align == 0) {
      const int bits = av_get_bits_per_sample(par.codec_id);
      if (bits > 0) align = static_cast<DWORD>((bits * channels + 7) / 8);
    }
    info.soundBlockAlign = info.soundPcm ? align : 0;
    if (info.soundPcm && align > 0)  // a damaged header's block beyond 32 bits a second describes nothing
      info.soundBytesPerSecond = std::uint64_t{align} * info.soundRate <= 0xFFFFFFFFu ? align * info.soundRate : 0;
    else if (par.bit_rate > 0 && par.bit_rate / 8 <= 0xFFFFFFFF)
      info.soundBytesPerSecond = static_cast<DWORD>(par.bit_rate / 8);
  }

  bool OpenCodec(const AVCodecParameters* par) {
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return false;
    m_codec.reset(avcodec_alloc_context3(codec));
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), par) < 0) return false;
    m_codec->thread_count = 1;
    return avcodec_open2(m_codec.get(), codec, nullptr) >= 0;
  }

  // Whether the resampler in use takes the frame as it is.
  bool TakesShape(const AVFrame& frame) const {
    return m_swr && frame.format == m_inFormat && frame.sample_rate == m_inRate &&
           av_channel_layout_compare(&frame.ch_layout, &m_inLayout.layout) == 0;
  }

  // A resampler from the frame's layout, sample format and rate to the
  // mixer's; false (and none) when the frame's shape is past the limits or
  // cannot be resampled.
  bool MakeResampler(const AVFrame& frame) {
    m_swr.reset();
    const int channels = frame.ch_layout.nb_channels;
    if (channels <= 0 || channels > m_limits.maxChannels || frame.sample_rate <= 0 ||
        frame.sample_rate > m_limits.maxRate || av_channel_layout_copy(&m_inLayout.layout, &frame.ch_layout) < 0)
      return false;
    m_inFormat = frame.format;
    m_inRate = frame.sample_rate;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, static_cast<int>(CPcmBuffer::kRate), &m_inLayout.layout,
                            static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr) < 0)
      return false;
    std::unique_ptr<SwrContext, SwrCloser> made(swr);
    // A mono sound plays at its own level on both sides (not 3 dB down as a centre speaker would).
    if (channels == 1) {
      const double both[2] = {1.0, 1.0};
      if (swr_set_matrix(swr, both, 1) < 0) return false;
    }
    if (swr_init(swr) < 0) return false;
    m_swr = std::move(made);
    return true;
  }

  std::size_t MaxFrames() const {
    const std::size_t byTime = static_cast<std::size_t>(m_limits.maxSeconds) * CPcmBuffer::kRate;
    const std::size_t byBytes = m_limits.maxBytes / (sizeof(std::int16_t) * CPcmBuffer::kChannels);
    return std::min(byTime, byBytes);
  }

  // Resamples samples of the resampler's shape into the sound (null data
  // takes what the resampler still holds); false past the limits.
  bool Resample(const uint8_t* const* data, int samples) {
    const int room = swr_get_out_samples(m_swr.get(), samples);
    if (room < 0) return true;
    if (m_out.Frames() + static_cast<std::size_t>(room) > MaxFrames()) return false;
    const std::size_t at = m_out.samples.size();
    m_out.samples.resize(at + static_cast<std::size_t>(room) * CPcmBuffer::kChannels);
    uint8_t* dst = reinterpret_cast<uint8_t*>(m_out.samples.data() + at);
    const int got = swr_convert(m_swr.get(), &dst, room, const_cast<const uint8_t**>(data), samples);
    m_out.samples.resize(at + static_cast<std::size_t>(std::max(got, 0)) * CPcmBuffer::kChannels);
    return true;
  }

  // Takes what the resampler still holds; false past the limits.
  bool Flush() { return !m_swr || Resample(nullptr, 0); }

  // Converts one frame by its own layout, sample format and rate, which may
  // change part-way (clips joined end to end): the resampler of the frames
  // before is emptied and one for the new shape made. A frame no resampler
  // takes is left out, as a damaged packet is. False past the limits.
  bool Convert(const AVFrame& frame) {
    if (!TakesShape(frame)) {
      if (!Flush()) return false;
      if (!MakeResampler(frame)) return true;
      // A new rate begins a part; new channels or samples alone do not.
      if (m_parts.empty() || m_parts.back().rate != static_cast<DWORD>(frame.sample_rate))
        m_parts.push_back({static_cast<DWORD>(frame.sample_rate), 0, m_out.Frames()});
    }
    m_parts.back().samples += static_cast<std::uint64_t>(std::max(frame.nb_samples, 0));
    return Resample(frame.extended_data, frame.nb_samples);
  }

  // Takes every frame the decoder has ready; false past the limits.
  bool Drain(AVFrame* frame) {
    while (avcodec_receive_frame(m_codec.get(), frame) >= 0) {
      if (frame->nb_samples > 0) m_decodedSamples += static_cast<std::uint64_t>(frame->nb_samples);
      const bool ok = Convert(*frame);
      av_frame_unref(frame);
      if (!ok) return false;
    }
    return true;
  }

  DecodeResult Decode(int stream) {
    std::unique_ptr<AVPacket, PacketCloser> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameCloser> frame(av_frame_alloc());
    if (!packet || !frame) return DecodeResult::tooLarge;
    m_out.samples.clear();
    while (av_read_frame(m_format, packet.get()) >= 0) {
      if (packet->stream_index == stream) {
        // A damaged packet is skipped: the sound around it still plays.
        if (avcodec_send_packet(m_codec.get(), packet.get()) >= 0 && !Drain(frame.get())) {
          av_packet_unref(packet.get());
          return DecodeResult::tooLarge;
        }
      }
      av_packet_unref(packet.get());
      if (Stopped()) return DecodeResult::stopped;
    }
    if (Stopped()) return DecodeResult::stopped;
    avcodec_send_packet(m_codec.get(), nullptr);
    if (!Drain(frame.get()) || !Flush()) return DecodeResult::tooLarge;
    return DecodeResult::ok;
  }

  // The samples the file states its sound holds, at the stream's own rate;
  // 0 where it states none. A WAV file states them in its "fact" chunk,
  // which FFmpeg makes the stream's length (a plain sound's length is its
  // data's; one FFmpeg estimates from the bit rate is stated nowhere), an
  // AVI file in the sound stream's header, in units of its time base.
  std::uint64_t StatedSamples(const AVStream& st) const {
    const AVCodecParameters& par = *st.codecpar;
    const std::string_view container = m_format->iformat && m_format->iformat->name ? m_format->iformat->name : "";
    int64_t units = 0;
    if (container == "wav") {
      if (!IsPcm(par) && m_format->duration_estimation_method == AVFMT_DURATION_FROM_STREAM) units = st.duration;
    } else if (container == "avi") {
      units = st.duration > 0 && st.duration != AV_NOPTS_VALUE ? st.duration : st.nb_frames;
    }
    if (units <= 0 || units == AV_NOPTS_VALUE || st.time_base.num <= 0 || st.time_base.den <= 0) return 0;
    int64_t samples = av_rescale_q(units, st.time_base, AVRational{1, par.sample_rate});
    if (samples <= 0) return 0;
    // An AVI states block-coded sound in whole blocks (writers keep no count
    // of samples there): a sound that runs past the film's picture by less
    // than one block runs on only by its last block's padding, and ends with
    // the picture.
    if (container == "avi" && !IsPcm(par) && par.block_align > 0) {
      const int perBlock = av_get_audio_frame_duration2(const_cast<AVCodecParameters*>(&par), par.block_align);
      const int64_t picture = PictureSamples(par.sample_rate);
      if (perBlock > 0 && picture > 0 && samples > picture && samples - picture < perBlock) samples = picture;
    }
    return static_cast<std::uint64_t>(samples);
  }

  // How long the film's picture is, in samples at the rate; 0 without one.
  int64_t PictureSamples(int rate) const {
    const int video = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0 || rate <= 0) return 0;
    const AVStream& st = *m_format->streams[video];
    const int64_t units = st.duration > 0 && st.duration != AV_NOPTS_VALUE ? st.duration : st.nb_frames;
    if (units <= 0 || st.time_base.num <= 0 || st.time_base.den <= 0) return 0;
    return av_rescale_q(units, st.time_base, AVRational{1, rate});
  }

  // A block-coded sound fills its last block up to the block's size, and an
  // MP3 coder adds its delay: what is decoded past the samples the file
  // states is no sound, and is dropped.
  void KeepStated(std::uint64_t stated, int rate) {
    // A count at one rate says nothing of a sound whose rate changes.
    if (stated == 0 || stated >= m_decodedSamples || rate <= 0 || m_parts.size() > 1) return;
    // At the mixer's rate (a count past 64 bits comes back negative and cuts nothing).
    const int64_t frames = av_rescale(static_cast<int64_t>(stated), CPcmBuffer::kRate, rate);
    if (frames >= 0 && static_cast<std::uint64_t>(frames) < m_out.Frames())
      m_out.samples.resize(static_cast<std::size_t>(frames) * CPcmBuffer::kChannels);
    m_decodedSamples = stated;
  }

  CFfmpegInput m_input;
  AVFormatContext* m_format = nullptr;  // the input's
  const DecodeLimits& m_limits;
  CPcmBuffer& m_out;
  CodecPtr m_codec;
  std::unique_ptr<SwrContext, SwrCloser> m_swr;  // for frames of the shape below
  ChannelLayout m_inLayout;
  int m_inFormat = AV_SAMPLE_FMT_NONE;
  int m_inRate = 0;
  std::uint64_t m_decodedSamples = 0;  // at the stream's own rate
  struct Part {
    DWORD rate;
    std::uint64_t samples;     // converted at that rate
    std::uint64_t firstFrame;  // of the sound, where the part begins
  };
  std::vector<Part> m_parts;  // in order; a new one at each change of rate
};

}  // namespace

DecodeResult DecodeSound(IMediaByteSource& source, const DecodeLimits& limits, CPcmBuffer& out, MediaInfo* info,
                         const std::atomic<bool>* stop, bool firstStream) {
  if (!source.Seek(0)) return DecodeResult::unreadable;
  SoundDecoder decoder(source, limits, out, stop);
  const DecodeResult result = decoder.Run(info, firstStream);
  if (result != DecodeResult::ok) out.samples.clear();
  out.samples.shrink_to_fit();
  return result;
}
