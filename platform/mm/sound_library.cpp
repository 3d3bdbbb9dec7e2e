// Our own sound library: sounds by handle, one mixer voice per playing pass, and its table of entry points.
#include "platform/mm/sound_library.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/media_ids.h"
#include "platform/mm/media_source.h"
#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"

struct CSoundLibrary::Sound {
  DWORD handle = 0;
  HWND owner = nullptr;
  std::shared_ptr<const CPcmBuffer> pcm;
  DWORD voice = 0;
  DWORD position = 0;  // frame, while no voice plays
  LONG volume = 0;     // hundredths of a decibel, -10000..0
  LONG balance = 0;    // -10000..10000
  double rate = 1.0;
};

namespace {

DWORD EntryOpen(CSoundLibrary& lib, HWND owner, const char* name, DWORD) { return lib.Open(owner, name ? name : ""); }
DWORD EntryPlay(CSoundLibrary& lib, DWORD handle, DWORD, double from, double to, LONG) { return lib.Play(handle, from, to); }
void EntryStop(CSoundLibrary& lib, DWORD handle) { lib.Stop(handle); }
void EntryClose(CSoundLibrary& lib, DWORD handle) { lib.Close(handle); }
DWORD EntryGetData(CSoundLibrary& lib, DWORD handle, double* length, double* second) {
  if (length) *length = lib.Length(handle);
  if (second) *second = 0.0;
  return 1;
}
void EntrySeek(CSoundLibrary& lib, DWORD handle, double position) { lib.Seek(handle, position); }
void EntryVolume(CSoundLibrary& lib, DWORD handle, LONG value) { lib.SetVolume(handle, value); }
void EntryBalance(CSoundLibrary& lib, DWORD handle, LONG value) { lib.SetBalance(handle, value); }
void EntrySpeed(CSoundLibrary& lib, DWORD handle, double speed) { lib.SetSpeed(handle, speed); }
void EntryFree(CSoundLibrary& lib) { lib.FreeAll(); }
double EntryPosition(CSoundLibrary& lib, DWORD handle) { return lib.Position(handle); }

template <class Proc>
void (*Generic(Proc proc))() {
  return reinterpret_cast<void (*)()>(proc);
}

struct EntryRow {
  std::string_view name;
  void (*proc)();
};

const std::array<EntryRow, 11>& Entries() {
  static const std::array<EntryRow, 11> rows{{
      {"OpenDirectSound", Generic<CSoundLibrary::OpenProc>(&EntryOpen)},
      {"PlayDirectSound", Generic<CSoundLibrary::PlayProc>(&EntryPlay)},
      {"StopDirectSound", Generic<CSoundLibrary::HandleProc>(&EntryStop)},
      {"CloseDirectSound", Generic<CSoundLibrary::HandleProc>(&EntryClose)},
      {"GetDataDirectSound", Generic<CSoundLibrary::GetDataProc>(&EntryGetData)},
      {"SeekDirectSound", Generic<CSoundLibrary::SeekProc>(&EntrySeek)},
      {"SetVolumeDirectSound", Generic<CSoundLibrary::LevelProc>(&EntryVolume)},
      {"SetBalanceDirectSound", Generic<CSoundLibrary::LevelProc>(&EntryBalance)},
      {"SetSpeedDirectSound", Generic<CSoundLibrary::SpeedProc>(&EntrySpeed)},
      {"FreeDirectSound", Generic<CSoundLibrary::FreeProc>(&EntryFree)},
      {"GetPositionDirectSound", Generic<CSoundLibrary::PositionProc>(&EntryPosition)},
  }};
  return rows;
}

}  // namespace

CSoundLibrary::CSoundLibrary(CMediaIds& ids, CAudioMixer& mixer, DecodeLimits limits)
    : m_ids(ids), m_mixer(mixer), m_limits(limits) {}

CSoundLibrary::~CSoundLibrary() { FreeAll(); }

CSoundLibrary::GenericProc CSoundLibrary::FindEntry(std::string_view name) const {
  if (!m_present) return nullptr;
  for (const EntryRow& row : Entries())
    if (row.name == name) return row.proc;
  return nullptr;
}

void CSoundLibrary::RemoveUser() {
  if (m_users > 0 && --m_users == 0) FreeAll();
}

CSoundLibrary::Sound* CSoundLibrary::Find(DWORD handle) {
  auto it = m_sounds.find(handle);
  return it == m_sounds.end() ? nullptr : it->second.get();
}

DWORD CSoundLibrary::Open(HWND owner, const CString& name) {
  if (!m_opener || name.IsEmpty()) return 0;
  std::unique_ptr<IMediaByteSource> source = m_opener(name);
  if (!source) return 0;
  auto pcm = std::make_shared<CPcmBuffer>();
  if (DecodeSound(*source, m_limits, *pcm) != DecodeResult::ok) return 0;
  auto sound = std::make_unique<Sound>();
  sound->handle = m_ids.Next();
  sound->owner = owner;
  sound->pcm = std::move(pcm);
  const DWORD handle = sound->handle;
  std::lock_guard lock(m_mutex);
  m_sounds[handle] = std::move(sound);
  return handle;
}

void CSoundLibrary::ApplyLevels(Sound& s) {
  if (s.voice == 0) return;
  const MixerLevels levels = LevelsFromAttenuation(s.volume, s.balance);
  m_mixer.SetGain(s.voice, levels.gain, levels.balance);
}

DWORD CSoundLibrary::Play(DWORD handle, double from, double to) {
  std::lock_guard lock(m_mutex);
  Sound* s = Find(handle);
  if (!s) return 0;
  if (s->voice) m_mixer.Stop(s->voice);
  const DWORD frames = s->pcm->Frames();
  const auto toFrames = [frames](double seconds) {
    if (!(seconds > 0)) return DWORD{0};
    return static_cast<DWORD>(std::min<double>(seconds * CPcmBuffer::kRate, frames));
  };
  DWORD start = from > 0 ? toFrames(from) : (s->position < frames ? s->position : 0);
  const DWORD end = to > 0 ? std::max(toFrames(to), start) : frames;
  CAudioMixer::VoiceSettings settings;
  settings.from = start;
  settings.to = end;
  settings.rate = s->rate;
  const HWND owner = s->owner;
  s->voice = m_mixer.Start(s->pcm, settings, [owner, handle] {
    if (owner) ::PostMessage(owner, MM_MCINOTIFY, 1, static_cast<LPARAM>(handle));
  });
  s->position = end;
  ApplyLevels(*s);
  return 1;
}

void CSoundLibrary::Stop(DWORD handle) {
  std::lock_guard lock(m_mutex);
  if (Sound* s = Find(handle); s && s->voice) {
    if (auto pos = m_mixer.Position(s->voice)) s->position = *pos;
    m_mixer.Stop(s->voice);
    s->voice = 0;
  }
}

void CSoundLibrary::Close(DWORD handle) {
  std::lock_guard lock(m_mutex);
  if (Sound* s = Find(handle)) {
    if (s->voice) m_mixer.Stop(s->voice);
    m_sounds.erase(handle);
  }
}

double CSoundLibrary::Length(DWORD handle) {
  std::lock_guard lock(m_mutex);
  Sound* s = Find(handle);
  return s ? static_cast<double>(s->pcm->Frames()) / CPcmBuffer::kRate : 0.0;
}

void CSoundLibrary::Seek(DWORD handle, double seconds) {
  std::lock_guard lock(m_mutex);
  Sound* s = Find(handle);
  if (!s) return;
  if (s->voice) m_mixer.Stop(s->voice);
  s->voice = 0;
  const DWORD frames = s->pcm->Frames();
  s->position = seconds < 0 ? frames : static_cast<DWORD>(std::min<double>(seconds * CPcmBuffer::kRate, frames));
}

void CSoundLibrary::SetVolume(DWORD handle, LONG value) {
  std::lock_guard lock(m_mutex);
  if (Sound* s = Find(handle)) {
    s->volume = std::clamp<LONG>(value, -10000, 0);
    ApplyLevels(*s);
  }
}

void CSoundLibrary::SetBalance(DWORD handle, LONG value) {
  std::lock_guard lock(m_mutex);
  if (Sound* s = Find(handle)) {
    s->balance = std::clamp<LONG>(value, -10000, 10000);
    ApplyLevels(*s);
  }
}

void CSoundLibrary::SetSpeed(DWORD handle, double speed) {
  if (!(speed > 0)) return;
  std::lock_guard lock(m_mutex);
  if (Sound* s = Find(handle)) {
    s->rate = speed;
    if (s->voice) m_mixer.SetRate(s->voice, speed);
  }
}

double CSoundLibrary::Position(DWORD handle) {
  std::lock_guard lock(m_mutex);
  Sound* s = Find(handle);
  if (!s) return 0.0;
  DWORD frame = s->position;
  if (s->voice)
    if (auto pos = m_mixer.Position(s->voice)) frame = *pos;
  return static_cast<double>(frame) / CPcmBuffer::kRate;
}

void CSoundLibrary::FreeAll() {
  std::lock_guard lock(m_mutex);
  for (auto& [handle, s] : m_sounds)
    if (s->voice) m_mixer.Stop(s->voice);
  m_sounds.clear();
}

bool CSoundLibrary::IsPlaying(DWORD handle) {
  std::lock_guard lock(m_mutex);
  Sound* s = Find(handle);
  return s && s->voice && m_mixer.Position(s->voice).has_value();
}

std::size_t CSoundLibrary::SoundCount() const {
  std::lock_guard lock(m_mutex);
  return m_sounds.size();
}
