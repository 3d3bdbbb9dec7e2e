// CMciWnd: the MCI window of a kind-0 medium: one MCI device opened on the medium, and the requests the media object sends it.
#pragma once

#include "media/media_environment.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

// Window style bits the media object passes.
namespace MciWndStyle {
constexpr DWORD kNoPlaybar = 0x0002;
constexpr DWORD kDefault = 0x4000400B;  // child, no error dialog, no menu, no play bar, no auto size
}  // namespace MciWndStyle

// For sound devices the window has no picture of its own: it holds the
// device, whose notices go straight to the owner window. A medium in pre-load
// memory or the packed data file is opened under its ".TVN+" key, and the
// device reads its own stream of that medium.
class CMciWnd {
 public:
  CMciWnd() = default;
  ~CMciWnd() { CloseDevice(); }
  CMciWnd(const CMciWnd&) = delete;
  CMciWnd& operator=(const CMciWnd&) = delete;

  // The name with its extension replaced by ".TVN+": an extension counts when
  // its dot stands fewer than 6 characters from the end.
  static CString KeyName(const CString& name);

  // Opens a device on the file; FALSE (and the error kept) when it cannot.
  BOOL Create(const MediaEnvironment& env, DWORD style, const CString& name);
  // Opens a new device of the type without a file (MCIWNDM_NEW).
  BOOL CreateNew(const MediaEnvironment& env, DWORD style, const CString& type);
  // Stops and closes the device; 0.
  int CloseDevice();

  BOOL IsDeviceOpen() const { return m_deviceId != 0; }
  DWORD GetDeviceID() const { return m_deviceId; }
  DWORD GetStyle() const { return m_style; }
  // The error of the last request (MCIWNDM_GETERROR).
  DWORD GetError() const { return m_error; }

  // MCIWNDM_SENDSTRING: a command for the device, without its name; the
  // reply is kept for ReturnString.
  DWORD SendString(const CString& command);
  // MCIWNDM_RETURNSTRING: the last reply, cut to the size.
  CString ReturnString(int size) const;
  LONG GetLength();
  LONG GetPosition();
  // MCIWNDM_SETVOLUME: 1000 per the device's unity, here 2000 is unity and louder is held there.
  void SetVolume(LONG volume);
  // MCIWNDM_SETSPEED: 1000 is normal; 0 or below is ignored.
  void SetSpeed(LONG speed);
  // The device type ("waveaudio") and the file it opened.
  CString GetDevice() const;
  CString GetFileName() const { return m_fileName; }
  void Stop();
  void Pause();
  BOOL IsPlaying();
  // MCIWNDM_CAN_SAVE: the device says it can save (a recording device).
  BOOL CanSave();

 private:
  BOOL OpenWith(const MediaEnvironment& env, DWORD style, const CString& command);
  DWORD Send(const CString& command, CString& reply);

  CMediaSystem* m_system = nullptr;
  HWND m_owner = nullptr;
  DWORD m_style = 0;
  DWORD m_deviceId = 0;
  DWORD m_error = 0;
  CString m_fileName;
  CString m_reply;
};
