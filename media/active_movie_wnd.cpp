// The clip player: the extension table, the worker (memory stream, decoding, notices to the owner), control and picture.
#include "media/active_movie_wnd.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "media/clip_video_wnd.h"
#include "media/memory_stream.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/mm/audio_mixer.h"
#include "platform/gdi/dc.h"
#include "platform/mm/media_decoder.h"
#include "platform/mm/media_system.h"
#include "platform/user/message_loop.h"
#include "platform/mm/video_frames.h"

namespace {

constexpr WPARAM kBuilt = 2;
constexpr WPARAM kComplete = 1;

// Lengthens the sound with silence to the seconds, within the limits.
void PadWithSilence(CPcmBuffer& sound, double seconds, const DecodeLimits& limits) {
  const double capped = std::min(seconds, static_cast<double>(limits.maxSeconds));
  const std::size_t samples = std::min(static_cast<std::size_t>(capped * CPcmBuffer::kRate) * CPcmBuffer::kChannels,
                                       limits.maxBytes / sizeof(std::int16_t));
  if (samples > sound.samples.size()) sound.samples.resize(samples, 0);
}

bool IsShowable(const IVideoFrames& frames) {
  return frames.FrameCount() > 0 && frames.Width() > 0 && frames.Height() > 0 && frames.FrameMs() > 0;
}

}  // namespace

CActiveMovieWnd::CActiveMovieWnd() = default;

CActiveMovieWnd::~CActiveMovieWnd() { Free(); }

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
  auto stream = std::make_unique<CMemoryStream>(env, m_path, CMemoryStream::kUnlimited, m_system->Clock());
  if (!stream->IsOpened()) {
    if (reportErrors) Report(env, kCannotPlay);
    return;
  }
  const DecodeLimits& limits = m_system->Limits();
  auto sound = std::make_shared<CPcmBuffer>();
  MediaInfo info;
  const DecodeResult result = DecodeSound(*stream, limits, *sound, &info, &m_stop);
  if (result == DecodeResult::stopped || m_stop) return;
  std::unique_ptr<IVideoFrames> frames;
  if (result != DecodeResult::tooLarge && stream->Seek(0)) frames = OpenVideoFrames(std::move(stream), limits);
  if (frames && !IsShowable(*frames)) frames.reset();
  if (m_stop) return;
  const double pictureSeconds = frames ? frames->FrameCount() * frames->FrameMs() / 1000.0 : 0.0;
  if (result == DecodeResult::noSound && (info.durationSeconds > 0 || frames)) {
    // A clip without sound still plays: silence as long as the clip.
    sound->samples.clear();
    PadWithSilence(*sound, std::max(info.durationSeconds, pictureSeconds), limits);
  } else if (result != DecodeResult::ok) {
    if (reportErrors) Report(env, kCannotPlay);
    return;
  }
  // The time line is the longer of sound and picture.
  PadWithSilence(*sound, pictureSeconds, limits);
  {
    std::lock_guard lock(m_mutex);
    m_duration = static_cast<double>(sound->Frames()) / CPcmBuffer::kRate;
    m_sound = std::move(sound);
    if (frames) m_source = CRect(0, 0, frames->Width(), frames->Height());
    m_frames = std::move(frames);
  }
  m_state = 1;
  if (m_owner) ::PostMessage(m_owner, MM_MCINOTIFY, kBuilt, static_cast<LPARAM>(m_handle));
}

void CActiveMovieWnd::Free() {
  // The window leaves its owner first: hidden, then destroyed.
  if (m_window) {
    if (m_window->GetSafeHwnd()) {
      m_window->Show(FALSE);
      m_window->DestroyWindow();
    }
    m_window.reset();
  }
  m_windowRect = CRect();
  m_stop = true;
  if (m_worker.joinable()) m_worker.join();
  std::lock_guard lock(m_mutex);
  if (m_voice && m_system) m_system->Mixer().Stop(m_voice);
  m_voice = 0;
  m_sound.reset();
  m_frames.reset();
  m_picture = CPixelImage();
  m_pictureFrame = -1;
  m_source = CRect();
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

CClipVideoWnd* CActiveMovieWnd::VideoWindow() {
  if (m_window) return m_window->GetSafeHwnd() ? m_window.get() : nullptr;
  {
    std::lock_guard lock(m_mutex);
    if (!m_frames) return nullptr;
  }
  // Windows belong to the user-interface thread.
  CMessageLoop* loop = CMessageLoop::Current();
  CWnd* owner = loop && loop->IsLoopThread() ? CWnd::FromHandle(m_owner) : nullptr;
  if (!owner) return nullptr;
  auto window = std::make_unique<CClipVideoWnd>(*this);
  if (!window->Create(owner, m_windowRect)) return nullptr;
  m_window = std::move(window);
  return m_window.get();
}

void CActiveMovieWnd::ShowVideo(BOOL show) {
  if (m_state.load() == 0) return;
  if (CClipVideoWnd* window = VideoWindow()) window->Show(show);
}

void CActiveMovieWnd::SetWindowRect(const CRect& rect) {
  if (m_state.load() == 0) return;
  m_windowRect = rect;
  if (CClipVideoWnd* window = VideoWindow()) window->Place(rect);
}

BOOL CActiveMovieWnd::GetVideoRect(CRect& rect) const {
  rect = CRect();
  if (m_state.load() == 0) return FALSE;
  std::lock_guard lock(m_mutex);
  if (!m_frames) return FALSE;
  rect = CRect(m_source.left, m_source.top, m_source.Width(), m_source.Height());
  return TRUE;
}

void CActiveMovieWnd::SetVideoRect(const CRect& rect) {
  if (m_state.load() == 0) return;
  {
    std::lock_guard lock(m_mutex);
    if (!m_frames) return;
    const long long left = rect.left, top = rect.top, width = rect.right, height = rect.bottom;
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > m_frames->Width() ||
        top + height > m_frames->Height())
      return;
    const CRect source(rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom);
    if (source == m_source) return;  // the page places its clip on every draw
    m_source = source;
  }
  if (m_window && m_window->GetSafeHwnd()) m_window->Invalidate(FALSE);
}

BOOL CActiveMovieWnd::GetVideoSize(CSize& size) const {
  size = CSize();
  if (m_state.load() == 0) return FALSE;
  std::lock_guard lock(m_mutex);
  if (!m_frames) return FALSE;
  size = CSize(m_frames->Width(), m_frames->Height());
  return TRUE;
}

LONG CActiveMovieWnd::FrameAt(double seconds) const {
  if (!m_frames) return -1;
  const double frame = std::floor(seconds * 1000.0 / m_frames->FrameMs() + 1e-9);
  return static_cast<LONG>(std::clamp(frame, 0.0, static_cast<double>(m_frames->FrameCount() - 1)));
}

LONG CActiveMovieWnd::CurrentFrame() const {
  const double seconds = GetPosition();
  std::lock_guard lock(m_mutex);
  return FrameAt(seconds);
}

LONG CActiveMovieWnd::DrawPicture(CDC& dc, const CRect& client) {
  const double seconds = GetPosition();
  std::lock_guard lock(m_mutex);
  const LONG frame = FrameAt(seconds);
  if (frame >= 0 && frame != m_pictureFrame) {
    CPixelImage picture;
    if (m_frames->Frame(static_cast<DWORD>(frame), picture) && picture.Width() == m_frames->Width() &&
        picture.Height() == m_frames->Height()) {
      m_picture = std::move(picture);
      m_pictureFrame = frame;
    }
  }
  if (m_pictureFrame < 0) dc.FillSolidRect(client, RGB(0, 0, 0));  // nothing decoded yet
  else DrawPicturePart(dc, m_picture, m_source, client, client);
  return frame;
}
