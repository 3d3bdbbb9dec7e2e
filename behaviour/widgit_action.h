// CWidgit, CWidgitList and CWidgitAction: a small frame animation of pictures, each holding frames side by side.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "behaviour/display_action.h"
#include "media/image.h"
#include "media/image_environment.h"
#include "model/var_or_value.h"

// One picture of frames laid out as equal cells side by side.
// On disk: the picture's fields, then the frame count.
class CWidgit : public CObject {
  DECLARE_SERIAL(CWidgit)

 public:
  CWidgit() { m_image.flags |= ImageFlag::kTopLeftKey; }
  CWidgit(const CWidgit& other) : CObject(other), m_nFrames(other.m_nFrames) { m_image.CopyFrom(other.m_image); }

  void Serialize(CArchive& ar) override;
  // Frame counts of 0 or less count as one frame.
  int GetFrameCount() const { return m_nFrames > 0 ? m_nFrames : 1; }
  void SetFrameCount(int count) { m_nFrames = count; }
  CImage& Image() { return m_image; }
  bool IsLoaded() const { return m_bLoaded; }
  int GetCurrentFrame() const { return m_nCurrentFrame; }

 private:
  friend class CWidgitList;
  CImage m_image;
  int m_nFrames = 1;
  bool m_bLoaded = false;
  int m_nCurrentFrame = 0;
};

// The widgets in order and where the animation stands among them.
class CWidgitList {
 public:
  CWidgitList() = default;
  CWidgitList(const CWidgitList& other) { CopyFrom(other); }
  CWidgitList& operator=(const CWidgitList&) = delete;

  // The framework's object list: a count, then each widget as a tagged object.
  void Serialize(CArchive& ar);
  void CopyFrom(const CWidgitList& other);
  void Add(std::unique_ptr<CWidgit> widget) { m_widgets.push_back(std::move(widget)); }
  int GetCount() const { return static_cast<int>(m_widgets.size()); }
  CWidgit* GetAt(int i) const { return m_widgets[static_cast<std::size_t>(i)].get(); }

  // Loads every picture (through the environment); gives the total frame count.
  int Load(const ImageEnvironment* environment);
  // One frame on; TRUE when a whole pass through the list completed.
  BOOL Advance();
  void Draw(CDC* dc, const CRect& rect);
  void Unload();
  int GetTotalFrames() const { return m_nTotal; }
  // The widget shown (-1 when none).
  int GetCurrentIndex() const { return m_nCurrent; }
  BOOL CollectFiles(CStringArray& files) const;

 private:
  std::vector<std::unique_ptr<CWidgit>> m_widgets;
  int m_nTotal = 0;
  int m_nCurrent = -1;
  int m_nPassed = 0;
};

namespace WidgitFlag {
constexpr DWORD kDefault = 0x1;
constexpr DWORD kLimitedCycles = 0x2;
constexpr DWORD kCallerClocked = 0x400000;
}  // namespace WidgitFlag

// On disk: flags, cycle limit, interval, the widget list, the display part, the common part.
//
// A caller-clocked widget steps on its object's animation thread, under the
// page's display-list lock; a self-clocked one on the page's animation step.
class CWidgitAction : public CDisplayAction {
  DECLARE_SERIAL(CWidgitAction)

 public:
  static constexpr BYTE kDefaultLayer = 4;

  CWidgitAction() : CDisplayAction(ActionKind::kWidgit, kDefaultLayer) {}
  CWidgitAction(const CWidgitAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 322; }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  void Unload() override;
  int FreeResources(CDC* dc, int flag) override { return 1; }
  BOOL Execute() override;
  BOOL IsAnimated() override;
  int Animate(const CRect& rect, BOOL callerClocked) override;
  int GetAnimState() override { return m_dwNextDue.load() != 0 ? TRUE : FALSE; }
  BOOL CollectFiles(CStringArray* files, int flags) override;

  CWidgitList& Widgets() { return m_widgets; }
  DWORD GetWidgitFlags() const { return m_dwFlags; }
  void SetWidgitFlags(DWORD flags) { m_dwFlags = flags; }
  LONG GetCycleLimit() const { return m_nCycleLimit; }
  void SetCycleLimit(LONG limit) { m_nCycleLimit = limit; }
  CVarOrValue& Interval() { return m_interval; }
  int GetCyclesDone() const { return m_nCyclesDone; }

 private:
  DWORD IntervalMs();
  DWORD Now() const;

  CWidgitList m_widgets;
  LONG m_nCycleLimit = 1;
  DWORD m_dwFlags = WidgitFlag::kDefault;
  CVarOrValue m_interval{50};
  int m_nCyclesDone = 0;
  // The clock's time of the next frame, or the interval; 0 = still. Read by
  // the page without the lock while a thread steps.
  std::atomic<DWORD> m_dwNextDue{0};
  bool m_bFirstDue = false;
  ImageEnvironment m_env;
  COffScreenView* m_pView = nullptr;
};
