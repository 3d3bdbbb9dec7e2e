// CMoveAction: moves another object of the page over time, along a path, point by point, to a gauge's place or straight to a point.
#pragma once

#include <atomic>

#include "behaviour/display_action.h"
#include "model/var_or_value.h"
#include "page/draw_obj.h"
#include "page/polyline.h"

class COffScreenView;

namespace MoveType {
constexpr BYTE kPath = 0;
constexpr BYTE kPoints = 1;
constexpr BYTE kValue = 2;
constexpr BYTE kStraight = 3;
}  // namespace MoveType

namespace MoveFlag {
constexpr DWORD kWait = 0x1;
constexpr DWORD kNotify = 0x20;
constexpr DWORD kTopLeft = 0x8000;
constexpr DWORD kLimitedRepeats = 0x100000;
constexpr DWORD kDefault = 0x200000;
constexpr DWORD kOwnThread = 0x400000;
}  // namespace MoveFlag

// The notice a move posts when it ends: 953 with this first parameter.
constexpr WPARAM kMoveEndedCode = 1035;

// On disk: type, flags, object name, repeat count, then the time, the path and
// the values A, B and C, each inline, then the display part and the common part.
//
// A step runs under the page's display-list lock, on the user-interface
// thread or on the own object's animation thread, never both: the call's
// clock must match the mode. Unload (the page calls it under the same lock
// when the moved object goes) therefore never meets a step half done.
class CMoveAction : public CDisplayAction, public IObjectMover {
  DECLARE_SERIAL(CMoveAction)

 public:
  static constexpr BYTE kDefaultLayer = 2;
  // The step interval of a move on its own thread.
  static constexpr BOOL kThreadIntervalMs = 10;
  // Samples per curve when the path is flattened.
  static constexpr int kFlattenSteps = 50;

  CMoveAction();
  CMoveAction(const CMoveAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  BOOL Execute() override;
  BOOL IsAnimated() override { return (m_dwMoveFlags & MoveFlag::kOwnThread) ? kThreadIntervalMs : FALSE; }
  int Animate(const CRect& rect, BOOL callerClocked) override;
  int GetAnimState() override { return m_bMoving.load() ? TRUE : FALSE; }
  CPolyline* GetPathObject() override { return &m_path; }
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  void Draw(CDC*, int, const CRect*) override {}  // the path is never painted
  void Unload() override;
  CDrawObj* GetMovedObject() const override { return m_pMoved; }
  // The path object calls this when one of its points is selected.
  void NotifyView(CPoint) {}

  BYTE GetMoveType() const { return m_moveType; }
  void SetMoveType(BYTE type) { m_moveType = type; }
  DWORD GetMoveFlags() const { return m_dwMoveFlags; }
  void SetMoveFlags(DWORD flags) { m_dwMoveFlags = flags; }
  const CString& GetObjectName() const { return m_strObjectName; }
  void SetObjectName(const CString& name) { m_strObjectName = name; }
  LONG GetRepeatCount() const { return m_nRepeat; }
  void SetRepeatCount(LONG count) { m_nRepeat = count; }
  CVarOrValue& Time() { return m_time; }
  CVarOrValue& ValueA() { return m_a; }
  CVarOrValue& ValueB() { return m_b; }
  CVarOrValue& ValueC() { return m_c; }
  int GetRunsDone() const { return m_nRuns; }

 private:
  LONG Evaluate(const CVarOrValue& value);
  DWORD Now() const;
  void ResetRun(DWORD now);
  // TRUE when a paced step is due now; sets the step length.
  bool Paced(DWORD now);
  // The point distance along the flattened path; FALSE at or past its end.
  bool PointAt(int distance, CPoint& out);
  void MoveObject(CPoint point, BOOL force);
  void Notify();
  // Counts the run; stops or starts it again. FALSE when the move stopped.
  bool EndRun(DWORD now);
  int PathStep(DWORD now);
  int PointStep(DWORD now);
  int ValueStep(DWORD now);
  int StraightStep(DWORD now);
  void WaitForEnd();
  // How long the wait for the move may sleep before its next step.
  DWORD UntilNextStep() const;
  // The move is over: a wait for it on the user-interface thread is woken.
  void EndMove();

  BYTE m_moveType = MoveType::kPath;
  DWORD m_dwMoveFlags = MoveFlag::kDefault;
  CVarOrValue m_time{500};
  CString m_strObjectName;
  CPolyline m_path;
  CVarOrValue m_a, m_b, m_c;
  LONG m_nRepeat = 1;

  // Run fields, written under the page's display-list lock.
  std::atomic<COffScreenView*> m_pView{nullptr};  // read by a stepping thread before it takes the lock
  CDrawObj* m_pMoved = nullptr;
  std::atomic<bool> m_bMoving{false};
  CPolyline m_flat;
  CPoint m_start, m_dest;
  int m_nTotal = 0, m_nDone = 0, m_nStep = -1;
  bool m_bFirstStep = true;
  int m_nSegment = 0, m_nSegmentStart = 0;  // the walk's place on the flattened path
  int m_nPoint = 0;                         // the next point of a point-by-point move
  DWORD m_dwStart = 0, m_dwDuration = 0, m_dwRemaining = 0, m_dwNextStep = 0;
  int m_nRuns = 0;
};
