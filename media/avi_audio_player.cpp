// The AVI sound track on its own mixer voice, and the clock that voice gives the picture.
#include "media/avi_audio_player.h"

#include <algorithm>
#include <limits>

#include "platform/mm/audio_mixer.h"

DWORD MulDivRound(DWORD a, DWORD b, DWORD c) {
  if (c == 0) return 0;
  const unsigned long long v = (static_cast<unsigned long long>(a) * b + c / 2) / c;
  return static_cast<DWORD>(std::min<unsigned long long>(v, std::numeric_limits<DWORD>::max()));
}

LONG CAviAudioPlayer::AudioClock(LONG startSample, DWORD samplesPerSec, DWORD consumed, DWORD consumedPerSec) {
  if (samplesPerSec == 0 || consumedPerSec == 0) return -1;
  const long long start = startSample < 0 ? -static_cast<long long>(MulDivRound(static_cast<DWORD>(-startSample), 1000,
                                                                                 samplesPerSec))
                                          : MulDivRound(static_cast<DWORD>(startSample), 1000, samplesPerSec);
  const long long t = start + MulDivRound(consumed, 1000, consumedPerSec);
  return static_cast<LONG>(std::clamp<long long>(t, -1, std::numeric_limits<LONG>::max()));
}

DWORD CAviAudioPlayer::FrameOf(LONG sample) const {
  const LONG offset = std::max<LONG>(sample - m_stream.startSample, 0);
  return MulDivRound(static_cast<DWORD>(offset), CPcmBuffer::kRate, m_stream.samplesPerSec);
}

BOOL CAviAudioPlayer::PlayAviAudio(HWND, const AviAudioStream& stream, LONG start, LONG end) {
  if (stream.sampleSize == 0 || stream.sampleSize > kMaxSampleSize || stream.samplesPerSec == 0 || !stream.sound ||
      !m_mixer)
    return FALSE;
  const LONG first = stream.startSample;
  const LONG last = static_cast<LONG>(std::clamp<long long>(static_cast<long long>(stream.startSample) +
                                                               stream.lengthSamples,
                                                           first, std::numeric_limits<LONG>::max()));
  if (start < 0) start = first;
  if (end < 0) end = last;
  start = std::max(start, first);
  end = std::min(end, last);
  if (start >= end) return FALSE;
  if (IsPlaying()) {
    // Playing on: only the end moves.
    m_playEnd = end;
    m_mixer->SetEnd(m_voice, FrameOf(end));
    return TRUE;
  }
  StopAviAudio();
  m_stream = stream;
  m_playStart = start;
  m_playEnd = end;
  CAudioMixer::VoiceSettings settings;
  settings.from = FrameOf(start);
  settings.to = FrameOf(end);
  if (settings.to <= settings.from || settings.from >= stream.sound->Frames()) return FALSE;
  m_fromFrame = settings.from;
  m_voice = m_mixer->Start(stream.sound, settings, nullptr);
  return m_voice != 0;
}

void CAviAudioPlayer::StopAviAudio() {
  if (m_voice && m_mixer) m_mixer->Stop(m_voice);
  m_voice = 0;
}

BOOL CAviAudioPlayer::IsPlaying() const { return m_voice && m_mixer && m_mixer->Position(m_voice).has_value(); }

LONG CAviAudioPlayer::GetAviAudioTime() const {
  if (!m_voice || !m_mixer) return -1;
  // What is heard: the frames the sound card still holds are not yet.
  const auto position = m_mixer->HeardPosition(m_voice);
  if (!position) return -1;  // the voice has played to its end
  const DWORD consumed = *position > m_fromFrame ? *position - m_fromFrame : 0;
  return AudioClock(m_playStart, m_stream.samplesPerSec, consumed, CPcmBuffer::kRate);
}
