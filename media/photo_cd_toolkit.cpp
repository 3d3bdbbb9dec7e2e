#include "media/photo_cd_toolkit.h"

#include "media/photo_cd_decoder.h"
#include "model/data_mem_file.h"

namespace Pcd = tvn::pcd::Status;

CPhotoCdToolkit::CPhotoCdToolkit(CDataFile* dataFile, IPreloadCache* cache, IKeyboardQueue* keys)
    : m_dataFile(dataFile), m_cache(cache), m_keys(keys) {}

CPhotoCdToolkit::~CPhotoCdToolkit() = default;

void CPhotoCdToolkit::Unload() {
  m_photos.clear();
  m_palettes.clear();
}

CPhotoCdToolkit::OpenPhoto* CPhotoCdToolkit::Find(Photo photo) {
  auto it = m_photos.find(photo);
  return it == m_photos.end() ? nullptr : &it->second;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::Open(const CString& name, Photo& photo) {
  photo = 0;
  OpenPhoto opened;
  opened.file = std::make_unique<CDataMemFile>(m_dataFile, m_cache, nullptr);
  CFileException error;
  if (!opened.file->Open(name, CFile::modeRead | CFile::shareDenyWrite, &error) || !opened.file->IsOpen())
    return Pcd::kNotPhotoCd;
  const std::optional<int> rotation = tvn::pcd::ReadRotation(*opened.file);
  if (!rotation) return Pcd::kNotPhotoCd;
  opened.rotation = *rotation;
  photo = m_nextPhoto++;
  m_photos.emplace(photo, std::move(opened));
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::GetRotation(Photo photo, int& rotation) {
  const OpenPhoto* open = Find(photo);
  if (!open) return Pcd::kBadArgument;
  rotation = open->rotation;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::SetTransform(Photo photo, int rotation) {
  OpenPhoto* open = Find(photo);
  if (!open || rotation < 0 || rotation > 3) return Pcd::kBadArgument;
  open->transform = rotation;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::SetResolution(Photo photo, int resolution) {
  OpenPhoto* open = Find(photo);
  if (!open || !tvn::pcd::PictureSize(resolution)) return Pcd::kBadArgument;
  open->resolution = resolution;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::SetFormat(Photo photo, int format) {
  OpenPhoto* open = Find(photo);
  // 10, 11 and 13 are known; each gives 24 bits per pixel.
  if (!open || (format != 10 && format != 11 && format != 13)) return Pcd::kBadArgument;
  open->format = format;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::CreatePalette(const BYTE*, const PaletteArgs&, Palette& palette) {
  palette = m_nextPalette++;
  m_palettes.insert(palette);
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::SetPalette(Photo photo, Palette palette) {
  OpenPhoto* open = Find(photo);
  if (!open || !m_palettes.contains(palette)) return Pcd::kBadArgument;
  open->palette = palette;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::SetAbort(Photo photo, PhotoCdAbortProc check, LPARAM) {
  OpenPhoto* open = Find(photo);
  if (!open) return Pcd::kBadArgument;
  open->abort = check;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::LoadImage(Photo photo, const PhotoCdRegion* region,
                                                   std::vector<BYTE>& dib) {
  dib.clear();
  OpenPhoto* open = Find(photo);
  if (!open) return Pcd::kBadArgument;
  tvn::pcd::DecodeRequest request;
  request.resolution = open->resolution;
  request.rotation = open->transform;
  if (region) request.region = CRect(region->left, region->top, region->right, region->bottom);
  if (PhotoCdAbortProc check = open->abort) {
    IKeyboardQueue* keys = m_keys;
    request.abort = [check, keys] { return check(keys) != FALSE; };
  }
  return tvn::pcd::Decode(*open->file, request, dib);
}

IPhotoCdToolkit::Status CPhotoCdToolkit::FreePalette(Palette palette) {
  if (m_palettes.erase(palette) == 0) return Pcd::kBadArgument;
  for (auto& [id, open] : m_photos)
    if (open.palette == palette) open.palette = 0;
  return Pcd::kDone;
}

IPhotoCdToolkit::Status CPhotoCdToolkit::Close(Photo photo) {
  if (m_photos.erase(photo) == 0) return Pcd::kBadArgument;
  return Pcd::kDone;
}
