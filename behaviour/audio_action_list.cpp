// The playing-sounds list: playing copies, replacing by sound name, stopping by name and the media notices.
#include "behaviour/audio_action_list.h"

#include <algorithm>

#include "behaviour/audio_action.h"
#include "platform/mm/media_system.h"

CAudioActionList::CAudioActionList(MediaEnvironment env) : m_env(std::move(env)) {}

CAudioActionList::~CAudioActionList() { RemoveAll(); }

CString CAudioActionList::SoundNameOf(CAudioAction& action) { return action.Media().GetDeviceType(); }

CAudioAction* CAudioActionList::Find(const CAudioAction* action) const {
  auto it = std::find_if(m_actions.begin(), m_actions.end(), [action](const auto& a) { return a.get() == action; });
  return it == m_actions.end() ? nullptr : it->get();
}

CAudioAction* CAudioActionList::FindByName(const CString& name) const {
  auto it = std::find_if(m_actions.begin(), m_actions.end(), [&](const auto& a) { return a->GetName() == name; });
  return it == m_actions.end() ? nullptr : it->get();
}

void CAudioActionList::Remove(CAudioAction* action) {
  // Taken out first: freeing the medium may post notices, never call back.
  auto it = std::find_if(m_actions.begin(), m_actions.end(), [action](const auto& a) { return a.get() == action; });
  if (it == m_actions.end()) return;
  std::unique_ptr<CAudioAction> gone = std::move(*it);
  m_actions.erase(it);
}

void CAudioActionList::ReleaseLibrary() {
  if (m_env.system) m_env.system->SoundLibrary().FreeAll();
}

BOOL CAudioActionList::StopOthersWithName(CAudioAction* action, BOOL) {
  const CString name = SoundNameOf(*action);
  for (const auto& listed : m_actions) {
    if (listed.get() != action && SoundNameOf(*listed) == name) {
      Remove(listed.get());
      return TRUE;
    }
  }
  return FALSE;
}

void CAudioActionList::PlayWithRetry(CAudioAction& target, CAudioAction* command) {
  target.GetMediaState(command);
  if (target.Media().GetError() != 0 && StopOthersWithName(&target)) target.GetMediaState(command);
}

int CAudioActionList::Play(CAudioAction* action) {
  if (!action) return 1;
  if (Find(action)) {
    action->Media().Seek(nullptr, MediaFlag::kSeekStart);
    action->GetMediaState(action);
    return 1;
  }
  if (action->GetFlags() & CAudioAction::kControlsPlaying) {
    if (CAudioAction* playing = FindByName(action->Media().m_strFileName)) PlayWithRetry(*playing, action);
    return 1;
  }
  if (!(action->GetFlags() & CAudioAction::kSounds)) return 1;
  if ((action->Media().m_dwFlags & MediaFlag::kStop) && action->GetSource() == CAudioAction::kSoundFile) {
    StopByName(SoundNameOf(*action));
    return 1;
  }
  auto copy = std::make_unique<CAudioAction>(*action);
  if (!copy->OpenSound(m_env)) return 1;
  const bool clip = copy->Media().m_nKind == MediaKind::kClip;
  if (!clip) StopOthersWithName(copy.get());
  CAudioAction* added = copy.get();
  m_actions.push_back(std::move(copy));
  // A clip starts when its player announces it is built (code 2).
  if (!clip) PlayWithRetry(*added, added);
  return 1;
}

void CAudioActionList::StopByName(const CString& name) {
  std::vector<CAudioAction*> doomed;
  for (const auto& listed : m_actions) {
    const CString sound = SoundNameOf(*listed);
    if (name.IsEmpty() ? !sound.IsEmpty() : sound.CompareNoCase(name.view()) == 0) doomed.push_back(listed.get());
  }
  for (CAudioAction* action : doomed) Remove(action);
  if (m_actions.empty()) ReleaseLibrary();
}

BOOL CAudioActionList::OnNotify(WPARAM code, LPARAM id) {
  BOOL taken = FALSE;
  // A snapshot: an answer may replay its sound or end it.
  std::vector<CAudioAction*> snapshot;
  snapshot.reserve(m_actions.size());
  for (const auto& listed : m_actions) snapshot.push_back(listed.get());
  for (CAudioAction* action : snapshot) {
    if (!Find(action)) continue;
    const int answer = action->OnNotify(code, id);
    if (answer == MediaAnswer::kFinished || answer == MediaAnswer::kFinishedReport) Remove(action);
    if (answer == MediaAnswer::kFinished || answer == MediaAnswer::kContinues) taken = TRUE;
  }
  return taken;
}

void CAudioActionList::RemoveAll() {
  std::vector<std::unique_ptr<CAudioAction>> gone = std::move(m_actions);
  m_actions.clear();
  gone.clear();
  ReleaseLibrary();
}
