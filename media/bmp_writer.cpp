// Bitmap file writer.
#include "media/bmp_writer.h"

#include "media/dib_format.h"

namespace tvn::dib {

BOOL WriteBmp(std::vector<BYTE>& dib, CFile& file) {
  auto layout = Describe(dib);
  if (!layout || layout->core) return FALSE;
  const std::size_t imageBytes = layout->imageBytes;
  if (!layout->IsRle()) PutLe32(dib.data() + 20, static_cast<DWORD>(imageBytes));

  const std::size_t offset = kFileHeaderSize + layout->bitsOffset;
  BYTE fileHeader[kFileHeaderSize] = {};
  PutLe16(fileHeader, kBmSignature);
  PutLe32(fileHeader + 2, static_cast<DWORD>(offset + imageBytes));
  PutLe32(fileHeader + 10, static_cast<DWORD>(offset));
  file.Write(fileHeader, kFileHeaderSize);
  file.Write(dib.data(), static_cast<UINT>(layout->bitsOffset + imageBytes));
  return TRUE;
}

}  // namespace tvn::dib
