// The display part every object on the page carries: a bindable rectangle, display flags, a layer and a transition.
#pragma once

#include "model/icon_object.h"
#include "model/int_geometry.h"
#include "model/var_or_value.h"
#include "platform/base/object.h"
#include "page/effect_data.h"

class CArchive;
class COffScreenView;
class ICourseHost;
class IPageAccess;

// Display flag bits the display part itself reads and writes.
namespace DisplayFlag {
constexpr DWORD kActive = 0x400;
constexpr DWORD kHidden = 0x800;
}  // namespace DisplayFlag

// The page an object's task shows, or null (no task, no view yet).
COffScreenView* PageViewOf(CIconObject* obj);

// The fields and their behaviour, shared by the three families. The object
// keeps where it was put on the page so that deleting it takes its draw
// object off; the host tells whether the program is closing, when the page
// is left alone.
class CDisplayPart {
 public:
  CDisplayPart() = default;
  explicit CDisplayPart(BYTE layer) : m_layer(layer) {}
  CDisplayPart(const CDisplayPart& other)
      : m_position(other.m_position), m_displayFlags(other.m_displayFlags), m_layer(other.m_layer),
        m_effect(other.m_effect) {}
  CDisplayPart& operator=(const CDisplayPart&) = delete;

  // Course files of version 3 and older store no class reference and the
  // transition as three bytes; later ones the class reference and the full form.
  void Serialize(CArchive& ar, const CRuntimeClass* displayClass);
  // The position evaluated side by side, not normalised.
  CRect Evaluate(CIconObject* self) const;
  void CopyFrom(const CDisplayPart& source, CIconObject* sourceObj, BOOL keepIdentity);

  // Records the page the object went onto (from its task's services).
  void NoteShownOn(CIconObject* self);
  // Takes the object's draw object off the page it went onto, unless the program is closing.
  void LeavePage(CIconObject* self);

  CVariableRect m_position;
  DWORD m_displayFlags = 0;
  BYTE m_layer = 0;
  CEffectData m_effect;

 private:
  IPageAccess* m_pShownOn = nullptr;  // not owned
  ICourseHost* m_pHost = nullptr;     // not owned
};

// Adds the display part's operations to a family's base class.
template <class Base>
class TDisplayObject : public Base {
 public:
  TDisplayObject(int kind, BYTE layer) : Base(kind), m_display(layer) {}
  TDisplayObject(const TDisplayObject& other) : Base(other), m_display(other.m_display) {}
  ~TDisplayObject() override { m_display.LeavePage(this); }

  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override {
    if (auto* other = dynamic_cast<const TDisplayObject*>(source)) {
      // The source's sides are evaluated against its own task's variables.
      m_display.CopyFrom(other->m_display, const_cast<TDisplayObject*>(other), keepIdentity);
    }
    Base::CopyFrom(source, keepIdentity);
  }
  void Show(BOOL show) override {
    if (show) m_display.m_displayFlags &= ~DisplayFlag::kHidden;
    else m_display.m_displayFlags |= DisplayFlag::kHidden;
  }
  BOOL IsVisible() override { return (m_display.m_displayFlags & DisplayFlag::kHidden) == 0; }
  BOOL ContainsPoint(int x, int y) override {
    CRect r = GetBounds();
    return GetRect(&r) && r.PtInRect(CPoint(x, y));
  }
  BOOL IsActiveState() override { return (m_display.m_displayFlags & DisplayFlag::kActive) != 0; }
  using Base::HitTest;
  BOOL HitTest(const CRect* area) override;
  CRect* GetRect(CRect* out) override {
    *out = m_display.Evaluate(this);
    return out;
  }
  CSize GetExtent() override {
    const CRect r = m_display.Evaluate(this);
    if (r.IsRectEmpty()) return CSize(250, 100);
    return CSize(r.right - r.left, r.bottom - r.top);
  }
  void SetRect(const CRect& rect) override { SetRectConstants(rect); }
  CRect GetBounds() override { return m_display.Evaluate(this); }
  CVariableRect* GetVariableRect() override { return &m_display.m_position; }
  void SetRectConstants(const CRect& rect) override { m_display.m_position.SetConstants(rect); }
  CEffectData* GetEffectData() override { return &m_display.m_effect; }
  void SetEffectData(const CEffectData* effect) override {
    if (effect) m_display.m_effect = *effect;
  }
  int GetDisplayFlags() override { return static_cast<int>(m_display.m_displayFlags); }
  void SetDisplayFlags(int flags) override { m_display.m_displayFlags = static_cast<DWORD>(flags); }
  BYTE GetLayer() override { return m_display.m_layer; }
  void SetLayer(BYTE layer) override { m_display.m_layer = layer; }
  BOOL CollectFiles(CStringArray* files, int flags) override {
    return files && m_display.m_effect.AddPreloadFiles(*files, flags) != 0;
  }
  void SetActiveState() { m_display.m_displayFlags |= DisplayFlag::kActive; }
  void ClearActiveState() { m_display.m_displayFlags &= ~DisplayFlag::kActive; }
  BOOL IsDisplayObject() const { return TRUE; }

 protected:
  void SerializeDisplay(CArchive& ar, const CRuntimeClass* displayClass) {
    m_display.Serialize(ar, displayClass);
    Base::Serialize(ar);
  }
  const CEffectData& Effect() const { return m_display.m_effect; }
  CDisplayPart& Display() { return m_display; }

 private:
  CDisplayPart m_display;
};

// The rectangle, as the kind limits it, lies inside the area: equal, or
// every corner inside by the test that leaves out the right and bottom edges.
template <class Base>
BOOL TDisplayObject<Base>::HitTest(const CRect* area) {
  CRect r = GetBounds();
  if (!area || !GetRect(&r)) return FALSE;
  return RectInRect(*area, r);
}
