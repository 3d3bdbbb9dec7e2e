// CDirectSoundPlayer: a kind-3 medium's side of the sound library: bound entry points and one sound handle.
#pragma once

#include "platform/base/cstring.h"
#include "platform/mm/sound_library.h"
#include "platform/base/win_types.h"

// Attaching counts a user of the library; detaching (and destruction) gives
// the count back, and the last user releases every sound. Every operation
// does nothing (and answers 0) without a library, an entry point or a handle.
class CDirectSoundPlayer {
 public:
  CDirectSoundPlayer() = default;
  ~CDirectSoundPlayer() { Attach(nullptr); }
  CDirectSoundPlayer(const CDirectSoundPlayer&) = delete;
  CDirectSoundPlayer& operator=(const CDirectSoundPlayer&) = delete;

  // Uses this library from now on (null: none).
  void Attach(CSoundLibrary* library);
  CSoundLibrary* GetLibrary() const { return m_library; }

  // Binds the library when it is present and opens the sound; TRUE when a handle came back.
  BOOL Open(HWND owner, const CString& name, DWORD flags);
  DWORD Play(DWORD flags, double from, double to, LONG loops);
  void Stop();
  // The length in seconds; FALSE without a sound.
  BOOL GetData(double& length);
  void Seek(double position);
  void SetVolume(LONG volume);
  void SetBalance(LONG balance);
  void SetSpeed(double speed);
  // FALSE: this sound (the handle value stays); TRUE: every sound of the library.
  void Close(BOOL releaseAll);
  BOOL IsPlaying() const;
  DWORD GetHandle() const { return m_handle; }

 private:
  bool Bind();

  CSoundLibrary* m_library = nullptr;
  DWORD m_handle = 0;
  // The entry points bound once; the others are looked up at each call.
  CSoundLibrary::OpenProc m_open = nullptr;
  CSoundLibrary::PlayProc m_play = nullptr;
  CSoundLibrary::HandleProc m_stop = nullptr;
  CSoundLibrary::HandleProc m_close = nullptr;
  CSoundLibrary::PositionProc m_position = nullptr;
};
