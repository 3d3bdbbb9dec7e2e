// The mixer's voices and its one mixing pass.
#include "platform/mm/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/msg/clock.h"

namespace {

constexpr std::uint64_t kOne = std::uint64_t{1} << 32;

std::uint64_t RateStep(double rate) {
  const double step = std::clamp(rate, 1.0 / 64, 64.0) * static_cast<double>(kOne);
  return static_cast<std::uint64_t>(step);
}

}  // namespace

MixerLevels LevelsFromAttenuation(LONG volume, LONG balance) {
  const auto gainOf = [](LONG hundredthsDb) {
    return hundredthsDb <= -10000 ? 0.0f : static_cast<float>(std::pow(10.0, std::min<LONG>(hundredthsDb, 0) / 2000.0));
  };
  const LONG b = std::clamp<LONG>(balance, -10000, 10000);
  const float other = gainOf(-std::abs(b));
  return {gainOf(volume), b == 0 ? 0.0f : (b > 0 ? 1.0f - other : other - 1.0f)};
}

CAudioMixer::Voice* CAudioMixer::Find(DWORD voice) {
  auto it = std::find_if(m_voices.begin(), m_voices.end(), [voice](const Voice& v) { return v.id == voice; });
  return it == m_voices.end() ? nullptr : &*it;
}

const CAudioMixer::Voice* CAudioMixer::Find(DWORD voice) const {
  return const_cast<CAudioMixer*>(this)->Find(voice);
}

void CAudioMixer::ApplyGain(Voice& v, float gain, float balance) {
  gain = std::clamp(gain, 0.0f, 1.0f);
  balance = std::clamp(balance, -1.0f, 1.0f);
  // The balance attenuates the other side only.
  const float left = gain * (balance > 0 ? 1.0f - balance : 1.0f);
  const float right = gain * (balance < 0 ? 1.0f + balance : 1.0f);
  v.gainLeft = static_cast<std::int32_t>(std::lround(left * 32768.0f));
  v.gainRight = static_cast<std::int32_t>(std::lround(right * 32768.0f));
}

DWORD CAudioMixer::Start(std::shared_ptr<const CPcmBuffer> sound, const VoiceSettings& s, EndHandler onEnd) {
  std::lock_guard lock(m_mutex);
  Voice v;
  v.id = ++m_lastId == 0 ? ++m_lastId : m_lastId;
  const DWORD frames = sound ? sound->Frames() : 0;
  v.end = (s.to == 0 || s.to > frames) ? frames : s.to;
  v.start = std::min(s.from, v.end);
  v.pos = static_cast<std::uint64_t>(v.start) << 32;
  v.step = RateStep(s.rate > 0 ? s.rate : 1.0);
  v.sound = std::move(sound);
  v.onEnd = std::move(onEnd);
  ApplyGain(v, s.gain, s.balance);
  m_voices.push_back(std::move(v));
  return m_voices.back().id;
}

DWORD CAudioMixer::StartStream(std::shared_ptr<IAudioStream> stream, float gain, EndHandler onEnd) {
  std::lock_guard lock(m_mutex);
  Voice v;
  v.id = ++m_lastId == 0 ? ++m_lastId : m_lastId;
  v.end = 0xFFFFFFFFu;  // until the stream says it has ended
  v.pos = 0;
  v.step = kOne;
  v.stream = std::move(stream);
  v.onEnd = std::move(onEnd);
  ApplyGain(v, gain, 0.0f);
  m_voices.push_back(std::move(v));
  return m_voices.back().id;
}

bool CAudioMixer::Stop(DWORD voice) {
  std::lock_guard lock(m_mutex);
  auto it = std::find_if(m_voices.begin(), m_voices.end(), [voice](const Voice& v) { return v.id == voice; });
  if (it == m_voices.end()) return false;
  m_voices.erase(it);
  return true;
}

void CAudioMixer::SetPaused(DWORD voice, bool paused) {
  std::lock_guard lock(m_mutex);
  if (Voice* v = Find(voice)) v->paused = paused;
}

void CAudioMixer::SetGain(DWORD voice, float gain, float balance) {
  std::lock_guard lock(m_mutex);
  if (Voice* v = Find(voice)) ApplyGain(*v, gain, balance);
}

void CAudioMixer::SetRate(DWORD voice, double rate) {
  if (!(rate > 0)) return;
  std::lock_guard lock(m_mutex);
  if (Voice* v = Find(voice)) v->step = RateStep(rate);
}

void CAudioMixer::SetEnd(DWORD voice, DWORD to) {
  std::lock_guard lock(m_mutex);
  Voice* v = Find(voice);
  if (!v) return;
  const DWORD frames = v->sound ? v->sound->Frames() : 0;
  const DWORD end = (to == 0 || to > frames) ? frames : to;
  v->end = std::max(end, static_cast<DWORD>(v->pos >> 32));
}

std::optional<DWORD> CAudioMixer::Position(DWORD voice) const {
  std::lock_guard lock(m_mutex);
  const Voice* v = Find(voice);
  if (!v) return std::nullopt;
  return static_cast<DWORD>(v->pos >> 32);
}

std::optional<DWORD> CAudioMixer::HeardPosition(DWORD voice) const {
  std::lock_guard lock(m_mutex);
  const Voice* v = Find(voice);
  if (!v) return std::nullopt;
  const DWORD pos = static_cast<DWORD>(v->pos >> 32);
  // The frames the device holds, in the voice's own frames at its rate.
  const std::uint64_t held = (static_cast<unsigned __int128>(UnplayedLocked()) * v->step) >> 32;
  const DWORD played = pos > v->start ? pos - v->start : 0;
  return pos - static_cast<DWORD>(std::min<std::uint64_t>(held, played));
}

void CAudioMixer::SetDeviceClock(const IClock* clock) {
  std::lock_guard lock(m_mutex);
  m_deviceClock = clock;
  m_unplayed = 0;
  m_handedAt = clock ? clock->Now() : 0;
}

DWORD CAudioMixer::UnplayedFrames() const {
  std::lock_guard lock(m_mutex);
  return UnplayedLocked();
}

DWORD CAudioMixer::UnplayedLocked() const { return m_deviceClock ? UnplayedAt(m_deviceClock->Now()) : 0; }

DWORD CAudioMixer::UnplayedAt(DWORD now) const {
  const DWORD elapsed = now - m_handedAt;
  const std::uint64_t played = static_cast<std::uint64_t>(elapsed) * CPcmBuffer::kRate / 1000;
  return static_cast<DWORD>(m_unplayed > played ? m_unplayed - played : 0);
}

bool CAudioMixer::IsPlaying(DWORD voice) const {
  std::lock_guard lock(m_mutex);
  const Voice* v = Find(voice);
  return v && !v->paused;
}

std::size_t CAudioMixer::VoiceCount() const {
  std::lock_guard lock(m_mutex);
  return m_voices.size();
}

void CAudioMixer::MixVoice(Voice& v, std::int32_t* acc, std::size_t frames) {
  const std::int16_t* src = v.sound->samples.data();
  const std::int32_t gl = v.gainLeft;
  const std::int32_t gr = v.gainRight;
  const std::uint64_t endFixed = static_cast<std::uint64_t>(v.end) << 32;
  if (v.step == kOne && (v.pos & (kOne - 1)) == 0) {
    // Unit rate: a straight run over whole frames.
    const std::size_t first = static_cast<std::size_t>(v.pos >> 32);
    const std::size_t n = std::min<std::size_t>(frames, v.end - first);
    const std::int16_t* s = src + first * 2;
    for (std::size_t i = 0; i < n; ++i) {
      acc[2 * i] += (s[2 * i] * gl) >> 15;
      acc[2 * i + 1] += (s[2 * i + 1] * gr) >> 15;
    }
    v.pos += static_cast<std::uint64_t>(n) << 32;
    return;
  }
  // Another rate: linear interpolation between neighbouring frames.
  std::uint64_t pos = v.pos;
  const std::size_t last = v.end - 1;
  for (std::size_t i = 0; i < frames && pos < endFixed; ++i) {
    const std::size_t f = static_cast<std::size_t>(pos >> 32);
    const std::int32_t frac = static_cast<std::int32_t>((pos & (kOne - 1)) >> 17);  // Q15
    const std::size_t g = f < last ? f + 1 : f;
    const std::int32_t l = src[2 * f] + (((src[2 * g] - src[2 * f]) * frac) >> 15);
    const std::int32_t r = src[2 * f + 1] + (((src[2 * g + 1] - src[2 * f + 1]) * frac) >> 15);
    acc[2 * i] += (l * gl) >> 15;
    acc[2 * i + 1] += (r * gr) >> 15;
    pos += v.step;
  }
  v.pos = std::min(pos, endFixed);
}

void CAudioMixer::MixStream(Voice& v, std::int32_t* acc, std::size_t frames) {
  m_streamScratch.resize(frames * 2);
  const std::size_t made = std::min(v.stream->Render(m_streamScratch.data(), frames), frames);
  const std::int16_t* s = m_streamScratch.data();
  for (std::size_t i = 0; i < made; ++i) {
    acc[2 * i] += (s[2 * i] * v.gainLeft) >> 15;
    acc[2 * i + 1] += (s[2 * i + 1] * v.gainRight) >> 15;
  }
  v.pos += static_cast<std::uint64_t>(made) << 32;
  if (made < frames || v.stream->Ended()) v.end = static_cast<DWORD>(v.pos >> 32);
}

void CAudioMixer::Mix(std::int16_t* out, std::size_t frames) {
  std::vector<EndHandler> ended;
  {
    std::lock_guard lock(m_mutex);
    m_acc.assign(frames * 2, 0);
    for (Voice& v : m_voices) {
      if (v.paused || v.end <= (v.pos >> 32)) continue;
      if (v.stream) MixStream(v, m_acc.data(), frames);
      else MixVoice(v, m_acc.data(), frames);
    }
    for (auto it = m_voices.begin(); it != m_voices.end();) {
      if (!it->paused && (it->pos >> 32) >= it->end) {
        if (it->onEnd) ended.push_back(std::move(it->onEnd));
        it = m_voices.erase(it);
      } else {
        ++it;
      }
    }
    for (std::size_t i = 0; i < frames * 2; ++i)
      out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(m_acc[i], -32768, 32767));
    if (m_deviceClock) {  // these frames play after what the device still holds
      const DWORD now = m_deviceClock->Now();
      m_unplayed = std::uint64_t{UnplayedAt(now)} + frames;
      m_handedAt = now;
    }
  }
  for (EndHandler& handler : ended) handler();
}
