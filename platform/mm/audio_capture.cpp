// Recording through SDL2's capture devices.
#include "platform/mm/audio_capture.h"

#include <SDL.h>

void CAudioCapture::Callback(void* self, std::uint8_t* stream, int length) {
  auto* capture = static_cast<CAudioCapture*>(self);
  if (length > 0) capture->m_sink(stream, static_cast<std::size_t>(length));
}

std::unique_ptr<CAudioCapture> CAudioCapture::Open(const WaveFormat& format, Sink sink) {
  if (format.channels == 0 || format.samplesPerSec == 0) return nullptr;
  // As for the output: SDL must not take the signals that stop the program.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  std::unique_ptr<CAudioCapture> capture(new CAudioCapture());
  capture->m_sink = std::move(sink);
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(format.samplesPerSec);
  want.format = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = 512;
  want.callback = &CAudioCapture::Callback;
  want.userdata = capture.get();
  SDL_AudioSpec have{};
  capture->m_device = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
  if (capture->m_device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  return capture;
}

void CAudioCapture::Start() { SDL_PauseAudioDevice(m_device, 0); }

CAudioCapture::~CAudioCapture() {
  if (m_device == 0) return;
  SDL_CloseAudioDevice(m_device);  // waits for a callback under way
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
