// CPhotoCdToolkitChoice: every call goes to the toolkit that loaded.
#include "media/decoder_libraries.h"

BOOL CPhotoCdToolkitChoice::Load() {
  if (m_preferred.Load()) m_active = &m_preferred;
  else if (m_fallback.Load()) m_active = &m_fallback;
  else m_active = nullptr;
  return m_active ? TRUE : FALSE;
}

void CPhotoCdToolkitChoice::Unload() {
  if (m_active) m_active->Unload();
  m_active = nullptr;
}

IPhotoCdToolkit::Status CPhotoCdToolkitChoice::Open(const CString& name, Photo& photo) {
  return m_active ? m_active->Open(name, photo) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::GetRotation(Photo photo, int& rotation) {
  return m_active ? m_active->GetRotation(photo, rotation) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::SetTransform(Photo photo, int rotation) {
  return m_active ? m_active->SetTransform(photo, rotation) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::SetResolution(Photo photo, int resolution) {
  return m_active ? m_active->SetResolution(photo, resolution) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::SetFormat(Photo photo, int format) {
  return m_active ? m_active->SetFormat(photo, format) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::CreatePalette(const BYTE* table, const PaletteArgs& args,
                                                             Palette& palette) {
  return m_active ? m_active->CreatePalette(table, args, palette) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::SetPalette(Photo photo, Palette palette) {
  return m_active ? m_active->SetPalette(photo, palette) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::SetAbort(Photo photo, PhotoCdAbortProc check, LPARAM data) {
  return m_active ? m_active->SetAbort(photo, check, data) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::LoadImage(Photo photo, const PhotoCdRegion* region,
                                                         std::vector<BYTE>& dib) {
  return m_active ? m_active->LoadImage(photo, region, dib) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::FreePalette(Palette palette) {
  return m_active ? m_active->FreePalette(palette) : std::nullopt;
}
IPhotoCdToolkit::Status CPhotoCdToolkitChoice::Close(Photo photo) {
  return m_active ? m_active->Close(photo) : std::nullopt;
}
