// Reading embedded fonts and installing them for the process.
#include "model/embedded_font.h"

#include <algorithm>

#include "model/archive.h"

IMPLEMENT_SERIAL(CEmbeddedFontObj, CObject, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CEmbeddedFontObjList, CObject, 2)

void CEmbeddedFontObj::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CEmbeddedFontObj));
  m_strFaceName = ar.ReadString();
  m_strStyleName = ar.ReadString();
  m_strFileName = ar.ReadString();
  ar.ReadByteArray(m_fontData);
}

// Families match without regard to case, as the font database looks them up; styles exactly.
bool CEmbeddedFontRegistry::Matches(const Added& added, const CString& face, const CString& style) {
  return added.face.CompareNoCase(face.view()) == 0 && added.style == style;
}

std::vector<CEmbeddedFontRegistry::Added>::iterator CEmbeddedFontRegistry::Find(const CString& face,
                                                                                 const CString& style) {
  return std::find_if(m_added.begin(), m_added.end(), [&](const Added& a) { return Matches(a, face, style); });
}

bool CEmbeddedFontRegistry::Share(const CString& face, const CString& style) {
  auto it = Find(face, style);
  if (it == m_added.end()) return false;
  ++it->users;
  return true;
}

bool CEmbeddedFontRegistry::Add(const CEmbeddedFontObj& font) {
  int id = m_fonts.AddFont(font.m_fontData.items());
  if (id < 0) return false;
  m_added.push_back(Added{font.m_strFaceName, font.m_strStyleName, id, 1});
  return true;
}

void CEmbeddedFontRegistry::Release(const CString& face, const CString& style) {
  auto it = Find(face, style);
  if (it == m_added.end()) return;
  if (--it->users > 0) return;
  m_fonts.RemoveFont(it->id);
  m_added.erase(it);
}

int CEmbeddedFontRegistry::UsersOf(const CString& face, const CString& style) const {
  for (const Added& a : m_added) {
    if (Matches(a, face, style)) return a.users;
  }
  return 0;
}

void CEmbeddedFontObjList::Serialize(CArchive& ar) {
  m_fonts.clear();
  ar.ReadOwnedList(m_fonts);
}

CEmbeddedFontObj* CEmbeddedFontObjList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_fonts[static_cast<std::size_t>(index)].get();
}

void CEmbeddedFontObjList::InstallFonts(CEmbeddedFontRegistry& registry) {
  for (auto& font : m_fonts) {
    if (font->m_bInstalled) continue;
    // Fonts another open course added are shared, not added twice, so that
    // closing either course leaves the font for the other.
    if (registry.Share(font->m_strFaceName, font->m_strStyleName)) {
      font->m_bInstalled = TRUE;
      continue;
    }
    m_styleNames.RemoveAll();
    for (const CString& style : registry.Fonts().StylesOf(font->m_strFaceName)) m_styleNames.Add(style);
    bool present = std::any_of(m_styleNames.begin(), m_styleNames.end(),
                               [&](const CString& s) { return s == font->m_strStyleName; });
    if (present) continue;
    // A font the system refuses is left out; the course plays with a substitute.
    if (registry.Add(*font)) font->m_bInstalled = TRUE;
  }
}

void CEmbeddedFontObjList::RemoveFonts(CEmbeddedFontRegistry& registry) {
  for (auto& font : m_fonts) {
    if (!font->m_bInstalled) continue;
    registry.Release(font->m_strFaceName, font->m_strStyleName);
    font->m_bInstalled = FALSE;
  }
}
