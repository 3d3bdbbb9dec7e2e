// CIconObject: the common base of every course object and its table of operations.
#pragma once

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/gdi/gdi_types.h"
#include "platform/base/geometry.h"
#include "platform/base/object.h"
#include "platform/user/richtext_types.h"

class CArchive;
class CDC;
class CWnd;
class CIconManager;
class CVariableRect;
class CEffectData;
class CFontObject;
class CPolyline;

// Kind ids shared by the model and the behaviour classes.
namespace IconKind {
constexpr int kEventManager = 2;
constexpr int kActionManager = 3;
constexpr int kResponseManager = 4;
constexpr int kAudioAction = 12;
}  // namespace IconKind

// Bit 0x80 of the flags word: the object is disabled.
constexpr DWORD kIconFlagDisabled = 0x80;
constexpr DWORD kIconDefaultFlags = 4;

// Every course object: a kind, a name, an icon, a flags word and a parent,
// and the operations through which the shell and the behaviour classes talk
// to it. Each kind overrides the operations it needs; the defaults here are
// harmless. Answer marks: 0 none, 1 right, 2 wrong.
class CIconObject : public CObject {
  DECLARE_SERIAL(CIconObject)

 public:
  CIconObject();
  CIconObject(int kind, int iconId);
  CIconObject(const CIconObject& other);
  // The framework's second copy form; the identity flag changes nothing here.
  CIconObject(const CIconObject& other, BOOL keepIdentity);
  CIconObject& operator=(const CIconObject&) = delete;
  ~CIconObject() override = default;

  int GetKind() const { return m_nKind; }
  const CString& GetName() const { return m_strName; }
  void SetName(const CString& name) { m_strName = name; }
  const CString& GetText() const { return m_strText; }
  int GetIconId() const { return m_nIconId; }
  const CRect& GetIconRect() const { return m_rcIcon; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD flags) { m_dwFlags = flags; }
  BOOL IsEnabled() const { return (m_dwFlags & kIconFlagDisabled) == 0; }
  CIconObject* GetParent() const { return m_pParent; }
  void SetParent(CIconObject* parent) { m_pParent = parent; }

  // --- the table of operations, in the order of its entries ---
  void Serialize(CArchive& ar) override;
  virtual void CopyFrom(const CIconObject* source, BOOL keepIdentity);
  virtual int GetTypeFlags() { return 0; }
  virtual void Show(BOOL show) {}
  virtual BOOL IsVisible() { return TRUE; }
  virtual int GetStateValue() { return 0; }
  virtual void Draw(CDC* dc, int code, const CRect* rect) {}
  virtual CPolyline* GetPathObject() { return nullptr; }
  virtual BOOL GetRegion(int code, int x, int y, const CRect* rect) { return TRUE; }
  virtual BOOL ContainsPoint(int x, int y) { return FALSE; }
  virtual BOOL GetCharFormat(CHARFORMAT& format);
  virtual int GetOleState() { return 0; }
  virtual BOOL IsActiveState() { return FALSE; }
  virtual void Unload() {}
  virtual BOOL HitTest(const CRect* area) { return FALSE; }
  // The same match against a point set: objects drawn along a path answer it.
  virtual BOOL HitTest(const CPolyline* points) { return FALSE; }
  virtual void SizeObject(const CRect& rect) {}
  virtual void GetMediaState(CIconObject* action) {}
  virtual int FreeResources(CDC* dc, int flag) { return 0; }
  virtual CRect* GetRect(CRect* out) { return nullptr; }
  virtual CSize GetExtent() { return CSize(0, 0); }
  virtual void SetRect(const CRect& rect) {}
  virtual CRect GetBounds() { return CRect(); }
  virtual CVariableRect* GetVariableRect() { return nullptr; }
  virtual void SetRectConstants(const CRect& rect) {}
  virtual CEffectData* GetEffectData() { return nullptr; }
  virtual void SetEffectData(const CEffectData* effect) {}
  virtual int SetPoint(int style, int width) { return 0; }
  virtual int GetPoint(int* style, int* width) { return 0; }
  virtual BOOL SetControlState(int state) { return FALSE; }
  virtual int GetTextStyle() { return 0; }
  virtual BOOL IsOpaque() { return TRUE; }
  virtual BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) { return FALSE; }
  virtual CFontObject* GetFontObject() { return nullptr; }
  virtual const LOGFONT* GetFont(int* size, COLORREF* colour) { return nullptr; }
  virtual int TestOleFlags(int mask) { return 0; }
  virtual void SetAlignment(int alignment) {}
  virtual int GetAlignment() { return 0; }
  virtual CWnd* GetControlWnd() { return nullptr; }
  virtual CIconManager* AsManager() { return nullptr; }
  virtual CIconManager* GetSubManager() { return nullptr; }
  virtual int GetTaskNumber() { return 0; }
  virtual void SetTaskNumber(int number) {}
  virtual int Start() { return 0; }
  virtual void Stop() {}
  virtual int GetEventFlags() { return 0; }
  virtual void SetEventFlags(int flags) {}
  virtual CString GetCondition() { return CString(); }
  virtual void SetCondition(const CString& condition) {}
  // FALSE stops the action list this object runs in.
  virtual BOOL Execute() { return TRUE; }
  virtual BOOL IsAnimated() { return FALSE; }
  virtual int Animate(const CRect& rect, BOOL callerClocked) { return 0; }
  virtual int GetAnimState() { return 0; }
  virtual CSize* GetShapeData() { return nullptr; }
  virtual double GetMediaPosition() { return 0.0; }
  virtual double GetMediaLength() { return 0.0; }
  virtual int GetOutcomeFlags() { return 0; }
  virtual void SetOutcomeFlags(int flags) {}
  virtual int GetBranchTarget(int index) { return 0; }
  virtual void SetBranchTarget(int task, int index) {}
  virtual BOOL Activate() { return TRUE; }
  // The outcome code; 1 is "next task".
  virtual int ExecuteResponse(int* target) { return 1; }
  virtual void UpdateFromControl() {}
  virtual int GetDisplayFlags() { return 0; }
  virtual void SetDisplayFlags(int flags) {}
  virtual BYTE GetLayer() { return 0; }
  virtual void SetLayer(BYTE layer) {}
  virtual BYTE GetAnswerMark() { return 0; }
  virtual void SetAnswerMark(BYTE mark) {}
  virtual BYTE IsRightAnswer() { return 0; }
  virtual CString GetExpression() { return CString(); }
  virtual void SetExpression(const CString& expression) {}
  // Input. The last argument of the mouse operations is the draw object's
  // rectangle when the page offers the input, null when a manager does.
  virtual BOOL OnMouseMove(UINT keyFlags, CPoint point, int source, const CRect* rect) { return FALSE; }
  virtual BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) { return FALSE; }
  virtual BOOL OnKey(int key, int state) { return FALSE; }
  virtual BOOL OnCommand(int id, LPARAM lParam) { return FALSE; }
  virtual BOOL OnTimer(int id) { return FALSE; }
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam) { return FALSE; }
  virtual BOOL OnControlEvent(LONG controlId, void* eventRecord) { return FALSE; }
  // Adds the names of the files the object uses; TRUE when it named any.
  virtual BOOL CollectFiles(CStringArray* files, int flags) { return FALSE; }

 protected:
  int m_nKind = 0;
  CString m_strName;
  CString m_strText;  // the author's description: never kept on reading
  int m_nIconId = 0;
  CRect m_rcIcon;
  DWORD m_dwFlags = kIconDefaultFlags;
  CIconObject* m_pParent = nullptr;  // not owned
};
