// CAudioMixer: the voices that sound at once, mixed in one pass into 16-bit stereo.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/mm/pcm_buffer.h"
#include "platform/base/win_types.h"

class IClock;

// Gain and balance of a voice from levels in hundredths of a decibel: volume
// 0 is unity and -10000 silence (gain 10^(v/2000)); a balance attenuates the
// other side by as much (positive: the left side is quieter).
struct MixerLevels {
  float gain;
  float balance;
};
MixerLevels LevelsFromAttenuation(LONG volume, LONG balance);

// Frames made while they are mixed (a synthesizer's), for a voice that has
// no decoded sound. Render runs on the mixing thread under the mixer's lock
// and must not call the mixer.
class IAudioStream {
 public:
  virtual ~IAudioStream() = default;
  // Fills up to frames frames of 16-bit stereo; the frames made. Fewer than
  // asked, or Ended() afterwards, ends the voice.
  virtual std::size_t Render(std::int16_t* out, std::size_t frames) = 0;
  virtual bool Ended() const = 0;
};

// A voice plays one range of a decoded sound once, with its own gain,
// balance and rate. Its position is the frames of the sound consumed. When a
// voice reaches the end of its range it leaves the mixer and its end handler
// runs on the thread that mixed (the sound output's), outside the mixer's
// lock: the handler only posts to the user-interface thread.
class CAudioMixer {
 public:
  using EndHandler = std::function<void()>;

  struct VoiceSettings {
    DWORD from = 0;       // first frame
    DWORD to = 0;         // frame after the last; 0 or past the end: the sound's end
    float gain = 1.0f;    // linear, 1 unity
    float balance = 0.0f; // -1 only the left side, 1 only the right
    double rate = 1.0;    // frames of the sound per frame out
  };

  // Starts a voice; its id (from the mixer's own count, never 0).
  DWORD Start(std::shared_ptr<const CPcmBuffer> sound, const VoiceSettings& settings, EndHandler onEnd);
  // Starts a voice on a stream at unit rate; its position is the frames rendered.
  DWORD StartStream(std::shared_ptr<IAudioStream> stream, float gain, EndHandler onEnd);
  // Removes the voice without running its end handler; false when it had ended.
  bool Stop(DWORD voice);
  void SetPaused(DWORD voice, bool paused);
  void SetGain(DWORD voice, float gain, float balance);
  // Rates of 0 or below are ignored.
  void SetRate(DWORD voice, double rate);
  // Moves where the voice ends (0 or past the end: the sound's end; not
  // before the frame it plays next).
  void SetEnd(DWORD voice, DWORD to);
  // The frame it will play next, while it sounds.
  std::optional<DWORD> Position(DWORD voice) const;
  // The frame of the voice being heard now: its position less the frames
  // mixed for it that the device still holds; never before where the voice
  // started nor past its position. The position itself without a device.
  std::optional<DWORD> HeardPosition(DWORD voice) const;

  // Mix hands its frames to a device that plays them by this clock (the
  // sound card's callback); null: what is mixed counts as played at once.
  void SetDeviceClock(const IClock* clock);
  // Frames handed to the device and not yet played by its clock.
  DWORD UnplayedFrames() const;
  bool IsPlaying(DWORD voice) const;
  std::size_t VoiceCount() const;

  // Mixes the next frames of every voice into out (frames x 2 samples).
  void Mix(std::int16_t* out, std::size_t frames);

 private:
  struct Voice {
    DWORD id;
    std::shared_ptr<const CPcmBuffer> sound;
    std::shared_ptr<IAudioStream> stream;  // instead of the sound
    std::uint64_t pos;   // 32.32 fixed-point frame
    DWORD start = 0;     // the frame it started at
    std::uint64_t step;  // 32.32 fixed-point frames per frame out
    DWORD end;
    std::int32_t gainLeft;   // Q15
    std::int32_t gainRight;  // Q15
    bool paused = false;
    EndHandler onEnd;
  };

  Voice* Find(DWORD voice);
  const Voice* Find(DWORD voice) const;
  static void ApplyGain(Voice& v, float gain, float balance);
  static void MixVoice(Voice& v, std::int32_t* acc, std::size_t frames);
  void MixStream(Voice& v, std::int32_t* acc, std::size_t frames);

  DWORD UnplayedLocked() const;
  // Frames still held by the device at that reading of its clock.
  DWORD UnplayedAt(DWORD now) const;

  mutable std::mutex m_mutex;
  const IClock* m_deviceClock = nullptr;
  std::uint64_t m_unplayed = 0;  // at the last handover
  DWORD m_handedAt = 0;          // the device clock then
  std::vector<Voice> m_voices;
  std::vector<std::int32_t> m_acc;
  std::vector<std::int16_t> m_streamScratch;
  DWORD m_lastId = 0;
};
