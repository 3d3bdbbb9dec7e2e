// The sound library player: binding by name, the user count, and each operation forwarded with the handle.
#include "media/direct_sound_player.h"

void CDirectSoundPlayer::Attach(CSoundLibrary* library) {
  if (library == m_library) return;
  if (m_library) m_library->RemoveUser();
  m_library = library;
  m_handle = 0;
  m_open = nullptr;
  m_play = nullptr;
  m_stop = nullptr;
  m_close = nullptr;
  m_position = nullptr;
  if (m_library) m_library->AddUser();
}

bool CDirectSoundPlayer::Bind() {
  if (!m_library || !m_library->IsPresent()) return false;
  if (!m_open) m_library->Bind("OpenDirectSound", m_open);
  if (!m_play) m_library->Bind("PlayDirectSound", m_play);
  if (!m_stop) m_library->Bind("StopDirectSound", m_stop);
  if (!m_close) m_library->Bind("CloseDirectSound", m_close);
  if (!m_position) m_library->Bind("GetPositionDirectSound", m_position);
  return m_open != nullptr;
}

BOOL CDirectSoundPlayer::Open(HWND owner, const CString& name, DWORD flags) {
  if (!Bind()) return FALSE;
  m_handle = m_open(*m_library, owner, name.GetString(), flags);
  return m_handle != 0;
}

DWORD CDirectSoundPlayer::Play(DWORD flags, double from, double to, LONG loops) {
  if (!m_library || !m_handle || !m_play) return 0;
  return m_play(*m_library, m_handle, flags, from, to, loops);
}

void CDirectSoundPlayer::Stop() {
  if (m_library && m_handle && m_stop) m_stop(*m_library, m_handle);
}

BOOL CDirectSoundPlayer::GetData(double& length) {
  length = 0.0;
  CSoundLibrary::GetDataProc proc = nullptr;
  if (!m_library || !m_handle || !m_library->Bind("GetDataDirectSound", proc)) return FALSE;
  double second = 0.0;
  return proc(*m_library, m_handle, &length, &second) != 0;
}

void CDirectSoundPlayer::Seek(double position) {
  CSoundLibrary::SeekProc proc = nullptr;
  if (m_library && m_handle && m_library->Bind("SeekDirectSound", proc)) proc(*m_library, m_handle, position);
}

void CDirectSoundPlayer::SetVolume(LONG volume) {
  CSoundLibrary::LevelProc proc = nullptr;
  if (m_library && m_handle && m_library->Bind("SetVolumeDirectSound", proc)) proc(*m_library, m_handle, volume);
}

void CDirectSoundPlayer::SetBalance(LONG balance) {
  CSoundLibrary::LevelProc proc = nullptr;
  if (m_library && m_handle && m_library->Bind("SetBalanceDirectSound", proc)) proc(*m_library, m_handle, balance);
}

void CDirectSoundPlayer::SetSpeed(double speed) {
  CSoundLibrary::SpeedProc proc = nullptr;
  if (m_library && m_handle && m_library->Bind("SetSpeedDirectSound", proc)) proc(*m_library, m_handle, speed);
}

void CDirectSoundPlayer::Close(BOOL releaseAll) {
  if (!m_library) return;
  if (releaseAll) {
    CSoundLibrary::FreeProc proc = nullptr;
    if (m_library->Bind("FreeDirectSound", proc)) proc(*m_library);
  } else if (m_handle && m_close) {
    m_close(*m_library, m_handle);
  }
}

BOOL CDirectSoundPlayer::IsPlaying() const { return m_library && m_handle && m_library->IsPlaying(m_handle); }
