// The video decoder: stream caps, the frame time line, seeking to a frame and converting the picture with libswscale.
#include "platform/mm/video_decoder.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <map>
#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "platform/mm/ffmpeg_input.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/image_dc.h"
#include "platform/mm/media_source.h"

using namespace tvn::ffmpeg;

namespace {

struct ScaleCloser {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// Frames a forward decode may run through before a seek is cheaper, for
// media without an index of key frames.
constexpr LONG kForwardWithoutIndex = 64;

// Packets read ahead for the video stream's first before the first seek.
constexpr int kPacketsBeforeFirstPicture = 256;

LONG ClampLong(long long v) {
  return static_cast<LONG>(std::clamp<long long>(v, 0, std::numeric_limits<LONG>::max()));
}

bool ValidRate(AVRational r) { return r.num > 0 && r.den > 0 && av_q2d(r) >= 0.01 && av_q2d(r) <= 1000.0; }

int FirstStream(AVFormatContext* ctx, AVMediaType type) {
  for (unsigned i = 0; i < ctx->nb_streams; ++i) {
    const AVStream* st = ctx->streams[i];
    if (st->codecpar->codec_type != type) continue;
    if (type == AVMEDIA_TYPE_VIDEO && (st->disposition & AV_DISPOSITION_ATTACHED_PIC)) continue;
    return static_cast<int>(i);
  }
  return -1;
}

// The bytes an uncompressed picture's rows hold without their padding, at
// the bits a pixel the stream states (an AVI's 4-bit pictures decode to 8);
// 0 for a compressed picture, whose size says nothing.
int64_t RawPictureBytes(const AVCodecParameters& par) {
  if (par.codec_id != AV_CODEC_ID_RAWVIDEO || par.width <= 0 || par.height <= 0) return 0;
  int bits = par.bits_per_coded_sample;
  if (bits <= 0) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(par.format));
    bits = desc ? av_get_bits_per_pixel(desc) : 0;
  }
  return bits > 0 ? (int64_t{par.width} * bits + 7) / 8 * par.height : 0;
}

}  // namespace

struct CVideoDecoder::Impl {
  std::unique_ptr<IMediaByteSource> source;
  std::unique_ptr<CFfmpegInput> input;
  VideoLimits limits;
  int video = -1;
  int audio = -1;
  AVRational rate{0, 1};  // frames per second
  int64_t startPts = 0;   // the video stream's first time stamp
  const AVCodec* decoder = nullptr;  // the video stream's, for a new context
  CodecPtr codec;
  bool intraOnly = false;  // no picture builds on another
  int64_t rawPictureBytes = 0;  // the rows of an uncompressed picture, unpadded; 0 for other codecs
  PacketPtr packet;
  FramePtr held;     // the picture of the held frame
  FramePtr work;     // the frame being received
  FramePtr pending;  // a frame decoded past the one asked for, kept for the next
  LONG pendingIndex = -1;
  LONG lastIndex = -1;  // the frame last received from the decoder; -1 after a seek
  bool positioned = false;  // the decoder reads on from lastIndex
  bool atEnd = false;       // the stream has been read to its end
  bool readAny = false;     // packets have been read since the medium opened
  // An 8-bit picture's palette comes with the stream's first packet and
  // again with each packet whose frame changes it (AVPALETTE_SIZE bytes
  // each), kept by that frame. The changes are chunks the AVI index leaves
  // out, so the packet a seek lands on never brings its own: it is sent with
  // the palette in force at its frame, the last change at or before it.
  std::map<LONG, std::vector<uint8_t>> palettes;
  // Every video packet up to this frame has been read in stream order, so
  // palettes holds each change up to it; -1 before the first packet.
  LONG palettesKnownThrough = -1;
  bool readingInOrder = true;  // the packets read since the last seek follow on from what is known
  bool landing = false;        // the next video packet is the first since a seek
  bool paletteOwed = false;    // a dropped packet carried a palette the decoder has not had
  std::vector<bool> dropped;   // by frame: its packet was dropped (as far as read)
  LONG heldPicture = -1;       // the frame whose picture is held
  LONG lastPacketIndex = -1;   // the frame of the video packet read last; -1 unknown
  // Whether the demuxer's key-frame marks hold. An AVI without an index (a
  // film cut short loses it with its tail; some capture tools never wrote
  // one) has every packet marked key, so there the decoder's own judgement
  // of the pictures decides where a seek may land.
  bool keysMarked = true;
  // Of such a film: the frames the decoder called key as it decoded them,
  // and whether it has called any frame not key. A decoder that calls every
  // picture key (those of Microsoft Video 1 and RLE do) tells nothing, and a
  // seek back reads on from the first frame.
  std::vector<bool> decodedKey;
  bool decoderJudgesKeys = false;
  std::unique_ptr<SwsContext, ScaleCloser> scale;

  AVFormatContext* Format() const { return input->Format(); }
  AVStream* Video() const { return Format()->streams[video]; }

  // The frame a time stamp of the video stream falls in: frame n starts at
  // n / rate, rounded to the nearest frame.
  LONG FrameAt(int64_t ts) const {
    const int64_t n = av_rescale_q_rnd(ts - startPts, Video()->time_base, av_inv_q(rate),
                                       static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    return static_cast<LONG>(std::clamp<int64_t>(n, 0, std::numeric_limits<LONG>::max()));
  }

  LONG IndexOf(const AVFrame* frame) const {
    int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) ts = frame->pts;
    return ts == AV_NOPTS_VALUE ? lastIndex + 1 : FrameAt(ts);
  }

  int64_t PtsOf(LONG frame) const { return startPts + av_rescale_q(frame, av_inv_q(rate), Video()->time_base); }

  // The key frame at or before the frame, where a seek to it lands; -1 when
  // the stream has no index.
  LONG KeyFrameBefore(LONG frame) const {
    if (!keysMarked) return ProvedKeyBefore(frame);
    AVStream* st = Video();
    if (avformat_index_get_entries_count(st) <= 0) return -1;
    const int i = av_index_search_timestamp(st, PtsOf(frame), AVSEEK_FLAG_BACKWARD);
    const AVIndexEntry* entry = i >= 0 ? avformat_index_get_entry(st, i) : nullptr;
    if (!entry) return 0;
    const int64_t n = av_rescale_q(entry->timestamp - startPts, st->time_base, av_inv_q(rate));
    return static_cast<LONG>(std::clamp<int64_t>(n, 0, std::numeric_limits<LONG>::max()));
  }

  // The last frame after the one given and at or before the frame that the
  // decoder showed to be a key frame; the one given when there is none (by
  // default the first frame, from which a film is read).
  LONG ProvedKeyBefore(LONG frame, LONG after = 0) const {
    if (decoderJudgesKeys)
      for (LONG f = std::min(frame, static_cast<LONG>(decodedKey.size()) - 1); f > after; --f)
        if (decodedKey[static_cast<std::size_t>(f)]) return f;
    return after;
  }

  void NoteDecoded(LONG index, const AVFrame* f) {
    if (keysMarked || index < 0 || static_cast<std::size_t>(index) >= decodedKey.size()) return;
#ifdef AV_FRAME_FLAG_KEY
    const bool key = (f->flags & AV_FRAME_FLAG_KEY) != 0;
#else
    const bool key = f->key_frame != 0;
#endif
    decodedKey[static_cast<std::size_t>(index)] = key;
    if (!key) decoderJudgesKeys = true;
  }

  // The frame a video packet belongs to; -1 when that is not known.
  LONG FrameOfPacket(const AVPacket* p) const {
    const int64_t ts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
    if (ts != AV_NOPTS_VALUE) return FrameAt(ts);
    return !landing && lastPacketIndex >= 0 ? lastPacketIndex + 1 : -1;
  }

  // The palette in force at the frame; null before the first.
  const std::vector<uint8_t>* PaletteAt(LONG frame) const {
    const auto after = palettes.upper_bound(frame);
    return after == palettes.begin() ? nullptr : &std::prev(after)->second;
  }

  // Keeps the palette a packet of the frame carries; false when no more are kept.
  bool KeepPalette(LONG frame, const uint8_t* data) {
    const auto at = palettes.lower_bound(frame);
    if (at != palettes.end() && at->first == frame) {
      at->second.assign(data, data + AVPALETTE_SIZE);
      return true;
    }
    // A packet that repeats the palette in force changes nothing.
    if (at != palettes.begin() && std::equal(data, data + AVPALETTE_SIZE, std::prev(at)->second.begin())) return true;
    if (palettes.size() >= limits.maxPaletteChanges) return false;
    palettes.emplace_hint(at, frame, std::vector<uint8_t>(data, data + AVPALETTE_SIZE));
    return true;
  }

  // Gives the packet the palette in force at the frame, over any it carries.
  void GivePaletteInForce(AVPacket* p, LONG frame) const {
    const std::vector<uint8_t>* inForce = frame >= 0 ? PaletteAt(frame) : nullptr;
    if (!inForce) return;
    std::size_t size = 0;
    uint8_t* carried = av_packet_get_side_data(p, AV_PKT_DATA_PALETTE, &size);
    if (!carried || size != AVPALETTE_SIZE) carried = av_packet_new_side_data(p, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
    if (carried) std::copy(inForce->begin(), inForce->end(), carried);
  }

  // Every video packet read passes here: its palette is kept by its frame,
  // and reading in order extends what is known. The packet a seek lands on
  // gets the palette in force at its frame instead of the one it carries
  // (none, or a change read before the seek that belongs elsewhere), and so
  // does a packet read again that carries one: the demuxer keeps a single
  // running palette, as the packets read last left it, and applies a change
  // of some entries to that.
  void NotePacket(AVPacket* p) {
    const LONG frame = FrameOfPacket(p);
    lastPacketIndex = frame;
    std::size_t size = 0;
    uint8_t* carried = av_packet_get_side_data(p, AV_PKT_DATA_PALETTE, &size);
    const bool known = frame >= 0 && frame <= palettesKnownThrough;
    if (landing || (known && carried)) {
      if (landing) readingInOrder = known;
      landing = false;
      GivePaletteInForce(p, frame);
      return;
    }
    if (known) return;
    if (frame < 0) {
      readingInOrder = false;
      return;
    }
    if (carried && size == AVPALETTE_SIZE && !KeepPalette(frame, carried)) readingInOrder = false;
    if (readingInOrder) palettesKnownThrough = std::max(palettesKnownThrough, frame);
  }

  // Whether a video packet holds a whole picture: the demuxer marks one it
  // could not read to its end (a film cut inside a frame) as corrupt, and an
  // uncompressed picture needs every row. One that does not is dropped, so
  // the frame before stays, and it is no frame of the film's length.
  bool IsWhole(const AVPacket* p) const {
    if (p->flags & AV_PKT_FLAG_CORRUPT) return false;
    return p->size <= 0 || p->size >= rawPictureBytes;  // an empty chunk repeats the frame before
  }

  void NoteDropped() {
    const LONG frame = lastPacketIndex;
    if (frame < 0 || frame >= limits.maxFrames) return;
    if (dropped.size() <= static_cast<std::size_t>(frame)) dropped.resize(static_cast<std::size_t>(frame) + 1);
    dropped[static_cast<std::size_t>(frame)] = true;
  }

  // The frame, or the last one before it whose packet was not dropped.
  LONG WholeFrameAtOrBefore(LONG frame) const {
    while (frame > 0 && static_cast<std::size_t>(frame) < dropped.size() && dropped[static_cast<std::size_t>(frame)])
      --frame;
    return frame;
  }

  // A decoder as the medium opened it; false (the one there kept) when it cannot be made.
  bool OpenDecoder() {
    CodecPtr fresh(avcodec_alloc_context3(decoder));
    if (!fresh || avcodec_parameters_to_context(fresh.get(), Video()->codecpar) < 0) return false;
    fresh->thread_count = 1;
    fresh->max_pixels = static_cast<int64_t>(limits.maxWidth) * limits.maxHeight;
    if (avcodec_open2(fresh.get(), decoder, nullptr) < 0) return false;
    codec = std::move(fresh);
    return true;
  }

  // Sends a video packet to the decoder; false for one dropped. A dropped
  // packet's palette goes with the next one sent, which the decoder then
  // takes as the palette in force.
  bool Send(AVPacket* p) {
    NotePacket(p);
    std::size_t size = 0;
    const bool carries = av_packet_get_side_data(p, AV_PKT_DATA_PALETTE, &size) != nullptr;
    if (!IsWhole(p)) {
      NoteDropped();
      paletteOwed = paletteOwed || carries;
      return false;
    }
    if (paletteOwed && !carries) GivePaletteInForce(p, lastPacketIndex);
    paletteOwed = false;
    return avcodec_send_packet(codec.get(), p) >= 0;
  }

  // Before the first seek: reads on to the video stream's first packet, so
  // that what it hands over once (the palette) is not dropped with the
  // packets read while probing.
  void ReadFirstPacket() {
    readAny = true;
    for (int i = 0; i < kPacketsBeforeFirstPicture && av_read_frame(Format(), packet.get()) >= 0; ++i) {
      const bool found = packet->stream_index == video;
      if (found) NotePacket(packet.get());
      av_packet_unref(packet.get());
      if (found) break;
    }
  }

  void SeekBefore(LONG frame) {
    if (!readAny) ReadFirstPacket();
    // Past the palette changes known, reading goes on from the last known
    // frame, so that the changes between are read on the way.
    if (!palettes.empty() && palettesKnownThrough >= 0) frame = std::min(frame, palettesKnownThrough);
    if (!keysMarked) frame = ProvedKeyBefore(frame);
    pending.reset();
    pendingIndex = -1;
    bool fromStart = KeyFrameBefore(frame) == 0;
    if (av_seek_frame(Format(), video, PtsOf(frame), AVSEEK_FLAG_BACKWARD) < 0) {
      fromStart = true;
      if (av_seek_frame(Format(), video, startPts, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(Format(), -1, 0, AVSEEK_FLAG_BYTE);
    }
    // From the start a picture that builds on earlier ones gets a new
    // decoder, so that a first frame that draws over the blank picture a
    // decoder starts from (as RLE films may) shows as it did at the first play.
    if (!fromStart || intraOnly || !OpenDecoder()) avcodec_flush_buffers(codec.get());
    lastIndex = -1;
    positioned = true;
    atEnd = false;
    landing = true;
  }

  // Reads the video stream's packets to its end without decoding: the
  // frames it holds (one past the last frame's number, or the packets when
  // more), -1 past the cap. Reading starts again at the medium's start.
  LONG CountFrames(LONG cap) {
    PacketPtr p(av_packet_alloc());
    if (!p) return 0;
    readAny = true;
    long long packets = 0;
    long long last = -1;
    while (av_read_frame(Format(), p.get()) >= 0) {
      if (p->stream_index == video) {
        NotePacket(p.get());
        if (!IsWhole(p.get())) {
          NoteDropped();
          av_packet_unref(p.get());
          continue;
        }
        ++packets;
        const int64_t ts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
        if (ts != AV_NOPTS_VALUE && ts >= startPts)
          last = std::max<long long>(last, av_rescale_q(ts - startPts, Video()->time_base, av_inv_q(rate)));
      }
      av_packet_unref(p.get());
      if (packets > cap || last >= cap) return -1;
    }
    if (av_seek_frame(Format(), video, startPts, AVSEEK_FLAG_BACKWARD) < 0) av_seek_frame(Format(), -1, 0, AVSEEK_FLAG_BYTE);
    landing = true;
    return static_cast<LONG>(std::max(packets, last + 1));
  }

  bool FrameFits(const AVFrame* f) const {
    return f->width > 0 && f->height > 0 && f->width <= limits.maxWidth && f->height <= limits.maxHeight;
  }

  // The next decoded picture into work; false at the end of the stream.
  bool Receive() {
    while (true) {
      const int got = avcodec_receive_frame(codec.get(), work.get());
      if (got >= 0) {
        if (FrameFits(work.get())) return true;
        av_frame_unref(work.get());
        continue;
      }
      if (got == AVERROR_EOF || atEnd) return false;
      // The decoder wants more: the next packet of the stream, or the flush at its end.
      bool sent = false;
      while (!sent) {
        const int read = av_read_frame(Format(), packet.get());
        readAny = true;
        if (read < 0) {
          atEnd = true;
          avcodec_send_packet(codec.get(), nullptr);
          sent = true;
        } else {
          // A damaged packet is skipped: the pictures around it still show.
          if (packet->stream_index == video) sent = Send(packet.get());
          av_packet_unref(packet.get());
        }
      }
    }
  }

  bool HasPicture() const { return held && held->data[0]; }

  // Reads on to the frame: the held picture becomes the last one at or
  // before it (a frame without a picture of its own shows the one before).
  // The first picture read after a seek is held even when it lies past it.
  bool DecodeForwardTo(LONG frame) {
    if (pending) {
      if (pendingIndex > frame) return HasPicture();
      av_frame_unref(held.get());
      av_frame_move_ref(held.get(), pending.get());
      heldPicture = pendingIndex;
      pending.reset();
      if (pendingIndex == frame) return true;
    }
    while (Receive()) {
      const LONG index = IndexOf(work.get());
      lastIndex = index;
      NoteDecoded(index, work.get());
      if (index > frame && HasPicture()) {
        pending.reset(av_frame_alloc());
        if (!pending) return false;
        av_frame_move_ref(pending.get(), work.get());
        pendingIndex = index;
        break;
      }
      av_frame_unref(held.get());
      av_frame_move_ref(held.get(), work.get());
      heldPicture = index;
      if (index >= frame) break;
    }
    return HasPicture();
  }

  // Whether reading on reaches the frame sooner than a seek would.
  bool CanReadOn(LONG frame, LONG heldIndex) const {
    if (!positioned || heldIndex < 0 || frame < heldIndex || lastIndex < 0) return false;
    if (frame <= lastIndex) return true;
    if (atEnd) return true;  // the held picture is the stream's last
    // A key frame right after the last one read is reached by reading on as
    // well: for a film of key frames only (uncompressed), the next frame.
    const LONG key = keysMarked ? KeyFrameBefore(frame) : ProvedKeyBefore(frame, lastIndex + 1);
    return key >= 0 ? key <= lastIndex + 1 : frame - lastIndex <= kForwardWithoutIndex;
  }
};

CVideoDecoder::CVideoDecoder(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}
CVideoDecoder::~CVideoDecoder() = default;

std::unique_ptr<CVideoDecoder> CVideoDecoder::OpenFile(const CString& path, const VideoLimits& limits,
                                                       VideoOpenResult* result) {
  auto source = CFileByteSource::Open(path);
  if (!source) {
    if (result) *result = VideoOpenResult::unreadable;
    return nullptr;
  }
  return Open(std::move(source), limits, result);
}

std::unique_ptr<CVideoDecoder> CVideoDecoder::Open(std::unique_ptr<IMediaByteSource> source, const VideoLimits& limits,
                                                   VideoOpenResult* result) {
  VideoOpenResult dummy;
  VideoOpenResult& why = result ? *result : dummy;
  why = VideoOpenResult::unreadable;
  if (!source || !source->Seek(0)) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->limits = limits;
  impl->source = std::move(source);
  impl->input = std::make_unique<CFfmpegInput>(*impl->source);
  const long long maxPixels = static_cast<long long>(limits.maxWidth) * limits.maxHeight;

  // The header's sizes are checked before a probing decoder allocates for them.
  const auto tooLarge = [&](AVFormatContext* ctx) {
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
      const AVCodecParameters* par = ctx->streams[i]->codecpar;
      if (par->codec_type == AVMEDIA_TYPE_VIDEO &&
          (par->width < 0 || par->height < 0 || par->width > limits.maxWidth || par->height > limits.maxHeight))
        return true;
    }
    return false;
  };
  if (!impl->input->Open(false)) return nullptr;
  AVFormatContext* ctx = impl->input->Format();
  // What the header brought of an index, before probing reads packets (for
  // an AVI, each packet read past the index joins it, marked key).
  std::vector<bool> indexed(ctx->nb_streams);
  for (unsigned i = 0; i < ctx->nb_streams; ++i) indexed[i] = avformat_index_get_entries_count(ctx->streams[i]) > 0;
  if (tooLarge(ctx)) {
    why = VideoOpenResult::tooLarge;
    return nullptr;
  }
  if (!impl->input->FindStreams(maxPixels)) return nullptr;
  if (tooLarge(ctx)) {
    why = VideoOpenResult::tooLarge;
    return nullptr;
  }

  VideoStreamInfo info;
  info.formatName = ctx->iformat && ctx->iformat->name ? ctx->iformat->name : "";
  impl->video = FirstStream(ctx, AVMEDIA_TYPE_VIDEO);
  impl->audio = FirstStream(ctx, AVMEDIA_TYPE_AUDIO);
  // A picture of no known size cannot be shown: the sound may still play.
  if (impl->video >= 0 && (ctx->streams[impl->video]->codecpar->width <= 0 ||
                           ctx->streams[impl->video]->codecpar->height <= 0))
    impl->video = -1;
  if (impl->video < 0 && impl->audio < 0) {
    why = VideoOpenResult::noStreams;
    return nullptr;
  }
  const double maxMs = 1000.0 * limits.maxSeconds;

  if (impl->video >= 0) {
    AVStream* st = ctx->streams[impl->video];
    const AVCodecParameters* par = st->codecpar;
    // An AVI stream counts in frames: its time base is one frame.
    AVRational rate{0, 1};
    if (info.formatName == "avi" && st->time_base.num > 0) rate = av_inv_q(st->time_base);
    if (!ValidRate(rate)) rate = st->avg_frame_rate;
    if (!ValidRate(rate)) rate = st->r_frame_rate;
    if (!ValidRate(rate)) rate = AVRational{25, 1};
    impl->rate = rate;
    impl->startPts = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    impl->rawPictureBytes = RawPictureBytes(*par);
    const double tb = av_q2d(st->time_base);
    const double startMs = static_cast<double>(impl->startPts) * tb * 1000.0;
    // The AVI header counts the frames. Other containers only estimate their
    // length (MPEG from its bit rate), and an AVI without an index may hold
    // fewer frames than its header promises (cut short): the frames are
    // counted from the packets, up to the cap.
    const bool avi = info.formatName == "avi";
    const bool aviIndexed = avi && static_cast<std::size_t>(impl->video) < indexed.size() && indexed[impl->video];
    double frames = avi ? static_cast<double>(st->nb_frames) : 0;
    if (!aviIndexed) {
      const LONG counted = impl->CountFrames(limits.maxFrames);
      if (counted < 0) {
        why = VideoOpenResult::tooLarge;
        return nullptr;
      }
      if (!avi || (counted > 0 && (frames <= 0 || counted < frames))) frames = counted;
    }
    const AVCodecDescriptor* kind = avcodec_descriptor_get(par->codec_id);
    impl->intraOnly = kind && (kind->props & AV_CODEC_PROP_INTRA_ONLY);
    impl->keysMarked = !avi || aviIndexed || impl->intraOnly;
    if (frames <= 0 && st->duration > 0 && st->duration != AV_NOPTS_VALUE)
      frames = static_cast<double>(st->duration) * tb * av_q2d(rate);
    if (frames <= 0 && ctx->duration > 0) frames = static_cast<double>(ctx->duration) / AV_TIME_BASE * av_q2d(rate);
    const double lengthMs = frames * 1000.0 / av_q2d(rate);
    if (frames > limits.maxFrames || lengthMs > maxMs || std::abs(startMs) > maxMs) {
      why = VideoOpenResult::tooLarge;
      return nullptr;
    }
    info.hasVideo = true;
    info.width = par->width;
    info.height = par->height;
    info.frameCount = static_cast<LONG>(std::max(frames, 1.0));
    if (!impl->keysMarked) impl->decodedKey.assign(static_cast<std::size_t>(info.frameCount), false);
    info.rateNumerator = static_cast<DWORD>(rate.num);
    info.rateDenominator = static_cast<DWORD>(rate.den);
    info.videoStartMs = static_cast<LONG>(startMs);

    impl->decoder = avcodec_find_decoder(par->codec_id);
    if (!impl->decoder || !impl->OpenDecoder()) return nullptr;
    impl->packet.reset(av_packet_alloc());
    impl->held.reset(av_frame_alloc());
    impl->work.reset(av_frame_alloc());
    if (!impl->packet || !impl->held || !impl->work) return nullptr;
    impl->positioned = true;
  }

  bool soundLeftOut = false;
  if (impl->audio >= 0) {
    AVStream* st = ctx->streams[impl->audio];
    const AVCodecParameters* par = st->codecpar;
    const double tb = av_q2d(st->time_base);
    const int channels = par->ch_layout.nb_channels;
    const int rate = par->sample_rate;
    if (rate > limits.maxRate || channels > limits.maxChannels) {
      // The sound decoder would refuse it: the pictures play silent.
      soundLeftOut = true;
      impl->audio = -1;
    } else if (rate > 0 && channels > 0) {
      const int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
      const AVRational perSample{1, rate};
      double seconds = 0.0;
      int64_t samples = 0;
      // An AVI stream's length counts units of its time base.
      if (st->duration > 0 && st->duration != AV_NOPTS_VALUE) {
        seconds = static_cast<double>(st->duration) * tb;
        samples = av_rescale_q(st->duration, st->time_base, perSample);
      } else if (st->nb_frames > 0 && info.formatName == "avi") {
        seconds = static_cast<double>(st->nb_frames) * tb;
        samples = av_rescale_q(st->nb_frames, st->time_base, perSample);
      } else if (ctx->duration > 0) {
        seconds = static_cast<double>(ctx->duration) / AV_TIME_BASE;
        samples = av_rescale(ctx->duration, rate, AV_TIME_BASE);
      }
      const double startSeconds = static_cast<double>(start) * tb;
      if (seconds * 1000.0 > maxMs || std::abs(startSeconds) * 1000.0 > maxMs) {
        why = VideoOpenResult::tooLarge;
        return nullptr;
      }
      info.hasAudio = true;
      info.sampleRate = static_cast<DWORD>(rate);
      info.channels = channels;
      info.sampleSize = par->block_align > 0 ? static_cast<DWORD>(par->block_align) : 0;
      info.avgBytesPerSec = par->bit_rate > 0 ? static_cast<DWORD>(std::min<int64_t>(par->bit_rate / 8, 0x7FFFFFFF)) : 0;
      // Four hours at the top rate count more samples than a LONG holds.
      info.audioStartSample = ClampLong(av_rescale_q(start, st->time_base, perSample));
      info.audioSamples =
          std::min(ClampLong(samples), std::numeric_limits<LONG>::max() - info.audioStartSample);
      info.audioStartMs = static_cast<LONG>(startSeconds * 1000.0);
      info.audioEndMs = static_cast<LONG>((startSeconds + seconds) * 1000.0);
    }
  }
  if (!info.hasVideo && !info.hasAudio) {
    why = soundLeftOut ? VideoOpenResult::tooLarge : VideoOpenResult::noStreams;
    return nullptr;
  }
  std::unique_ptr<CVideoDecoder> decoder(new CVideoDecoder(std::move(impl)));
  decoder->m_info = info;
  // The end lies one frame past the last frame's start.
  if (info.hasVideo)
    decoder->m_info.videoEndMs =
        info.videoStartMs +
        ClampLong(av_rescale(info.frameCount, 1000LL * info.rateDenominator, info.rateNumerator));
  why = VideoOpenResult::ok;
  return decoder;
}

LONG CVideoDecoder::FrameAtTime(LONG ms) const {
  if (!m_info.hasVideo) return -1;
  if (ms <= m_info.videoStartMs) return 0;
  const long long offset = static_cast<long long>(ms) - m_info.videoStartMs;
  const long long frame = offset * m_info.rateNumerator / (1000LL * m_info.rateDenominator);
  return static_cast<LONG>(std::min<long long>(frame, m_info.frameCount - 1));
}

LONG CVideoDecoder::TimeOfFrame(LONG frame) const {
  if (!m_info.hasVideo) return -1;
  const long long n = std::clamp<long long>(frame, 0, m_info.frameCount - 1);
  // Rounded up, so that the frame at its own time is the frame itself.
  const long long num = n * 1000LL * m_info.rateDenominator;
  const long long ms = (num + m_info.rateNumerator - 1) / m_info.rateNumerator;
  return ClampLong(m_info.videoStartMs + ms);
}

bool CVideoDecoder::DecodeFrame(LONG frame) {
  if (!m_info.hasVideo || !m->codec) return false;
  frame = std::clamp<LONG>(frame, 0, m_info.frameCount - 1);
  if (frame == m_heldIndex) return true;
  if (m->CanReadOn(frame, m_heldIndex)) {
    m_heldIndex = m->DecodeForwardTo(frame) ? frame : -1;
    return m_heldIndex >= 0;
  }
  // A seek lands on the frame's key frame. When that one's packet is
  // dropped the first picture read lies past the frame: the seek goes to the
  // whole frame before instead, and on back while the way shows more dropped.
  for (LONG from = m->WholeFrameAtOrBefore(frame);;) {
    m->SeekBefore(from);
    av_frame_unref(m->held.get());
    m->heldPicture = -1;
    m_heldIndex = -1;
    const bool decoded = m->DecodeForwardTo(frame);
    const LONG whole = m->WholeFrameAtOrBefore(frame);
    if (!decoded || m->heldPicture <= frame || whole >= from) {
      m_heldIndex = decoded ? frame : -1;
      return decoded;
    }
    from = whole;
  }
}

bool CVideoDecoder::ConvertNative() {
  const AVFrame* f = m->held.get();
  if (!f || !f->data[0] || m_heldIndex < 0) return false;
  if (m_nativeIndex == m_heldIndex && !m_native.IsNull()) return true;
  m_nativeIndex = -1;
  if (m_native.IsNull() || m_native.Width() != f->width || m_native.Height() != f->height)
    m_native = CPixelImage(f->width, f->height);
  if (m_native.IsNull()) return false;
  const auto format = static_cast<AVPixelFormat>(f->format);
  m->scale.reset(sws_getCachedContext(m->scale.release(), f->width, f->height, format, f->width, f->height,
                                      AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr));
  if (!m->scale) return false;
  uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(m_native.Row(0)), nullptr, nullptr, nullptr};
  const int strides[4] = {static_cast<int>(m_native.Pitch() * 4), 0, 0, 0};
  if (sws_scale(m->scale.get(), f->data, f->linesize, 0, f->height, planes, strides) != f->height) return false;
  // The page has no alpha: a picture that carries one shows opaque.
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  if (desc && (desc->flags & AV_PIX_FMT_FLAG_ALPHA))
    for (int y = 0; y < f->height; ++y) {
      std::uint32_t* row = m_native.Row(y);
      for (int x = 0; x < f->width; ++x) row[x] |= 0xFF000000u;
    }
  m_nativeIndex = m_heldIndex;
  return true;
}

bool CVideoDecoder::ConvertTo(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride) {
  if (!pixels || width <= 0 || height <= 0 || stride < width || !ConvertNative()) return false;
  // Each target pixel takes the source pixel under its centre, as a stretched blit does.
  const int sw = m_native.Width(), sh = m_native.Height();
  m_columns.resize(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x)
    m_columns[static_cast<std::size_t>(x)] = static_cast<int>((2LL * x + 1) * sw / (2LL * width));
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = m_native.Row(static_cast<int>((2LL * y + 1) * sh / (2LL * height)));
    std::uint32_t* dst = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    if (sw == width) {
      std::copy(src, src + width, dst);
    } else {
      const int* columns = m_columns.data();
      for (int x = 0; x < width; ++x) dst[x] = src[columns[x]];
    }
  }
  return true;
}

const CPixelImage& CVideoDecoder::ScaledPicture(int width, int height) {
  static const CPixelImage kNone;
  if (m_heldIndex < 0 || width <= 0 || height <= 0 || width > CPixelImage::kMaxSide || height > CPixelImage::kMaxSide)
    return kNone;
  if (!ConvertNative()) return kNone;
  if (width == m_native.Width() && height == m_native.Height()) return m_native;
  if (m_scaledIndex == m_heldIndex && m_scaled.Width() == width && m_scaled.Height() == height) return m_scaled;
  if (m_scaled.IsNull() || m_scaled.Width() != width || m_scaled.Height() != height) m_scaled = CPixelImage(width, height);
  m_scaledIndex = -1;
  if (m_scaled.IsNull() || !ConvertTo(m_scaled.Row(0), width, height, m_scaled.Pitch())) return kNone;
  m_scaledIndex = m_heldIndex;
  return m_scaled;
}

bool CVideoDecoder::Draw(CDC& dc, const CRect& rect) {
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0 || m_heldIndex < 0) return false;
  if (w <= CPixelImage::kMaxSide && h <= CPixelImage::kMaxSide) {
    const CPixelImage& picture = ScaledPicture(w, h);
    if (picture.IsNull()) return false;
    CImageDC source(picture);
    return dc.BitBlt(rect.left, rect.top, w, h, &source, 0, 0, SRCCOPY) != FALSE;
  }
  // A rectangle larger than any picture may be: the native picture stretched.
  if (!ConvertNative()) return false;
  const CPixelImage& picture = m_native;
  CImageDC source(picture);
  return dc.StretchBlt(rect.left, rect.top, w, h, &source, 0, 0, picture.Width(), picture.Height(), SRCCOPY) != FALSE;
}

DecodeResult CVideoDecoder::DecodeSound(const DecodeLimits& limits, CPcmBuffer& out) {
  if (!m_info.hasAudio) return DecodeResult::noSound;
  // The sound is read in a pass of its own over the same source; the
  // pictures' reader then finds the source where it left it.
  AVIOContext* pb = m->Format()->pb;
  const int64_t resume = pb ? pb->pos : 0;
  const DecodeResult result = ::DecodeSound(*m->source, limits, out, nullptr, nullptr, true);
  m->source->Seek(static_cast<unsigned long long>(std::max<int64_t>(resume, 0)));
  return result;
}
