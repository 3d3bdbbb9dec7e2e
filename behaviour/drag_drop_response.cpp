// The drag-and-drop response: stored form, linking its object, the slider and area constraints and judging drops.
#include "behaviour/drag_drop_response.h"

#include <algorithm>
#include <limits>

#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/rgn.h"
#include "platform/msg/window_messages.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CDragDropResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

CDragDropResponse::CDragDropResponse(const CDragDropResponse& other)
    : CDisplayResponse(other),
      m_mode(other.m_mode),
      m_dwDragFlags(other.m_dwDragFlags),
      m_strObjectName(other.m_strObjectName),
      m_path(other.m_path),
      m_offsetOrMinimum(other.m_offsetOrMinimum),
      m_offsetOrMaximum(other.m_offsetOrMaximum),
      m_rangeLow(other.m_rangeLow),
      m_rangeHigh(other.m_rangeHigh) {}

CDragDropResponse::~CDragDropResponse() { Display().LeavePage(this); }

void CDragDropResponse::Serialize(CArchive& ar) {
  m_mode = ar.ReadByte();
  m_dwDragFlags = ar.ReadDword();
  m_strObjectName = ar.ReadString();
  m_offsetOrMinimum.Serialize(ar);
  m_offsetOrMaximum.Serialize(ar);
  m_rangeLow.Serialize(ar);
  m_rangeHigh.Serialize(ar);
  m_path.Serialize(ar);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CDragDropResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CDragDropResponse*>(source)) {
    if (!(keepIdentity && other->m_strObjectName.IsEmpty())) m_strObjectName = other->m_strObjectName;
    m_mode = other->m_mode;
    m_dwDragFlags = other->m_dwDragFlags;
    m_offsetOrMinimum = other->m_offsetOrMinimum;
    m_offsetOrMaximum = other->m_offsetOrMaximum;
    m_rangeLow = other->m_rangeLow;
    m_rangeHigh = other->m_rangeHigh;
    m_path = other->m_path;
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

LONG CDragDropResponse::Value(const CVarOrValue& value) {
  ITaskServices* services = TaskServicesOf(this);
  return services ? value.GetLong(services->Variables()) : value.GetLiteral();
}

BOOL CDragDropResponse::GetRegion(int, int x, int y, const CRect*) {
  if (m_mode != kOnPath || m_path.GetPointCount() < 3) return TRUE;
  CRgn region;
  if (!region.CreatePolygonRgn(m_path.Points(), ALTERNATE)) return FALSE;
  return region.PtInRegion(x, y);
}

BOOL CDragDropResponse::Activate() {
  COffScreenView* page = PageViewOf(this);
  if (!page || !PageInMode1(this) || m_strObjectName.IsEmpty()) return TRUE;
  ITaskServices* services = TaskServicesOf(this);
  const CString name = services ? ExpandVariables(services->Variables(), m_strObjectName, FALSE) : m_strObjectName;
  // A name that matches nothing makes nothing draggable, silently.
  if (CDrawObj* obj = page->FindObjectByName(name)) obj->SetLink(this);
  if (m_mode == kOnPath && m_path.GetPointCount() > 1) {
    m_flatPath.RemoveAll();
    m_flatPath.Flatten(m_path, kCurveSteps);
    m_segment = -1;
    m_segmentOffset = 0;
    m_pathLength = m_flatPath.GetPathLength(-1);
  }
  return TRUE;
}

CPoint CDragDropResponse::GetHotSpot() { return CPoint(Value(m_offsetOrMinimum), Value(m_offsetOrMaximum)); }

void CDragDropResponse::ConstrainToPath(CPoint point, CRect& rect) {
  if (m_mode != kOnPath || m_flatPath.GetPointCount() < 2) return;
  int segment = -1;
  int offset = 0;
  CPoint nearest = point;
  m_flatPath.FindNearestPointOnPath(nearest, rect, segment, offset);
  if (segment < 0) return;
  // The distance along the winning segment.
  CPoint again = point;
  m_flatPath.FindNearestPointOnPath(again, rect, segment, offset);
  m_segment = segment;
  m_segmentOffset = offset;
}

void CDragDropResponse::ConstrainToArea(CPoint point, CRect& rect) {
  CRect area;
  CDisplayResponse::GetRect(&area);
  if (m_mode != kInArea || area.IsRectEmpty()) return;
  const LONG w = rect.Width();
  const LONG h = rect.Height();
  area.InflateRect(-(w / 2), -(h / 2));
  point.x = std::max(point.x, area.left);
  point.y = std::max(point.y, area.top);
  point.x = std::min(point.x, area.right);
  point.y = std::min(point.y, area.bottom);
  rect.left = point.x - w / 2;
  rect.top = point.y - h / 2;
  rect.right = rect.left + w;
  rect.bottom = rect.top + h;
}

LONG CDragDropResponse::SliderValue() {
  std::int64_t d = m_segmentOffset;
  if (m_segment >= 0 && m_segment < m_flatPath.GetPointCount())
    d = static_cast<std::int64_t>(m_flatPath.GetPathLength(m_segment + 1)) + m_segmentOffset;
  // In 64 bits: a long path times 100 passes 32.
  const std::int64_t p = m_pathLength > 0 ? d * 100 / m_pathLength : 0;
  const std::int64_t minimum = Value(m_offsetOrMinimum);
  const std::int64_t maximum = Value(m_offsetOrMaximum);
  const std::int64_t v = minimum + p * (maximum - minimum) / 100;
  return static_cast<LONG>(std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

BOOL CDragDropResponse::OnMouseButton(UINT message, UINT, CPoint point, int source, const CRect*) {
  if (!IsEnabled()) return FALSE;  // disabled objects never take input
  if (message != WM_LBUTTONUP || source != kInputFromTaskResponses) return FALSE;
  if (m_mode == kFree) {
    IResponseView* view = ResponseViewOf(this);
    auto* dragged = view ? dynamic_cast<CDragDropResponse*>(view->GetDropPartner()) : nullptr;
    if (!dragged || dragged->m_strObjectName != m_strObjectName) return FALSE;
    return ContainsPoint(point.x, point.y);
  }
  if (m_mode != kOnPath) return FALSE;
  if (Value(m_offsetOrMinimum) == 0 && Value(m_offsetOrMaximum) == 0) return FALSE;
  const LONG v = SliderValue();
  if (ITaskServices* services = TaskServicesOf(this))
    if (CVariable* variable = FindVariable(services->Variables(), "DragScaleValue")) variable->SetReal(v);
  const LONG low = Value(m_rangeLow);
  const LONG high = Value(m_rangeHigh);
  if (low == 0 && high == 0) return FALSE;
  return low <= v && v <= high;
}

BOOL CDragDropResponse::AcceptDrop(UINT keyFlags, CPoint point) {
  return OnMouseButton(WM_LBUTTONUP, keyFlags, point, kInputFromTaskResponses, nullptr);
}
