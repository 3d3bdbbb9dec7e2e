// CMciSequencerDevice: the "sequencer" MCI device, a MIDI song played through the synthesizer as one mixer voice.
#pragma once

#include <memory>
#include <string>

#include "platform/mm/mci_voice_device.h"
#include "platform/mm/midi_stream.h"

class CMciSequencerDevice final : public CMciVoiceDevice {
 public:
  // The factory: reads the whole file at open; soundFont may be empty (the song then plays silent).
  static DWORD Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out, const std::string& soundFont);

  CMciSequencerDevice(DWORD id, std::string type, std::shared_ptr<CMidiStream> stream,
                      std::shared_ptr<const CMidiSong> song, MciDeviceServices& services);
  ~CMciSequencerDevice() override;

 private:
  DWORD Play(const CMciCommand& command, HWND callback) override;
  DWORD LengthFrames() const override { return m_stream->LengthFrames(); }
  DWORD StartVoice(DWORD from, DWORD to, EndHandler onEnd) override;
  // After the mixer stopped the voice it no longer renders the stream.
  void VoiceStopped() override { m_stream->Silence(); }
  DWORD StatusItem(const std::string& item, const CMciCommand& command, std::string& reply) override;
  DWORD SetItem(const std::string& item, const CMciCommand& command) override;

  std::shared_ptr<CMidiStream> m_stream;  // the mixer's while a voice plays it
  std::shared_ptr<const CMidiSong> m_song;
};
