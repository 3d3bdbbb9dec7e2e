// CAviAudioPlayer: an AVI file's sound track on a mixer voice of its own, whose frames heard are the picture's clock.
#pragma once

#include <memory>

#include "platform/mm/pcm_buffer.h"
#include "platform/base/win_types.h"
#include "platform/msg/window_messages.h"

class CAudioMixer;

// (a x b + c / 2) / c with a 64-bit intermediate; 0 when c is 0, and held at
// the largest 32-bit value when the result does not fit.
DWORD MulDivRound(DWORD a, DWORD b, DWORD c);

// The sound track as the AVI player hands it over. Samples count in the
// stream's own rate; the decoded sound starts at the stream's first sample.
struct AviAudioStream {
  DWORD sampleSize = 0;  // bytes of one sample of all channels: 1 to 16384 can be played
  DWORD samplesPerSec = 0;
  LONG startSample = 0;
  LONG lengthSamples = 0;
  std::shared_ptr<const CPcmBuffer> sound;  // 44100 Hz stereo, for the mixer
};

// Each AVI player has one, so two AVI files sound together and each keeps
// its own clock. Runs on the user-interface thread; the mixer plays the voice
// on its own thread and needs no refilling.
class CAviAudioPlayer {
 public:
  static constexpr DWORD kMaxSampleSize = 16384;

  // Without a mixer nothing plays and the picture times itself by the clock.
  explicit CAviAudioPlayer(CAudioMixer* mixer) : m_mixer(mixer) {}
  ~CAviAudioPlayer() { StopAviAudio(); }
  CAviAudioPlayer(const CAviAudioPlayer&) = delete;
  CAviAudioPlayer& operator=(const CAviAudioPlayer&) = delete;

  // Plays the samples start to end (-1: the stream's start, its end). While
  // it plays only the end moves. FALSE for a sample size of 0 or above
  // 16384, no sound, no mixer, or a start not below the end.
  BOOL PlayAviAudio(HWND window, const AviAudioStream& stream, LONG start = -1, LONG end = -1);
  void StopAviAudio();
  // Milliseconds on the stream's time line: the play start's time plus the
  // frames of the voice heard (consumed, less those the sound card still
  // holds); -1 when nothing plays.
  LONG GetAviAudioTime() const;
  BOOL IsPlaying() const;

  // The time of a start sample plus frames consumed at their own rate.
  static LONG AudioClock(LONG startSample, DWORD samplesPerSec, DWORD consumed, DWORD consumedPerSec);
  // The view's MM_WOM_DONE: the mixer needs no buffers back, so nothing to do.
  static void AviAudioOnWaveDone(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message, (void)wParam, (void)lParam;
  }

 private:
  // The frame of the decoded sound where a stream sample lies.
  DWORD FrameOf(LONG sample) const;

  CAudioMixer* m_mixer;
  AviAudioStream m_stream;
  DWORD m_voice = 0;
  DWORD m_fromFrame = 0;  // where the voice began in the decoded sound
  LONG m_playStart = 0;   // stream samples
  LONG m_playEnd = 0;
};
