// CMciSoundDevice: the "waveaudio" and "mpegvideo" MCI devices, a decoded sound played as one mixer voice.
#pragma once

#include <memory>

#include "platform/mm/mci_voice_device.h"
#include "platform/mm/pcm_buffer.h"

class CMciSoundDevice final : public CMciVoiceDevice {
 public:
  // The factory of both types: decodes the whole sound at open.
  static DWORD Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out);

  // info: the medium's own sound format, which samples and bytes count in
  // (without one they count the mixer's frames and bytes are refused).
  CMciSoundDevice(DWORD id, std::string type, std::shared_ptr<const CPcmBuffer> sound, MciDeviceServices& services,
                  const MediaInfo& info = {});
  ~CMciSoundDevice() override;

 private:
  DWORD Play(const CMciCommand& command, HWND callback) override;
  DWORD LengthFrames() const override { return m_sound->Frames(); }
  DWORD StartVoice(DWORD from, DWORD to, EndHandler onEnd) override;
  DWORD StatusItem(const std::string& item, const CMciCommand& command, std::string& reply) override;
  DWORD SetItem(const std::string& item, const CMciCommand& command) override;

  std::shared_ptr<const CPcmBuffer> m_sound;
};
