// The common part of every course object: construction, copying and its stored form.
#include "model/icon_object.h"

#include "model/archive.h"
#include "model/text_formats.h"

IMPLEMENT_SERIAL(CIconObject, CObject, VERSIONABLE_SCHEMA | 3)

CIconObject::CIconObject() = default;

CIconObject::CIconObject(int kind, int iconId) : m_nKind(kind), m_nIconId(iconId) {}

CIconObject::CIconObject(const CIconObject& other)
    : CObject(other),
      m_nKind(other.m_nKind),
      m_strName(other.m_strName),
      m_strText(other.m_strText),
      m_nIconId(other.m_nIconId),
      m_dwFlags(other.m_dwFlags) {}

CIconObject::CIconObject(const CIconObject& other, BOOL) : CIconObject(other) {}

void CIconObject::Serialize(CArchive& ar) {
  UINT schema = 2;  // files before version 5 carry no class reference here
  if (ar.GetCourseVersion() >= 5) {
    ar.ReadClass(RUNTIME_CLASS(CIconObject));
    schema = ar.GetObjectSchema();
  }
  m_dwFlags = ar.ReadDword();
  ar.ReadString(m_strName);
  if (schema >= 3) ar.SkipString();  // the description is not kept
  m_strText.Empty();
}

void CIconObject::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (keepIdentity || !source || source == this) return;
  m_nKind = source->m_nKind;
  m_nIconId = source->m_nIconId;
  m_rcIcon = source->m_rcIcon;
  m_strName = source->m_strName;
  m_dwFlags = source->m_dwFlags;
}

BOOL CIconObject::GetCharFormat(CHARFORMAT& format) {
  int size = 0;
  COLORREF colour = 0;
  const LOGFONT* font = GetFont(&size, &colour);
  if (!font) return FALSE;
  CharFormatFromLogFont(format, *font, size, colour);
  return TRUE;
}
