// CPlayingSounds: the view's playing sounds (the list of sound actions), the PlaySound built-in and mciSendString with the view as notify window.
#pragma once

#include <memory>

#include "behaviour/audio_action_list.h"
#include "playback/view_services.h"

class CMediaSystem;

class CPlayingSounds final : public IPlayingSounds {
 public:
  // The environment's owner is the window every notice goes to.
  explicit CPlayingSounds(MediaEnvironment env);
  ~CPlayingSounds() override;

  // The view's window, once it exists.
  void SetOwner(HWND owner);

  BOOL OnNotify(WPARAM wParam, LPARAM lParam) override { return m_list.OnNotify(wParam, lParam); }
  void RemoveAll() override;
  CIconObject* FindByFile(const CString& name) override;
  BOOL PlaySoundFile(const CString& file, BOOL wait) override;
  DWORD SendMciString(const CString& command, CString& reply) override;
  void Play(CIconObject* action) override;
  void StopSound(CIconObject* action) override;

  CAudioActionList& List() { return m_list; }

 private:
  void CloseBuiltinSound();

  MediaEnvironment m_env;
  CAudioActionList m_list;
  DWORD m_builtinDevice = 0;  // the device of the last PlaySound without wait
};
