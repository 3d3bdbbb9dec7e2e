// The video devices' commands (play, pause, stop, seek, status, set, put, where, setaudio) and the picture drawn.
#include "platform/mm/mci_video_device.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

#include "platform/base/codepage.h"
#include "platform/mm/audio_mixer.h"
#include "platform/msg/clock.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_sound_device.h"
#include "platform/mm/media_source.h"
#include "platform/user/message_loop.h"
#include "platform/mm/mci_wait.h"

MciDeviceFactory CMciVideoDevice::Factory(VideoFramesOpener opener, bool framesByDefault) {
  return [opener = std::move(opener), framesByDefault](MciOpenRequest& request,
                                                        std::unique_ptr<CMciDevice>& out) -> DWORD {
    if (!request.source) return CMciSoundDevice::Open(request, out);
    auto sound = std::make_shared<CPcmBuffer>();
    MediaInfo info;
    const DecodeResult decoded = DecodeSound(*request.source, request.services->limits, *sound, &info);
    if (decoded == DecodeResult::tooLarge) return MciError::kOutOfMemory;
    // The video layer looks for a picture itself (FFmpeg may read pictures it found no sound beside).
    std::unique_ptr<IVideoFrames> frames;
    if (opener && request.source->Seek(0)) frames = opener(std::move(request.source), request.services->limits);
    if (frames && frames->FrameCount() > 0 && frames->Width() > 0 && frames->Height() > 0 && frames->FrameMs() > 0) {
      if (frames->FrameCount() * frames->FrameMs() > request.services->limits.maxSeconds * 1000.0)
        return MciError::kOutOfMemory;  // longer than any medium may be
      if (decoded != DecodeResult::ok) sound.reset();
      out = std::make_unique<CMciVideoDevice>(request.id, request.type, std::move(frames), std::move(sound),
                                              *request.services, framesByDefault);
      return MciError::kNone;
    }
    if (decoded != DecodeResult::ok) return MciError::kInvalidFile;  // neither a picture nor a sound to play
    out = std::make_unique<CMciSoundDevice>(request.id, request.type, std::move(sound), *request.services, info);
    return MciError::kNone;
  };
}

CMciVideoDevice::CMciVideoDevice(DWORD id, std::string type, std::unique_ptr<IVideoFrames> frames,
                                 std::shared_ptr<const CPcmBuffer> sound, MciDeviceServices& services,
                                 bool framesByDefault)
    : CMciDevice(id, std::move(type)),
      m_services(services),
      m_frames(std::move(frames)),
      m_sound(std::move(sound)),
      m_notifier(id),
      m_framesFormat(framesByDefault),
      m_source(0, 0, m_frames->Width(), m_frames->Height()),
      m_windows(std::make_unique<CMciVideoWindows>(static_cast<IMciPicture&>(*this),
                                                   CSize(m_frames->Width(), m_frames->Height()))) {}

CMciVideoDevice::~CMciVideoDevice() { Close(); }

void CMciVideoDevice::Close() {
  StopWatcher();
  m_windows->Close();  // without the lock: a window being painted takes it
  std::lock_guard lock(m_lock);
  Halt(Mode::stopped);
  m_notifier.Fire(MciNotify::kAborted);
}

void CMciVideoDevice::StartWatcher() {
  m_stopWatcher = false;
  m_watcher = std::thread([this] {
    std::unique_lock lock(m_lock);
    while (!m_stopWatcher && m_notifier.IsPending()) {
      m_wake.wait_for(lock, std::chrono::milliseconds(10));
      Update();
    }
  });
}

void CMciVideoDevice::StopWatcher() {
  if (!m_watcher.joinable()) return;
  {
    std::lock_guard lock(m_lock);
    m_stopWatcher = true;
  }
  m_wake.notify_all();
  m_watcher.join();
}

double CMciVideoDevice::LengthMs() const {
  const double picture = m_frames->FrameCount() * m_frames->FrameMs();
  return std::max(picture, static_cast<double>(m_sound ? m_sound->LengthMs() : 0));
}

double CMciVideoDevice::PositionMs() const {
  if (m_mode != Mode::playing) return m_positionMs;
  const DWORD elapsed = m_services.clock->Now() - m_startClock;
  return std::min(m_toMs, m_startMs + elapsed * m_rate);
}

DWORD CMciVideoDevice::CurrentFrame() {
  std::lock_guard lock(m_lock);
  Update();
  return FrameAt(PositionMs());
}

DWORD CMciVideoDevice::FrameAt(double ms) const {
  const double frame = std::floor(ms / m_frames->FrameMs() + 1e-9);
  return static_cast<DWORD>(std::clamp(frame, 0.0, static_cast<double>(m_frames->FrameCount() - 1)));
}

void CMciVideoDevice::Update() {
  if (m_mode != Mode::playing || PositionMs() < m_toMs) return;
  Halt(Mode::stopped);
  m_positionMs = m_toMs;
  m_notifier.Fire(MciNotify::kSuccessful);
}

void CMciVideoDevice::Halt(Mode mode) {
  m_positionMs = PositionMs();
  if (m_voice) m_services.mixer->Stop(m_voice);
  m_voice = 0;
  m_mode = mode;
}

void CMciVideoDevice::StartVoice(double fromMs) {
  m_startMs = fromMs;
  m_startClock = m_services.clock->Now();
  m_mode = Mode::playing;
  const DWORD from = CPcmBuffer::MsToFrames(static_cast<DWORD>(fromMs));
  const DWORD to = std::min(CPcmBuffer::MsToFrames(static_cast<DWORD>(m_toMs)), m_sound ? m_sound->Frames() : 0);
  if (!m_sound || from >= to) return;  // the sound has ended before this part of the picture
  CAudioMixer::VoiceSettings settings;
  settings.from = from;
  settings.to = to;
  settings.gain = m_gain;
  settings.rate = m_rate;
  m_voice = m_services.mixer->Start(m_sound, settings, nullptr);  // the clock, not the sound, ends the play
}

bool CMciVideoDevice::ToMs(const std::string& text, double& ms) const {
  DWORD value = 0;
  if (!ParseMciNumber(text, value)) return false;
  ms = m_framesFormat ? value * m_frames->FrameMs() : static_cast<double>(value);
  return true;
}

DWORD CMciVideoDevice::FromMs(double ms) const {
  const double value = m_framesFormat ? std::floor(ms / m_frames->FrameMs() + 1e-6) : ms + 1e-6;
  return static_cast<DWORD>(std::clamp(value, 0.0, 4e9));
}

DWORD CMciVideoDevice::Command(const CMciCommand& c, std::string& reply, HWND callback) {
  if (c.verb == "play") StopWatcher();  // the new play supersedes what it waited for
  DWORD error = MciError::kNone;
  bool waitForEnd = false;
  m_windows->SetCaption(CString(GetElement()));
  if (c.verb == "status" && !c.words.empty() && tvn::codepage::EqualsNoCaseAscii(c.words[0], "window") &&
      c.Has("handle")) {
    // The window may have to be made: without the lock, which its painting takes.
    reply = std::to_string(reinterpret_cast<std::uintptr_t>(m_windows->WindowInUse()));
  } else {
    std::lock_guard lock(m_lock);
    error = CommandLocked(c, reply, callback);
    waitForEnd = error == MciError::kNone && c.verb == "play" && c.wait;
    if (m_notifier.IsPending() && !m_watcher.joinable()) StartWatcher();
  }
  // The windows follow what the command changed (on the user-interface
  // thread), so a play that waits shows its window first.
  m_windows->Update();
  if (waitForEnd) WaitForEnd(callback);
  return error;
}

DWORD CMciVideoDevice::CommandLocked(const CMciCommand& c, std::string& reply, HWND callback) {
  Update();
  DWORD error = MciError::kNone;
  const std::string& verb = c.verb;
  if (verb == "play") return Play(c, callback);
  if (verb == "pause") {
    if (m_mode == Mode::playing) {
      Halt(Mode::paused);
      m_startMs = m_positionMs;
    }
  } else if (verb == "resume") {
    if (m_mode == Mode::paused) StartVoice(m_positionMs);
  } else if (verb == "stop") {
    if (m_mode != Mode::stopped) Halt(Mode::stopped);
    m_notifier.Fire(MciNotify::kAborted);
  } else if (verb == "seek") {
    error = Seek(c);
  } else if (verb == "status") {
    error = Status(c, reply);
  } else if (verb == "set") {
    error = Set(c);
  } else if (verb == "put") {
    error = Put(c);
  } else if (verb == "where") {
    error = Where(c, reply);
  } else if (verb == "setaudio") {
    error = SetAudio(c);
  } else if (verb == "window") {
    error = Window(c);
  } else if (verb == "update" || verb == "realize" || verb == "cue") {
    // Windows paint themselves from the device; there is no palette to realise.
  } else if (verb == "record" || verb == "save") {
    return MciError::kUnsupportedFunction;
  } else {
    return MciError::kUnrecognizedCommand;
  }
  if (error == MciError::kNone) m_notifier.NotifyDone(c, callback);
  return error;
}

DWORD CMciVideoDevice::Play(const CMciCommand& c, HWND callback) {
  const double length = LengthMs();
  double from = PositionMs();
  double to = length;
  if (const std::string* text = c.ValueAfter("from")) {
    if (!ToMs(*text, from)) return MciError::kBadInteger;
  } else if (from >= length) {
    from = 0.0;  // played to the end: from the start again
  }
  if (const std::string* text = c.ValueAfter("to"))
    if (!ToMs(*text, to)) return MciError::kBadInteger;
  if (from > length || to > length || to < from) return MciError::kOutOfRange;

  Halt(Mode::stopped);
  m_notifier.ArmOrSupersede(c, callback);
  m_toMs = to;
  StartVoice(from);
  m_windows->SetShown(true);
  Update();  // an empty range ends at once; a "wait" is waited for once the windows are shown
  return MciError::kNone;
}

void CMciVideoDevice::WaitForEnd(HWND callback) {
  DWORD limit = 0;
  {
    std::lock_guard lock(m_lock);
    limit = MciWaitLimitMs((m_toMs - PositionMs()) / std::max(m_rate, 0.01));
  }
  // The windows draw the frames from their timers, which only the loop runs:
  // the wait keeps them going, drops the page's input and ends at Escape.
  // The steady clock bounds it too, so a test's clock that does not move
  // never holds the caller for long.
  const std::weak_ptr<const bool> life = m_life;
  MciWaitUntil({WaitInput::kDropPage, callback}, SteadyClock(), limit, [this, &life] {
    if (life.expired()) return true;
    std::lock_guard lock(m_lock);
    Update();
    return m_mode != Mode::playing;
  });
}

DWORD CMciVideoDevice::Seek(const CMciCommand& c) {
  double target = 0.0;
  if (c.Has("start")) {
    target = 0.0;
  } else if (c.Has("end")) {
    target = LengthMs();
  } else if (const std::string* text = c.ValueAfter("to")) {
    if (!ToMs(*text, target)) return MciError::kBadInteger;
    if (target > LengthMs()) return MciError::kOutOfRange;
  } else {
    return MciError::kMissingParameter;
  }
  Halt(Mode::stopped);
  m_notifier.Fire(MciNotify::kAborted);
  m_positionMs = target;
  return MciError::kNone;
}

namespace {

// Rectangles far beyond any window are refused, so sums and offsets stay in range.
constexpr DWORD kMaxCoordinate = 1u << 20;

std::string RectText(const CRect& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.Width()) + " " +
         std::to_string(r.Height());
}

}  // namespace

DWORD CMciVideoDevice::Status(const CMciCommand& c, std::string& reply) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "length") {
    // A part frame at the end (sound longer than the picture) counts as a frame.
    reply = std::to_string(m_framesFormat ? static_cast<DWORD>(std::ceil(LengthMs() / m_frames->FrameMs() - 1e-6))
                                          : FromMs(LengthMs()));
  } else if (item == "position") {
    reply = std::to_string(FromMs(PositionMs()));
  } else if (item == "mode") {
    reply = m_mode == Mode::playing ? "playing" : m_mode == Mode::paused ? "paused" : "stopped";
  } else if (item == "number" && c.Has("tracks")) {
    reply = "1";
  } else if (item == "ready" || (item == "media" && c.Has("present"))) {
    reply = "true";
  } else if (item == "time" && c.Has("format")) {
    reply = m_framesFormat ? "frames" : "milliseconds";
  } else if (item == "frame" && c.Has("rate")) {
    reply = std::to_string(static_cast<DWORD>(std::lround(1000.0 * 1000.0 / m_frames->FrameMs())));
  } else if (item == "volume") {
    reply = std::to_string(static_cast<int>(m_gain * 1000.0f + 0.5f));
  } else if (item == "speed") {
    reply = std::to_string(static_cast<int>(m_rate * 1000.0 + 0.5));
  } else if (item == "palette") {
    reply = "0";  // no palette
  } else {
    return MciError::kUnrecognizedKeyword;
  }
  return MciError::kNone;
}

DWORD CMciVideoDevice::Set(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "time") {
    const std::string* format = c.ValueAfter("format");
    if (!format) return MciError::kMissingParameter;
    if (tvn::codepage::EqualsNoCaseAscii(*format, "ms") || tvn::codepage::EqualsNoCaseAscii(*format, "milliseconds"))
      m_framesFormat = false;
    else if (tvn::codepage::EqualsNoCaseAscii(*format, "frames")) m_framesFormat = true;
    else return MciError::kBadTimeFormat;
    return MciError::kNone;
  }
  if (item == "speed") {
    const std::string* text = c.ValueAfter("speed");
    DWORD speed = 0;
    if (!text || !ParseMciNumber(*text, speed)) return MciError::kBadInteger;
    if (speed > 0) {  // a speed of 0 would never end: it is ignored
      const bool playing = m_mode == Mode::playing;
      if (playing) Halt(Mode::stopped);
      m_rate = speed / 1000.0;
      if (playing) StartVoice(m_positionMs);
    }
    return MciError::kNone;
  }
  if (item == "audio" || item == "video" || item == "door") return MciError::kNone;
  return MciError::kUnrecognizedKeyword;
}

DWORD CMciVideoDevice::Put(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  const bool source = item == "source";
  if (!source && item != "destination") return MciError::kUnrecognizedKeyword;
  const CRect frame(0, 0, m_frames->Width(), m_frames->Height());
  auto at = std::find_if(c.words.begin(), c.words.end(),
                         [](const std::string& w) { return tvn::codepage::EqualsNoCaseAscii(w, "at"); });
  if (at == c.words.end()) {  // without a rectangle: back to the whole frame at its own size
    (source ? m_source : m_destination) = source ? frame : CRect();
    if (!source) m_windows->SetDestination(m_destination);
    return MciError::kNone;
  }
  if (c.words.end() - at < 5) return MciError::kMissingParameter;
  DWORD v[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (!ParseMciNumber(*(at + 1 + i), v[i])) return MciError::kBadInteger;
    if (v[i] > kMaxCoordinate) return MciError::kOutOfRange;
  }
  const CRect rect(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                   static_cast<int>(v[1] + v[3]));
  if (rect.IsRectEmpty()) return MciError::kOutOfRange;
  if (source) {
    CRect inside;
    if (!inside.IntersectRect(rect, frame)) return MciError::kOutOfRange;  // no part of the frame left to show
    m_source = inside;
  } else {
    m_destination = rect;
    m_windows->SetDestination(m_destination);
  }
  return MciError::kNone;
}

DWORD CMciVideoDevice::Window(const CMciCommand& c) {
  if (c.Has("handle")) {
    const std::string* value = c.ValueAfter("handle");
    if (!value) return MciError::kMissingParameter;
    return m_windows->UseHandle(*value);
  }
  if (c.Has("state") && c.Has("hide")) m_windows->SetShown(false);
  else if (c.Has("state") && c.Has("show")) m_windows->SetShown(true);
  return MciError::kNone;  // the window's other settings are its own
}

void CMciVideoDevice::SetPictureHost(HWND host) { m_windows->SetHost(host); }

DWORD CMciVideoDevice::Where(const CMciCommand& c, std::string& reply) const {
  if (c.Has("source")) reply = RectText(m_source);
  else if (c.Has("destination"))
    reply = RectText(m_destination.IsRectEmpty() ? CRect(0, 0, m_source.Width(), m_source.Height()) : m_destination);
  else return MciError::kMissingParameter;
  return MciError::kNone;
}

DWORD CMciVideoDevice::SetAudio(const CMciCommand& c) {
  if (!c.Has("volume")) return c.Has("off") || c.Has("on") ? MciError::kNone : MciError::kUnrecognizedKeyword;
  const std::string* text = c.ValueAfter("to");
  if (!text) text = c.ValueAfter("volume");
  DWORD volume = 0;
  if (!text || !ParseMciNumber(*text, volume)) return MciError::kBadInteger;
  m_gain = static_cast<float>(std::min<DWORD>(volume, 1000)) / 1000.0f;
  if (m_voice) m_services.mixer->SetGain(m_voice, m_gain, 0.0f);
  return MciError::kNone;
}

bool CMciVideoDevice::DecodeCurrent() {
  Update();
  const DWORD frame = FrameAt(PositionMs());
  if (!m_havePicture || m_pictureFrame != frame) {
    CPixelImage picture;
    if (m_frames->Frame(frame, picture) && picture.Width() == m_frames->Width() &&
        picture.Height() == m_frames->Height()) {
      m_picture = std::move(picture);
      m_pictureFrame = frame;
      m_havePicture = true;
    }
  }
  return m_havePicture;  // nothing decoded yet: the window keeps what it shows
}

bool CMciVideoDevice::Draw(CDC& dc, const CRect& area) {
  std::lock_guard lock(m_lock);
  if (!DecodeCurrent()) return false;
  CRect dest = m_destination.IsRectEmpty() ? CRect(0, 0, m_source.Width(), m_source.Height()) : m_destination;
  dest.OffsetRect(area.left, area.top);
  DrawPicturePart(dc, m_picture, m_source, dest, area);
  return true;
}

bool CMciVideoDevice::DrawPictureInto(CDC& dc, const CRect& dest, const CRect& clip) {
  std::lock_guard lock(m_lock);
  if (!DecodeCurrent()) return false;
  DrawPicturePart(dc, m_picture, m_source, dest, clip);
  return true;
}
