// CImage: the picture of a display object, loaded by file kind and drawn whole, scrolled, framed or tiled.
#pragma once

#include <cstdint>
#include <vector>

#include "media/dib.h"
#include "media/image_environment.h"
#include "media/metafile.h"
#include "model/var_or_value.h"
#include "platform/base/collections.h"

class CArchive;
class CDC;

// Option bits of CImage::flags.
namespace ImageFlag {
constexpr DWORD kKeyColour = 0x01;       // transparent by keyColour
constexpr DWORD kPhotoCdRes1 = 0x02;
constexpr DWORD kPhotoCdRes3 = 0x08;
constexpr DWORD kPhotoCdRes4 = 0x10;
constexpr DWORD kPhotoCdRes5 = 0x20;
constexpr DWORD kPhotoCdFormat11 = 0x40;
constexpr DWORD kPhotoCdFormat13 = 0x80;  // also: the 256-colour palette
constexpr DWORD kPhotoCdPalette16 = 0x100;
constexpr DWORD kPhotoCdFormat10 = 0x200;
constexpr DWORD kNoBitmap = 0x0800;       // keep no device-dependent form; draw the DIB stretched
constexpr DWORD kTopLeftKey = 0x4000;     // transparent by the colour of the top-left pixel
constexpr DWORD kMaskFile = 0x20000;      // use maskFileName
constexpr DWORD kDefault = 0x10084;
}  // namespace ImageFlag

// What is loaded.
namespace ImageKind {
constexpr BYTE kNone = 0;
constexpr BYTE kBitmap = 1;
constexpr BYTE kMetafile = 2;
constexpr BYTE kFractal = 3;
constexpr BYTE kPhotoCd = 6;
constexpr BYTE kLibrary = 7;
}  // namespace ImageKind

class CImage : public CDib {
  DECLARE_SERIAL(CImage)

 public:
  CImage() = default;
  // Copies the settings, never the picture.
  CImage(const CImage& other);
  CImage& operator=(const CImage& other) {
    CopyFrom(other);
    return *this;
  }
  ~CImage() override = default;

  // The services loading and drawing use; the environment must outlive the
  // image's use of it. Without one nothing of the program is reached.
  void SetEnvironment(const ImageEnvironment* environment) { m_env = environment; }

  void Serialize(CArchive& ar) override;
  virtual BOOL GetFileNames(CStringArray& names) const;

  void CopyFrom(const CImage& other);
  void Free();

  BOOL SetFile(const CString& name, DWORD newFlags, COLORREF key);
  BOOL Load();
  BOOL LoadByExtension(const CString& name, CFile* entryFile, BOOL quiet);
  BOOL LoadMask();
  BOOL LoadMaskByExtension(const CString& name, CFile* entryFile, BOOL quiet);

  void Draw(CDC* dc, const CRect& rect, BOOL usePalette = FALSE);
  // One frame of a horizontal film strip; an index outside the strip draws frame 0.
  void DrawFrame(CDC* dc, const CRect& rect, int frameIndex, int frameCount, BOOL usePalette = FALSE);
  void DrawTiled(CDC* dc, const CRect& clipRect, const CRect& areaRect, BOOL usePalette = FALSE);
  void PlayMetaFile(CDC* dc, const CRect& rect);
  // Blends the picture through its grey mask onto the context.
  void DrawTransparentBits(CDC* dc, int x, int y, int width, int height, int sourceX, int sourceY, BOOL stretch);

  BOOL HitTest(CPoint point) const;
  void RebuildBitmap();
  DWORD GetDataSize() const;
  void StripPaths(int mode, DWORD stripFlags, const CString& extension);
  // Called when the course stops; pictures keep nothing to let go of.
  static void OnCourseStopped() {}

  // Optional decoders (feature bits 0x10 and 0x200).
  BOOL LoadFractalImage(const CString& name, const CString& libraryPath);
  BOOL LoadPhotoCDImage(const CString& name, DWORD photoFlags, CRect& region);

  const MetaFileHandle& GetMetaFile() const { return m_metaFile; }

  // The blended draw's weights, one byte a pixel of hMask (its first byte in
  // memory), kept beside the mask so that a draw reads a quarter of the
  // mask's bytes. key is the mask's content key it was taken from.
  struct WeightPlane {
    std::vector<BYTE> bytes;
    int width = 0, height = 0;
    std::int64_t key = 0;
    const BYTE* Row(int y) const { return bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
  };

  CString fileName;      // picture file, or a long-binary variable holding a DIB
  CString maskFileName;  // separate mask picture (with kMaskFile)
  DWORD flags = ImageFlag::kDefault;
  COLORREF keyColour = 0;
  CVariableRect offset;  // source offset of the visible part: left horizontal, top vertical
  CRect pictureRect;     // metafile: its bounding box; Photo CD: the region to load
  BYTE kind = ImageKind::kNone;
  BYTE maskReady = 0;    // 1 when hMask holds a grey mask for the blended draw

 private:
  const ImageEnvironment& Env() const;
  CString ResolveName(const CString& name) const;
  // A packed DIB from bytes held in memory (the cache, a variable), checked like a file.
  static std::vector<BYTE> DibFromMemory(const BYTE* data, std::size_t size);
  std::vector<BYTE> FromCache(const CString& name) const;
  void Message(UINT id) const;
  void ReportFileError(const CString& name, const CException& error) const;
  // Where a picture is read from; FALSE (reported unless quiet) when it is nowhere.
  BOOL FindSource(const CString& name, CFile* entryFile, BOOL quiet, bool& inDataFile) const;
  BOOL LoadThroughLibrary(const CString& name, CFile* entryFile, bool inDataFile, BOOL quiet, bool forMask);
  LONG OffsetX() const;
  LONG OffsetY() const;
  CRect PaintClip(const CRect& rect) const;
  void DrawPlain(CDC* dc, const CRect& target, int xs, int ys);
  // The weight plane of hMask as it is now: taken again whenever the mask's
  // pixels may have changed, empty for a null or monochrome mask.
  const WeightPlane& Weights();

  const ImageEnvironment* m_env = nullptr;
  MetaFileHandle m_metaFile;  // the metafile of kind 2
  WeightPlane m_weights;      // hMask's weights, taken at the first blended draw
};
