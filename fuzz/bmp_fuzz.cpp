// Fuzzes the picture readers: the same bytes go to the bitmap file reader,
// to everything done with the DIB it gives, to the RIFF palette reader, and
// straight in as a packed DIB handed over from elsewhere.
#include <cstdint>
#include <vector>

#include "media/dib.h"
#include "media/dib_decode.h"
#include "media/pal_file.h"

namespace {

void Exercise(CDib& dib) {
  CPixelImage image = dib.DibToBitmap(dib.hDib);
  COLORREF colour = 0;
  dib.GetPixel(0, 0, colour);
  dib.GetPixel(dib.GetWidth() - 1, dib.GetHeight() - 1, colour);
  dib.SetPaletteFromDib(dib.hDib, TRUE);
  if (dib.GetWidth() * dib.GetHeight() <= 4096) {
    dib.MapToPalette(CLogPalette::Cube());
    dib.hBitmap = image;
    dib.CreateMaskDib(colour);
  }
  CMemFile out;
  dib.WriteToFile(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    CMemFile file(data, size);
    CDib dib;
    dib.hDib = CDib::ReadFromFile(file);
    Exercise(dib);

    CDib handed;
    handed.hDib.assign(data, data + size);
    Exercise(handed);

    CMemFile pal(data, size);
    CLogPalette palette;
    tvn::dib::ReadPalFile(pal, palette);
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
  return 0;
}
