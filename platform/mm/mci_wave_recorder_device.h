// CMciWaveRecorderDevice: a "waveaudio" device opened without a file, which records through the capture device and saves WAV files.
#pragma once

#include <memory>

#include "platform/mm/mci_device.h"
#include "platform/mm/mci_sound_device.h"
#include "platform/mm/mci_time_format.h"
#include "platform/mm/wave_recording.h"

class CAudioCapture;

// "record" captures into memory in the format set (bitspersample,
// samplespersec, channels), appending to what is there, or from a position
// on with "from"; "to" ends the recording by itself with its notice. Once
// stopped, what was recorded plays as a sound device would play it, and
// "save" writes it as a WAV file. Positions are milliseconds.
class CMciWaveRecorderDevice final : public CMciDevice {
 public:
  CMciWaveRecorderDevice(DWORD id, std::string type, MciDeviceServices& services);
  ~CMciWaveRecorderDevice() override;

  DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) override;
  void Close() override;

 private:
  struct Shared;

  DWORD Record(const CMciCommand& command, HWND callback);
  DWORD Save(const CMciCommand& command);
  DWORD Set(const CMciCommand& command);
  DWORD Status(const CMciCommand& command, std::string& reply);
  DWORD Capability(const CMciCommand& command, std::string& reply) const;
  // Closes the capture device (if the recording ended by itself or is
  // stopped) and makes the player of what was recorded.
  void FinishCapture();
  bool IsCapturing() const { return m_capture != nullptr; }
  DWORD RecordedMs() const;
  void WaitForEnd(DWORD ms);

  MciDeviceServices& m_services;
  std::shared_ptr<Shared> m_shared;
  std::unique_ptr<CAudioCapture> m_capture;
  std::unique_ptr<CMciSoundDevice> m_player;  // plays the recording
  CMciTimeFormat m_time;
};
