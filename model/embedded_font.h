// Embedded fonts: TrueType fonts a course carries, installed for the process while the course is open.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/gdi/font_system.h"
#include "platform/base/object.h"

class CArchive;

// One font of a course. Stored as its own class reference, face name, style
// name, file name and the complete font file as a byte array.
class CEmbeddedFontObj : public CObject {
  DECLARE_SERIAL(CEmbeddedFontObj)

 public:
  void Serialize(CArchive& ar) override;

  CString m_strFaceName;   // the font's family name
  CString m_strStyleName;  // the style within the family, as the font names it
  CString m_strFileName;   // the authoring tool's base name for the font file; never used as a path here
  CByteArray m_fontData;   // the complete TrueType font file
  BOOL m_bInstalled = FALSE;  // this course holds the font in the registry; not stored
};

// The fonts this runtime has added to the process, shared by every open
// course: a font added for one course and found by another is counted for
// both and taken away only when the last of them closes. The application
// keeps one for the program's life.
class CEmbeddedFontRegistry {
 public:
  explicit CEmbeddedFontRegistry(tvn::fonts::IFontSystem& fonts) : m_fonts(fonts) {}
  CEmbeddedFontRegistry(const CEmbeddedFontRegistry&) = delete;
  CEmbeddedFontRegistry& operator=(const CEmbeddedFontRegistry&) = delete;

  tvn::fonts::IFontSystem& Fonts() { return m_fonts; }

  // Counts one more user of a font this registry added; false when it added none of that face and style.
  bool Share(const CString& face, const CString& style);
  // Adds the font to the process; false when the system refuses the data.
  bool Add(const CEmbeddedFontObj& font);
  // Counts one user less, and takes the font away after its last user.
  void Release(const CString& face, const CString& style);
  // How many open courses use the font (0 when this registry did not add it).
  int UsersOf(const CString& face, const CString& style) const;

 private:
  struct Added {
    CString face;
    CString style;
    int id;
    int users;
  };
  static bool Matches(const Added& added, const CString& face, const CString& style);
  std::vector<Added>::iterator Find(const CString& face, const CString& style);

  tvn::fonts::IFontSystem& m_fonts;
  std::vector<Added> m_added;
};

// A course's embedded fonts, the last item of the course file: a count, then
// one font reference each.
class CEmbeddedFontObjList : public CObject {
  DECLARE_SERIAL(CEmbeddedFontObjList)

 public:
  void Serialize(CArchive& ar) override;

  // Adds every font whose family and style the system lacks; called when the course has opened.
  void InstallFonts(CEmbeddedFontRegistry& registry);
  // Gives back what InstallFonts took; called when the course closes.
  void RemoveFonts(CEmbeddedFontRegistry& registry);

  int GetCount() const { return static_cast<int>(m_fonts.size()); }
  CEmbeddedFontObj* GetAt(int index) const;
  void Add(std::unique_ptr<CEmbeddedFontObj> font) { m_fonts.push_back(std::move(font)); }
  // The styles the system reported for the face of the font installed last.
  const CStringArray& StyleNames() const { return m_styleNames; }

 private:
  std::vector<std::unique_ptr<CEmbeddedFontObj>> m_fonts;
  CStringArray m_styleNames;
};
