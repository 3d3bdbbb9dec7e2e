// CMciSoundDevice: the "waveaudio" and "mpegvideo" MCI devices, a decoded sound played as one mixer voice.
#pragma once

#include <atomic>
#include <memory>

#include "platform/mci_device.h"
#include "platform/mci_time_format.h"
#include "platform/pcm_buffer.h"

class CMciSoundDevice final : public CMciDevice {
 public:
  // The factory of both types: decodes the whole sound at open.
  static DWORD Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out);

  CMciSoundDevice(DWORD id, std::string type, std::shared_ptr<const CPcmBuffer> sound, MciDeviceServices& services);
  ~CMciSoundDevice() override;

  DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) override;
  void Close() override;

 private:
  struct Shared;

  DWORD Play(const CMciCommand& command, HWND callback);
  DWORD Seek(const CMciCommand& command);
  DWORD Status(const CMciCommand& command, std::string& reply);
  DWORD Set(const CMciCommand& command);
  DWORD SetAudio(const CMciCommand& command);

  // The voice leaves the mixer; the position stays where it played to.
  void StopVoice();
  DWORD PositionFrames() const;
  bool IsSounding() const;
  // Frames from a position in the time format (0 or the MCI error), and back.
  DWORD ToFrames(const std::string& text, DWORD& frames) const;
  std::string FromFrames(DWORD frames) const { return m_time.Format(frames); }
  // Blocks until the voice ends, or for the rest of its length and 2 s more by the clock.
  void WaitForEnd(DWORD remainingFrames);

  MciDeviceServices& m_services;
  std::shared_ptr<const CPcmBuffer> m_sound;
  std::shared_ptr<Shared> m_shared;
  DWORD m_voice = 0;
  DWORD m_position = 0;  // frame, while no voice plays
  bool m_paused = false;
  CMciTimeFormat m_time;  // samples are the mixer's frames
  float m_gain = 1.0f;
  double m_rate = 1.0;
};
