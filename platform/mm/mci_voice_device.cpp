// The voice devices' shared commands: the dispatch, pause, resume, stop, seek, status, set and setaudio.
#include "platform/mm/mci_voice_device.h"

#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/mm/audio_mixer.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_play_end.h"
#include "platform/mm/mci_wait.h"
#include "platform/mm/pcm_buffer.h"

CMciVoiceDevice::CMciVoiceDevice(DWORD id, std::string type, MciDeviceServices& services, CMciTimeFormat time)
    : CMciDevice(id, std::move(type)),
      m_services(services),
      m_time(std::move(time)),
      m_end(std::make_shared<CMciPlayEnd>(id)) {}

CMciVoiceDevice::~CMciVoiceDevice() = default;

void CMciVoiceDevice::Close() {
  StopVoice();
  m_end->Notifier().Fire(MciNotify::kAborted);
}

void CMciVoiceDevice::ArmForRunningPlay(HWND callback) { m_end->ArmForRunningPlay(callback); }

bool CMciVoiceDevice::IsSounding() const {
  return m_voice != 0 && m_services.mixer->Position(m_voice).has_value();
}

DWORD CMciVoiceDevice::PositionFrames() const {
  if (m_voice != 0) {
    if (auto pos = m_services.mixer->Position(m_voice)) return m_voiceStart + *pos;
    return m_endFrame;  // it played to its end
  }
  return m_position;
}

void CMciVoiceDevice::StopVoice() {
  if (m_voice == 0) return;
  m_position = PositionFrames();
  m_services.mixer->Stop(m_voice);
  VoiceStopped();
  m_voice = 0;
  m_paused = false;
}

void CMciVoiceDevice::SetVoicePaused(bool paused) {
  m_services.mixer->SetPaused(m_voice, paused);
  m_paused = paused;
}

DWORD CMciVoiceDevice::ToFrames(const std::string& text, DWORD& frames) const {
  std::uint64_t base = 0;
  if (DWORD error = m_time.Parse(text, base)) return error;
  frames = static_cast<DWORD>(std::min<std::uint64_t>(base, 0xFFFFFFFFu));
  return MciError::kNone;
}

DWORD CMciVoiceDevice::ReadPosition(const CMciCommand& c, const char* keyword, DWORD& frame, bool& given) const {
  const std::string* text = c.ValueAfter(keyword);
  given = text != nullptr;
  if (!text) return MciError::kNone;
  DWORD value = 0;
  if (DWORD error = ToFrames(*text, value)) return error;
  if (value > LengthFrames()) return MciError::kOutOfRange;
  frame = value;
  return MciError::kNone;
}

DWORD CMciVoiceDevice::Command(const CMciCommand& c, std::string& reply, HWND callback) {
  DWORD error = MciError::kNone;
  const std::string& verb = c.verb;
  if (verb == "play") return Play(c, callback);
  if (verb == "pause") {
    if (IsSounding()) SetVoicePaused(true);
  } else if (verb == "resume") {
    if (IsSounding()) SetVoicePaused(false);
  } else if (verb == "stop") {
    StopVoice();
    m_end->Notifier().Fire(MciNotify::kAborted);
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
  if (error == MciError::kNone) m_end->Notifier().NotifyDone(c, callback);
  return error;
}

DWORD CMciVoiceDevice::PlayRange(const CMciCommand& c, HWND callback, DWORD from, DWORD to) {
  StopVoice();
  auto onEnd = m_end->BeginPlay(c, callback);
  m_endFrame = to;
  if (from == to) {
    m_position = to;
    onEnd();
    return MciError::kNone;
  }
  m_voice = StartVoice(from, to, std::move(onEnd));
  if (c.wait) WaitForEnd(to - from);
  return MciError::kNone;
}

void CMciVoiceDevice::WaitForEnd(DWORD remainingFrames) {
  m_end->WaitForEnd(*m_services.clock, MciWaitLimitMs(CPcmBuffer::FramesToMs(remainingFrames) / std::max(m_rate, 0.01)));
}

DWORD CMciVoiceDevice::Seek(const CMciCommand& c) {
  DWORD target = 0;
  bool given = false;
  if (c.Has("start")) {
    target = 0;
  } else if (c.Has("end")) {
    target = LengthFrames();
  } else {
    if (DWORD error = ReadPosition(c, "to", target, given)) return error;
    if (!given) return MciError::kMissingParameter;
  }
  StopVoice();
  m_end->Notifier().Fire(MciNotify::kAborted);
  m_position = target;
  return MciError::kNone;
}

DWORD CMciVoiceDevice::Status(const CMciCommand& c, std::string& reply) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "length") {
    reply = m_time.Format(LengthFrames());
  } else if (item == "position") {
    reply = m_time.Format(PositionFrames());
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
  } else {
    return StatusItem(item, c, reply);
  }
  return MciError::kNone;
}

DWORD CMciVoiceDevice::StatusItem(const std::string&, const CMciCommand&, std::string&) {
  return MciError::kUnrecognizedKeyword;
}

DWORD CMciVoiceDevice::Set(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "time") return m_time.Set(c);
  return SetItem(item, c);
}

DWORD CMciVoiceDevice::SetAudio(const CMciCommand& c) {
  if (!c.Has("volume")) return MciError::kUnrecognizedKeyword;
  const std::string* text = c.ValueAfter("to");
  if (!text) text = c.ValueAfter("volume");
  DWORD volume = 0;
  if (!text || !ParseMciNumber(*text, volume)) return MciError::kBadInteger;
  m_gain = static_cast<float>(std::min<DWORD>(volume, 1000)) / 1000.0f;  // 1000 is unity; louder is held there
  if (m_voice) m_services.mixer->SetGain(m_voice, m_gain, 0.0f);
  return MciError::kNone;
}
