// CDrawObj and its kinds: the page's proxies of the course objects it shows.
#pragma once

#include <memory>

#include "platform/base/geometry.h"
#include "platform/base/object.h"
#include "page/polyline.h"

class CAnimateThread;
class CDC;
class CDocument;
class CIconObject;
class CSyncEvent;
class IAnimationWaiter;

// What a draw object needs of the page that holds it.
class IDrawObjHost {
 public:
  // Marks the object's rectangle, inflated by one pixel, for repainting.
  virtual void InvalidateItem(class CDrawObj* obj) = 0;
  // Composes the area into the back buffer and shows it at once.
  virtual void RepaintArea(const CRect& rect) = 0;
  // Set when the course stops: every animation thread ends at its next wait.
  virtual CSyncEvent* GetKillEvent() = 0;
  virtual IAnimationWaiter& GetAnimationWaiter() = 0;
  // The course document current now (null: none).
  virtual CDocument* GetCurrentCourse() = 0;
  // Takes the animation thread of an object freed from inside that thread's
  // own step (nothing can wait for itself there), to join it later.
  virtual void AdoptEndingThread(std::unique_ptr<CAnimateThread> thread) = 0;

 protected:
  ~IDrawObjHost() = default;
};

// An owner that moves another object of the page over time (a move action):
// the page stops it when that object goes.
class IObjectMover {
 public:
  // The draw object being moved, or null.
  virtual CDrawObj* GetMovedObject() const = 0;

 protected:
  ~IObjectMover() = default;
};

// Flags the adding kind gives the page, kept by the draw object.
namespace DrawFlag {
constexpr DWORD kPathLine = 0x2;
constexpr DWORD kPathShape = 0x4;
constexpr DWORD kRoundRect = 0x8;
constexpr DWORD kEllipse = 0x20;
constexpr DWORD kOle = 0x40;
constexpr DWORD kTaskOnly = 0x80;  // removed when the task ends
constexpr DWORD kLinked = 0x100;
constexpr DWORD kHidden = 0x200;   // never painted while the course runs, never printed
// The face of a control a response draws itself (push button, check button,
// grid); a move's own path carries it too. The page keeps it and tests it nowhere.
constexpr DWORD kControlFace = 0x400;
constexpr DWORD kTransition = 0x800;
constexpr DWORD kFlushAround = 0x1000;
constexpr DWORD kPrivate = 0x2000;  // never invalidated; deletes its owner
constexpr DWORD kStateShown = 0x4000;  // hidden, yet painted while its owner shows a state (an inverted area)
}  // namespace DrawFlag

// Cursor ids of the handles.
namespace HandleCursor {
constexpr UINT kNwse = 30983;
constexpr UINT kNesw = 30984;
constexpr UINT kNs = 30985;
constexpr UINT kWe = 30986;
constexpr UINT kTrack = 30987;
constexpr UINT kMove = 30988;
}  // namespace HandleCursor

// A rectangle in page coordinates that a course object (the owner) paints
// into. The owner stays with its task unless the object is private.
//
// An animated owner gets a thread at construction; the thread only ever
// touches this object while it lives, because every most-derived destructor
// stops and joins it before the object's members go.
//
// Stored, an object writes its position, layer, flags, 0 for the course and
// the owner (addresses mean nothing elsewhere), then the owner's class
// reference and the owner's own fields. Loading makes the owner from its
// class name; that owner belongs to the draw object and goes with it.
class CDrawObj : public CObject {
  DECLARE_SERIAL(CDrawObj)

 public:
  static constexpr int kHandleSize = 7;

  CDrawObj() : CDrawObj(nullptr, 0) {}
  CDrawObj(CIconObject* owner, DWORD flags, IDrawObjHost* host = nullptr);
  ~CDrawObj() override;
  CDrawObj(const CDrawObj&) = delete;
  CDrawObj& operator=(const CDrawObj&) = delete;

  void Serialize(CArchive& ar) override;

  CIconObject* GetOwner() const { return m_pOwner; }
  CDocument* GetCourse() const { return m_pCourse; }
  DWORD GetFlags() const { return m_dwFlags; }
  // Sets or clears flag bits the owner changes while on the page (kStateShown).
  void SetFlag(DWORD flag, bool on) { m_dwFlags = on ? (m_dwFlags | flag) : (m_dwFlags & ~flag); }
  CAnimateThread* GetAnimateThread() const { return m_pAnimateThread.get(); }

  // --- handles ---
  virtual int GetHandleCount() { return 8; }
  // n < 0 or beyond the count selects none.
  virtual void SetCurrentHandle(int n);
  int GetCurrentHandle() const { return m_nCurrentHandle; }
  virtual void StepCurrentHandle(BOOL backwards);
  virtual CPoint GetHandle(int n);
  virtual UINT GetHandleCursor(int n);
  // The handle n becomes when dragged to (x, y).
  virtual int FlipHandle(int n, int x, int y);
  CRect GetHandleRect(int n);

  // --- point editing (paths only) ---
  virtual int TogglePointType(int n) { return 0; }
  virtual int RemovePoint(int n) { return 0; }
  virtual void InsertPoint(int at, CPoint point) {}
  virtual int FindSegment(CPoint point, CPoint* out) { return -1; }

  virtual BOOL Draw(CDC* dc, const CRect& clip, int arg) { return FALSE; }
  virtual void MoveTo(CPoint point, BOOL force, BOOL topLeft);
  virtual void MoveToRect(const CRect& rect, BOOL tellOwner);
  // With handles: the handle under the point (0 none); else 1 when the owner's
  // precise test accepts a point inside the rectangle.
  virtual int HitTest(int x, int y, BOOL handles, int arg);
  virtual BOOL Intersects(const CRect& rect);
  virtual void MoveHandleTo(int n, int x, int y);
  virtual void Open() {}
  virtual int CanActivate() { return 0; }

  int GetLeft() const { return m_position.left; }
  int GetTop() const { return m_position.top; }
  BYTE GetLayer() const { return m_nLayer; }
  // Only layers 1 to 9 may change.
  void SetLayer(BYTE layer);
  const CRect* GetRect(CRect* out = nullptr) const;
  // The owner's evaluated rectangle, or the position without an owner.
  CRect GetOwnerRect() const;
  BOOL IsInsideRect(const CRect& rect) const;
  virtual void SetRect(const CRect& rect);
  virtual void OnPointSelected(CPoint point) {}

  void KillThread(BOOL wait);
  // Wakes a thread that suspended itself; a thread that was killed is
  // replaced by a new one, as long as the owner still animates.
  void ResumeAnimation();
  void SetLink(CObject* object);
  void ClearLink();
  BOOL IsLinked() const { return (m_dwFlags & DrawFlag::kLinked) && m_pLink; }
  CObject* GetLink() const { return m_pLink; }
  BOOL IsPrivate() const { return (m_dwFlags & DrawFlag::kPrivate) != 0; }
  void Invalidate();
  int TestOleFlags(int mask) const;

 protected:
  IDrawObjHost* Host() const { return m_pHost; }
  // Shows the area the object left and the one it took.
  void RepaintMove(const CRect& before, const CRect& after);

  CRect m_position;
  CIconObject* m_pOwner;
  CDocument* m_pCourse = nullptr;
  BYTE m_nLayer = 0;
  DWORD m_dwFlags;
  CObject* m_pLink = nullptr;
  int m_nCurrentHandle = 0;

 private:
  IDrawObjHost* m_pHost;
  std::unique_ptr<CAnimateThread> m_pAnimateThread;
  std::unique_ptr<CIconObject> m_pLoadedOwner;  // an owner made by loading
};

class CDrawRect : public CDrawObj {
  DECLARE_SERIAL(CDrawRect)

 public:
  enum Shape { rectangle = 0, roundRectangle = 1, ellipse = 2, line = 3 };

  CDrawRect() : CDrawRect(nullptr, 0) {}
  CDrawRect(CIconObject* owner, DWORD flags, IDrawObjHost* host = nullptr);
  ~CDrawRect() override;

  // The base's fields, then the shape; a loaded object takes its roundness from its owner.
  void Serialize(CArchive& ar) override;
  Shape GetShape() const { return m_nShape; }
  CSize GetRoundness() const;

  int GetHandleCount() override;
  void SetCurrentHandle(int n) override;
  // One handle back or on, wrapping between 0 (none) and the last.
  void StepCurrentHandle(BOOL backwards) override;
  CPoint GetHandle(int n) override;
  UINT GetHandleCursor(int n) override;
  int FlipHandle(int n, int x, int y) override;
  BOOL Draw(CDC* dc, const CRect& clip, int arg) override;
  BOOL Intersects(const CRect& rect) override;
  void MoveHandleTo(int n, int x, int y) override;

 private:
  Shape m_nShape;
  CSize* m_pRoundness;  // the owner's shape data; not owned
};

// The owner paints its path; while the page moves the object only the copy
// moves, so an owner drawing a moved path reads the copy (GetPoints).
class CDrawPoly : public CDrawObj {
  DECLARE_SERIAL(CDrawPoly)

 public:
  CDrawPoly() : CDrawPoly(nullptr, 0) {}
  CDrawPoly(CIconObject* owner, DWORD flags, IDrawObjHost* host = nullptr);
  ~CDrawPoly() override;

  // The base's fields; a loaded object takes its owner's path and copies its points.
  void Serialize(CArchive& ar) override;
  const CPolyline& GetPoints() const { return m_points; }
  // Bounds of the points inflated by half the pen; TRUE when the position changed.
  BOOL RecalcBounds();

  int GetHandleCount() override { return m_points.GetPointCount(); }
  void SetCurrentHandle(int n) override;
  void StepCurrentHandle(BOOL backwards) override;
  CPoint GetHandle(int n) override;
  UINT GetHandleCursor(int n) override { return HandleCursor::kMove; }
  int FlipHandle(int n, int x, int y) override { return n; }
  int TogglePointType(int n) override;
  int RemovePoint(int n) override;
  void InsertPoint(int at, CPoint point) override;
  int FindSegment(CPoint point, CPoint* out) override;
  BOOL Draw(CDC* dc, const CRect& clip, int arg) override;
  void MoveTo(CPoint point, BOOL force, BOOL topLeft) override;
  void MoveToRect(const CRect& rect, BOOL tellOwner) override;
  int HitTest(int x, int y, BOOL handles, int arg) override;
  BOOL Intersects(const CRect& rect) override;
  void MoveHandleTo(int n, int x, int y) override;
  void SetRect(const CRect& rect) override;

 private:
  int PenWidth(int fallback) const;
  void CopyPointsToOwner();

  CPolyline* m_pPath;  // the owner's path; not owned
  CPolyline m_points;  // a copy in page coordinates
};

// Without OLE hosting the object never has a client item: it keeps its place
// on the page and draws nothing.
class CDrawOleObj : public CDrawRect {
  DECLARE_SERIAL(CDrawOleObj)

 public:
  CDrawOleObj() : CDrawOleObj(nullptr, 0) {}
  CDrawOleObj(CIconObject* owner, DWORD flags, IDrawObjHost* host = nullptr);
  ~CDrawOleObj() override;
  BOOL Draw(CDC* dc, const CRect& clip, int arg) override;
  CSize GetExtent() const { return m_extent; }

 private:
  CSize m_extent{0, 0};
};
