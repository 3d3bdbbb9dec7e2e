// Fuzzes picture loading: the bytes come from the pre-load cache as a DIB,
// go through the picture reader binding as a file of another kind, and every
// picture that loads is drawn whole, framed, tiled and blended.
#include <cstdint>

#include "media/image.h"
#include "media/image_library.h"
#include "model/preload_source.h"
#include "platform/gdi/image_dc.h"

namespace {

class Block : public IPreloadBlock {
 public:
  Block(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  void SetInUse(bool) override {}
  const BYTE* LockData() override { return m_data; }
  void UnlockData() override {}
  std::size_t GetDataSize() const override { return m_size; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
};

class Cache : public IPreloadCache {
 public:
  explicit Cache(Block& block) : m_block(block) {}
  IPreloadBlock* FindImage(const CString& name) override { return name == CString("FUZZ.BMP") ? &m_block : nullptr; }

 private:
  Block& m_block;
};

void DrawAllWays(CImage& image) {
  if (image.GetWidth() * static_cast<long long>(image.GetHeight()) > 1 << 20) return;
  CPixelImage page(48, 32);
  CImageDC dc(page);
  image.Draw(&dc, CRect(2, 2, 40, 30));
  image.DrawFrame(&dc, CRect(0, 0, 48, 32), 2, 3);
  image.DrawTiled(&dc, CRect(0, 0, 48, 32), CRect(0, 0, 48, 32));
  image.DrawTransparentBits(&dc, 0, 0, 48, 32, 1, 1, TRUE);
  image.HitTest(CPoint(0, 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Block block(data, size);
  Cache cache(block);
  CImageLibrary library;
  ImageEnvironment env;
  env.cache = &cache;
  env.imageLibrary = &library;

  CImage cached;
  cached.SetEnvironment(&env);
  if (cached.SetFile("fuzz.bmp", ImageFlag::kTopLeftKey, 0)) DrawAllWays(cached);

  ImgBitmap bitmap(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  CMemFile file(data, size);
  int bpp = 0;
  if (bitmap.LoadFileOffset(file, 0, size, bpp)) {
    CImage decoded;
    decoded.SetEnvironment(&env);
    decoded.hDib = bitmap.ToDIB();
    decoded.hMaskDib = bitmap.GetAlphaMask();
    decoded.hBitmap = decoded.DibToBitmap(decoded.hDib);
    if (!decoded.hMaskDib.empty()) {
      decoded.hMask = decoded.DibToBitmap(decoded.hMaskDib);
      decoded.maskReady = 1;
    }
    DrawAllWays(decoded);
  }
  bitmap.Release();
  return 0;
}
