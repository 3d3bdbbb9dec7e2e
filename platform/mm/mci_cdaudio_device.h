// CMciCdAudioDevice: the "cdaudio" MCI device, an audio CD in a drive or as an image played as one mixer stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/mm/cd_track_table.h"
#include "platform/mm/mci_device.h"
#include "platform/mm/mci_time_format.h"

class CCdAudioStream;
class CCdDisc;
class CMciPlayEnd;

// Positions are disc addresses in frames (see CCdTrackTable), 64 bits wide.
// Time formats: msf (the default), milliseconds and tmsf; lengths in tmsf
// are given in msf, as a track length has no track.
class CMciCdAudioDevice final : public CMciDevice {
 public:
  // The factory: the disc named by CDAudio= in [MCI] of the runtime's
  // profile, else the first drive libcdio finds; 266 when there is neither.
  static DWORD Open(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out);

  CMciCdAudioDevice(DWORD id, std::string type, std::shared_ptr<CCdDisc> disc, MciDeviceServices& services);
  ~CMciCdAudioDevice() override;

  DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) override;
  void Close() override;

 private:
  DWORD Play(const CMciCommand& command, HWND callback);
  DWORD Seek(const CMciCommand& command);
  DWORD Status(const CMciCommand& command, std::string& reply);
  DWORD Set(const CMciCommand& command);
  // The position after the keyword in the time format, inside the disc.
  DWORD ReadPosition(const CCdTrackTable& tracks, const CMciCommand& command, const char* keyword,
                     std::uint64_t& frame, bool& given) const;
  std::string FormatPosition(const CCdTrackTable& tracks, std::uint64_t frame) const;
  std::string FormatLength(std::uint64_t frames) const;
  // The track whose number follows "track"; 0 or the MCI error.
  DWORD ReadTrack(const CCdTrackTable& tracks, const CMciCommand& command, const CdTrack*& track) const;

  std::uint64_t Position() const;
  bool IsSounding() const;
  // The stream leaves the mixer and its reader ends; the position stays where it played to.
  void StopStream();
  void WaitForEnd(std::uint64_t remainingFrames);

  MciDeviceServices& m_services;
  std::shared_ptr<CCdDisc> m_disc;
  CMciTimeFormat m_time;
  std::uint64_t m_position = 0;  // while no stream plays
  std::shared_ptr<CCdAudioStream> m_stream;
  DWORD m_voice = 0;
  bool m_paused = false;
  std::shared_ptr<CMciPlayEnd> m_end;
};
