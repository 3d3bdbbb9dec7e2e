// The reader of other picture kinds (PNG, GIF, JPEG, TIFF, PCX...): library state and bitmap holders.
#pragma once

#include <optional>
#include <vector>

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

// One short-lived picture of the library: prepared, loaded, turned into a
// packed DIB and released. Releasing the last holder unloads the library.
class ImgBitmap {
 public:
  ImgBitmap(CImageLibrary& library, DWORD featureBits) : m_library(library), m_featureBits(featureBits) {}
  ~ImgBitmap();
  ImgBitmap(const ImgBitmap&) = delete;
  ImgBitmap& operator=(const ImgBitmap&) = delete;

  void Prepare();
  void Release();
  void Free();
  bool IsAllocated() const { return m_image.has_value(); }
  int BitsPerPixel() const { return m_image ? m_image->bitsPerPixel : 0; }

  // A picture file by name; bpp gets the file's bits per pixel.
  BOOL LoadFile(const CString& name, int& bpp);
  // size bytes at offset of an open file (an entry of the packed data file).
  BOOL LoadFileOffset(CFile& file, ULONGLONG offset, ULONGLONG size, int& bpp);

  // The picture as a packed DIB: 32 bits with its alpha channel, else 24.
  std::vector<BYTE> ToDIB() const;
  // The alpha channel as an 8-bit grey DIB (255 opaque); empty without one.
  std::vector<BYTE> GetAlphaMask() const;

 private:
  BOOL Decode(const std::vector<BYTE>& bytes, int& bpp);

  CImageLibrary& m_library;
  DWORD m_featureBits;
  bool m_prepared = false;
  std::optional<tvn::platform::DecodedImage> m_image;
};
