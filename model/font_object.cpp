// The font description: defaults, copying, height from point size, real fonts, the stored form; GetFont and SetFont with a colour.
#include "model/font_object.h"

#include <cstring>
#include <limits>

#include "model/archive.h"
#include "platform/gdi/log_font_bytes.h"

IMPLEMENT_SERIAL(CFontObject, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr BYTE kProofQuality = 2;
constexpr BYTE kVariablePitchSwiss = 0x22;
constexpr int kReferenceResolution = 96;

// Stored faces need not be terminated; the last byte of the field always ends the text.
void TerminateFace(LOGFONT& font) { font.lfFaceName[LF_FACESIZE - 1] = '\0'; }

// Windows' MulDiv: a * b / c with a 64-bit product, rounded half away from
// zero; -1 when c is 0 or the result does not fit in 32 bits.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long product = static_cast<long long>(a) * b;
  bool negative = (product < 0) != (c < 0);
  unsigned long long magnitude = product < 0 ? 0ULL - static_cast<unsigned long long>(product)
                                             : static_cast<unsigned long long>(product);
  unsigned long long divisor = c < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(c))
                                     : static_cast<unsigned long long>(c);
  unsigned long long result = (magnitude + divisor / 2) / divisor;
  if (result > static_cast<unsigned long long>(std::numeric_limits<int>::max())) return -1;
  return negative ? -static_cast<int>(result) : static_cast<int>(result);
}

}  // namespace

CFontObject::CFontObject() {
  m_logFont.lfQuality = kProofQuality;
  m_logFont.lfPitchAndFamily = kVariablePitchSwiss;
  std::strcpy(m_logFont.lfFaceName, "Arial");
}

CFontObject::CFontObject(const CFontObject& other)
    : CObject(other), m_logFont(other.m_logFont), m_nPointSize(other.m_nPointSize), m_colour(other.m_colour) {}

CFontObject& CFontObject::operator=(const CFontObject& other) {
  CopyFrom(other);
  return *this;
}

CFontObject::~CFontObject() = default;

void CFontObject::CopyFrom(const CFontObject& other) {
  if (&other == this) return;
  DeleteFont();
  m_logFont = other.m_logFont;
  m_nPointSize = other.m_nPointSize;
  m_colour = other.m_colour;
}

void CFontObject::SetLogFont(const LOGFONT& font) {
  DeleteFont();
  m_logFont = font;
  TerminateFace(m_logFont);
}

void CFontObject::DeleteFont() { m_font.reset(); }

const LOGFONT* GetFontAndColour(const CFontObject& font, COLORREF textColour, int* size, COLORREF* colour) {
  if (size) *size = font.GetPointSize();
  if (colour) *colour = textColour;
  return &font.GetLogFont();
}

void SetFontAndColour(CFontObject& font, COLORREF& textColour, const LOGFONT& logFont, int size, COLORREF colour) {
  font.SetLogFont(logFont);
  font.SetSize(size);
  textColour = colour;
}

void CFontObject::SetPointSize(int mode) {
  IFontServices& services = GetFontServices();
  LONG height;
  if (mode == 1) {
    height = -MulDiv(m_nPointSize, services.GetViewPixelsPerInch(true), 72);
    // Width and height go through the context together, as one point.
    CPoint device = services.ViewLogicalToDevice(CPoint(m_logFont.lfWidth, height));
    m_logFont.lfWidth = device.x;
    height = device.y;
  } else {
    height = -MulDiv(m_nPointSize, services.GetViewPixelsPerInch(false), 72);
  }
  int resolution = services.GetScreenResolution();
  if (resolution > 0 && resolution != kReferenceResolution) {
    // Fonts are laid out for 96 dpi whatever the screen; the division truncates toward zero.
    height = static_cast<LONG>(static_cast<long long>(height) * kReferenceResolution / resolution);
  }
  m_logFont.lfHeight = height;
}

BOOL CFontObject::CreateFont(int mode, int angle) {
  SetPointSize(mode);
  DeleteFont();
  LOGFONT request = m_logFont;
  // The turn applies to this creation only; afterwards the description's
  // escapement is 0, whatever it was.
  if (angle != 0) request.lfEscapement = static_cast<LONG>(static_cast<long long>(angle) * 10);
  m_font = GetFontServices().CreateFontIndirect(request);
  if (angle != 0) m_logFont.lfEscapement = 0;
  return m_font ? TRUE : FALSE;
}

IGdiFont* CFontObject::Select(CDC* dc) {
  if (!m_font) return nullptr;
  return GetFontServices().SelectFont(dc, m_font.get());
}

void CFontObject::Serialize(CArchive& ar) {
  // Load only: the class record, the point size, then the logical font as it stands.
  ar.ReadClass(RUNTIME_CLASS(CFontObject));
  LONG pointSize = ar.ReadLong();
  BYTE raw[gdi::kLogFontBytes];
  ar.Read(raw, sizeof raw);  // fewer bytes: end of file
  SetLogFont(gdi::ReadLogFont(raw));
  m_nPointSize = pointSize;
}
