// The AVI player: opening through the memory-file list, the time line of both streams, the tick and the drawn frame.
#include "media/avi_player.h"

#include <algorithm>

#include "media/mci_wnd.h"
#include "media/mmio_mem_file.h"
#include "platform/msg/clock.h"
#include "platform/mm/media_system.h"
#include "platform/user/message_loop.h"
#include "platform/mm/video_decoder.h"
#include "platform/msg/window_messages.h"

namespace {

// The notice code of a medium that played to its end.
constexpr WPARAM kPlayedToEnd = 1;

}  // namespace

CAviPlayer::CAviPlayer(const MediaEnvironment& env)
    : m_env(env), m_audio(env.system ? &env.system->Mixer() : nullptr) {}

CAviPlayer::~CAviPlayer() { Close(); }

BOOL CAviPlayer::HasVideo() const { return m_decoder && m_decoder->Info().hasVideo; }
BOOL CAviPlayer::HasAudio() const { return m_decoder && m_decoder->Info().hasAudio; }

BOOL CAviPlayer::Open(const CString& name, HWND notifyWindow, LONG loopCount) {
  Close();
  m_notify = notifyWindow;
  m_loopCount = loopCount;
  if (!m_env.system) return FALSE;  // no media layer: nothing opens
  m_clock = &m_env.system->Clock();
  m_path = CMciWnd::KeyName(name);

  // A medium in pre-load memory or the data file is read through the
  // memory-file list under its key; one on disk only by its own name.
  std::unique_ptr<IMediaByteSource> source;
  if (m_env.memFiles) {
    auto file = std::make_unique<CMmioMemFile>(m_env.dataFile, m_env.cache, name, m_path);
    if (file->IsInMemory()) {
      m_memFile = m_env.memFiles->Add(std::move(file));
      source = m_env.memFiles->OpenStream(m_path);
    }
  }
  if (!m_memFile) {
    m_path = name;
    source = m_env.system->OpenSource(name);
  }
  if (source) m_decoder = CVideoDecoder::Open(std::move(source));
  if (!m_decoder) {
    Close();
    return FALSE;
  }

  const VideoStreamInfo& info = m_decoder->Info();
  m_id = m_env.system->Ids().Next();
  if (info.hasVideo) {
    m_videoStart = info.videoStartMs;
    m_videoEnd = info.videoEndMs;
    m_rangeStart = m_videoStart;
    m_rangeEnd = m_videoEnd;
  }
  if (info.hasAudio) {
    m_rangeStart = std::min(m_rangeStart, info.audioStartMs);
    m_rangeEnd = std::max(m_rangeEnd, info.audioEndMs);
  }
  if (m_rangeStart > m_rangeEnd) m_rangeStart = m_rangeEnd;  // streams of no length
  m_startTime = m_rangeStart;
  m_stopTime = m_rangeEnd;
  m_offset = 0;
  return TRUE;
}

void CAviPlayer::Close() {
  m_audio.StopAviAudio();
  m_playing = FALSE;
  m_passes = 0;
  // The stream goes before its memory file leaves the list.
  m_decoder.reset();
  if (m_memFile && m_env.memFiles) RemoveAndDeleteObject(*m_env.memFiles, m_memFile);
  m_memFile = nullptr;
  m_sound = {};
  m_soundTried = false;
  m_startTime = 0;
  m_stopTime = -1;
  m_rangeStart = INT_MAX;
  m_rangeEnd = 0;
  m_videoStart = INT_MAX;
  m_videoEnd = 0;
  m_offset = 0;
}

bool CAviPlayer::PrepareSound() {
  if (m_soundTried) return m_sound.sound != nullptr;
  m_soundTried = true;
  if (!HasAudio()) return false;
  const VideoStreamInfo& info = m_decoder->Info();
  auto pcm = std::make_shared<CPcmBuffer>();
  if (m_decoder->DecodeSound(m_env.system->Limits(), *pcm) != DecodeResult::ok || pcm->Frames() == 0) return false;
  m_sound.sampleSize = info.sampleSize;
  m_sound.samplesPerSec = info.sampleRate;
  m_sound.startSample = info.audioStartSample;
  m_sound.lengthSamples = info.audioSamples;
  m_sound.sound = std::move(pcm);
  return true;
}

LONG CAviPlayer::SampleAtTime(LONG time) const {
  const DWORD rate = m_decoder ? m_decoder->Info().sampleRate : 0;
  if (time <= 0 || rate == 0) return 0;
  return static_cast<LONG>(std::min<long long>(static_cast<long long>(time) * rate / 1000, INT_MAX));
}

void CAviPlayer::Play() {
  if (!m_decoder || !m_clock) return;
  SetCurrentTime(m_startTime);
  // The sound runs from the current time to the range's end (not the stop
  // time); without it the picture follows the clock.
  if (HasAudio() && PrepareSound()) {
    m_audio.PlayAviAudio(m_notify, m_sound, SampleAtTime(GetCurrentTime()), SampleAtTime(m_rangeEnd));
  }
  m_playing = TRUE;
  m_startTick = m_clock->Now();
}

void CAviPlayer::Stop() {
  m_audio.StopAviAudio();
  m_playing = FALSE;
  m_passes = 0;
}

BOOL CAviPlayer::OnIdle() {
  if (!m_playing || !m_clock) return FALSE;
  LONG t = m_audio.GetAviAudioTime();
  if (t == -1) t = static_cast<LONG>(m_clock->Now() - m_startTick) + m_startTime;
  if (t == GetCurrentTime()) return FALSE;
  t = std::max(t, m_startTime);
  if (t <= m_stopTime) {
    SetCurrentTime(t);
    return TRUE;
  }
  // A pass is over.
  ++m_passes;
  if (m_loopCount == -1 || m_passes < m_loopCount) {
    m_audio.StopAviAudio();
    Play();
  } else {
    m_audio.StopAviAudio();
    m_playing = FALSE;
    m_passes = 0;
    if (m_notify) ::PostMessage(m_notify, MM_MCINOTIFY, kPlayedToEnd, static_cast<LPARAM>(m_id));
  }
  return TRUE;
}

void CAviPlayer::Draw(CDC* dc, BOOL) {
  if (!dc || !HasVideo()) return;
  const LONG now = GetCurrentTime();
  if (now < m_videoStart) return;  // no picture before the stream's start
  if (m_decoder->DecodeAtTime(now)) m_decoder->Draw(*dc, m_rect);
}

void CAviPlayer::Seek(LONG frame) {
  if (!m_decoder) return;
  if (frame == -1) {
    SetCurrentTime(m_stopTime);
    return;
  }
  m_startTime = HasVideo() ? m_decoder->TimeOfFrame(std::max<LONG>(frame, 0)) : 0;
  // A frame at or past the end starts at the video's end.
  if (HasVideo() && frame >= GetLength()) m_startTime = m_videoEnd;
  SetCurrentTime(m_startTime);
}

LONG CAviPlayer::FrameToTime(LONG frame) {
  if (!HasVideo()) {
    m_stopTime = -1;
  } else {
    m_stopTime = frame >= GetLength() ? m_videoEnd : m_decoder->TimeOfFrame(std::max<LONG>(frame, 0));
  }
  return m_stopTime;
}

LONG CAviPlayer::GetLength() const { return HasVideo() ? m_decoder->Info().frameCount : 0; }

LONG CAviPlayer::GetCurrentFrame() const {
  if (!HasVideo()) return 0;
  const LONG now = GetCurrentTime();
  if (now < m_videoStart) return 0;
  return m_decoder->FrameAtTime(now);
}
