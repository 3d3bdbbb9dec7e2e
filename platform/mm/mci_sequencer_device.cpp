// The sequencer's own commands: open, play, and the status and set items of a MIDI song.
#include "platform/mm/mci_sequencer_device.h"

#include <algorithm>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/media_source.h"
#include "platform/mm/pcm_buffer.h"

namespace {

// MIDI files are small; a larger one is not a song.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

bool ReadAll(IMediaByteSource& source, std::size_t cap, std::vector<std::uint8_t>& out) {
  const unsigned long long size = source.Size();
  if (size > cap || !source.Seek(0)) return false;
  out.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < out.size()) {
    const long long n = source.Read(out.data() + done, out.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  out.resize(done);
  return true;
}

}  // namespace

DWORD CMciSequencerDevice::Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out,
                                const std::string& soundFont) {
  if (!request.source) return MciError::kFilenameRequired;  // a sequencer plays a file; it records nothing
  std::vector<std::uint8_t> bytes;
  if (!ReadAll(*request.source, std::min(kMaxFileBytes, request.services->limits.maxBytes), bytes))
    return MciError::kOutOfMemory;
  auto song = std::make_shared<CMidiSong>();
  if (ReadMidiFile(bytes.data(), bytes.size(), MidiLimits{}, *song) != MidiReadResult::ok)
    return MciError::kInvalidFile;
  auto stream = std::make_shared<CMidiStream>(song, CMidiSynth::Create(soundFont));
  out = std::make_unique<CMciSequencerDevice>(request.id, request.type, std::move(stream), std::move(song),
                                              *request.services);
  return MciError::kNone;
}

CMciSequencerDevice::CMciSequencerDevice(DWORD id, std::string type, std::shared_ptr<CMidiStream> stream,
                                         std::shared_ptr<const CMidiSong> song, MciDeviceServices& services)
    : CMciVoiceDevice(id, std::move(type), services, CMciTimeFormat(CPcmBuffer::kRate, MciTimeUnit::milliseconds, {})),
      m_stream(std::move(stream)),
      m_song(std::move(song)) {}

CMciSequencerDevice::~CMciSequencerDevice() { Close(); }

DWORD CMciSequencerDevice::Play(const CMciCommand& c, HWND callback) {
  if (m_paused && IsSounding() && !c.ValueAfter("from") && !c.ValueAfter("to")) {  // play goes on where it paused
    if (c.notify && callback) ArmForRunningPlay(callback);
    SetVoicePaused(false);
    if (c.wait) WaitForEnd(m_stream->LengthFrames() - std::min(PositionFrames(), m_stream->LengthFrames()));
    return MciError::kNone;
  }
  const DWORD length = m_stream->LengthFrames();
  DWORD from = PositionFrames();
  DWORD to = length;
  bool fromGiven = false;
  bool toGiven = false;
  if (DWORD error = ReadPosition(c, "from", from, fromGiven)) return error;
  if (DWORD error = ReadPosition(c, "to", to, toGiven)) return error;
  if (from >= length && !fromGiven) from = 0;  // played to the end: from the start again
  if (to < from) return MciError::kOutOfRange;
  return PlayRange(c, callback, from, to);
}

DWORD CMciSequencerDevice::StartVoice(DWORD from, DWORD to, EndHandler onEnd) {
  m_stream->Start(from, to);
  m_voiceStart = from;  // the stream voice counts the frames it rendered
  return m_services.mixer->StartStream(m_stream, m_gain, std::move(onEnd));
}

DWORD CMciSequencerDevice::StatusItem(const std::string& item, const CMciCommand& c, std::string& reply) {
  if (item == "start" && c.Has("position")) {
    reply = m_time.Format(0);
  } else if (item == "current" && c.Has("track")) {
    reply = "1";
  } else if (item == "media" && c.Has("present")) {
    reply = "true";
  } else if (item == "tempo") {
    // Beats a minute at the position, as the file's tempo map has it.
    const std::uint64_t us = static_cast<std::uint64_t>(PositionFrames()) * 10000 / 441;
    reply = std::to_string((60000000u + m_song->TempoAt(us) / 2) / m_song->TempoAt(us));
  } else if (item == "division" && c.Has("type")) {
    reply = m_song->smpte ? "smpte 30" : "PPQN";
  } else {
    return MciError::kUnrecognizedKeyword;
  }
  return MciError::kNone;
}

DWORD CMciSequencerDevice::SetItem(const std::string& item, const CMciCommand&) {
  if (item == "audio" || item == "door" || item == "port" || item == "master" || item == "slave") return MciError::kNone;
  if (item == "speed" || item == "tempo") return MciError::kUnsupportedFunction;
  return MciError::kUnrecognizedKeyword;
}
