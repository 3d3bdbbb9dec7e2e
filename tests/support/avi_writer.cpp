// The 8-bit AVI writer, its RLE8 encoder, and the index removal and cutting of any AVI.
#include "tests/support/avi_writer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/support/le_bytes.h"

namespace tvn::testing {

namespace {

constexpr std::uint32_t kHasIndex = 0x10;       // avih: the file has an idx1 chunk
constexpr std::uint32_t kMustUseIndex = 0x20;   // avih: read the frames in the index's order
constexpr std::uint32_t kKeyFrame = 0x10;       // idx1: the chunk is a key frame
constexpr std::uint32_t kNoTime = 0x100;        // idx1: the chunk takes no time (a palette change)
constexpr std::uint32_t kPaletteChanges = 0x10000;  // strh: the stream changes its palette

void PutFourCc(std::vector<std::uint8_t>& out, const char* code) { out.insert(out.end(), code, code + 4); }

// Opens a chunk; Close writes its size and the pad byte.
std::size_t Open(std::vector<std::uint8_t>& out, const char* code, const char* listType = nullptr) {
  PutFourCc(out, code);
  const std::size_t at = out.size();
  Put32(out, 0);
  if (listType) PutFourCc(out, listType);
  return at;
}

void Close(std::vector<std::uint8_t>& out, std::size_t at) {
  Set32(out, at, static_cast<std::uint32_t>(out.size() - at - 4));
  if (out.size() % 2) out.push_back(0);
}

std::uint32_t Read32(const std::vector<std::uint8_t>& in, std::size_t at) {
  return in[at] | in[at + 1] << 8 | in[at + 2] << 16 | static_cast<std::uint32_t>(in[at + 3]) << 24;
}

bool Is(const std::vector<std::uint8_t>& in, std::size_t at, const char* code) {
  return at + 4 <= in.size() && std::memcmp(in.data() + at, code, 4) == 0;
}

// The pixels of one row from x on to end, coded as runs (a colour repeated)
// and absolute stretches (at least three colours as they are).
void CodeStretch(std::vector<std::uint8_t>& out, const std::uint8_t* row, int x, int end) {
  while (x < end) {
    int run = 1;
    while (x + run < end && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 3 || end - x < 3) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // As they are, up to the next run of three.
    int n = 0;
    while (x + n < end && n < 255 && !(x + n + 2 < end && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]))
      ++n;
    if (n < 3) {
      for (int i = 0; i < n; ++i) {
        out.push_back(1);
        out.push_back(row[x + i]);
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(n));
      out.insert(out.end(), row + x, row + x + n);
      if (n % 2) out.push_back(0);  // absolute stretches keep 16-bit alignment
    }
    x += n;
  }
}

}  // namespace

std::vector<std::uint8_t> PlainRows(const std::vector<std::uint8_t>& pixels, int width, int height) {
  const int stride = (width + 3) & ~3;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y)
    std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, width,
                out.begin() + static_cast<std::ptrdiff_t>(height - 1 - y) * stride);
  return out;
}

std::vector<std::uint8_t> EncodeRle8(const std::vector<std::uint8_t>& pixels, int width, int height,
                                     const std::vector<std::uint8_t>* previous) {
  std::vector<std::uint8_t> out;
  const auto differs = [&](int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * width + x;
    return !previous || (*previous)[i] != pixels[i];
  };
  const auto lineChanged = [&](int y) {
    for (int x = 0; x < width; ++x)
      if (differs(x, y)) return true;
    return false;
  };
  // Bitmap lines go bottom first.
  for (int line = 0; line < height; ++line) {
    const int y = height - 1 - line;
    const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * width;
    int x = 0;
    while (x < width) {
      int start = x;
      while (start < width && !differs(start, y)) ++start;
      if (start == width) break;  // the rest of the line stays
      while (start - x > 0) {  // skipped with deltas
        const int step = std::min(start - x, 255);
        out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(step), 0});
        x += step;
      }
      // Up to four unchanged pixels in a row are coded with the changed ones.
      int end = start;
      for (int same = 0; end < width && same < 4; ++end) same = differs(end, y) ? 0 : same + 1;
      CodeStretch(out, row, x, end);
      x = end;
    }
    bool restStays = previous != nullptr;
    for (int above = line + 1; restStays && above < height; ++above) restStays = !lineChanged(height - 1 - above);
    if (line == height - 1 || restStays) break;
    out.insert(out.end(), {0, 0});  // end of line
  }
  out.insert(out.end(), {0, 1});  // end of bitmap
  return out;
}

std::vector<std::uint8_t> WriteAvi(const AviFilm& film) {
  const bool changes = std::any_of(film.frames.begin(), film.frames.end(),
                                   [](const AviFrame& f) { return !f.changes.empty(); });
  const auto frames = static_cast<std::uint32_t>(film.frames.size());
  const auto width = static_cast<std::uint32_t>(film.width), height = static_cast<std::uint32_t>(film.height);
  std::vector<std::uint8_t> out;
  const std::size_t riff = Open(out, "RIFF", "AVI ");
  const std::size_t hdrl = Open(out, "LIST", "hdrl");
  const std::size_t avih = Open(out, "avih");
  Put32(out, 1000000u / static_cast<std::uint32_t>(film.rate));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, kHasIndex);
  Put32(out, frames);
  Put32(out, 0);
  Put32(out, 1);  // streams
  Put32(out, width * height * 2);
  Put32(out, width);
  Put32(out, height);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  Close(out, avih);
  const std::size_t strl = Open(out, "LIST", "strl");
  const std::size_t strh = Open(out, "strh");
  PutFourCc(out, "vids");
  Put32(out, film.rle8 ? 1 : 0);
  Put32(out, changes ? kPaletteChanges : 0);
  Put32(out, 0);  // priority and language
  Put32(out, 0);
  Put32(out, 1);  // scale
  Put32(out, static_cast<std::uint32_t>(film.rate));
  Put32(out, 0);
  Put32(out, frames);
  Put32(out, width * height * 2);
  Put32(out, 0xFFFFFFFFu);
  Put32(out, 0);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, width);
  Put16(out, height);
  Close(out, strh);
  const std::size_t strf = Open(out, "strf");
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, film.rle8 ? 1 : 0);
  Put32(out, ((width + 3) & ~3u) * height);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(film.palette.size()));
  Put32(out, 0);
  for (const AviRgb& c : film.palette) out.insert(out.end(), {c[2], c[1], c[0], 0});
  Close(out, strf);
  Close(out, strl);
  Close(out, hdrl);

  struct Entry {
    const char* id;
    std::uint32_t flags, offset, size;
  };
  std::vector<Entry> index;
  const std::size_t movi = Open(out, "LIST", "movi");
  const std::size_t moviStart = movi - 4;  // index offsets count from the list's type
  const auto chunk = [&](const char* id, std::uint32_t flags, const std::vector<std::uint8_t>& data) {
    index.push_back(
        {id, flags, static_cast<std::uint32_t>(out.size() - moviStart), static_cast<std::uint32_t>(data.size())});
    const std::size_t at = Open(out, id);
    out.insert(out.end(), data.begin(), data.end());
    Close(out, at);
  };
  for (const AviFrame& frame : film.frames) {
    for (const AviPaletteChange& change : frame.changes) {
      std::vector<std::uint8_t> data = {static_cast<std::uint8_t>(change.first),
                                        static_cast<std::uint8_t>(change.entries.size()), 0, 0};
      for (const AviRgb& c : change.entries) data.insert(data.end(), {c[0], c[1], c[2], 0});
      chunk("00pc", kNoTime, data);
    }
    chunk(film.rle8 ? "00dc" : "00db", frame.key ? kKeyFrame : 0, frame.data);
  }
  Close(out, movi);
  const std::size_t idx1 = Open(out, "idx1");
  for (const Entry& e : index) {
    PutFourCc(out, e.id);
    Put32(out, e.flags);
    Put32(out, e.offset);
    Put32(out, e.size);
  }
  Close(out, idx1);
  Close(out, riff);
  return out;
}

std::vector<std::uint8_t> WithoutIndex(const std::vector<std::uint8_t>& avi) {
  if (avi.size() < 12 || !Is(avi, 0, "RIFF")) return avi;
  std::vector<std::uint8_t> out(avi.begin(), avi.begin() + 12);
  for (std::size_t at = 12; at + 8 <= avi.size();) {
    const std::size_t size = Read32(avi, at + 4);
    const std::size_t next = std::min(avi.size(), at + 8 + size + (size & 1));
    if (!Is(avi, at, "idx1")) out.insert(out.end(), avi.begin() + static_cast<std::ptrdiff_t>(at),
                                         avi.begin() + static_cast<std::ptrdiff_t>(next));
    at = next;
  }
  Set32(out, 4, static_cast<std::uint32_t>(out.size() - 8));
  const std::string avih = "avih";
  const auto header = std::search(out.begin(), out.end(), avih.begin(), avih.end());
  if (out.end() - header >= 24) {
    const auto flags = static_cast<std::size_t>(header - out.begin()) + 20;
    Set32(out, flags, Read32(out, flags) & ~(kHasIndex | kMustUseIndex));
  }
  return out;
}

std::vector<std::uint8_t> CutAfterFrames(const std::vector<std::uint8_t>& avi, int frames) {
  const std::string movi = "movi";
  const auto list = std::search(avi.begin(), avi.end(), movi.begin(), movi.end());
  int seen = 0;
  for (auto at = static_cast<std::size_t>(list - avi.begin()) + 4; at + 8 <= avi.size();) {
    const std::size_t size = Read32(avi, at + 4);
    const std::size_t next = std::min(avi.size(), at + 8 + size + (size & 1));
    if (avi[at] == '0' && avi[at + 1] == '0' && avi[at + 2] == 'd' && ++seen == frames)
      return {avi.begin(), avi.begin() + static_cast<std::ptrdiff_t>(next)};
    at = next;
  }
  return avi;
}

}  // namespace tvn::testing
