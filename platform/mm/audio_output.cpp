// The mixer's outputs: SDL2's device, the silent paced sink and the recording sink.
#include "platform/mm/audio_output.h"

#include <SDL.h>

namespace {

constexpr unsigned kSilentTickMs = 10;

void SdlCallback(void* userdata, Uint8* stream, int len) {
  auto* mixer = static_cast<CAudioMixer*>(userdata);
  mixer->Mix(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(len) / 4);
}

}  // namespace

CAudioOutput::CAudioOutput(const IClock& clock, Mode mode) : m_clock(clock), m_mode(mode) {
  m_start = m_clock.Now();
  if (m_mode == Mode::device && !OpenDevice()) m_mode = Mode::silent;
  if (m_mode == Mode::silent) m_thread = std::thread([this] { RunSilent(); });
}

CAudioOutput::~CAudioOutput() {
  if (m_thread.joinable()) {
    {
      std::lock_guard lock(m_threadMutex);
      m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
  }
  CloseDevice();
}

bool CAudioOutput::OpenDevice() {
  // SDL would otherwise take SIGINT and SIGTERM for quit events that nobody
  // reads here, and the program could no longer be stopped by a signal.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  m_sdlStarted = true;
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(CPcmBuffer::kRate);
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &SdlCallback;
  want.userdata = &m_mixer;
  SDL_AudioSpec have{};
  m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (m_device == 0) {
    CloseDevice();
    return false;
  }
  m_mixer.SetDeviceClock(&m_clock);
  SDL_PauseAudioDevice(m_device, 0);
  return true;
}

void CAudioOutput::CloseDevice() {
  if (m_device != 0) SDL_CloseAudioDevice(m_device);
  m_device = 0;
  m_mixer.SetDeviceClock(nullptr);
  if (m_sdlStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  m_sdlStarted = false;
}

std::size_t CAudioOutput::Pump() {
  if (m_mode == Mode::device) return 0;
  std::lock_guard lock(m_pumpMutex);
  const DWORD elapsed = m_clock.Now() - m_start;
  const unsigned long long due = static_cast<unsigned long long>(elapsed) * CPcmBuffer::kRate / 1000;
  if (due <= m_framesDone) return 0;
  const std::size_t frames = static_cast<std::size_t>(due - m_framesDone);
  m_framesDone = due;
  m_scratch.resize(frames * 2);
  m_mixer.Mix(m_scratch.data(), frames);
  if (m_mode == Mode::recording) m_recorded.insert(m_recorded.end(), m_scratch.begin(), m_scratch.end());
  return frames;
}

std::vector<std::int16_t> CAudioOutput::Recorded() const {
  std::lock_guard lock(m_pumpMutex);
  return m_recorded;
}

void CAudioOutput::RunSilent() {
  std::unique_lock lock(m_threadMutex);
  while (!m_quit) {
    lock.unlock();
    Pump();
    lock.lock();
    m_wake.wait_for(lock, std::chrono::milliseconds(kSilentTickMs), [this] { return m_quit; });
  }
}
