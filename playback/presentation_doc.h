// CPresentationDoc: the document behind the presentation view. Its one
// addition to the container document is the page's display list.
#pragma once

#include "platform/framework/document.h"
#include "page/draw_obj_list.h"

class CDC;
class COffScreenView;

class CPresentationDoc : public COleDocument {
  DECLARE_DYNCREATE(CPresentationDoc)

 public:
  CPresentationDoc();
  ~CPresentationDoc() override;

  CDrawObjList& GetDrawList() { return m_drawList; }

  // The framework's emptying, then every draw object goes.
  void DeleteContents() override;
  // Closing never asks to save.
  BOOL SaveModified() override;

  // Paints the display list from head to tail (highest layer number first, so
  // lower numbers end up in front). On a printer only objects with a visible
  // owner and without the hidden flag; on the screen before the view runs
  // every object, with a tracker for the selected ones; while it runs every
  // object without the hidden flag.
  void DrawAll(CDC* dc, const CRect& clip, const COffScreenView* view);

  // The clipboard format of the page's embedded objects (registered once).
  static UINT ClipboardFormat();

 private:
  CDrawObjList m_drawList;
};

// The display list of a presentation document.
CDrawObjList& GetDocumentDrawList(CPresentationDoc& doc);
