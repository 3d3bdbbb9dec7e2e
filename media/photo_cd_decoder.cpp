#include "media/photo_cd_decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

#include "media/dib_format.h"
#include "media/read_exactly.h"
#include "platform/base/exceptions.h"

namespace tvn::pcd {
namespace {

constexpr char kSignature[] = "PCD_IPI";
constexpr std::size_t kSignatureLength = sizeof(kSignature) - 1;
// The abort check is asked before every block of this many rows.
constexpr int kRowsPerCheck = 16;

// The PhotoYCC transform in 16.16 fixed point: luma scaled by 1.3584, C1
// around 156 by 2.2179 and C2 around 137 by 1.8215; red = L + C2, blue =
// L + C1, green = L - 0.194 C1 - 0.509 C2.
struct YccTables {
  std::array<int, 256> luma{};
  std::array<int, 256> redFromC2{};
  std::array<int, 256> blueFromC1{};
  std::array<int, 256> greenFromC1{};
  std::array<int, 256> greenFromC2{};

  YccTables() {
    auto fixed = [](double v) { return static_cast<int>(std::lround(v * 65536.0)); };
    for (int i = 0; i < 256; ++i) {
      const double c1 = 2.2179 * (i - 156);
      const double c2 = 1.8215 * (i - 137);
      luma[i] = fixed(1.3584 * i);
      redFromC2[i] = fixed(c2);
      blueFromC1[i] = fixed(c1);
      greenFromC1[i] = fixed(-0.194 * c1);
      greenFromC2[i] = fixed(-0.509 * c2);
    }
  }
};

const YccTables& Tables() {
  static const YccTables tables;
  return tables;
}

BYTE Clamp(int fixed) {
  const int v = (fixed + 32768) >> 16;
  return static_cast<BYTE>(std::clamp(v, 0, 255));
}

const Pack* PackFor(int resolution, int& scale) {
  scale = 1;
  switch (resolution) {
    case 1: return &kBase16;
    case 2: return &kBase4;
    case 3: return &kBase;
    case 4: scale = 2; return &kBase;
    case 5: scale = 4; return &kBase;
    default: return nullptr;
  }
}

WORD DecodePack(CFile& file, const DecodeRequest& request, std::vector<BYTE>& dib) {
  int scale = 1;
  const Pack* pack = PackFor(request.resolution, scale);
  if (!pack || request.rotation < 0 || request.rotation > 3) return Status::kBadArgument;
  const ULONGLONG length = file.GetLength();
  if (length < pack->offset || length - pack->offset < pack->Bytes()) return Status::kCutShort;

  // Sides before and after turning.
  const int width = pack->width * scale;
  const int height = pack->height * scale;
  const bool quarter = request.rotation == 1 || request.rotation == 3;
  const CRect whole(0, 0, quarter ? height : width, quarter ? width : height);
  CRect area = whole;
  if (request.region && !area.IntersectRect(*request.region, whole)) return Status::kEmptyRegion;

  std::vector<BYTE> planes(static_cast<std::size_t>(pack->Bytes()));
  file.Seek(static_cast<LONGLONG>(pack->offset), CFile::begin);
  if (!tvn::dib::ReadExactly(file, planes.data(), planes.size())) return Status::kCutShort;

  const int outWidth = area.right - area.left;
  const int outHeight = area.bottom - area.top;
  const std::size_t stride = static_cast<std::size_t>(tvn::dib::RowStride(24, outWidth));
  dib.assign(tvn::dib::kInfoHeaderSize + stride * static_cast<std::size_t>(outHeight), 0);
  tvn::dib::InfoHeader header;
  header.width = outWidth;
  header.height = outHeight;
  header.bitCount = 24;
  header.sizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(outHeight));
  tvn::dib::StoreInfoHeader(header, dib.data());

  const YccTables& t = Tables();
  const std::size_t packWidth = static_cast<std::size_t>(pack->width);
  const std::size_t pairBytes = packWidth * 3;  // two luma rows, then C1 and C2 rows of half width
  for (int y = 0; y < outHeight; ++y) {
    if (y % kRowsPerCheck == 0 && request.abort && request.abort()) {
      dib.clear();
      return Status::kAborted;
    }
    BYTE* out = dib.data() + tvn::dib::kInfoHeaderSize + static_cast<std::size_t>(outHeight - 1 - y) * stride;
    const int ty = area.top + y;
    for (int x = 0; x < outWidth; ++x) {
      const int tx = area.left + x;
      int u = tx;
      int v = ty;
      switch (request.rotation) {
        case 1: u = width - 1 - ty; v = tx; break;
        case 2: u = width - 1 - tx; v = height - 1 - ty; break;
        case 3: u = ty; v = height - 1 - tx; break;
        default: break;
      }
      const std::size_t px = static_cast<std::size_t>(u / scale);
      const std::size_t py = static_cast<std::size_t>(v / scale);
      const BYTE* pair = planes.data() + (py / 2) * pairBytes;
      const int luma = t.luma[pair[(py % 2) * packWidth + px]];
      const BYTE c1 = pair[2 * packWidth + px / 2];
      const BYTE c2 = pair[2 * packWidth + packWidth / 2 + px / 2];
      out[3 * x] = Clamp(luma + t.blueFromC1[c1]);
      out[3 * x + 1] = Clamp(luma + t.greenFromC1[c1] + t.greenFromC2[c2]);
      out[3 * x + 2] = Clamp(luma + t.redFromC2[c2]);
    }
  }
  return Status::kDone;
}

}  // namespace

std::optional<int> ReadRotation(CFile& file) {
  try {
    if (file.GetLength() <= kRotationOffset) return std::nullopt;
    BYTE signature[kSignatureLength];
    file.Seek(static_cast<LONGLONG>(kSignatureOffset), CFile::begin);
    if (!tvn::dib::ReadExactly(file, signature, kSignatureLength) ||
        std::memcmp(signature, kSignature, kSignatureLength) != 0)
      return std::nullopt;
    BYTE rotation = 0;
    file.Seek(static_cast<LONGLONG>(kRotationOffset), CFile::begin);
    if (!tvn::dib::ReadExactly(file, &rotation, 1)) return std::nullopt;
    return rotation & 0x03;
  } catch (const CException&) {
    return std::nullopt;
  }
}

std::optional<CSize> PictureSize(int resolution) {
  int scale = 1;
  const Pack* pack = PackFor(resolution, scale);
  if (!pack) return std::nullopt;
  return CSize(pack->width * scale, pack->height * scale);
}

WORD Decode(CFile& file, const DecodeRequest& request, std::vector<BYTE>& dib) {
  dib.clear();
  try {
    return DecodePack(file, request, dib);
  } catch (const std::bad_alloc&) {
    dib.clear();
    return Status::kNoMemory;
  } catch (const CException&) {
    dib.clear();
    return Status::kReadFailed;
  }
}

}  // namespace tvn::pcd
