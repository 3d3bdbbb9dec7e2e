// CMciSequencerDevice: the "sequencer" MCI device, a MIDI song played through the synthesizer as one mixer voice.
#pragma once

#include <memory>
#include <string>

#include "platform/mci_device.h"
#include "platform/mci_time_format.h"
#include "platform/midi_stream.h"

class CMciSequencerDevice final : public CMciDevice {
 public:
  // The factory: reads the whole file at open; soundFont may be empty (the song then plays silent).
  static DWORD Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out, const std::string& soundFont);

  CMciSequencerDevice(DWORD id, std::string type, std::shared_ptr<CMidiStream> stream,
                      std::shared_ptr<const CMidiSong> song, MciDeviceServices& services);
  ~CMciSequencerDevice() override;

  DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) override;
  void Close() override;

 private:
  struct Shared;

  DWORD Play(const CMciCommand& command, HWND callback);
  DWORD Seek(const CMciCommand& command);
  DWORD Status(const CMciCommand& command, std::string& reply);
  DWORD Set(const CMciCommand& command);
  DWORD SetAudio(const CMciCommand& command);
  DWORD ReadPosition(const CMciCommand& command, const char* keyword, DWORD& frame, bool& given) const;

  void StopVoice();
  DWORD PositionFrames() const;
  bool IsSounding() const;
  void WaitForEnd(DWORD remainingFrames);

  MciDeviceServices& m_services;
  std::shared_ptr<CMidiStream> m_stream;  // the mixer's while a voice plays it
  std::shared_ptr<const CMidiSong> m_song;
  std::shared_ptr<Shared> m_shared;
  CMciTimeFormat m_time;
  DWORD m_voice = 0;
  DWORD m_voiceStart = 0;  // the frame the voice started from
  DWORD m_position = 0;    // frame, while no voice plays
  bool m_paused = false;
  float m_gain = 1.0f;
};
