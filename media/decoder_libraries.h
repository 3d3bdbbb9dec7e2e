// Outside picture decoders: the fractal decoder and the Photo CD toolkit as native libraries, with their entry points.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "media/optional_decoders.h"
#include "platform/sys/dynamic_library.h"

// Entry points as a native replacement library exports them (C linkage,
// looked up by name). A picture handed back is a packed DIB in memory the
// library allocated with malloc; the caller frees it with free().
extern "C" {
// "FIFDECO.DLL"
using FifSetUpDllProc = int (*)();
// The decoded picture and its size in bytes; null when decoding failed.
using FifDecompressFileProc = void* (*)(const char* fileName, std::size_t* size);
using FifGetErrorNumberProc = int (*)();
using FifReleaseDllProc = void (*)();

// "PCDLIB32.DLL". Every call gives a 16-bit status, 0 when done.
using PcdPhoto = void*;
using PcdPalette = void*;
// Asked while a picture decodes with the data given to PCDsetAbort; non-zero stops.
using PcdAbortCallback = int (*)(void* data);
struct PcdRegion {
  unsigned short top;
  unsigned short left;
  unsigned short bottom;
  unsigned short right;
};
using PcdOpenProc = unsigned short (*)(const char* fileName, PcdPhoto* photo);
using PcdGetRotationProc = unsigned short (*)(PcdPhoto photo, short* rotation);
using PcdSetTransformProc = unsigned short (*)(PcdPhoto photo, short transform);
using PcdSetResolutionProc = unsigned short (*)(PcdPhoto photo, short resolution);
using PcdSetFormatProc = unsigned short (*)(PcdPhoto photo, short format);
using PcdCreatePaletteProc = unsigned short (*)(const unsigned char* table, int, int, int, int, int, int, int, int,
                                                int, int, PcdPalette* palette);
using PcdSetPaletteProc = unsigned short (*)(PcdPhoto photo, PcdPalette palette);
using PcdSetAbortProc = unsigned short (*)(PcdPhoto photo, PcdAbortCallback check, void* data);
// The picture and its size in bytes; region null for the whole picture.
using PcdLoadImageProc = unsigned short (*)(PcdPhoto photo, const PcdRegion* region, void** dib, std::size_t* size);
using PcdFreePaletteProc = unsigned short (*)(PcdPalette palette);
using PcdCloseProc = unsigned short (*)(PcdPhoto photo);
}

// The fractal decoder loaded from the path it is given ("X.DLL" found as a
// native "X.so" or "libX.so" beside it), for one decode at a time. A missing
// SetUpDLL counts as a decoder that is not ready.
class CNativeFractalDecoder : public IFractalDecoder {
 public:
  BOOL Load(const CString& libraryPath) override;
  void Unload() override;
  int SetUpDLL() override;
  std::vector<BYTE> DecompressFile(const CString& name) override;
  std::optional<int> GetErrorNumber() override;
  void ReleaseDLL() override;

 private:
  CDynamicLibrary m_library;
};

// The Photo CD toolkit loaded by its plain name: from the folders given (the
// program's), then by the system's search. A missing entry point gives no
// status. The abort check is called with the keyboard queue given here.
class CNativePhotoCdToolkit : public IPhotoCdToolkit {
 public:
  static constexpr const char* kFileName = "PCDLIB32.DLL";

  CNativePhotoCdToolkit(std::vector<std::filesystem::path> folders, IKeyboardQueue* keys)
      : m_folders(std::move(folders)), m_keys(keys) {}

  BOOL Load() override;
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

  // What the library's abort callback reaches: the check and its queue.
  struct AbortContext {
    PhotoCdAbortProc check = nullptr;
    IKeyboardQueue* keys = nullptr;
  };

 private:
  template <typename Proc>
  Proc Entry(const char* name) const {
    return reinterpret_cast<Proc>(m_library.GetProcAddress(name));
  }

  std::vector<std::filesystem::path> m_folders;
  IKeyboardQueue* m_keys;
  CDynamicLibrary m_library;
  // One per photo with an abort check, at a fixed address while the library may call it.
  std::map<Photo, std::unique_ptr<AbortContext>> m_aborts;
};

// The native toolkit when its library loads, else the program's own reader.
class CPhotoCdToolkitChoice : public IPhotoCdToolkit {
 public:
  CPhotoCdToolkitChoice(IPhotoCdToolkit& preferred, IPhotoCdToolkit& fallback)
      : m_preferred(preferred), m_fallback(fallback) {}

  // The toolkit the last Load chose; null while none is loaded.
  IPhotoCdToolkit* Active() const { return m_active; }

  BOOL Load() override;
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
  IPhotoCdToolkit& m_preferred;
  IPhotoCdToolkit& m_fallback;
  IPhotoCdToolkit* m_active = nullptr;
};
