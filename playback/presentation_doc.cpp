#include "playback/presentation_doc.h"

#include "model/icon_object.h"
#include "platform/user/clipboard.h"
#include "platform/gdi/dc.h"
#include "page/off_screen_view.h"

IMPLEMENT_DYNCREATE(CPresentationDoc, COleDocument)

CPresentationDoc::CPresentationDoc() { ClipboardFormat(); }

CPresentationDoc::~CPresentationDoc() = default;

UINT CPresentationDoc::ClipboardFormat() {
  static const UINT format = RegisterClipboardFormat("Tavelon OLE object");
  return format;
}

void CPresentationDoc::DeleteContents() {
  COleDocument::DeleteContents();
  m_drawList.DeleteAll();
}

BOOL CPresentationDoc::SaveModified() {
  SetModifiedFlag(FALSE);
  return COleDocument::SaveModified();
}

namespace {

// The selection tracker: the object's handles, inverted.
void DrawTracker(CDC* dc, CDrawObj& obj) {
  for (int n = 1; n <= obj.GetHandleCount(); ++n) {
    CRect handle = obj.GetHandleRect(n);
    dc->PatBlt(handle.left, handle.top, handle.Width(), handle.Height(), DSTINVERT);
  }
}

}  // namespace

void CPresentationDoc::DrawAll(CDC* dc, const CRect& clip, const COffScreenView* view) {
  const bool running = view && view->IsRunning();
  for (CDrawObj* obj : m_drawList.Snapshot()) {
    const bool hidden = (obj->GetFlags() & DrawFlag::kHidden) != 0;
    if (dc->IsPrinting()) {
      CIconObject* owner = obj->GetOwner();
      if (owner && !hidden && owner->IsVisible()) obj->Draw(dc, clip, 0);
    } else if (!running) {
      obj->Draw(dc, clip, 0);
      if (view && view->IsSelected(obj)) DrawTracker(dc, *obj);
    } else if (!hidden) {
      obj->Draw(dc, clip, 0);
    }
  }
}

CDrawObjList& GetDocumentDrawList(CPresentationDoc& doc) { return doc.GetDrawList(); }
