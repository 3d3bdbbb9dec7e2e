// What the presentation view needs of the players, the program watch list,
// the control host and the drag-and-drop response. Each is reached through an
// interface whose absent implementation answers as a missing library does:
// nothing is playing, nothing is watched, no control is hosted.
#pragma once

#include "model/program_watch.h"
#include "page/drag_partner.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CCourseDoc;
class CIconObject;

// The sounds that are playing.
class IPlayingSounds {
 public:
  virtual ~IPlayingSounds() = default;
  // TRUE when a playing sound consumed the media notice.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam) = 0;
  // Stops and frees every playing sound.
  virtual void RemoveAll() = 0;
  // Refills the audio stream player's buffers after one was played.
  virtual void OnWaveDone(WPARAM, LPARAM) {}
  // The first playing sound of that file name (its object name), or null.
  virtual CIconObject* FindByFile(const CString&) { return nullptr; }
  // Plays a wave file; with wait the call returns at its end. FALSE when it did not play.
  virtual BOOL PlaySoundFile(const CString&, BOOL) { return FALSE; }
  // Sends an MCI command string with the view as notification window; the
  // MCI error code, the reply text into reply.
  virtual DWORD SendMciString(const CString&, CString&) { return kMciCannotLoadDriver; }
  // Plays a sound action (a copy of it is kept while it sounds).
  virtual void Play(CIconObject*) {}
  // Stops the sounds of a sound action's sound name.
  virtual void StopSound(CIconObject*) {}

  // The public MCI error the absent players answer with.
  static constexpr DWORD kMciCannotLoadDriver = 266;
};

// The hosted controls of the view.
class IControlSites {
 public:
  virtual ~IControlSites() = default;
  // Destroys every control window of the view.
  virtual void DestroyAll() = 0;
  // Repaints the control of that id in the course; FALSE when there is none.
  virtual BOOL RefreshControl(CCourseDoc* course, LONG controlId) = 0;
};

// The services as they are when their libraries are missing.
class CAbsentPlayingSounds final : public IPlayingSounds {
 public:
  BOOL OnNotify(WPARAM, LPARAM) override { return FALSE; }
  void RemoveAll() override {}
};

class CAbsentControlSites final : public IControlSites {
 public:
  void DestroyAll() override {}
  BOOL RefreshControl(CCourseDoc*, LONG) override { return FALSE; }
};
