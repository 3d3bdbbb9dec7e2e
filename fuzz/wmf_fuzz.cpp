// Fuzzes the metafile reader and the record player: the bytes are read as a
// placeable or plain metafile and, when they give one, played into a small page.
#include <cstdint>

#include "media/image_environment.h"
#include "media/metafile.h"
#include "platform/gdi/image_dc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ImageEnvironment env;
  CMemFile file(data, size);
  CMetaFilePicture picture(env);
  CRect box;
  try {
    const MetaFileHandle metaFile = picture.Read(file, box);
    if (!metaFile) return 0;
    CPixelImage page(64, 48);
    CImageDC dc(page);
    picture.Draw(&dc, metaFile, CRect(4, 4, 60, 44), box);
    picture.Draw(&dc, metaFile, CRect(0, 0, 64, 48), CRect());
  } catch (const CFileException&) {
  }
  return 0;
}
