// What course objects need of the page that shows them.
#pragma once

class CIconObject;
class CString;

class IPageAccess {
 public:
  virtual ~IPageAccess() = default;
  // Removes and erases the draw object that owner put on the page; false when there is none.
  virtual bool RemoveObjectOf(CIconObject* owner) = 0;
  // Stops a sound action that is playing.
  virtual void StopSound(CIconObject* action) = 0;
  // Hands a sound action to the page's list of playing sounds.
  virtual void PlaySound(CIconObject* action) {}
  // The first playing sound action of that object name, or null.
  virtual CIconObject* FindPlayingSound(const CString& name) { return nullptr; }
};
