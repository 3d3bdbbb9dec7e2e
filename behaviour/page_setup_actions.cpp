#include "behaviour/page_setup_actions.h"

#include <algorithm>
#include <limits>

#include "behaviour/display_part.h"
#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "page/off_screen_view.h"
#include "page/preload_cache.h"

IMPLEMENT_SERIAL(CPrintAction, CAction, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CPaletteAction, CAction, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CPreloadAction, CAction, VERSIONABLE_SCHEMA | 3)

// --- print ---

void CPrintAction::Serialize(CArchive& ar) {
  m_dwPrintFlags = ar.ReadDword();
  m_nScale = ar.ReadLong();
  m_margins = ar.ReadRect();
  CAction::Serialize(ar);
}

void CPrintAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CPrintAction*>(source)) {
    m_dwPrintFlags = other->m_dwPrintFlags;
    m_nScale = other->m_nScale;
    m_margins = other->m_margins;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CPrintAction::Execute() {
  if (COffScreenView* view = PageViewOf(this)) view->PrintArea(m_margins, m_dwPrintFlags, m_nScale);
  return TRUE;
}

// --- palette ---

void CPaletteAction::Serialize(CArchive& ar) {
  m_dwFlags = ar.ReadDword();
  m_strFile = ar.ReadString();
  CAction::Serialize(ar);
}

void CPaletteAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CPaletteAction*>(source)) {
    m_dwFlags = other->m_dwFlags;
    if (!(keepIdentity && other->m_strFile.IsEmpty())) m_strFile = other->m_strFile;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CPaletteAction::Execute() {
  // Only the mode bits are the view's; higher bits of a damaged file stay out.
  if (COffScreenView* view = PageViewOf(this))
    view->SetPaletteMode((view->GetPaletteMode() & ~kModeBits) | (m_dwFlags & kModeBits));
  return TRUE;
}

BOOL CPaletteAction::CollectFiles(CStringArray* files, int) {
  if (!files || !(m_dwFlags & 0x4) || m_strFile.IsEmpty()) return FALSE;
  files->Add(m_strFile);
  return TRUE;
}

// --- preload ---

CPreloadAction::CPreloadAction(const CPreloadAction& other)
    : CAction(other), m_dwFlags(other.m_dwFlags), m_nBudget(other.m_nBudget) {
  for (int i = 0; i < other.m_files.GetSize(); ++i) m_files.Add(other.m_files[i]);
}

void CPreloadAction::Serialize(CArchive& ar) {
  const UINT schema = ar.GetObjectSchema();
  m_dwFlags = ar.ReadDword();
  m_files.RemoveAll();
  if (schema >= 3 && schema != 0xFFFFFFFFu) {
    m_nBudget = ar.ReadLong();
    ar.ReadStringArray(m_files);
  } else {
    m_files.Add(ar.ReadString());
  }
  CAction::Serialize(ar);
}

void CPreloadAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CPreloadAction*>(source)) {
    m_dwFlags = other->m_dwFlags;
    m_nBudget = other->m_nBudget;
    if (!(keepIdentity && other->m_files.GetSize() == 0)) {
      m_files.RemoveAll();
      for (int i = 0; i < other->m_files.GetSize(); ++i) m_files.Add(other->m_files[i]);
    }
  }
  CAction::CopyFrom(source, keepIdentity);
}

LONG CPreloadAction::BudgetBytes(LONG thousands) {
  const long long bytes = static_cast<long long>(thousands) * 1000;
  return static_cast<LONG>(std::clamp<long long>(bytes, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

BOOL CPreloadAction::Execute() {
  ITaskServices* services = TaskServicesOf(this);
  if ((m_dwFlags & PreloadFlag::kSetBudget) && services) {
    if (CVariable* budget = FindVariable(services->Variables(), "PreloadBufferSize")) {
      const LONG bytes = BudgetBytes(m_nBudget);
      if (budget->IsNumber()) budget->SetReal(bytes);
      else budget->SetLong(bytes);
    }
  }
  COffScreenView* view = PageViewOf(this);
  CPreloadCache* cache = view ? view->GetPreloadCache() : nullptr;
  for (int i = 0; i < m_files.GetSize(); ++i) {
    if (m_files[i].IsEmpty()) continue;  // nothing to read
    const CString name = services ? services->FindMediaFile(m_files[i]) : m_files[i];
    // The flag asks for the background worker: the cache's argument is "load now".
    if (cache) cache->AddObject(name, (m_dwFlags & PreloadFlag::kBackground) ? FALSE : TRUE);
  }
  if (view) view->SetLookAheadPreload(static_cast<int>(m_dwFlags & PreloadFlag::kLookAhead));
  return TRUE;
}

BOOL CPreloadAction::CollectFiles(CStringArray* files, int) {
  if (!files) return FALSE;
  for (int i = 0; i < m_files.GetSize(); ++i) files->Add(m_files[i]);
  return m_files.GetSize() > 0;
}
