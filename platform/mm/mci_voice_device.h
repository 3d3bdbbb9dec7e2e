// CMciVoiceDevice: the part of the sound and sequencer MCI devices that plays one mixer voice and answers for it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/mm/mci_device.h"
#include "platform/mm/mci_time_format.h"

class CMciPlayEnd;

// Holds the voice, its pause and gain, the time format and the notifier the
// voice's end reaches on the sound thread. Command dispatches every verb; a
// device supplies its play, its length, how its voice starts, and the status
// and set items of its own type. A device's destructor calls Close() (the
// voice's stop may reach the device's own stream).
class CMciVoiceDevice : public CMciDevice {
 public:
  ~CMciVoiceDevice() override;

  DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) override;
  void Close() override;

 protected:
  using EndHandler = std::function<void()>;

  CMciVoiceDevice(DWORD id, std::string type, MciDeviceServices& services, CMciTimeFormat time);

  virtual DWORD Play(const CMciCommand& command, HWND callback) = 0;
  virtual DWORD LengthFrames() const = 0;
  // Starts the voice over [from, to) ending with onEnd; the mixer's voice id.
  virtual DWORD StartVoice(DWORD from, DWORD to, EndHandler onEnd) = 0;
  // After the voice left the mixer.
  virtual void VoiceStopped() {}
  // A status item beyond length, position, mode, tracks, ready, time format and volume.
  virtual DWORD StatusItem(const std::string& item, const CMciCommand& command, std::string& reply);
  // A set item beyond the time format.
  virtual DWORD SetItem(const std::string& item, const CMciCommand& command) = 0;

  // Plays [from, to) of a range already checked: the running voice stops, the
  // notice is armed (or the pending one superseded), "wait" blocks to the end.
  DWORD PlayRange(const CMciCommand& command, HWND callback, DWORD from, DWORD to);
  // The voice leaves the mixer; the position stays where it played to.
  void StopVoice();
  DWORD PositionFrames() const;
  bool IsSounding() const;
  void SetVoicePaused(bool paused);
  // Frames from a position in the time format (0 or the MCI error).
  DWORD ToFrames(const std::string& text, DWORD& frames) const;
  // The position after keyword, within the length; given says whether there was one.
  DWORD ReadPosition(const CMciCommand& command, const char* keyword, DWORD& frame, bool& given) const;
  // Blocks until the voice ends, or for the rest of its length and 2 s more by the clock.
  void WaitForEnd(DWORD remainingFrames);
  // "play ... notify" on the play that goes on after a pause.
  void ArmForRunningPlay(HWND callback);

  MciDeviceServices& m_services;
  CMciTimeFormat m_time;
  DWORD m_voice = 0;
  DWORD m_voiceStart = 0;  // the frame the voice's position counts from
  DWORD m_position = 0;    // frame, while no voice plays
  bool m_paused = false;
  float m_gain = 1.0f;
  double m_rate = 1.0;  // the voice's speed (the sound devices set it)

 private:
  DWORD Seek(const CMciCommand& command);
  DWORD Status(const CMciCommand& command, std::string& reply);
  DWORD Set(const CMciCommand& command);
  DWORD SetAudio(const CMciCommand& command);

  DWORD m_endFrame = 0;  // where the running voice ends
  std::shared_ptr<CMciPlayEnd> m_end;
};
