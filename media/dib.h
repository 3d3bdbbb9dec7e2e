// CDib: one picture as a packed device-independent bitmap with the objects made from it.
#pragma once

#include <functional>
#include <vector>

#include "media/dib_format.h"
#include "media/palette.h"
#include "platform/base/exceptions.h"
#include "platform/sys/file.h"
#include "platform/base/geometry.h"
#include "platform/base/object.h"
#include "platform/gdi/pixel_image.h"

// How file failures of loading and saving reach the course: the file name,
// the exception, whether it happened while saving, and the message id to use
// when the exception's cause has none of its own.
using FileErrorReport = std::function<void(const CString& name, const CException& error, BOOL saving, UINT defaultId)>;

// Message ids of bitmap file failures.
constexpr UINT kMsgCannotCreateFile = 0xF100;
constexpr UINT kMsgCannotReadFile = 0xF101;
constexpr UINT kMsgCannotWriteFile = 0xF102;

// A picture held as a packed DIB (header, colour table, rows bottom-up padded
// to 4 bytes), with its palette (kept as data: the display is true colour),
// its device-dependent form (32-bit pixels), a monochrome mask (white =
// transparent) and the mask as a packed DIB. Empty members stand for null
// handles. Copies duplicate everything.
class CDC;

class CDib : public CObject {
  DECLARE_SERIAL(CDib)

 public:
  CDib() = default;
  ~CDib() override = default;
  CDib(const CDib& other);
  CDib& operator=(const CDib& other);

  std::vector<BYTE> hDib;
  PaletteHandle hPalette;
  CPixelImage hBitmap;
  CPixelImage hMask;
  std::vector<BYTE> hMaskDib;

  // Life and ownership.
  void Free();
  void AttachBitmap(CPixelImage bitmap);
  // Lets go of the held palette and keeps the given one.
  void AttachPalette(PaletteHandle palette) { hPalette = std::move(palette); }

  // Files. CheckFile throws CFileException when the file cannot be opened.
  static BOOL CheckFile(const CString& name);
  // The DIB of a bitmap file; empty when it cannot be opened (not reported)
  // or read (reported with kMsgCannotReadFile).
  static std::vector<BYTE> LoadFile(const CString& name, const FileErrorReport& report = {});
  // From the current position of an open file: a "BM" file or a bare DIB.
  static std::vector<BYTE> ReadFromFile(CFile& file);
  BOOL SaveFile(const CString& name, const FileErrorReport& report = {});
  BOOL WriteToFile(CFile& file);

  // Header queries: the header in the info form, image size and colours used
  // filled in; FALSE when there is no valid DIB.
  static BOOL ReadHeader(const std::vector<BYTE>& dib, tvn::dib::InfoHeader& header);
  int GetWidth() const;
  int GetHeight() const;
  void GetSize(int& width, int& height) const;
  void GetRect(CRect& rect) const;
  static int GetBitCount(const tvn::dib::InfoHeader& header) { return header.bitCount; }
  static DWORD NumColors(const tvn::dib::InfoHeader& header) { return tvn::dib::NumColors(header); }
  static std::size_t PaletteSize(const tvn::dib::InfoHeader& header) { return tvn::dib::PaletteSize(header); }

  // Conversions between the DIB and the device-dependent form. A null
  // palette means hPalette; usage kPalColors reads the colour table as
  // indices into it.
  CPixelImage DibToBitmap(const std::vector<BYTE>& dib, int usage = tvn::dib::kRgbColors,
                          const CLogPalette* palette = nullptr) const;
  // 1 bit for a monochrome bitmap, else 24 bits.
  static std::vector<BYTE> BitmapToDib(const CPixelImage& bitmap, const CLogPalette* palette = nullptr);
  // hDib from hBitmap in the asked form: (0, RLE4) 4 bits run-length, (0, RLE8)
  // 8 bits run-length, (1, RGB), (4, RGB or RLE4), (8, RGB or RLE8), (24, RGB).
  // Any other pair, or no hBitmap, gives empty and leaves hDib alone.
  const std::vector<BYTE>& ConvertBitmapToDib(int bitCount, DWORD compression);

  // Masks from a key colour of hBitmap.
  void CreateMask(COLORREF key);
  void CreateMaskDib(COLORREF key);
  BOOL IsOpaqueAt(CPoint point) const;

  // Copies a part of the screen picture into hBitmap; the rectangle is cut
  // to the screen. An empty rectangle gives a null bitmap.
  const CPixelImage& CaptureScreenRect(const CRect& rect, const CPixelImage& screen);
  // Capture modes: the whole window, or its client area.
  static constexpr int kCaptureWindow = 1106;
  static constexpr int kCaptureClient = 1107;
  // The window's rectangle (mode 1106) or its client area (1107), both in
  // screen coordinates, captured from the screen picture; any other mode
  // gives a null bitmap.
  const CPixelImage& CaptureWindow(const CPixelImage& screen, const CRect& windowRect, const CRect& clientRect,
                                   int mode);

  // Drawing (x, y, w, h on the target; xs, ys the source origin in the
  // picture, top row 0). A source or target size of -1, -1 means the
  // picture's size; two negative target sizes are zoom factors. Source
  // rectangles are cut to the picture.
  //
  // From hBitmap (through hMask when transparent), or from the DIB when there
  // is no device-dependent form.
  void StretchDraw(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, BOOL transparent) const;
  // From the DIB (through hMaskDib when transparent).
  void StretchDib(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, BOOL transparent,
                  int usage = tvn::dib::kRgbColors) const;
  // One to one from the DIB with a raster operation.
  void DrawDib(CDC* dc, int x, int y, int w, int h, int xs, int ys, DWORD rop, int usage = tvn::dib::kRgbColors) const;
  // One to one; printers and pictures without a device-dependent form copy the DIB.
  void DrawDirect(CDC* dc, int x, int y, int w, int h, int xs, int ys) const;
  // One to one leaving out pixels of the key colour where hMask exists.
  void DrawTransparent(CDC* dc, int x, int y, int w, int h, int xs, int ys, COLORREF key) const;
  // Printing: the DIB sent in bands of kBandRows source rows, top band
  // first. Here h and hs are the far edges of the target and source spans
  // (y..h, ys..hs), source rows counted from the bottom as a DIB stores them.
  // Every source row of the span reaches the target.
  static constexpr int kBandRows = 20;
  void DrawBanded(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs,
                  int usage = tvn::dib::kRgbColors) const;
  // A device-dependent bitmap at its full size; FALSE without a context or bitmap.
  static BOOL DrawBitmap(CDC* dc, int x, int y, const CPixelImage& bitmap, DWORD rop);

  // Pixels. GetPixel reads hDib (FALSE without one or outside it); an index
  // past the colours used leaves colour unchanged and still gives TRUE.
  BOOL GetPixel(int x, int y, COLORREF& colour) const;
  COLORREF GetBitmapPixel(int x, int y) const;

  // Palettes (each result also replaces hPalette unless said otherwise).
  // The name decides the form: ".PAL" or ".RDI" in it means a RIFF palette,
  // anything else a bitmap whose colour table is taken. Open and read
  // failures are reported with kMsgCannotReadFile. Null when the file holds
  // no palette.
  PaletteHandle LoadPaletteFile(const CString& name, const FileErrorReport& report = {});
  // The same from a source already open (a data-file entry or a disk file).
  PaletteHandle LoadPaletteFrom(CFile& source, const CString& name, const FileErrorReport& report = {});
  BOOL ReadPaletteFile(CFile& file);
  // No palette for 4 bits or fewer; otherwise the identity or plain palette.
  PaletteHandle SetPaletteFromDib(const std::vector<BYTE>& dib, BOOL identity,
                                  const CLogPalette* presentation = nullptr);
  PaletteHandle CreatePaletteFromDib(const std::vector<BYTE>& dib);
  // 256 entries: the presentation palette's, with the DIB's colours from
  // entry staticColors / 2 on and the static colours at both ends kept. The
  // true-colour display has no static colours.
  PaletteHandle CreateIdentityPalette(const std::vector<BYTE>& dib, const CLogPalette* presentation = nullptr,
                                      int staticColors = 0);
  PaletteHandle CreateCubePalette();
  PaletteHandle CreateSystemPalette();
  // No palette for a count of 0.
  PaletteHandle CreateFadePalette(COLORREF from, COLORREF to, BYTE count);
  // b defaults to hPalette; flags do not count.
  BOOL ComparePalettes(const PaletteHandle& a, const PaletteHandle& b = nullptr) const;
  BOOL SetPaletteFlags(int first, int count, BYTE flags);

  // Conversions of hDib's form.
  const std::vector<BYTE>& FromBitmap(const CPixelImage& bitmap, DWORD compression, int bitCount,
                                      const CLogPalette* palette, int usage);
  std::vector<BYTE> ChangeFormat(DWORD compression, int bitCount, int usage);
  // A new DIB whose pixels are indices of the palette's colours.
  static std::vector<BYTE> BitmapToIndexedDib(const CPixelImage& bitmap, int bitCount, const CLogPalette* palette);
  BOOL MapToPalette(const CLogPalette& palette);
  BOOL SetColorTable(int usage);
  static std::vector<BYTE> CreateBlankDib(int bitCount, int width, int height);
  const std::vector<BYTE>& CopyFromHandle(const std::vector<BYTE>& dib);

  // Pixel addresses inside uncompressed pixels, rows in memory order; null
  // outside the picture.
  static BYTE* PixelAddress(std::vector<BYTE>& dib, int x, int y);
  BYTE* LockPixel(int x, int y) { return PixelAddress(hDib, x, y); }
  void UnlockBits() {}

 private:
  PaletteHandle Keep(CLogPalette palette);
};
