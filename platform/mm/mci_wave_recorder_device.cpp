// Recording on the waveaudio device: record, stop, pause, the format settings, status and save.
#include "platform/mm/mci_wave_recorder_device.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/mm/audio_capture.h"
#include "platform/msg/clock.h"
#include "platform/base/host_path.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_wait.h"
#include "platform/sys/staged_file.h"

// What the capture thread reaches.
struct CMciWaveRecorderDevice::Shared {
  explicit Shared(DWORD id) : notifier(id) {}
  CMciNotifier notifier;
  std::mutex mutex;
  WaveFormat format;
  std::vector<std::uint8_t> data;
  std::size_t target = 0;  // bytes at which the recording ends by itself
  bool paused = false;
  bool done = false;  // the target was reached
};

CMciWaveRecorderDevice::CMciWaveRecorderDevice(DWORD id, std::string type, MciDeviceServices& services)
    : CMciDevice(id, type),
      m_services(services),
      m_shared(std::make_shared<Shared>(id)),
      m_player(std::make_unique<CMciSoundDevice>(id, type, std::make_shared<CPcmBuffer>(), services)),
      m_time(1000, MciTimeUnit::milliseconds, {}) {}

CMciWaveRecorderDevice::~CMciWaveRecorderDevice() { Close(); }

void CMciWaveRecorderDevice::Close() {
  m_capture.reset();
  if (m_player) m_player->Close();
  m_shared->notifier.Fire(MciNotify::kAborted);
}

DWORD CMciWaveRecorderDevice::RecordedMs() const {
  std::lock_guard lock(m_shared->mutex);
  const DWORD block = m_shared->format.BlockAlign();
  return WaveMsForFrames(m_shared->format, block ? m_shared->data.size() / block : 0);
}

void CMciWaveRecorderDevice::FinishCapture() {
  if (!m_capture) return;
  m_capture.reset();  // no capture callback runs after this
  auto pcm = std::make_shared<CPcmBuffer>();
  {
    std::lock_guard lock(m_shared->mutex);
    WaveToPcm(m_shared->format, m_shared->data.data(), m_shared->data.size(), *pcm);
  }
  m_player = std::make_unique<CMciSoundDevice>(GetId(), GetType(), std::move(pcm), m_services);
  m_player->SetNames(GetAlias(), GetElement());
}

DWORD CMciWaveRecorderDevice::Command(const CMciCommand& c, std::string& reply, HWND callback) {
  bool finished = false;
  {
    std::lock_guard lock(m_shared->mutex);
    finished = m_shared->done;
  }
  if (finished) FinishCapture();  // the recording reached its end by itself
  const std::string& verb = c.verb;
  DWORD error = MciError::kNone;
  if (verb == "record") return Record(c, callback);
  if (verb == "save") {
    error = Save(c);
  } else if (verb == "set") {
    error = Set(c);
  } else if (verb == "status") {
    error = Status(c, reply);
  } else if (verb == "capability") {
    error = Capability(c, reply);
  } else if (IsCapturing() && (verb == "pause" || verb == "resume")) {
    std::lock_guard lock(m_shared->mutex);
    m_shared->paused = verb == "pause";
  } else {
    if (IsCapturing()) {  // stop, and anything that plays or moves, ends the recording first
      FinishCapture();
      m_shared->notifier.Fire(MciNotify::kAborted);
      if (verb == "stop") error = MciError::kNone;
      else return m_player->Command(c, reply, callback);
    } else {
      return m_player->Command(c, reply, callback);
    }
  }
  if (error == MciError::kNone) m_shared->notifier.NotifyDone(c, callback);
  return error;
}

DWORD CMciWaveRecorderDevice::Record(const CMciCommand& c, HWND callback) {
  if (IsCapturing()) {
    FinishCapture();
    m_shared->notifier.Fire(MciNotify::kAborted);
  }
  std::string ignored;
  CMciCommand stop;
  stop.verb = "stop";
  m_player->Command(stop, ignored, nullptr);
  const WaveFormat format = m_shared->format;
  const std::size_t block = format.BlockAlign();
  const DWORD length = RecordedMs();
  std::uint64_t from = length;
  std::uint64_t to = 0;
  if (const std::string* text = c.ValueAfter("from")) {
    if (DWORD error = m_time.Parse(*text, from)) return error;
    if (from > length) return MciError::kOutOfRange;
  }
  if (const std::string* text = c.ValueAfter("to")) {
    if (DWORD error = m_time.Parse(*text, to)) return error;
    if (to <= from) return MciError::kOutOfRange;
  }
  // Memory bounds a recording left running: the decoder's caps on a sound.
  const std::size_t cap = std::min<std::size_t>(
      m_services.limits.maxBytes, static_cast<std::size_t>(m_services.limits.maxSeconds) * format.BytesPerSec());
  {
    std::lock_guard lock(m_shared->mutex);
    const std::size_t keep = std::min<std::size_t>(WaveFramesForMs(format, static_cast<DWORD>(from)) * block,
                                                   m_shared->data.size() / block * block);
    m_shared->data.resize(keep);  // recording from a position replaces what followed it
    m_shared->target = to ? std::min<std::size_t>(WaveFramesForMs(format, static_cast<DWORD>(to)) * block, cap) : cap;
    m_shared->paused = false;
    m_shared->done = false;
  }
  std::weak_ptr<Shared> weak = m_shared;
  auto sink = [weak](const std::uint8_t* bytes, std::size_t count) {
    auto state = weak.lock();
    if (!state) return;
    std::lock_guard lock(state->mutex);
    if (state->done || state->paused) return;
    const std::size_t room = state->target - std::min(state->target, state->data.size());
    state->data.insert(state->data.end(), bytes, bytes + std::min(room, count));
    if (state->data.size() >= state->target) {
      state->done = true;
      state->notifier.Fire(MciNotify::kSuccessful);
      MciWakeWait();
    }
  };
  m_capture = CAudioCapture::Open(format, std::move(sink));
  if (!m_capture) return MciError::kWaveInputsUnsuitable;
  // Armed before the capture runs, so an end that comes at once still has its window.
  m_shared->notifier.ArmOrSupersede(c, callback);
  m_capture->Start();
  if (c.wait && to) WaitForEnd(static_cast<DWORD>(to - from));
  return MciError::kNone;
}

void CMciWaveRecorderDevice::WaitForEnd(DWORD ms) {
  // Capture runs by the sound card's clock; the steady clock bounds the wait.
  MciWaitUntil(MciBlockingWait(), SteadyClock(), MciWaitLimitMs(ms), [this] {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->done;
  });
}

DWORD CMciWaveRecorderDevice::Save(const CMciCommand& c) {
  if (IsCapturing()) {
    FinishCapture();
    m_shared->notifier.Fire(MciNotify::kAborted);
  }
  const std::string name = c.words.empty() ? GetElement() : c.words[0];
  if (name.empty()) return MciError::kFilenameRequired;
  const auto path = tvn::path::MapWindowsPath(CString(name));
  if (!path || path->filename().empty()) return MciError::kFileWrite;
  std::string bytes;
  {
    std::lock_guard lock(m_shared->mutex);
    bytes = WaveFileBytes(m_shared->format, m_shared->data.data(), m_shared->data.size());
  }
  // Written beside the target and renamed over it once complete: a failed
  // save leaves any earlier file whole.
  tvn::sys::StagedFile file;
  if (!file.Create(*path) || !file.Write(bytes) || !file.Commit(std::nullopt, std::nullopt))
    return MciError::kFileWrite;
  return MciError::kNone;
}

DWORD CMciWaveRecorderDevice::Set(const CMciCommand& c) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "time") return m_time.Set(c);
  WaveFormat format = m_shared->format;
  if (item == "bitspersample" || item == "samplespersec" || item == "channels" || item == "bytespersec" ||
      item == "alignment") {
    const std::string* text = c.ValueAfter(item);
    DWORD value = 0;
    if (!text || !ParseMciNumber(*text, value)) return MciError::kBadInteger;
    if (item == "bitspersample") {
      if (value != 8 && value != 16) return MciError::kOutOfRange;
      format.bitsPerSample = static_cast<WORD>(value);
    } else if (item == "samplespersec") {
      if (value < 1000 || value > 192000) return MciError::kOutOfRange;
      format.samplesPerSec = value;
    } else if (item == "channels") {
      if (value != 1 && value != 2) return MciError::kOutOfRange;
      format.channels = static_cast<WORD>(value);
    }
    // Bytes a second and the block alignment follow from the other three.
  } else if (item == "format") {
    const std::string* tag = c.ValueAfter("tag");
    if (!tag || !(tvn::codepage::EqualsNoCaseAscii(*tag, "pcm") || *tag == "1")) return MciError::kBadConstant;
  } else if (item == "audio" || item == "door" || item == "input" || item == "output" || item == "any") {
    return MciError::kNone;
  } else {
    std::string ignored;
    return m_player->Command(c, ignored, nullptr);
  }
  std::lock_guard lock(m_shared->mutex);
  if (format == m_shared->format) return MciError::kNone;
  // Sound already recorded keeps its format: it would otherwise be read as another.
  if (!m_shared->data.empty() || IsCapturing()) return MciError::kUnsupportedFunction;
  m_shared->format = format;
  return MciError::kNone;
}

DWORD CMciWaveRecorderDevice::Status(const CMciCommand& c, std::string& reply) {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  const WaveFormat format = m_shared->format;
  if (item == "mode" && IsCapturing()) {
    std::lock_guard lock(m_shared->mutex);
    reply = m_shared->paused ? "paused" : "recording";
  } else if (item == "length" || (item == "position" && IsCapturing())) {
    reply = m_time.Format(RecordedMs());
  } else if (item == "bitspersample") {
    reply = std::to_string(format.bitsPerSample);
  } else if (item == "samplespersec") {
    reply = std::to_string(format.samplesPerSec);
  } else if (item == "channels") {
    reply = std::to_string(format.channels);
  } else if (item == "bytespersec") {
    reply = std::to_string(format.BytesPerSec());
  } else if (item == "alignment") {
    reply = std::to_string(format.BlockAlign());
  } else if (item == "format" && c.Has("tag")) {
    reply = "pcm";
  } else {
    return m_player->Command(c, reply, nullptr);
  }
  return MciError::kNone;
}

DWORD CMciWaveRecorderDevice::Capability(const CMciCommand& c, std::string& reply) const {
  if (c.words.empty()) return MciError::kMissingParameter;
  const std::string item = tvn::codepage::LowerAscii(c.words[0]);
  if (item == "can" && c.words.size() > 1) {
    const std::string what = tvn::codepage::LowerAscii(c.words[1]);
    if (what == "record" || what == "save" || what == "play") reply = "true";
    else if (what == "eject") reply = "false";
    else return MciError::kUnrecognizedKeyword;
  } else if (item == "device" && c.Has("type")) {
    reply = "waveaudio";
  } else if (item == "has") {
    reply = c.Has("audio") ? "true" : "false";
  } else if (item == "uses" && c.Has("files")) {
    reply = "true";
  } else if (item == "compound" && c.Has("device")) {
    reply = "true";
  } else {
    return MciError::kUnrecognizedKeyword;
  }
  return MciError::kNone;
}
