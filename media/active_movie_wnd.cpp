// The clip player's worker: the extension table, the memory stream, decoding, and the notices to the owner.
#include "media/active_movie_wnd.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "media/memory_stream.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/audio_mixer.h"
#include "platform/media_decoder.h"
#include "platform/media_system.h"
#include "platform/message_loop.h"

namespace {

constexpr WPARAM kBuilt = 2;
constexpr WPARAM kComplete = 1;

}  // namespace

bool CActiveMovieWnd::IsPlayableExtension(const CString& path) {
  static constexpr std::array<std::string_view, 7> kExtensions{".MPG", ".MPA", ".MPV", ".DAT", ".AVI", ".MOV", ".WAV"};
  const int dot = path.ReverseFind('.');
  if (dot < 0) return false;
  CString ext = path.Mid(dot);
  ext.MakeUpper();
  return std::find(kExtensions.begin(), kExtensions.end(), std::string_view(ext.GetString())) != kExtensions.end();
}

BOOL CActiveMovieWnd::Open(const MediaEnvironment& env, const CString& path, BOOL reportErrors) {
  Free();
  m_path = path;
  if (!env.system) {
    if (reportErrors) Report(env, StringId::kQuartzFailed);
    return FALSE;
  }
  m_system = env.system;
  m_owner = env.owner;
  m_path = path;
  m_handle = env.system->Ids().Next();
  m_stop = false;
  {
    std::lock_guard lock(m_mutex);
    m_sound.reset();
    m_duration = 0.0;
    m_voice = 0;
    m_position = 0;
    m_stopFrame = 0;
  }
  m_worker = std::thread([this, env, reportErrors] { Build(env, reportErrors); });
  return TRUE;
}

void CActiveMovieWnd::Report(const MediaEnvironment& env, UINT stringId) {
  // Message boxes belong to the user-interface thread.
  CMessageService* messages = env.messages;
  CMessageLoop* loop = CMessageLoop::Current();
  if (!messages || !loop) return;
  const CString path = m_path;
  loop->PostCall([messages, stringId, path] { messages->MessageBoxFormatBeep(stringId, &path); });
}

void CActiveMovieWnd::Build(MediaEnvironment env, BOOL reportErrors) {
  constexpr UINT kCannotPlay = StringId::kCannotPlayClip;
  if (m_path.IsEmpty()) return;
  if (!IsPlayableExtension(m_path)) {
    if (reportErrors) Report(env, kCannotPlay);
    return;
  }
  CMemoryStream stream(env, m_path, CMemoryStream::kUnlimited, m_system->Clock());
  if (!stream.IsOpened()) {
    if (reportErrors) Report(env, kCannotPlay);
    return;
  }
  auto sound = std::make_shared<CPcmBuffer>();
  MediaInfo info;
  const DecodeResult result = DecodeSound(stream, m_system->Limits(), *sound, &info, &m_stop);
  if (result == DecodeResult::stopped || m_stop) return;
  // A clip without sound still plays: silence as long as the clip.
  if (result == DecodeResult::noSound && info.durationSeconds > 0)
    sound->samples.assign(static_cast<std::size_t>(std::min(info.durationSeconds, 3600.0) * CPcmBuffer::kRate) * 2, 0);
  else if (result != DecodeResult::ok) {
    if (reportErrors) Report(env, kCannotPlay);
    return;
  }
  {
    std::lock_guard lock(m_mutex);
    m_duration = static_cast<double>(sound->Frames()) / CPcmBuffer::kRate;
    m_sound = std::move(sound);
  }
  m_state = 1;
  if (m_owner) ::PostMessage(m_owner, MM_MCINOTIFY, kBuilt, static_cast<LPARAM>(m_handle));
}

void CActiveMovieWnd::Free() {
  m_stop = true;
  if (m_worker.joinable()) m_worker.join();
  std::lock_guard lock(m_mutex);
  if (m_voice && m_system) m_system->Mixer().Stop(m_voice);
  m_voice = 0;
  m_sound.reset();
  m_state = 0;
}

DWORD CActiveMovieWnd::StopFrame() const {
  const DWORD frames = m_sound ? m_sound->Frames() : 0;
  return m_stopFrame == 0 || m_stopFrame > frames ? frames : m_stopFrame;
}

void CActiveMovieWnd::ApplyLevels() {
  if (!m_voice) return;
  const MixerLevels levels = LevelsFromAttenuation(m_volume, m_balance);
  m_system->Mixer().SetGain(m_voice, levels.gain, levels.balance);
}

// Under the lock: a voice from the position to the stop frame.
void CActiveMovieWnd::StartVoice() {
  if (m_voice) m_system->Mixer().Stop(m_voice);
  m_voice = 0;
  const DWORD end = StopFrame();
  if (m_position >= end) return;  // at its end: nothing to play until the position moves
  CAudioMixer::VoiceSettings settings;
  settings.from = m_position;
  settings.to = end;
  settings.rate = m_rate;
  const HWND owner = m_owner;
  const DWORD handle = m_handle;
  m_voice = m_system->Mixer().Start(m_sound, settings, [owner, handle] {
    if (owner) ::PostMessage(owner, MM_MCINOTIFY, kComplete, static_cast<LPARAM>(handle));
  });
  m_position = end;  // where it stands once the voice has ended
  ApplyLevels();
}

void CActiveMovieWnd::Play() {
  const int state = m_state.load();
  if (state != 1 && state != 2) return;
  std::lock_guard lock(m_mutex);
  if (state == 2 && m_voice && m_system->Mixer().Position(m_voice)) m_system->Mixer().SetPaused(m_voice, false);
  else StartVoice();
  m_state = 3;
}

void CActiveMovieWnd::Pause() {
  const int state = m_state.load();
  if (state != 3 && state != 1) return;
  std::lock_guard lock(m_mutex);
  if (m_voice) m_system->Mixer().SetPaused(m_voice, true);
  m_state = 2;
}

void CActiveMovieWnd::Stop() {
  const int state = m_state.load();
  if (state != 3 && state != 2) return;
  std::lock_guard lock(m_mutex);
  if (m_voice) {
    if (auto pos = m_system->Mixer().Position(m_voice)) m_position = *pos;
    m_system->Mixer().Stop(m_voice);
    m_voice = 0;
  }
  m_state = 1;
}

void CActiveMovieWnd::SetPosition(double current, double stop) {
  if (m_state.load() == 0) return;
  std::lock_guard lock(m_mutex);
  const DWORD frames = m_sound->Frames();
  const auto toFrame = [frames](double seconds) {
    return static_cast<DWORD>(std::min<double>(seconds * CPcmBuffer::kRate, frames));
  };
  if (stop > 0) m_stopFrame = toFrame(stop);
  if (current > -2.0) {
    if (m_voice) m_system->Mixer().Stop(m_voice);
    m_voice = 0;
    m_position = current < 0 ? frames : toFrame(current);
    if (m_state.load() == 3) StartVoice();  // a running clip plays on from there
  } else if (stop > 0 && m_voice) {
    // A new stop time for the playing voice: restart it from where it is.
    if (auto pos = m_system->Mixer().Position(m_voice)) m_position = *pos;
    if (m_state.load() == 3) StartVoice();
  }
}

double CActiveMovieWnd::GetPosition() const {
  if (m_state.load() == 0) return 0.0;
  std::lock_guard lock(m_mutex);
  DWORD frame = m_position;
  if (m_voice)
    if (auto pos = m_system->Mixer().Position(m_voice)) frame = *pos;
  return static_cast<double>(frame) / CPcmBuffer::kRate;
}

double CActiveMovieWnd::GetDuration() const {
  if (m_state.load() == 0) return 0.0;
  std::lock_guard lock(m_mutex);
  return m_duration;
}

void CActiveMovieWnd::SetVolume(LONG volume) {
  if (m_state.load() == 0) return;
  std::lock_guard lock(m_mutex);
  m_volume = std::clamp<LONG>(volume, -10000, 0);
  ApplyLevels();
}

void CActiveMovieWnd::SetBalance(LONG balance) {
  if (m_state.load() == 0) return;
  std::lock_guard lock(m_mutex);
  m_balance = std::clamp<LONG>(balance, -10000, 10000);
  ApplyLevels();
}

void CActiveMovieWnd::SetRate(double rate) {
  if (m_state.load() == 0 || !(rate > 0)) return;
  std::lock_guard lock(m_mutex);
  m_rate = rate;
  if (m_voice) m_system->Mixer().SetRate(m_voice, rate);
}

BOOL CActiveMovieWnd::GetVideoRect(CRect& rect) const {
  rect = m_state.load() == 0 ? CRect() : m_videoRect;
  return m_state.load() != 0;
}
