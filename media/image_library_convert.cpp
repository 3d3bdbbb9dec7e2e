// The reader's conversions: saving and converting files, bitmaps and DIBs in and out, colour reduction.
#include <algorithm>
#include <unordered_map>

#include "media/dib_decode.h"
#include "media/dib_format.h"
#include "media/image_environment.h"
#include "media/image_library.h"
#include "platform/base/host_path.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/image_encoder.h"
#include "platform/gdi/pixel_image.h"
#include "platform/sys/staged_file.h"

using tvn::platform::DecodedImage;

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t PixelOf(const PaletteEntry& e) {
  return kOpaque | (static_cast<std::uint32_t>(e.red) << 16) | (static_cast<std::uint32_t>(e.green) << 8) | e.blue;
}

// The colours a depth of 1, 4 or 8 bits keeps to; empty for other depths.
CLogPalette ColoursFor(int bits) {
  switch (bits) {
    case 1: {
      const CLogPalette all = CLogPalette::Standard16();
      return CLogPalette({all.Entries().front(), all.Entries().back()});
    }
    case 4: return CLogPalette::Standard16();
    case 8: return CLogPalette::Cube();
    default: return CLogPalette();
  }
}

// Every pixel becomes its nearest colour; indices gets each pixel's entry.
DecodedImage Reduce(const DecodedImage& image, const CLogPalette& colours, int bits, std::vector<BYTE>& indices) {
  DecodedImage out = image;
  out.bitsPerPixel = bits;
  out.hasAlpha = false;
  indices.assign(image.pixels.size(), 0);
  std::unordered_map<std::uint32_t, BYTE> nearest;
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t rgb = image.pixels[i] & 0xFFFFFFu;
    auto [at, fresh] = nearest.try_emplace(rgb, 0);
    if (fresh) {
      at->second = static_cast<BYTE>(colours.GetNearestPaletteIndex(
          RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb))));
    }
    indices[i] = at->second;
    out.pixels[i] = PixelOf(colours.Entries()[at->second]);
  }
  return out;
}

std::optional<tvn::platform::ImageFileFormat> FileFormat(int format) {
  switch (format) {
    case ImgBitmap::kBmp: return tvn::platform::ImageFileFormat::bmp;
    case ImgBitmap::kPng: return tvn::platform::ImageFileFormat::png;
    case ImgBitmap::kJpeg: return tvn::platform::ImageFileFormat::jpeg;
    case ImgBitmap::kTiff: return tvn::platform::ImageFileFormat::tiff;
    default: return std::nullopt;
  }
}

}  // namespace

int ImgBitmap::Init(int width, int height, int bpp) {
  if (IsAllocated()) return 0;
  if (width < 0 || height < 0 || width > tvn::platform::kMaxImageSide || height > tvn::platform::kMaxImageSide)
    return 0;
  DecodedImage blank;
  blank.width = width;
  blank.height = height;
  blank.bitsPerPixel = bpp;
  blank.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kOpaque);
  m_image = std::move(blank);
  return 0;
}

int ImgBitmap::Save(const CString& name, int format, int bpp, int quality) const {
  if (!m_library.IsLoaded() || !m_image) return 0;
  const auto fileFormat = FileFormat(format);
  if (!fileFormat) return 0;
  // The picture at the depth asked for, and the colours an indexed file keeps.
  DecodedImage picture = *m_image;
  CLogPalette colours = m_indexBits > 0 ? m_colours : CLogPalette();
  if (bpp == 1 || bpp == 4 || bpp == 8) {
    colours = ColoursFor(bpp);
    std::vector<BYTE> indices;
    picture = Reduce(*m_image, colours, bpp, indices);
  } else if (bpp == 24) {
    colours = CLogPalette();
    picture.hasAlpha = false;
  } else if (bpp == 32) {
    colours = CLogPalette();
  } else if (bpp != 0) {
    return 0;
  }
  std::vector<std::uint32_t> table;
  for (const PaletteEntry& e : colours.Entries()) table.push_back(PixelOf(e));
  const auto bytes = tvn::platform::EncodeImage(picture, *fileFormat, quality, table);
  if (!bytes) return 0;
  const auto target = tvn::path::MapWindowsPath(name);
  if (!target) return 0;
  tvn::sys::StagedFile file;
  if (!file.Create(*target)) return 0;
  if (!file.Write(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()))) return 0;
  return file.Commit(std::nullopt, std::nullopt) ? 1 : 0;
}

int ImgBitmap::FileConvert(const CString& source, const CString& target, int format, int bpp, int quality) {
  if (!m_library.Load(m_featureBits)) return 0;
  ImgFileInfo info;
  if (FileInfo(source, info) != 1) return 0;
  ImgBitmap converted(m_library, m_featureBits);
  converted.Prepare();
  int loaded = 0;
  if (!converted.LoadFile(source, loaded)) return 0;
  // The source's own depth is the picture as read: its colours stay.
  return converted.Save(target, format, bpp, quality);
}

std::unique_ptr<CBitmap> ImgBitmap::ToDDB(CDC*) const {
  if (!m_library.IsLoaded() || !m_image || m_image->width <= 0 || m_image->height <= 0) return nullptr;
  auto bitmap = std::make_unique<CBitmap>();
  // 32-bit layer rows are blue, green, red and a spare byte: the pixels' own order.
  if (!bitmap->CreateBitmap(m_image->width, m_image->height, 1, 32, m_image->pixels.data())) return nullptr;
  return bitmap;
}

int ImgBitmap::FromDDB(CDC*, CBitmap* bitmap, const CLogPalette*) {
  if (!m_library.Load(m_featureBits)) return 0;
  Init(0, 0, 0);
  if (!bitmap || !bitmap->IsCreated()) return 0;
  const gdi::PixelSurface surface = bitmap->GetSurface();
  if (!surface.IsValid()) return 0;
  DecodedImage taken;
  taken.width = surface.width;
  taken.height = surface.height;
  taken.bitsPerPixel = surface.monochrome ? 1 : 24;
  taken.pixels.reserve(static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height));
  for (int y = 0; y < surface.height; ++y) {
    const DWORD* row = surface.Row(y);
    for (int x = 0; x < surface.width; ++x) taken.pixels.push_back(kOpaque | (row[x] & 0xFFFFFFu));
  }
  Free();
  m_image = std::move(taken);
  return 1;
}

int ImgBitmap::FromDIB(const std::vector<BYTE>& dib) {
  if (!m_library.Load(m_featureBits)) return 0;
  // The header, its colour table or masks, and the pixels after them must all be there.
  const auto layout = tvn::dib::Describe(dib);
  if (!layout) return 0;
  const CPixelImage picture = tvn::dib::DecodeToImage(dib);
  if (picture.IsNull()) return 0;
  DecodedImage taken;
  taken.width = picture.Width();
  taken.height = picture.Height();
  taken.bitsPerPixel = layout->header.bitCount;
  taken.pixels.reserve(static_cast<std::size_t>(taken.width) * static_cast<std::size_t>(taken.height));
  for (int y = 0; y < taken.height; ++y) {
    const std::uint32_t* row = picture.Row(y);
    for (int x = 0; x < taken.width; ++x) taken.pixels.push_back(kOpaque | (row[x] & 0xFFFFFFu));
  }
  Free();
  m_image = std::move(taken);
  return 1;
}

int ImgBitmap::ColorRes(int bpp) {
  if (!m_library.IsLoaded() || !m_image) return 0;
  switch (bpp) {
    case 1:
    case 4:
    case 8:
      m_colours = ColoursFor(bpp);
      m_image = Reduce(*m_image, m_colours, bpp, m_indices);
      m_indexBits = bpp;
      return 1;
    case 24:
    case 32:
      m_indexBits = 0;
      m_indices.clear();
      m_colours = CLogPalette();
      if (bpp == 24) {
        m_image->hasAlpha = false;
        for (std::uint32_t& p : m_image->pixels) p |= kOpaque;
      }
      m_image->bitsPerPixel = bpp;
      return 1;
    default: return 0;
  }
}

int ImgBitmap::TwainAcquire(CWnd*) { return 0; }
int ImgBitmap::TwainSelect(CWnd*) { return 0; }
