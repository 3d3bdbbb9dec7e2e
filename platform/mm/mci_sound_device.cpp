// The sound devices' own commands: play, the speed, and the recording format a player ignores.
#include "platform/mm/mci_sound_device.h"

#include <algorithm>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/media_source.h"

DWORD CMciSoundDevice::Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out) {
  auto sound = std::make_shared<CPcmBuffer>();
  MediaInfo info;
  if (request.source) {
    switch (DecodeSound(*request.source, request.services->limits, *sound, &info)) {
      case DecodeResult::ok: break;
      case DecodeResult::tooLarge: return MciError::kOutOfMemory;
      default: return MciError::kInvalidFile;
    }
  }
  out = std::make_unique<CMciSoundDevice>(request.id, request.type, std::move(sound), *request.services, info);
  return MciError::kNone;
}

namespace {

// Samples and bytes are the medium's own: its sample rate, and bytes by the
// block of a plain (PCM) sound or the average rate of any other. Its own
// counts of them (and of milliseconds) stand at the end of the sound, which
// the mixer holds resampled to its rate; a sound whose rate changes part-way
// counts each part at its own rate, and each part's end stands where the
// mixer's frames of it end. Without the medium's format samples are the
// mixer's frames.
CMciTimeFormat SoundTimeFormat(const MediaInfo& info, DWORD mixerFrames) {
  const bool own = info.soundRate > 0 && info.soundSamples > 0;
  const std::uint64_t bytesPerSecond =
      !own ? 0
      : info.soundPcm && info.soundBlockAlign > 0 ? std::uint64_t{info.soundRate} * info.soundBlockAlign
                                                    : info.soundBytesPerSecond;
  const bool bytes = bytesPerSecond > 0 && bytesPerSecond <= 0xFFFFFFFFu;
  CMciTimeFormat time(CPcmBuffer::kRate, MciTimeUnit::milliseconds,
                      bytes ? std::initializer_list<MciTimeUnit>{MciTimeUnit::samples, MciTimeUnit::bytes}
                            : std::initializer_list<MciTimeUnit>{MciTimeUnit::samples});
  if (!own) {
    time.SetRate(MciTimeUnit::samples, CPcmBuffer::kRate);
    return time;
  }
  // Parts that do not make up the sound held describe nothing: it is then one part.
  std::vector<SoundPart> parts = info.soundParts;
  std::uint64_t partFrames = 0;
  for (const SoundPart& part : parts) partFrames += part.frames;
  if (parts.size() < 2 || partFrames != mixerFrames ||
      std::any_of(parts.begin(), parts.end(), [](const SoundPart& part) { return part.rate == 0; }))
    parts = {{info.soundRate, info.soundSamples, mixerFrames}};
  std::vector<CMciTimeFormat::Part> samples, milliseconds, byteCounts;
  for (const SoundPart& part : parts) {
    samples.push_back({part.samples, part.frames, part.rate});
    milliseconds.push_back({part.samples * 1000 / part.rate, part.frames});
    if (bytes) byteCounts.push_back({part.samples * bytesPerSecond / part.rate, part.frames});
  }
  time.SetRate(MciTimeUnit::samples, info.soundRate);
  time.SetParts(MciTimeUnit::samples, std::move(samples));
  time.SetParts(MciTimeUnit::milliseconds, std::move(milliseconds));
  if (bytes) {
    if (info.soundPcm && info.soundBlockAlign > 0) {  // whole samples
      time.SetRate(MciTimeUnit::bytes, info.soundRate);
      time.SetBlock(MciTimeUnit::bytes, info.soundBlockAlign);
    } else {
      time.SetRate(MciTimeUnit::bytes, static_cast<std::uint32_t>(bytesPerSecond));
    }
    time.SetParts(MciTimeUnit::bytes, std::move(byteCounts));
  }
  return time;
}

}  // namespace

CMciSoundDevice::CMciSoundDevice(DWORD id, std::string type, std::shared_ptr<const CPcmBuffer> sound,
                                 MciDeviceServices& services, const MediaInfo& info)
    : CMciVoiceDevice(id, std::move(type), services, SoundTimeFormat(info, sound ? sound->Frames() : 0)),
      m_sound(std::move(sound)) {}

CMciSoundDevice::~CMciSoundDevice() { Close(); }

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
  return PlayRange(c, callback, from, to);
}

DWORD CMciSoundDevice::StartVoice(DWORD from, DWORD to, EndHandler onEnd) {
  CAudioMixer::VoiceSettings settings;
  settings.from = from;
  settings.to = to;
  settings.gain = m_gain;
  settings.rate = m_rate;
  return m_services.mixer->Start(m_sound, settings, std::move(onEnd));
}

DWORD CMciSoundDevice::StatusItem(const std::string& item, const CMciCommand&, std::string& reply) {
  if (item != "speed") return MciError::kUnrecognizedKeyword;
  reply = std::to_string(static_cast<int>(m_rate * 1000.0 + 0.5));
  return MciError::kNone;
}

DWORD CMciSoundDevice::SetItem(const std::string& item, const CMciCommand& c) {
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
