// The installed font services and the stand-in used before the drawing layer installs its own.
#include "model/font_services.h"

namespace {

class CNoFontServices final : public IFontServices {
 public:
  int GetViewPixelsPerInch(bool) override { return 96; }
  CPoint ViewLogicalToDevice(CPoint point) override { return point; }
  int GetScreenResolution() override { return 96; }
  std::unique_ptr<IGdiFont> CreateFontIndirect(const LOGFONT&) override { return nullptr; }
  IGdiFont* SelectFont(CDC*, IGdiFont*) override { return nullptr; }
};

CNoFontServices g_noServices;
// The user-interface thread installs and uses the services; no other thread makes fonts.
IFontServices* g_installed = nullptr;

}  // namespace

IFontServices& GetFontServices() { return g_installed ? *g_installed : g_noServices; }

CFontServicesScope::CFontServicesScope(IFontServices& services) : m_previous(g_installed) {
  g_installed = &services;
}

CFontServicesScope::~CFontServicesScope() { g_installed = m_previous; }
