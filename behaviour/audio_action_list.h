// CAudioActionList: the presentation view's playing sounds, copies of sound actions kept until their sound ends.
#pragma once

#include <memory>
#include <vector>

#include "media/media_environment.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CAudioAction;

// One sound per sound name (the medium's device type: "waveaudio" for every
// wave sound of the MCI window), except clips, which each keep their own.
// The list owns its copies; the caller's action is never stored.
class CAudioActionList {
 public:
  // The environment every copy opens its medium in.
  explicit CAudioActionList(MediaEnvironment env = {});
  ~CAudioActionList();
  CAudioActionList(const CAudioActionList&) = delete;
  CAudioActionList& operator=(const CAudioActionList&) = delete;

  void SetEnvironment(MediaEnvironment env) { m_env = std::move(env); }

  // Replays a listed action, commands the playing sound named by a control
  // action (flag 0x4), or opens and plays a copy (flag 0x1); 1.
  int Play(CAudioAction* action);
  // "" removes every sound with a name; else every sound of that name, case-insensitively.
  void StopByName(const CString& name);
  // Removes the first other listed action with the same sound name (case-sensitive).
  BOOL StopOthersWithName(CAudioAction* action, BOOL flag = FALSE);
  // The first listed action of that object name (case-sensitive), or null.
  CAudioAction* FindByName(const CString& name) const;
  CAudioAction* Find(const CAudioAction* action) const;
  // Offers the notice to every listed action; those that finished (2, 3)
  // go. TRUE when the notice was taken (an answer of 2 or 4).
  BOOL OnNotify(WPARAM code, LPARAM id);
  void RemoveAll();

  std::size_t GetCount() const { return m_actions.size(); }
  CAudioAction* GetAt(std::size_t i) const { return m_actions[i].get(); }

 private:
  static CString SoundNameOf(CAudioAction& action);
  void Remove(CAudioAction* action);
  // The library's sounds go with the last listed sound.
  void ReleaseLibrary();
  // Runs the play operation and retries once after removing another of the same name on an MCI error.
  void PlayWithRetry(CAudioAction& target, CAudioAction* command);

  MediaEnvironment m_env;
  std::vector<std::unique_ptr<CAudioAction>> m_actions;
};
