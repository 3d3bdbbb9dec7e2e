// COffScreenView: composes the page in a back buffer and copies finished areas to the window.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "media/media_environment.h"
#include "platform/msg/clock.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/framework/scroll_view.h"
#include "platform/base/sync_event.h"
#include "page/animate_thread.h"
#include "page/draw_obj.h"
#include "page/draw_obj_list.h"
#include "page/page_effects.h"
#include "page/page_settings.h"
#include "page/update_rect_list.h"

class CIconObject;
class CPreloadCache;
class CPrinterDC;

// Update hints of OnUpdateHint.
namespace PageHint {
constexpr int kAll = 0;
constexpr int kObject = 1;
constexpr int kList = 2;
constexpr int kListDeselect = 3;
constexpr int kOleObjects = 4;
}  // namespace PageHint

// The back buffer is as large as the screen and holds the page in page
// (logical) coordinates; the window shows part of it, moved by the scroll
// position. Two locks guard it: the display-list lock (the display list, the
// dirty rectangles and composing) and the blit lock (copying to a device).
// Where both are taken the display-list lock comes first. Helper threads
// paint only through ComposeRect and BlitToScreen; the window's own image is
// put on the screen by the user-interface thread.
//
// No removal frees a draw object while holding the display-list lock: the
// objects are taken out under the lock and freed after it, since freeing one
// waits for its animation thread, which may itself be waiting for the lock.
class COffScreenView : public CScrollView, public IDrawObjHost {
  DECLARE_DYNAMIC(COffScreenView)

 public:
  COffScreenView();
  ~COffScreenView() override;

  // --- back buffer ---
  // Makes the buffer (done at creation with the screen size) and erases it.
  // A buffer that cannot be made is reported (message 61706) and the one
  // there was, if any, stays in use with its page.
  BOOL CreateBuffer(CSize size);
  // A new size recreates the buffer and erases it; a failure is reported and
  // keeps the old buffer.
  BOOL ResizeBuffer(int width, int height);
  CSize GetBufferSize() const { return {m_nBufferWidth, m_nBufferHeight}; }
  // One pixel of the back buffer (CLR_INVALID outside it).
  COLORREF GetBufferPixel(int x, int y);
  void EraseBackground();
  IPageSettings& GetPageSettings() { return *m_pPageSettings; }
  // The page's own window action (null: a plain page in the window colour).
  void SetPageSettings(std::unique_ptr<IPageSettings> settings);

  // --- page contents ---
  // The owner's draw object, made and painted unless the owner already has one.
  CDrawObj* AddObject(CIconObject* owner, DWORD flags);
  void RemoveObject(CIconObject* owner, BOOL deselect);
  // The union of the rectangles of the objects whose owner has the name
  // (case-sensitive); with keepOnly nothing is removed.
  CRect RemoveObjectByName(const CString& name, BOOL keepOnly);
  CRect RemoveObjectsOfLayer(BYTE layer, BOOL keepOnly);
  void RemoveObjectsInRect(const CRect& rect, CIconObject* except);
  // The objects of the course (all when null); protected layers stay unless allLayers.
  void FreeAllObjects(CDocument* course, BOOL allLayers);
  void RemoveTaskObjects();
  CDrawObj* FindObjectByName(const CString& name);
  // Puts the object back in its place by layer after its layer changed.
  void ReorderObject(CDrawObj* obj) { m_list.Reorder(obj); }
  CDrawObj* FindDisplayItem(const CIconObject* owner);
  BOOL IsDisplayItem(const CDrawObj* obj);
  // Stops the animation thread of one object, or of all when none is given, and waits for it.
  // Without an object it also waits for the threads whose object was freed from inside their step.
  void KillThreads(CDrawObj* obj = nullptr);
  // Unloads every mover of the object and stops the movers' threads, waiting for them.
  void KillMoveThread(CDrawObj* drawObj);
  // The display-list lock, for helper threads that step an owner on this page.
  std::recursive_mutex& GetDisplayListLock() { return m_listLock; }
  int GetObjectCount();
  // Head to tail: highest layer number first.
  std::vector<CDrawObj*> GetObjects();

  // --- repaint ---
  // Null: the whole client area; an empty rectangle is ignored. Page coordinates.
  void InvalidateRect(const CRect* rect = nullptr);
  void InvalidateItem(CDrawObj* obj) override;
  void RepaintArea(const CRect& rect) override;
  // Paints the background and every object into the buffer over the rectangle (null: the client area).
  virtual void ComposeRect(const CRect* rect = nullptr);
  void FlushInvalidRects();
  // Copies the rectangle (page coordinates; null or empty: the client area)
  // to the device, or to the window when none is given.
  virtual void BlitToScreen(CDC* dc = nullptr, const CRect* rect = nullptr);
  // Shows the owner's area; the transition engine takes this over.
  virtual void FinishEffect(CIconObject* owner, const CRect& rect);
  // The program's services that transitions on this page use.
  void SetEffectServices(const CEffectServices& services) { m_effects.SetServices(services); }
  void SetEffectPacer(IEffectPacer* pacer) { m_effects.SetPacer(pacer); }
  void OnUpdateHint(int hint, CDrawObj* obj, const std::vector<CDrawObj*>* list = nullptr);
  // The document's hints that carry no object: everything, the selection, the OLE objects.
  void OnUpdate(CView* sender, LPARAM hint) override;
  int GetDirtyRectCount();
  // Forgets the pending repaints without painting them.
  void DiscardInvalidRects();
  // The client area in page coordinates.
  CRect GetPageArea() const;

  // --- input for the owners on the page ---
  virtual void OnPageEmptyHook() {}
  virtual void OnMouseMoveObjects(UINT flags, CPoint point);
  virtual BOOL OnButtonObjects(UINT message, UINT flags, CPoint point);
  virtual BOOL OnNotifyObjects(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnControlEventObjects(LONG id, void* event);
  // Under the point, from the lowest layer number up.
  CDrawObj* ObjectAt(CPoint logical, int arg = 0);

  // One animation step of every owner; TRUE while any wants more time.
  BOOL AnimateObjects();
  DWORD GetAnimationDuration() const { return m_dwAnimationDuration; }
  DWORD GetAnimationStart() const { return m_dwAnimationStart; }
  // A user of the animation step; the presentation view counts them.
  virtual void SetAnimationTimer() {}
  // What a medium opened for an object on this page plays in: notices go to
  // this window, and frame players start the animation step. The presentation
  // view adds the program's media layer and files.
  virtual MediaEnvironment GetMediaEnvironment() {
    MediaEnvironment env;
    env.owner = GetSafeHwnd();
    env.startAnimation = [this] { SetAnimationTimer(); };
    return env;
  }
  // The program's pre-load cache (null: none) and the look-ahead switch.
  virtual CPreloadCache* GetPreloadCache() { return nullptr; }
  virtual void SetLookAheadPreload(int) {}
  // The palette mode bits a palette action sets (0x1 to 0x8).
  virtual DWORD GetPaletteMode() const { return 0; }
  virtual void SetPaletteMode(DWORD) {}
  // Prints the page (margins in tenths of a millimetre); the arguments are
  // kept for the printing pass. A page without a printer keeps them only.
  virtual void PrintArea(const CRect& margins, DWORD mode, int scale) {
    m_printMargins = margins;
    m_dwPrintMode = mode;
    m_nPrintScale = scale;
  }
  // One print job of the page with the kept margins, mode and scale: the
  // page shown is captured, then stretched into the rectangle the mode gives
  // on one sheet (with mode 0x20 the objects paint themselves there instead).
  // FALSE when the document could not be started or a page
  // failed (the document is then aborted).
  BOOL PrintPage(CPrinterDC& printer, const CString& documentName);
  const CRect& GetPrintMargins() const { return m_printMargins; }
  DWORD GetPrintMode() const { return m_dwPrintMode; }
  int GetPrintScale() const { return m_nPrintScale; }
  // Posts one of the view's notices (953 and the like) to its window, when it has one.
  virtual void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd) PostMessage(message, wParam, lParam);
  }

  // --- selection ---
  void Select(CDrawObj* obj, BOOL add);
  void SelectWithinRect(const CRect& rect, BOOL add);
  void Deselect(CDrawObj* obj);
  BOOL IsSelected(const CDrawObj* obj) const;
  const std::vector<CDrawObj*>& GetSelection() const { return m_selection; }

  // --- scrolling and coordinates ---
  using CScrollView::SetScrollSizes;
  // TRUE: scroll over the buffer; FALSE: no scrolling and no bars.
  void SetScrollSizes(BOOL scroll);
  BOOL OnScrollBy(CSize size, BOOL doScroll = TRUE) override;
  void ClientToLogical(CPoint* point) const;
  void ClientToLogicalRect(CRect* rect) const;
  void LogicalToClient(CPoint* point) const;
  void LogicalToClientRect(CRect* rect) const;

  // --- running state and helpers ---
  // Any thread: effect and animation threads ask it too.
  void SetRunning(bool running) { m_bRunning.store(running); }
  bool IsRunning() const { return m_bRunning.load(); }
  CSyncEvent* GetKillEvent() override { return &m_killEvent; }
  IAnimationWaiter& GetAnimationWaiter() override { return *m_pWaiter; }
  void SetAnimationWaiter(IAnimationWaiter* waiter) { m_pWaiter = waiter ? waiter : &RealTimeWaiter(); }
  void SetClock(const IClock* clock) { m_pClock = clock ? clock : &SteadyClock(); }
  const IClock& GetClock() const { return *m_pClock; }
  CDocument* GetCurrentCourse() override { return nullptr; }
  void AdoptEndingThread(std::unique_ptr<CAnimateThread> thread) override;

 protected:
  int OnCreate(const CREATESTRUCT& cs) override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;

  // The current task's turn after the owners, for the presentation view.
  virtual BOOL OfferMouseMoveToTask(UINT, CPoint) { return FALSE; }
  virtual BOOL OfferButtonToTask(UINT, UINT, CPoint) { return FALSE; }
  virtual BOOL OfferNotifyToTask(WPARAM, LPARAM) { return FALSE; }
  virtual BOOL OfferControlEventToTask(LONG, void*) { return FALSE; }
  // Closes the courses that wait to close once nothing on the page refers to them.
  virtual void DestroyCourse() {}

 private:
  // Message 61706 through the program's messages (none in a bare page).
  void ReportNoMemory();
  using Doomed = std::vector<std::unique_ptr<CDrawObj>>;
  // Takes the object out (display-list lock held): its area is dirtied, its
  // owner unloads and its thread is told to stop. The caller frees it later.
  void TakeOut(CDrawObj* obj, Doomed& doomed);
  // Unloads the movers of the object and tells their threads to stop (lock
  // held); gives the movers' draw objects, whose threads are joined later.
  std::vector<CDrawObj*> StopMovers(const CDrawObj* obj);
  template <class Pick>
  CRect RemoveWhere(Pick&& pick, BOOL keepOnly, bool clearSelection);
  CRect ClientRectLogical() const;
  void DrawAll(CDC* dc, const CRect& clip);
  // Mode 0x20: the background and the objects painted straight onto the printer, into the rectangle.
  void PrintObjects(CDC& printer, const CRect& target);
  void ForgetSelected(const CDrawObj* obj);
  // Joins the adopted threads (no lock of the view held: they may still want one).
  void JoinEndingThreads();

  // Declared before the list: the list's objects hold their threads, which
  // wait on this event and this waiter until the list is gone.
  CSyncEvent m_killEvent;
  CPageEffects m_effects{*this};
  IAnimationWaiter* m_pWaiter;
  const IClock* m_pClock;

  std::recursive_mutex m_listLock;
  std::recursive_mutex m_blitLock;
  CDC m_memoryDC;
  std::unique_ptr<CBitmap> m_backBuffer;
  CBitmap* m_pOldBitmap = nullptr;
  int m_nBufferWidth = 0;
  int m_nBufferHeight = 0;
  CUpdateRectList m_dirty;
  std::vector<CDrawObj*> m_selection;
  CPoint m_dragOffset;
  CRect m_clip;
  CRect m_printMargins;
  DWORD m_dwPrintMode = 0;
  int m_nPrintScale = 100;
  DWORD m_dwAnimationStart = 0;
  DWORD m_dwAnimationDuration = 0;
  std::unique_ptr<IPageSettings> m_pPageSettings = std::make_unique<CPlainPageSettings>();
  std::atomic<bool> m_bRunning{false};
  CDrawObjList m_list;
  std::mutex m_endingLock;
  std::vector<std::unique_ptr<CAnimateThread>> m_endingThreads;
};
