#include "behaviour/area_selection.h"

#include "model/archive.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/text_helpers.h"
#include "page/off_screen_view.h"

namespace {

void AddTo(CRect& area, const CRect& more) {
  if (more.IsRectEmpty()) return;
  if (area.IsRectEmpty()) area = more;
  else area.UnionRect(area, more);
}

}  // namespace

void CAreaSelection::Serialize(CArchive& ar) {
  flags = ar.ReadDword();
  names = ar.ReadString();
  ar.ReadByteArray(layers);
}

void CAreaSelection::CopyFrom(const CAreaSelection& source, BOOL keepIdentity) {
  flags = source.flags;
  layers = source.layers;
  if (!(keepIdentity && source.names.IsEmpty())) names = source.names;
}

void CAreaSelection::Collect(COffScreenView& view, CIconObject* owner, BOOL keepOnly, CRect& area) const {
  // Layer numbers are bytes: a longer array selects nothing more.
  const int layerCount = std::min(layers.GetSize(), 256);
  for (int layer = 0; layer < layerCount; ++layer) {
    if (layers[layer]) AddTo(area, view.RemoveObjectsOfLayer(static_cast<BYTE>(layer), keepOnly));
  }
  if (names.IsEmpty()) return;
  ITaskServices* services = owner ? TaskServicesOf(owner) : nullptr;
  const CString expanded = services ? ExpandVariables(services->Variables(), names, FALSE) : names;
  CString line;
  for (int n = 0; GetTextLine(expanded.view(), n, line); ++n) AddTo(area, view.RemoveObjectByName(line, keepOnly));
}
