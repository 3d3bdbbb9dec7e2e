// The cdaudio device's commands: play, pause, resume, stop, seek, status and set on a disc's track table.
#include "platform/mm/mci_cdaudio_device.h"

#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/mm/audio_mixer.h"
#include "platform/mm/cd_audio_stream.h"
#include "platform/mm/cd_disc.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_play_end.h"
#include "platform/mm/mci_wait.h"
#include "platform/mm/pcm_buffer.h"
#include "platform/sys/profile_file.h"
#include "platform/sys/windows_locations.h"

DWORD CMciCdAudioDevice::Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out) {
  std::string source;
  tvn::sys::ProfileFile profile;
  if (profile.Load(tvn::sys::RuntimeProfilePath())) source = profile.GetString("MCI", "CDAudio").value_or("");
  std::unique_ptr<CCdDisc> disc;
  if (DWORD error = CCdDisc::Open(source, disc)) return error;
  out = std::make_unique<CMciCdAudioDevice>(request.id, request.type, std::move(disc), *request.services);
  return MciError::kNone;
}

CMciCdAudioDevice::CMciCdAudioDevice(DWORD id, std::string type, std::shared_ptr<CCdDisc> disc,
                                     MciDeviceServices& services)
    : CMciDevice(id, std::move(type)),
      m_services(services),
      m_disc(std::move(disc)),
      m_time(CPcmBuffer::kRate, MciTimeUnit::msf, {MciTimeUnit::milliseconds, MciTimeUnit::tmsf}),
      m_end(std::make_shared<CMciPlayEnd>(id)) {
  if (auto tracks = m_disc->Tracks()) m_position = tracks->DiscStart();
}

CMciCdAudioDevice::~CMciCdAudioDevice() { Close(); }

void CMciCdAudioDevice::Close() {
  StopStream();
  m_end->Notifier().Fire(MciNotify::kAborted);
}

std::uint64_t CMciCdAudioDevice::Position() const {
  return m_stream ? m_stream->From() + m_stream->Played() : m_position;
}

bool CMciCdAudioDevice::IsSounding() const {
  return m_voice != 0 && m_services.mixer->Position(m_voice).has_value();
}

void CMciCdAudioDevice::StopStream() {
  if (!m_stream) return;
  m_position = Position();
  if (m_voice) m_services.mixer->Stop(m_voice);
  m_stream->Stop();
  m_stream.reset();
  m_voice = 0;
  m_paused = false;
}

DWORD CMciCdAudioDevice::Command(const CMciCommand& c, std::string& reply, HWND callback) {
  const std::string& verb = c.verb;
  if (verb == "play") return Play(c, callback);
  DWORD error = MciError::kNone;
  if (verb == "pause" || verb == "resume") {
    const bool pause = verb == "pause";
    if (IsSounding() && m_paused != pause) {
      m_services.mixer->SetPaused(m_voice, pause);
      m_paused = pause;
    }
  } else if (verb == "stop") {
    StopStream();
    m_end->Notifier().Fire(MciNotify::kAborted);
  } else if (verb == "seek") {
    error = Seek(c);
  } else if (verb == "status") {
    error = Status(c, reply);
  } else if (verb == "set") {
    error = Set(c);
  } else if (verb == "record" || verb == "save" || verb == "cue" || verb == "window" || verb == "where" ||
             verb == "put" || verb == "setaudio") {
    return MciError::kUnsupportedFunction;
  } else {
    return MciError::kUnrecognizedCommand;
  }
  if (error == MciError::kNone) m_end->Notifier().NotifyDone(c, callback);
  return error;
}

DWORD CMciCdAudioDevice::ReadPosition(const CCdTrackTable& tracks, const CMciCommand& c, const char* keyword,
                                      std::uint64_t& frame, bool& given) const {
  const std::string* text = c.ValueAfter(keyword);
  given = text != nullptr;
  if (!text) return MciError::kNone;
  std::uint64_t value = 0;
  if (m_time.Unit() == MciTimeUnit::tmsf) {
    if (DWORD error = tracks.ParseTmsf(*text, value)) return error;
  } else if (DWORD error = m_time.Parse(*text, value)) {
    return error;
  }
  if (value > tracks.DiscEnd()) return MciError::kOutOfRange;
  frame = value;
  return MciError::kNone;
}

DWORD CMciCdAudioDevice::ReadTrack(const CCdTrackTable& tracks, const CMciCommand& c, const CdTrack*& track) const {
  const std::string* text = c.ValueAfter("track");
  if (!text) return MciError::kMissingParameter;
  DWORD number = 0;
  if (!ParseMciNumber(*text, number)) return MciError::kBadInteger;
  track = tracks.Find(static_cast<long>(number));
  return track ? MciError::kNone : MciError::kOutOfRange;
}

std::string CMciCdAudioDevice::FormatPosition(const CCdTrackTable& tracks, std::uint64_t frame) const {
  return m_time.Unit() == MciTimeUnit::tmsf ? tracks.FormatTmsf(frame) : m_time.Format(frame);
}

std::string CMciCdAudioDevice::FormatLength(std::uint64_t frames) const {
  if (m_time.Unit() != MciTimeUnit::tmsf) return m_time.Format(frames);
  const CMciTimeFormat msf(CPcmBuffer::kRate, MciTimeUnit::msf, {});
  return msf.Format(frames);
}

DWORD CMciCdAudioDevice::Play(const CMciCommand& c, HWND callback) {
  const auto tracks = m_disc->Tracks();
  if (!tracks) return MciError::kDeviceNotReady;
  const bool ranged = c.ValueAfter("from") || c.ValueAfter("to");
  if (m_paused && IsSounding() && !ranged) {  // play goes on where it paused
    if (c.notify && callback) m_end->ArmForRunningPlay(callback);
    m_services.mixer->SetPaused(m_voice, false);
    m_paused = false;
    if (c.wait) WaitForEnd(m_stream->To() - Position());
    return MciError::kNone;
  }
  std::uint64_t from = Position();
  std::uint64_t to = tracks->DiscEnd();
  bool fromGiven = false;
  bool toGiven = false;
  if (DWORD error = ReadPosition(*tracks, c, "from", from, fromGiven)) return error;
  if (DWORD error = ReadPosition(*tracks, c, "to", to, toGiven)) return error;
  if (!fromGiven && from >= tracks->DiscEnd()) from = tracks->DiscStart();  // played to the end: from the start again
  if (to < from) return MciError::kOutOfRange;

  StopStream();
  auto onEnd = m_end->BeginPlay(c, callback);
  if (from == to) {
    m_position = to;
    onEnd();
    return MciError::kNone;
  }
  m_stream = std::make_shared<CCdAudioStream>(m_disc, tracks, from, to);
  m_voice = m_services.mixer->StartStream(m_stream, 1.0f, std::move(onEnd));
  if (c.wait) WaitForEnd(to - from);
  return MciError::kNone;
}

void CMciCdAudioDevice::WaitForEnd(std::uint64_t remainingFrames) {
  m_end->WaitForEnd(*m_services.clock, MciWaitLimitMs(static_cast<double>(remainingFrames) * 1000.0 / CPcmBuffer::kRate));
}

DWORD CMciCdAudioDevice::Seek(const CMciCommand& c) {
  const auto tracks = m_disc->Tracks();
  if (!tracks) return MciError::kDeviceNotReady;
  std::uint64_t target = 0;
  bool given = false;
  if (c.Has("start")) {
    target = tracks->DiscStart();
  } else if (c.Has("end")) {
    target = tracks->DiscEnd();
  } else {
    if (DWORD error = ReadPosition(*tracks, c, "to", target, given)) return error;
    if (!given) return MciError::kMissingParameter;
  }
  StopStream();
  m_end->Notifier().Fire(MciNotify::kAborted);
  m_position = target;
  return MciError::kNone;
}

DWORD CMciCdAudioDevice::Status(const CMciCommand& c, std::string& reply) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  const auto tracks = m_disc->Tracks();
  if (item == "mode") {
    if (m_disc->IsDoorOpen()) reply = "open";
    else if (!tracks) reply = "not ready";
    else reply = !IsSounding() ? "stopped" : m_paused ? "paused" : "playing";
  } else if (item == "media" && c.Has("present")) {
    reply = tracks ? "true" : "false";
  } else if (item == "ready") {
    reply = tracks ? "true" : "false";
  } else if (item == "time" && c.Has("format")) {
    reply = m_time.Name();
  } else if (item == "number" && c.Has("tracks")) {
    if (!tracks) return MciError::kDeviceNotReady;
    reply = std::to_string(tracks->Count());
  } else if (item == "length" || item == "position") {
    if (!tracks) return MciError::kDeviceNotReady;
    const CdTrack* track = nullptr;
    if (c.Has("track"))
      if (DWORD error = ReadTrack(*tracks, c, track)) return error;
    if (item == "length")
      reply = FormatLength(track ? tracks->EndFrame(*track) - tracks->StartFrame(*track)
                                 : tracks->DiscEnd() - tracks->DiscStart());
    else
      reply = FormatPosition(*tracks, track ? tracks->StartFrame(*track) : Position());
  } else {
    return MciError::kUnrecognizedKeyword;
  }
  return MciError::kNone;
}

DWORD CMciCdAudioDevice::Set(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "time") return m_time.Set(c);
  if (item != "door") return MciError::kUnrecognizedKeyword;
  const bool open = c.Has("open");
  if (!open && !c.Has("closed")) return MciError::kMissingParameter;
  if (m_disc->IsImage()) return MciError::kNone;  // an image has no door
  StopStream();
  m_end->Notifier().Fire(MciNotify::kAborted);
  const bool done = open ? m_disc->OpenDoor() : m_disc->CloseDoor();
  const auto tracks = m_disc->Tracks();
  m_position = tracks ? tracks->DiscStart() : 0;
  return done ? MciError::kNone : MciError::kHardware;
}
