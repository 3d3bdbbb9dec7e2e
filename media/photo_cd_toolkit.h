// CPhotoCdToolkit: the program's own Photo CD reader behind the toolkit's calls.
#pragma once

#include <map>
#include <memory>
#include <set>

#include "media/optional_decoders.h"

class CDataFile;
class CDataMemFile;
class IPreloadCache;

// Opens pictures through the pre-load cache, the packed data file or the
// disk, and decodes them by tvn::pcd (statuses are tvn::pcd::Status). Every
// format gives 24 bits per pixel; palettes are made and accepted but not
// used. The abort check set for a photo is asked every few rows with the
// keyboard queue given here. Photos and palettes are numbered from 1;
// unloading forgets them all.
class CPhotoCdToolkit : public IPhotoCdToolkit {
 public:
  CPhotoCdToolkit(CDataFile* dataFile, IPreloadCache* cache, IKeyboardQueue* keys);
  ~CPhotoCdToolkit() override;
  CPhotoCdToolkit(const CPhotoCdToolkit&) = delete;
  CPhotoCdToolkit& operator=(const CPhotoCdToolkit&) = delete;

  BOOL Load() override { return TRUE; }
  void Unload() override;
  Status Open(const CString& name, Photo& photo) override;
  Status GetRotation(Photo photo, int& rotation) override;
  Status SetTransform(Photo photo, int rotation) override;
  Status SetResolution(Photo photo, int resolution) override;
  Status SetFormat(Photo photo, int format) override;
  Status CreatePalette(const BYTE* table, const PaletteArgs& args, Palette& palette) override;
  Status SetPalette(Photo photo, Palette palette) override;
  Status SetAbort(Photo photo, PhotoCdAbortProc check, LPARAM data) override;
  Status LoadImage(Photo photo, const PhotoCdRegion* region, std::vector<BYTE>& dib) override;
  Status FreePalette(Palette palette) override;
  Status Close(Photo photo) override;

 private:
  struct OpenPhoto {
    std::unique_ptr<CDataMemFile> file;
    int rotation = 0;
    int transform = 0;
    int resolution = 2;
    int format = 13;
    Palette palette = 0;
    PhotoCdAbortProc abort = nullptr;
  };
  OpenPhoto* Find(Photo photo);

  CDataFile* m_dataFile;
  IPreloadCache* m_cache;
  IKeyboardQueue* m_keys;
  std::map<Photo, OpenPhoto> m_photos;
  std::set<Palette> m_palettes;
  Photo m_nextPhoto = 1;
  Palette m_nextPalette = 1;
};
