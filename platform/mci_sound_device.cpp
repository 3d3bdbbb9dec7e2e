// The sound devices' commands: play, pause, resume, stop, seek, status, set and setaudio.
#include "platform/mci_sound_device.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>

#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/mci_errors.h"
#include "platform/media_source.h"

// What the voice's end handler reaches on the sound thread.
struct CMciSoundDevice::Shared {
  explicit Shared(DWORD id) : notifier(id) {}
  CMciNotifier notifier;
  std::mutex mutex;
  std::condition_variable ended;
  DWORD generation = 0;  // the play the end belongs to
  DWORD endedGeneration = 0;
  DWORD endFrame = 0;
};

DWORD CMciSoundDevice::Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out) {
  auto sound = std::make_shared<CPcmBuffer>();
  if (request.source) {
    switch (DecodeSound(*request.source, request.services->limits, *sound)) {
      case DecodeResult::ok: break;
      case DecodeResult::tooLarge: return MciError::kOutOfMemory;
      default: return MciError::kInvalidFile;
    }
  }
  out = std::make_unique<CMciSoundDevice>(request.id, request.type, std::move(sound), *request.services);
  return MciError::kNone;
}

CMciSoundDevice::CMciSoundDevice(DWORD id, std::string type, std::shared_ptr<const CPcmBuffer> sound,
                                 MciDeviceServices& services)
    : CMciDevice(id, std::move(type)),
      m_services(services),
      m_sound(std::move(sound)),
      m_shared(std::make_shared<Shared>(id)),
      m_time(CPcmBuffer::kRate, MciTimeUnit::milliseconds, {MciTimeUnit::samples}) {
  m_time.SetRate(MciTimeUnit::samples, CPcmBuffer::kRate);
}

CMciSoundDevice::~CMciSoundDevice() { Close(); }

void CMciSoundDevice::Close() {
  StopVoice();
  m_shared->notifier.Fire(MciNotify::kAborted);
}

bool CMciSoundDevice::IsSounding() const { return m_voice != 0 && m_services.mixer->Position(m_voice).has_value(); }

DWORD CMciSoundDevice::PositionFrames() const {
  if (m_voice != 0) {
    if (auto pos = m_services.mixer->Position(m_voice)) return *pos;
    std::lock_guard lock(m_shared->mutex);
    return m_shared->endFrame;  // it played to its end
  }
  return m_position;
}

void CMciSoundDevice::StopVoice() {
  if (m_voice == 0) return;
  m_position = PositionFrames();
  m_services.mixer->Stop(m_voice);
  m_voice = 0;
  m_paused = false;
}

DWORD CMciSoundDevice::ToFrames(const std::string& text, DWORD& frames) const {
  std::uint64_t base = 0;
  if (DWORD error = m_time.Parse(text, base)) return error;
  frames = static_cast<DWORD>(std::min<std::uint64_t>(base, 0xFFFFFFFFu));
  return MciError::kNone;
}

DWORD CMciSoundDevice::Command(const CMciCommand& c, std::string& reply, HWND callback) {
  DWORD error = MciError::kNone;
  const std::string& verb = c.verb;
  if (verb == "play") return Play(c, callback);
  if (verb == "pause" || verb == "stop" || verb == "resume" || verb == "seek") {
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
    } else {
      error = Seek(c);
    }
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

DWORD CMciSoundDevice::Play(const CMciCommand& c, HWND callback) {
  const DWORD length = m_sound->Frames();
  DWORD from = PositionFrames();
  DWORD to = length;
  if (const std::string* text = c.ValueAfter("from"))
    if (DWORD error = ToFrames(*text, from)) return error;
  if (const std::string* text = c.ValueAfter("to"))
    if (DWORD error = ToFrames(*text, to)) return error;
  if (from > length || to > length) return MciError::kOutOfRange;
  if (from >= length && !c.ValueAfter("from")) from = 0;  // played to the end: from the start again
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
  CAudioMixer::VoiceSettings settings;
  settings.from = from;
  settings.to = to;
  settings.gain = m_gain;
  settings.rate = m_rate;
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
  m_voice = m_services.mixer->Start(m_sound, settings, std::move(onEnd));
  if (c.wait) WaitForEnd(to - from);
  return MciError::kNone;
}

void CMciSoundDevice::WaitForEnd(DWORD remainingFrames) {
  // The program's clock decides; the steady clock bounds the wait as well, so
  // a clock that does not move (a test's, while nothing pumps the sound) never
  // holds the caller for longer than the sound and 2 s.
  const IClock& clock = *m_services.clock;
  const IClock& steady = SteadyClock();
  const DWORD start = clock.Now();
  const DWORD steadyStart = steady.Now();
  const DWORD limit = static_cast<DWORD>(CPcmBuffer::FramesToMs(remainingFrames) / std::max(m_rate, 0.01)) + 2000;
  std::unique_lock lock(m_shared->mutex);
  const DWORD generation = m_shared->generation;
  while (m_shared->endedGeneration != generation && clock.Now() - start < limit && steady.Now() - steadyStart < limit)
    m_shared->ended.wait_for(lock, std::chrono::milliseconds(5));
}

DWORD CMciSoundDevice::Seek(const CMciCommand& c) {
  const DWORD length = m_sound->Frames();
  DWORD target = 0;
  if (c.Has("start")) {
    target = 0;
  } else if (c.Has("end")) {
    target = length;
  } else if (const std::string* text = c.ValueAfter("to")) {
    if (DWORD error = ToFrames(*text, target)) return error;
    if (target > length) return MciError::kOutOfRange;
  } else {
    return MciError::kMissingParameter;
  }
  StopVoice();
  m_shared->notifier.Fire(MciNotify::kAborted);
  m_position = target;
  return MciError::kNone;
}

DWORD CMciSoundDevice::Status(const CMciCommand& c, std::string& reply) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = ToLower(c.words[0]);
  if (item == "length") {
    reply = FromFrames(m_sound->Frames());
  } else if (item == "position") {
    reply = FromFrames(PositionFrames());
  } else if (item == "mode") {
    reply = IsSounding() ? (m_paused ? "paused" : "playing") : "stopped";
  } else if (item == "number" && c.Has("tracks")) {
    reply = "1";
  } else if (item == "ready") {
    reply = "true";
  } else if (item == "time" && c.Has("format")) {
    reply = m_time.Name();
  } else if (item == "volume") {
    reply = std::to_string(static_cast<int>(m_gain * 1000.0f + 0.5f));
  } else if (item == "speed") {
    reply = std::to_string(static_cast<int>(m_rate * 1000.0 + 0.5));
  } else {
    return MciError::kUnrecognizedKeyword;
  }
  return MciError::kNone;
}

DWORD CMciSoundDevice::Set(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = ToLower(c.words[0]);
  if (item == "time") return m_time.Set(c);
  if (item == "speed") {
    const std::string* text = c.ValueAfter("speed");
    DWORD speed = 0;
    if (!text || !ParseMciNumber(*text, speed)) return MciError::kBadInteger;
    if (speed > 0) {  // a speed of 0 would never end: it is ignored
      m_rate = speed / 1000.0;
      if (m_voice) m_services.mixer->SetRate(m_voice, m_rate);
    }
    return MciError::kNone;
  }
  // The recording format is kept for the recorder; the player's format is the mixer's.
  if (item == "bitspersample" || item == "channels" || item == "samplespersec" || item == "bytespersec" ||
      item == "alignment" || item == "format" || item == "audio" || item == "door")
    return MciError::kNone;
  return MciError::kUnrecognizedKeyword;
}

DWORD CMciSoundDevice::SetAudio(const CMciCommand& c) {
  if (!c.Has("volume")) return MciError::kUnrecognizedKeyword;
  const std::string* text = c.ValueAfter("to");
  if (!text) text = c.ValueAfter("volume");
  DWORD volume = 0;
  if (!text || !ParseMciNumber(*text, volume)) return MciError::kBadInteger;
  m_gain = static_cast<float>(std::min<DWORD>(volume, 1000)) / 1000.0f;  // 1000 is unity; louder is held there
  if (m_voice) m_services.mixer->SetGain(m_voice, m_gain, 0.0f);
  return MciError::kNone;
}
