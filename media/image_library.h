// The reader of other picture kinds (PNG, GIF, JPEG, TIFF, PCX...): library state and bitmap holders.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "media/palette.h"
#include "platform/base/cstring.h"
#include "platform/sys/file.h"
#include "platform/gdi/image_decoder.h"
#include "platform/base/win_types.h"

// The library's process-wide state: whether it is loaded and how many bitmap
// holders are alive. The readers are our own code, so loading cannot fail
// once the application's optional-library bit says the library is there.
class CImageLibrary {
 public:
  // FALSE without the image-library feature bit; otherwise loads what is not loaded yet.
  BOOL Load(DWORD featureBits);
  bool IsLoaded() const { return m_loaded; }
  int Holders() const { return m_holders; }
  // How many times the library was loaded, for the unload rule.
  int LoadCount() const { return m_loads; }

 private:
  friend class ImgBitmap;
  void Unload() { m_loaded = false; }
  bool m_loaded = false;
  int m_holders = 0;
  int m_loads = 0;
};

class CBitmap;
class CDC;
class CWnd;

// What FileInfo tells of a picture file.
struct ImgFileInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};

// One short-lived picture of the library: prepared, loaded, turned into a
// packed DIB and released. Releasing the last holder unloads the library.
//
// Every wrapper gives 0 (or nothing) when the library is not loaded or the
// holder holds no picture; the loading ones load the library first, which
// fails without the image-library feature bit.
class ImgBitmap {
 public:
  // File formats of Save and FileConvert.
  enum Format : int { kBmp = 1, kPng = 2, kJpeg = 3, kTiff = 4 };

  ImgBitmap(CImageLibrary& library, DWORD featureBits) : m_library(library), m_featureBits(featureBits) {}
  ~ImgBitmap();
  ImgBitmap(const ImgBitmap&) = delete;
  ImgBitmap& operator=(const ImgBitmap&) = delete;

  void Prepare();
  void Release();
  void Free();
  bool IsAllocated() const { return m_image.has_value(); }
  int BitsPerPixel() const { return m_image ? m_image->bitsPerPixel : 0; }

  // A blank (black) picture, made only when the holder holds none; always 0.
  int Init(int width, int height, int bpp);
  // 1 with the file's size and depth when the library reads it.
  int FileInfo(const CString& name, ImgFileInfo& info) const;
  // A picture file by name; bpp gets the file's bits per pixel.
  BOOL LoadFile(const CString& name, int& bpp);
  // size bytes at offset of an open file (an entry of the packed data file).
  BOOL LoadFileOffset(CFile& file, ULONGLONG offset, ULONGLONG size, int& bpp);

  // Writes the picture in a format (Format); bpp 1, 4 or 8 writes it with
  // that many colours (see ColorRes), 0 at its own depth. quality 0 to 100
  // sets a lossy format's quality. The file is written under a temporary
  // name and renamed over the target when complete. Non-zero when written.
  int Save(const CString& name, int format, int bpp, int quality) const;
  // Reads source and saves it as target; bpp 0 means the source's.
  int FileConvert(const CString& source, const CString& target, int format, int bpp, int quality);
  // The picture as a 32-bit bitmap of the drawing layer; null without one.
  std::unique_ptr<CBitmap> ToDDB(CDC* dc) const;
  // The bitmap's pixels become the picture (the palette is not needed on a
  // true-colour page). Non-zero when taken.
  int FromDDB(CDC* dc, CBitmap* bitmap, const CLogPalette* palette);
  // A packed DIB becomes the picture. Its pixels are found from its own
  // header, colour table and masks; a DIB whose parts do not fit its bytes gives 0.
  int FromDIB(const std::vector<BYTE>& dib);
  // To 1, 4 or 8 bits: the picture's colours become the nearest of black and
  // white, the 16-colour table or the colour cube; 24 and 32 give full colour
  // again (32 keeping the alpha channel). Non-zero when done.
  int ColorRes(int bpp);
  // No scanner stands behind the readers: both give 0.
  int TwainAcquire(CWnd* wnd);
  int TwainSelect(CWnd* wnd);

  // The picture as a packed DIB: at the depth ColorRes set, else 32 bits
  // with its alpha channel and 24 without.
  std::vector<BYTE> ToDIB() const;
  // The alpha channel as an 8-bit grey DIB (255 opaque); empty without one.
  std::vector<BYTE> GetAlphaMask() const;

 private:
  BOOL Decode(const std::vector<BYTE>& bytes, int& bpp);

  CImageLibrary& m_library;
  DWORD m_featureBits;
  bool m_prepared = false;
  std::optional<tvn::platform::DecodedImage> m_image;
  // After ColorRes to 1, 4 or 8 bits: the depth and the colours the pixels keep to.
  int m_indexBits = 0;
  CLogPalette m_colours;
  std::vector<BYTE> m_indices;  // one per pixel, rows top-down
};
