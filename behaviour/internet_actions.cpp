// The internet actions: their stored forms and copies, and the page action's turn towards a frame action.
#include "behaviour/internet_actions.h"

#include "model/archive.h"
#include "page/off_screen_view.h"
#include "platform/user/native_control.h"
#include "platform/msg/window_messages.h"

IMPLEMENT_SERIAL(CFtpAction, CAction, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CHtmlAction, CDisplayAction, VERSIONABLE_SCHEMA | 3)
IMPLEMENT_SERIAL(CHtmlFrameAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

void CFtpAction::Serialize(CArchive& ar) {
  m_dwFlagsB = ar.ReadDword();
  m_texts[0] = ar.ReadString();
  m_texts[2] = ar.ReadString();
  m_texts[1] = ar.ReadString();
  m_valueA = ar.ReadLong();
  m_texts[3] = ar.ReadString();
  m_texts[4] = ar.ReadString();
  CAction::Serialize(ar);
}

void CFtpAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CFtpAction*>(source)) {
    if (!keepIdentity) m_texts = other->m_texts;
    m_valueA = other->m_valueA;
    m_dwFlagsB = other->m_dwFlagsB;
  }
  CAction::CopyFrom(source, keepIdentity);
}

void CHtmlAction::Serialize(CArchive& ar) {
  const UINT schema = ar.GetObjectSchema();
  m_strPage = ar.ReadString();
  m_dwFlags = ar.ReadDword();
  m_strFrame = ar.ReadString();
  m_strThird.Empty();
  if (schema >= 3) m_strThird = ar.ReadString();  // unknown (0xFFFFFFFF) counts as current
  CDisplayAction::Serialize(ar);
}

void CHtmlAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CHtmlAction*>(source)) {
    m_dwFlags = other->m_dwFlags;
    for (auto [mine, theirs] : {std::pair{&m_strPage, &other->m_strPage}, std::pair{&m_strFrame, &other->m_strFrame},
                                std::pair{&m_strThird, &other->m_strThird}})
      if (!keepIdentity || !theirs->IsEmpty()) *mine = *theirs;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CHtmlAction::Execute() {
  if (m_dwFlags & HtmlFlag::kDoNothing) return TRUE;
  if (!(m_dwFlags & HtmlFlag::kToFrame)) return TRUE;
  COffScreenView* view = PageViewOf(this);
  CDrawObj* obj = view ? view->FindObjectByName(m_strFrame) : nullptr;
  CIconObject* owner = obj ? obj->GetOwner() : nullptr;
  if (!owner) return FALSE;  // the frame is not on the page: the task's list stops here
  owner->GetMediaState(this);
  return TRUE;
}

BOOL CHtmlAction::OnControlEvent(LONG controlId, void* eventRecord) {
  const auto* record = static_cast<const CControlEventRecord*>(eventRecord);
  if (controlId == kBrowserControlId && record && record->dispid == kDownloadComplete &&
      (m_dwFlags & HtmlFlag::kReportCompletion))
    if (COffScreenView* view = PageViewOf(this)) view->PostViewMessage(MM_MCINOTIFY, kCompletionCode, 0);
  return FALSE;
}

void CHtmlFrameAction::Serialize(CArchive& ar) {
  m_valueA = ar.ReadLong();
  m_pair[0] = ar.ReadLong();
  m_pair[1] = ar.ReadLong();
  m_valueC = ar.ReadLong();
  m_valueD = ar.ReadByte();
  for (CString& page : m_pages) page = ar.ReadString();
  CDisplayAction::Serialize(ar);
}

void CHtmlFrameAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CHtmlFrameAction*>(source)) {
    m_valueA = other->m_valueA;
    m_pair = other->m_pair;
    m_valueC = other->m_valueC;
    m_valueD = other->m_valueD;
    if (!keepIdentity) m_pages = other->m_pages;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CHtmlFrameAction::CollectFiles(CStringArray* files, int) {
  if (!files) return FALSE;
  BOOL added = FALSE;
  for (const CString& page : m_pages)
    if (!page.IsEmpty()) {
      files->Add(page);
      added = TRUE;
    }
  return added;
}
