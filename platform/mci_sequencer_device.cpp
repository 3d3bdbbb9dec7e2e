// The sequencer's commands: play, pause, resume, stop, seek, status, set and setaudio.
#include "platform/mci_sequencer_device.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/mci_errors.h"
#include "platform/media_source.h"
#include "platform/pcm_buffer.h"

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

// What the voice's end handler reaches on the sound thread.
struct CMciSequencerDevice::Shared {
  explicit Shared(DWORD id) : notifier(id) {}
  CMciNotifier notifier;
  std::mutex mutex;
  std::condition_variable ended;
  DWORD generation = 0;
  DWORD endedGeneration = 0;
  DWORD endFrame = 0;
};

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
    : CMciDevice(id, std::move(type)),
      m_services(services),
      m_stream(std::move(stream)),
      m_song(std::move(song)),
      m_shared(std::make_shared<Shared>(id)),
      m_time(CPcmBuffer::kRate, MciTimeUnit::milliseconds, {}) {}

CMciSequencerDevice::~CMciSequencerDevice() { Close(); }

void CMciSequencerDevice::Close() {
  StopVoice();
  m_shared->notifier.Fire(MciNotify::kAborted);
}

bool CMciSequencerDevice::IsSounding() const {
  return m_voice != 0 && m_services.mixer->Position(m_voice).has_value();
}

DWORD CMciSequencerDevice::PositionFrames() const {
  if (m_voice != 0) {
    if (auto pos = m_services.mixer->Position(m_voice)) return m_voiceStart + *pos;
    std::lock_guard lock(m_shared->mutex);
    return m_shared->endFrame;  // it played to its end
  }
  return m_position;
}

void CMciSequencerDevice::StopVoice() {
  if (m_voice == 0) return;
  m_position = PositionFrames();
  m_services.mixer->Stop(m_voice);  // after this the mixer no longer renders the stream
  m_stream->Silence();
  m_voice = 0;
  m_paused = false;
}

DWORD CMciSequencerDevice::Command(const CMciCommand& c, std::string& reply, HWND callback) {
  DWORD error = MciError::kNone;
  const std::string& verb = c.verb;
  if (verb == "play") return Play(c, callback);
  if (verb == "pause") {
    if (IsSounding()) {
      m_services.mixer->SetPaused(m_voice, true);
      m_paused = true;
    }
  } else if (verb == "resume") {
    if (IsSounding()) {
      m_services.mixer->SetPaused(m_voice, false);
      m_paused = false;
    }
  } else if (verb == "stop") {
    StopVoice();
    m_shared->notifier.Fire(MciNotify::kAborted);
  } else if (verb == "seek") {
    error = Seek(c);
  } else if (verb == "status") {
    error = Status(c, reply);
  } else if (verb == "set") {
    error = Set(c);
  } else if (verb == "setaudio") {
    error = SetAudio(c);
  } else if (verb == "cue") {
  } else if (verb == "record" || verb == "save" || verb == "window" || verb == "where" || verb == "put") {
    return MciError::kUnsupportedFunction;
  } else {
    return MciError::kUnrecognizedCommand;
  }
  if (error == MciError::kNone && c.notify && callback) {
    m_shared->notifier.Arm(callback);
    m_shared->notifier.Fire(MciNotify::kSuccessful);
  }
  return error;
}

DWORD CMciSequencerDevice::ReadPosition(const CMciCommand& c, const char* keyword, DWORD& frame, bool& given) const {
  const std::string* text = c.ValueAfter(keyword);
  given = text != nullptr;
  if (!text) return MciError::kNone;
  std::uint64_t base = 0;
  if (DWORD error = m_time.Parse(*text, base)) return error;
  if (base > m_stream->LengthFrames()) return MciError::kOutOfRange;
  frame = static_cast<DWORD>(base);
  return MciError::kNone;
}

DWORD CMciSequencerDevice::Play(const CMciCommand& c, HWND callback) {
  if (m_paused && IsSounding() && !c.ValueAfter("from") && !c.ValueAfter("to")) {  // play goes on where it paused
    if (c.notify && callback) m_shared->notifier.Arm(callback);
    m_services.mixer->SetPaused(m_voice, false);
    m_paused = false;
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

  StopVoice();
  Shared& shared = *m_shared;
  if (c.notify && callback) shared.notifier.Arm(callback);
  else shared.notifier.Supersede();
  DWORD generation = 0;
  {
    std::lock_guard lock(shared.mutex);
    generation = ++shared.generation;
    shared.endFrame = to;
  }
  std::weak_ptr<Shared> weak = m_shared;
  auto onEnd = [weak, generation] {
    auto state = weak.lock();
    if (!state) return;
    {
      std::lock_guard lock(state->mutex);
      if (state->generation != generation) return;
      state->endedGeneration = generation;
    }
    state->ended.notify_all();
    state->notifier.Fire(MciNotify::kSuccessful);
  };
  if (from == to) {
    m_position = to;
    onEnd();
    return MciError::kNone;
  }
  m_stream->Start(from, to);
  m_voiceStart = from;
  m_voice = m_services.mixer->StartStream(m_stream, m_gain, std::move(onEnd));
  if (c.wait) WaitForEnd(to - from);
  return MciError::kNone;
}

void CMciSequencerDevice::WaitForEnd(DWORD remainingFrames) {
  // As the sound devices wait: the program's clock decides, the steady clock
  // bounds the wait to the rest of the song and 2 s.
  const IClock& clock = *m_services.clock;
  const IClock& steady = SteadyClock();
  const DWORD start = clock.Now();
  const DWORD steadyStart = steady.Now();
  const DWORD limit = CPcmBuffer::FramesToMs(remainingFrames) + 2000;
  std::unique_lock lock(m_shared->mutex);
  const DWORD generation = m_shared->generation;
  while (m_shared->endedGeneration != generation && clock.Now() - start < limit && steady.Now() - steadyStart < limit)
    m_shared->ended.wait_for(lock, std::chrono::milliseconds(5));
}

DWORD CMciSequencerDevice::Seek(const CMciCommand& c) {
  DWORD target = 0;
  bool given = false;
  if (c.Has("start")) {
    target = 0;
  } else if (c.Has("end")) {
    target = m_stream->LengthFrames();
  } else {
    if (DWORD error = ReadPosition(c, "to", target, given)) return error;
    if (!given) return MciError::kMissingParameter;
  }
  StopVoice();
  m_shared->notifier.Fire(MciNotify::kAborted);
  m_position = target;
  return MciError::kNone;
}

DWORD CMciSequencerDevice::Status(const CMciCommand& c, std::string& reply) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = ToLower(c.words[0]);
  if (item == "length") {
    reply = m_time.Format(m_stream->LengthFrames());
  } else if (item == "position") {
    reply = m_time.Format(PositionFrames());
  } else if (item == "start" && c.Has("position")) {
    reply = m_time.Format(0);
  } else if (item == "mode") {
    reply = IsSounding() ? (m_paused ? "paused" : "playing") : "stopped";
  } else if (item == "number" && c.Has("tracks")) {
    reply = "1";
  } else if (item == "current" && c.Has("track")) {
    reply = "1";
  } else if (item == "ready" || (item == "media" && c.Has("present"))) {
    reply = "true";
  } else if (item == "time" && c.Has("format")) {
    reply = m_time.Name();
  } else if (item == "tempo") {
    // Beats a minute at the position, as the file's tempo map has it.
    const std::uint64_t us = static_cast<std::uint64_t>(PositionFrames()) * 10000 / 441;
    reply = std::to_string((60000000u + m_song->TempoAt(us) / 2) / m_song->TempoAt(us));
  } else if (item == "division" && c.Has("type")) {
    reply = m_song->smpte ? "smpte 30" : "PPQN";
  } else if (item == "volume") {
    reply = std::to_string(static_cast<int>(m_gain * 1000.0f + 0.5f));
  } else {
    return MciError::kUnrecognizedKeyword;
  }
  return MciError::kNone;
}

DWORD CMciSequencerDevice::Set(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = ToLower(c.words[0]);
  if (item == "time") return m_time.Set(c);
  if (item == "audio" || item == "door" || item == "port" || item == "master" || item == "slave") return MciError::kNone;
  if (item == "speed" || item == "tempo") return MciError::kUnsupportedFunction;
  return MciError::kUnrecognizedKeyword;
}

DWORD CMciSequencerDevice::SetAudio(const CMciCommand& c) {
  if (!c.Has("volume")) return MciError::kUnrecognizedKeyword;
  const std::string* text = c.ValueAfter("to");
  if (!text) text = c.ValueAfter("volume");
  DWORD volume = 0;
  if (!text || !ParseMciNumber(*text, volume)) return MciError::kBadInteger;
  m_gain = static_cast<float>(std::min<DWORD>(volume, 1000)) / 1000.0f;  // 1000 is unity
  if (m_voice) m_services.mixer->SetGain(m_voice, m_gain, 0.0f);
  return MciError::kNone;
}
