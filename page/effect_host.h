// What a running transition needs around it: the view, the draw object it brings in, pacing, media and masks.
#pragma once

#include <memory>

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CBitmap;
class CDC;
class CEffectData;
class CSyncEvent;
class CWnd;

// The page's proxy of the object a transition shows (the draw object).
class IEffectDrawObject {
 public:
  virtual ~IEffectDrawObject() = default;
  // The owner's transition, or null when the object has no owner.
  virtual const CEffectData* GetOwnerEffect() const = 0;
  // Where the object lies, in page coordinates.
  virtual CRect GetBounds() const = 0;
  // Moves the object's top-left corner there, forced, the page redrawn around it.
  virtual void MoveTo(CPoint topLeft) = 0;
};

// The presentation view's side. A transition on its own thread calls these
// from that thread; the view keeps them safe for it.
class IEffectView {
 public:
  virtual ~IEffectView() = default;
  virtual CWnd* GetWindow() = 0;
  // The manual-reset event that stops every transition and animation.
  virtual CSyncEvent& GetKillEvent() = 0;
  // The window's context prepared for page coordinates, and its release.
  virtual CDC* GetTargetDC() = 0;
  virtual void ReleaseTargetDC(CDC* dc) = 0;
  virtual CSize GetBackBufferSize() const = 0;
  virtual CRect GetClientRect() const = 0;
  // A course runs in the view.
  virtual bool IsRunning() const = 0;
  // The page still shows the object.
  virtual bool IsDisplayItem(const IEffectDrawObject* object) const = 0;
  virtual void InvalidateRect(const CRect& rect) = 0;
  virtual void SetFocus() = 0;
};

// Pacing of the steps: the program waits on the real clock, tests script it.
class IEffectPacer {
 public:
  virtual ~IEffectPacer() = default;
  // Waits up to ms for either event; true when one of them is set.
  virtual bool WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD ms) = 0;
  // The millisecond clock.
  virtual DWORD Milliseconds() = 0;
};

// The real clock: waits block on the events.
class CSystemEffectPacer : public IEffectPacer {
 public:
  bool WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD ms) override;
  DWORD Milliseconds() override;
};

// A medium played over the effect area (category 9).
class IEffectMedia {
 public:
  virtual ~IEffectMedia() = default;
  // Opens the file on the area with the window as parent; false when it cannot be played.
  virtual bool Open(const CRect& area, const CString& file, CWnd* parent) = 0;
  virtual void Show() = 0;
  virtual void Play() = 0;
  virtual bool IsFinished() const = 0;
  virtual void Stop() = 0;
};

// Makes media players and loads mask images; each may give nothing, and the
// effects that need them are skipped.
class IEffectResources {
 public:
  virtual ~IEffectResources() = default;
  virtual std::unique_ptr<IEffectMedia> CreateMedia() = 0;
  // Loads a picture into a 32-bit bitmap; false when it cannot be read.
  virtual bool LoadMask(const CString& file, CBitmap& out) = 0;
};
