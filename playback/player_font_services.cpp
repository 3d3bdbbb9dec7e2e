// Fonts for course texts on the drawing layer.
#include "playback/player_font_services.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_defs.h"

class CPlayerFontServices::Font final : public IGdiFont {
 public:
  explicit Font(CPlayerFontServices* owner) : m_owner(owner) {}
  ~Font() override {
    if (m_owner) m_owner->Forget(&font);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  CFont font;

 private:
  CPlayerFontServices* m_owner;  // null for the default font, which is never registered
};

CPlayerFontServices::CPlayerFontServices() : m_default(std::make_unique<Font>(nullptr)) {
  // A fresh context's own font: what a context shows before any course font.
  CDC probe;
  probe.CreateCompatibleDC(nullptr);
  if (const CFont* initial = probe.GetCurrentFont()) m_default->font.CreateFontIndirect(&initial->GetLogFontRef());
}

CPlayerFontServices::~CPlayerFontServices() = default;

int CPlayerFontServices::GetViewPixelsPerInch(bool) {
  CDC probe;
  probe.CreateCompatibleDC(nullptr);
  return probe.GetDeviceCaps(LOGPIXELSY);
}

int CPlayerFontServices::GetScreenResolution() { return GetViewPixelsPerInch(false); }

std::unique_ptr<IGdiFont> CPlayerFontServices::CreateFontIndirect(const LOGFONT& font) {
  auto made = std::make_unique<Font>(this);
  if (!made->font.CreateFontIndirect(&font)) return nullptr;
  std::lock_guard lock(m_lock);
  m_fonts[&made->font] = made.get();
  return made;
}

IGdiFont* CPlayerFontServices::SelectFont(CDC* dc, IGdiFont* font) {
  if (!dc || !font) return nullptr;
  CFont* replaced = dc->SelectObject(&static_cast<Font*>(font)->font);
  std::lock_guard lock(m_lock);
  auto it = m_fonts.find(replaced);
  if (it != m_fonts.end()) return it->second;
  return m_default->font.IsCreated() ? m_default.get() : nullptr;
}

void CPlayerFontServices::Forget(const CFont* font) {
  std::lock_guard lock(m_lock);
  m_fonts.erase(font);
}
