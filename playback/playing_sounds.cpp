// The view's sound services over the list of playing sounds and the MCI interpreter.
#include "playback/playing_sounds.h"

#include <charconv>
#include <string>

#include "behaviour/audio_action.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/media_system.h"

CPlayingSounds::CPlayingSounds(MediaEnvironment env) : m_env(env), m_list(std::move(env)) {}

CPlayingSounds::~CPlayingSounds() {
  m_list.RemoveAll();
  CloseBuiltinSound();
}

void CPlayingSounds::SetOwner(HWND owner) {
  m_env.owner = owner;
  m_list.SetEnvironment(m_env);
}

void CPlayingSounds::RemoveAll() {
  m_list.RemoveAll();
  CloseBuiltinSound();
}

CIconObject* CPlayingSounds::FindByFile(const CString& name) { return m_list.FindByName(name); }

void CPlayingSounds::Play(CIconObject* action) {
  if (auto* sound = dynamic_cast<CAudioAction*>(action)) m_list.Play(sound);
}

void CPlayingSounds::StopSound(CIconObject* action) {
  auto* sound = dynamic_cast<CAudioAction*>(action);
  if (sound && sound->GetSource() == CAudioAction::kSoundFile) m_list.StopByName(sound->Media().GetDeviceType());
}

DWORD CPlayingSounds::SendMciString(const CString& command, CString& reply) {
  reply.Empty();
  if (!m_env.system) return kMciCannotLoadDriver;
  return m_env.system->SendString(command, reply, m_env.owner);
}

void CPlayingSounds::CloseBuiltinSound() {
  if (m_builtinDevice && m_env.system) {
    std::string reply;
    m_env.system->Mci().SendToDevice(m_builtinDevice, "close", reply, nullptr);
  }
  m_builtinDevice = 0;
}

BOOL CPlayingSounds::PlaySoundFile(const CString& file, BOOL wait) {
  if (!m_env.system || file.IsEmpty()) return FALSE;
  CloseBuiltinSound();  // one sound of the built-in at a time
  const CString name = m_env.findMediaFile ? m_env.findMediaFile(file) : file;
  std::string reply;
  const std::string alias = "tvnsound" + std::to_string(m_env.system->Ids().Next());
  CMciSystem& mci = m_env.system->Mci();
  if (mci.SendString("open \"" + std::string(name.GetString()) + "\" type waveaudio alias " + alias, reply, nullptr))
    return FALSE;
  DWORD id = 0;
  std::from_chars(reply.data(), reply.data() + reply.size(), id);
  m_builtinDevice = id;
  const DWORD error = mci.SendToDevice(id, wait ? "play wait" : "play", reply, nullptr);
  if (wait || error) CloseBuiltinSound();
  return error == MciError::kNone;
}
