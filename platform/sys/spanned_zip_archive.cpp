// SpannedZipArchive: the end record of the last part, the central directory across parts, local headers checked
// against it, and stored or deflated data read across part ends through raw inflate.
#include "platform/sys/spanned_zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/base/codepage.h"

namespace tvn::sys {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::size_t kLocalSize = 30, kCentralSize = 46, kEndSize = 22;
constexpr std::uint64_t kMaxCentralSize = 256u << 20;  // far beyond any setup disk's archive
constexpr std::size_t kChunk = 64 * 1024;

std::uint16_t Get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Get32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(const fs::path& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~FileHandle() { Reset(); }
  FileHandle(FileHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
  }
  int get() const { return m_fd; }
  void Reset() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd = -1;
};

// Reads size bytes at offset; false when the file holds fewer.
bool ReadExactly(int fd, std::uint64_t offset, unsigned char* out, std::size_t size) {
  while (size > 0) {
    const ssize_t got = ::pread(fd, out, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

std::optional<std::uint64_t> RegularFileSize(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  return size;
}

struct EndRecord {
  unsigned thisDisk = 0, centralDisk = 0;
  unsigned entriesHere = 0, entries = 0;
  std::uint32_t centralSize = 0, centralOffset = 0;
  std::uint64_t offset = 0;  // of the record in its part
  bool zip64 = false;
};

// The last end record of the file whose comment fits in it.
std::optional<EndRecord> ReadEndRecord(const fs::path& path, std::uint64_t fileSize) {
  if (fileSize < kEndSize) return std::nullopt;
  const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndSize + 0xFFFF);
  std::vector<unsigned char> tail(tailSize);
  FileHandle file(path);
  if (file.get() < 0 || !ReadExactly(file.get(), fileSize - tailSize, tail.data(), tail.size())) return std::nullopt;
  for (std::size_t pos = tail.size() - kEndSize + 1; pos-- > 0;) {
    const unsigned char* p = tail.data() + pos;
    if (Get32(p) != kEndSignature || pos + kEndSize + Get16(p + 20) > tail.size()) continue;
    EndRecord end;
    end.thisDisk = Get16(p + 4);
    end.centralDisk = Get16(p + 6);
    end.entriesHere = Get16(p + 8);
    end.entries = Get16(p + 10);
    end.centralSize = Get32(p + 12);
    end.centralOffset = Get32(p + 16);
    end.offset = fileSize - tailSize + pos;
    end.zip64 = (pos >= 20 && Get32(p - 20) == kZip64LocatorSignature) || end.thisDisk == 0xFFFF ||
                end.centralDisk == 0xFFFF || end.entriesHere == 0xFFFF || end.entries == 0xFFFF ||
                end.centralSize == 0xFFFFFFFF || end.centralOffset == 0xFFFFFFFF;
    return end;
  }
  return std::nullopt;
}

// The Info-ZIP Unicode path field: version 1, the CRC-32 of the stored name, the name in UTF-8.
std::optional<std::string> UnicodePathField(std::string_view raw, std::string_view extra) {
  while (extra.size() >= 4) {
    const auto* p = reinterpret_cast<const unsigned char*>(extra.data());
    const std::uint16_t id = Get16(p), size = Get16(p + 2);
    if (size > extra.size() - 4) break;
    if (id == 0x7075 && size >= 5 && p[4] == 1 &&
        Get32(p + 5) == crc32(0, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size()))) {
      std::string name(extra.substr(9, size - 5));
      if (codepage::IsValidUtf8(name)) return name;
    }
    extra.remove_prefix(4 + size);
  }
  return std::nullopt;
}

// Whether the extra fields hold a Zip64 field.
bool HasZip64Field(std::string_view extra) {
  while (extra.size() >= 4) {
    const auto* p = reinterpret_cast<const unsigned char*>(extra.data());
    const std::uint16_t id = Get16(p), size = Get16(p + 2);
    if (id == 0x0001) return true;
    if (size > extra.size() - 4) break;
    extra.remove_prefix(4 + size);
  }
  return false;
}

// Names as the single-file reader gives them: flagged UTF-8 as it is, then the
// Unicode path field, then well-formed UTF-8, else code page 437.
std::string DecodeName(const std::string& raw, std::uint16_t flags, std::string_view extra) {
  if (flags & 0x0800) return raw;
  if (auto name = UnicodePathField(raw, extra)) return std::move(*name);
  if (codepage::IsValidUtf8(raw)) return raw;
  return codepage::Cp437ToUtf8(raw);
}

struct Part {
  fs::path path;
  std::uint64_t size = 0;
};

struct CentralEntry {
  std::string rawName;
  ZipEntryInfo info;
  std::uint16_t flags = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  unsigned disk = 0;
  std::uint64_t localOffset = 0;  // in its part
  std::uint64_t headerStart = 0;  // across parts, once checked
  std::uint64_t dataStart = 0;
};

class Inflater {
 public:
  Inflater() { m_ok = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (m_ok) inflateEnd(&m_stream);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  bool ok() const { return m_ok; }
  z_stream& stream() { return m_stream; }

 private:
  z_stream m_stream{};
  bool m_ok = false;
};

}  // namespace

struct SpannedZipArchive::Impl {
  std::vector<Part> parts;
  std::vector<CentralEntry> entries;
  FileHandle file;
  std::size_t filePart = SIZE_MAX;

  std::uint64_t Base(std::size_t part) const {
    std::uint64_t base = 0;
    for (std::size_t i = 0; i < part && i < parts.size(); ++i) base += parts[i].size;
    return base;
  }

  void SetPart(std::size_t index, fs::path path, std::uint64_t size) {
    parts[index] = {std::move(path), size};
    if (filePart == index) {
      file.Reset();
      filePart = SIZE_MAX;
    }
  }

  // Bytes at a position counted across all parts; false past the last part's end.
  bool Read(std::uint64_t at, unsigned char* out, std::size_t size) {
    std::uint64_t base = 0;
    for (std::size_t i = 0; i < parts.size() && size > 0; ++i) {
      const Part& part = parts[i];
      if (at >= base + part.size) {
        base += part.size;
        continue;
      }
      const std::uint64_t inPart = at - base;
      const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(size, part.size - inPart));
      if (filePart != i) {
        file = FileHandle(part.path);
        filePart = i;
      }
      if (file.get() < 0 || !ReadExactly(file.get(), inPart, out, take)) return false;
      out += take;
      at += take;
      size -= take;
      base += part.size;
    }
    return size == 0;
  }

  bool ReadCentral(const EndRecord& end, std::string* why);
  // The entry's data, decompressed, handed to sink piece by piece; false with
  // why set when it cannot be read, passes its stated size or fails its checksum.
  using Sink = std::function<bool(const unsigned char* data, std::size_t size, std::string* why)>;
  bool ReadData(const CentralEntry& entry, std::string* why, const Sink& sink);
  // Every readable entry's data read through once: a damaged or cut part
  // fails the archive before anything is extracted.
  bool CheckData(std::string* why, const CopyProgress& progress);
  // Every local header against its central record; a mismatch asks for the part again.
  SpannedZipArchive::OpenError CheckLocalHeaders(const EndRecord& end, IZipPartSource& source, std::string* why);
};

bool SpannedZipArchive::Impl::ReadCentral(const EndRecord& end, std::string* why) {
  const std::uint64_t start = Base(end.centralDisk) + end.centralOffset;
  const std::uint64_t endAt = Base(parts.size() - 1) + end.offset;
  if (end.centralOffset > parts[end.centralDisk].size || start > endAt || end.centralSize > endAt - start ||
      end.centralSize > kMaxCentralSize) {
    *why = "central directory outside the archive";
    return false;
  }
  std::vector<unsigned char> central(end.centralSize);
  if (!Read(start, central.data(), central.size())) {
    *why = "central directory cannot be read";
    return false;
  }
  std::size_t pos = 0;
  for (unsigned i = 0; i < end.entries; ++i) {
    if (central.size() - pos < kCentralSize || Get32(central.data() + pos) != kCentralSignature) {
      *why = "central directory damaged at entry " + std::to_string(i);
      return false;
    }
    const unsigned char* p = central.data() + pos;
    const std::size_t nameSize = Get16(p + 28), extraSize = Get16(p + 30), commentSize = Get16(p + 32);
    if (central.size() - pos - kCentralSize < nameSize + extraSize + commentSize) {
      *why = "central directory damaged at entry " + std::to_string(i);
      return false;
    }
    CentralEntry entry;
    const std::uint16_t madeBy = Get16(p + 4);
    entry.flags = Get16(p + 8);
    entry.info.method = Get16(p + 10);
    entry.crc = Get32(p + 16);
    entry.compressedSize = Get32(p + 20);
    entry.info.size = Get32(p + 24);
    entry.disk = Get16(p + 34);
    const std::uint32_t external = Get32(p + 38);
    entry.localOffset = Get32(p + 42);
    entry.rawName.assign(reinterpret_cast<const char*>(p + kCentralSize), nameSize);
    const std::string_view extra(reinterpret_cast<const char*>(p + kCentralSize + nameSize), extraSize);
    if (entry.compressedSize == 0xFFFFFFFF || entry.info.size == 0xFFFFFFFF || entry.localOffset == 0xFFFFFFFF ||
        entry.disk == 0xFFFF || HasZip64Field(extra)) {
      *why = "Zip64 entry " + std::to_string(i) + " is not read here";
      return false;
    }
    if (entry.disk >= parts.size()) {
      *why = "entry " + std::to_string(i) + " on a disk past the last";
      return false;
    }
    entry.info.name = DecodeName(entry.rawName, entry.flags, extra);
    entry.info.isDirectory = !entry.info.name.empty() && entry.info.name.back() == '/';
    entry.info.isSymlink = (madeBy >> 8) == 3 && ((external >> 16) & S_IFMT) == S_IFLNK;
    entry.info.methodSupported = entry.info.method == 0 || entry.info.method == 8;
    entry.info.encrypted = (entry.flags & 0x0041) != 0;  // traditional or strong encryption
    entries.push_back(std::move(entry));
    pos += kCentralSize + nameSize + extraSize + commentSize;
  }
  return true;
}

SpannedZipArchive::OpenError SpannedZipArchive::Impl::CheckLocalHeaders(const EndRecord& end, IZipPartSource& source,
                                                                       std::string* why) {
  const std::size_t last = parts.size() - 1;
  for (std::size_t i = 0; i < entries.size();) {
    CentralEntry& entry = entries[i];
    const std::uint64_t at = Base(entry.disk) + entry.localOffset;
    unsigned char header[kLocalSize];
    const bool matches = entry.localOffset < parts[entry.disk].size && Read(at, header, kLocalSize) &&
                         Get32(header) == kLocalSignature && Get16(header + 8) == entry.info.method &&
                         Get16(header + 26) == entry.rawName.size() && [&] {
                           std::string name(entry.rawName.size(), '\0');
                           return Read(at + kLocalSize, reinterpret_cast<unsigned char*>(name.data()), name.size()) &&
                                  name == entry.rawName;
                         }();
    if (!matches) {
      if (entry.disk == last) {
        *why = "local header of " + entry.info.name + " does not match the central directory";
        return OpenError::kDamaged;
      }
      // Another archive's part, or a stale copy: ask for the part again and check everything anew.
      const fs::path rejected = parts[entry.disk].path;
      auto path = source.FindPart(entry.disk + 1, static_cast<unsigned>(parts.size()), &rejected);
      auto size = path ? RegularFileSize(*path) : std::nullopt;
      if (!size) {
        *why = "part " + std::to_string(entry.disk + 1) + " is missing";
        return OpenError::kPartMissing;
      }
      SetPart(entry.disk, std::move(*path), *size);
      i = 0;
      continue;
    }
    if (!(entry.flags & 0x0008) && (Get32(header + 14) != entry.crc || Get32(header + 18) != entry.compressedSize ||
                                    Get32(header + 22) != entry.info.size)) {
      *why = "local header of " + entry.info.name + " disagrees with the central directory";
      return OpenError::kDamaged;
    }
    entry.headerStart = at;
    entry.dataStart = at + kLocalSize + entry.rawName.size() + Get16(header + 28);
    ++i;
  }
  // Entries may neither overlap one another nor the central directory: a cut part shows here.
  // The directory's start counts the parts as they stand now (a part asked for again may differ in size).
  const std::uint64_t centralStart = Base(end.centralDisk) + end.centralOffset;
  std::vector<const CentralEntry*> order;
  for (const CentralEntry& entry : entries) order.push_back(&entry);
  std::sort(order.begin(), order.end(),
            [](const CentralEntry* a, const CentralEntry* b) { return a->headerStart < b->headerStart; });
  for (std::size_t k = 0; k < order.size(); ++k) {
    const std::uint64_t dataEnd = order[k]->dataStart + order[k]->compressedSize;
    const std::uint64_t limit = k + 1 < order.size() ? order[k + 1]->headerStart : centralStart;
    if (dataEnd > limit) {
      *why = "data of " + order[k]->info.name + " runs past its room (a part is cut or damaged)";
      return OpenError::kDamaged;
    }
  }
  return OpenError::kNone;
}

bool SpannedZipArchive::Impl::ReadData(const CentralEntry& entry, std::string* why, const Sink& sink) {
  auto fail = [&](const char* reason) {
    *why = reason;
    return false;
  };
  const bool stored = entry.info.method == 0;
  if (stored && entry.compressedSize != entry.info.size) return fail("stored entry with two sizes");
  Inflater inflater;
  if (!stored && !inflater.ok()) return fail("inflate cannot start");
  std::vector<unsigned char> input(kChunk), output(stored ? 0 : kChunk);
  uLong crc = crc32(0, nullptr, 0);
  std::uint64_t done = 0, produced = 0;
  auto hand = [&](const unsigned char* data, std::size_t size) {
    if (size > entry.info.size - produced) {
      *why = "entry larger than its stated size";
      return false;
    }
    produced += size;
    crc = crc32(crc, data, static_cast<uInt>(size));
    return size == 0 || sink(data, size, why);
  };
  bool streamEnded = false;
  while (done < entry.compressedSize && !streamEnded) {
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, entry.compressedSize - done));
    if (!Read(entry.dataStart + done, input.data(), take)) return fail("data ends early (a part is cut)");
    done += take;
    if (stored) {
      if (!hand(input.data(), take)) return false;
      continue;
    }
    z_stream& stream = inflater.stream();
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(take);
    do {
      stream.next_out = output.data();
      stream.avail_out = static_cast<uInt>(output.size());
      const int status = inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return fail("damaged compressed data");
      const std::size_t made = output.size() - stream.avail_out;
      if (!hand(output.data(), made)) return false;
      if (status == Z_STREAM_END) {
        streamEnded = true;
        break;
      }
      if (status == Z_BUF_ERROR && made == 0) break;  // needs more input
    } while (stream.avail_in > 0 || stream.avail_out == 0);
  }
  if (!stored && !streamEnded) return fail("compressed data ends early");
  if (produced != entry.info.size) return fail("entry shorter than its stated size");
  if (crc != entry.crc) return fail("checksum mismatch");
  return true;
}

bool SpannedZipArchive::Impl::CheckData(std::string* why, const CopyProgress& progress) {
  const Sink discard = [&progress](const unsigned char*, std::size_t size, std::string* problem) {
    if (!progress || progress(size)) return true;
    *problem = "stopped";
    return false;
  };
  for (const CentralEntry& entry : entries) {
    if (entry.info.encrypted || !entry.info.methodSupported) continue;  // refused by name, not read
    std::string problem;
    if (!ReadData(entry, &problem, discard)) {
      *why = entry.info.name + ": " + problem;
      return false;
    }
  }
  return true;
}

SpannedZipArchive::SpannedZipArchive(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
SpannedZipArchive::~SpannedZipArchive() = default;

std::unique_ptr<SpannedZipArchive> SpannedZipArchive::Open(const fs::path& lastPart, IZipPartSource& source,
                                                           OpenError* error, std::string* why, bool listingOnly,
                                                           const CopyProgress& progress) {
  std::string reason;
  auto fail = [&](OpenError kind) -> std::unique_ptr<SpannedZipArchive> {
    if (error) *error = kind;
    if (why) *why = reason;
    return nullptr;
  };
  if (error) *error = OpenError::kNone;
  const auto lastSize = RegularFileSize(lastPart);
  if (!lastSize) {
    reason = "the last part is missing";
    return fail(OpenError::kPartMissing);
  }
  const auto end = ReadEndRecord(lastPart, *lastSize);
  if (!end) {
    reason = "no end record";
    return fail(OpenError::kDamaged);
  }
  if (end->zip64) {
    reason = "Zip64 archives are not read here";
    return fail(OpenError::kDamaged);
  }
  if (end->centralDisk > end->thisDisk || end->entriesHere > end->entries ||
      end->entries > end->centralSize / kCentralSize) {
    reason = "end record damaged";
    return fail(OpenError::kDamaged);
  }
  auto impl = std::make_unique<Impl>();
  const unsigned count = end->thisDisk + 1;
  impl->parts.resize(count);
  impl->parts.back() = {lastPart, *lastSize};
  for (unsigned part = 1; part < count; ++part) {
    auto path = source.FindPart(part, count, nullptr);
    auto size = path ? RegularFileSize(*path) : std::nullopt;
    if (!size) {
      reason = "part " + std::to_string(part) + " is missing";
      return fail(OpenError::kPartMissing);
    }
    impl->parts[part - 1] = {std::move(*path), *size};
  }
  if (!impl->ReadCentral(*end, &reason)) return fail(OpenError::kDamaged);
  if (const OpenError checked = impl->CheckLocalHeaders(*end, source, &reason); checked != OpenError::kNone) {
    return fail(checked);
  }
  if (!listingOnly && !impl->CheckData(&reason, progress)) return fail(OpenError::kDamaged);
  return std::unique_ptr<SpannedZipArchive>(new SpannedZipArchive(std::move(impl)));
}

std::size_t SpannedZipArchive::Count() const { return m_impl->entries.size(); }

std::optional<ZipEntryInfo> SpannedZipArchive::Entry(std::size_t index) const {
  if (index >= m_impl->entries.size()) return std::nullopt;
  return m_impl->entries[index].info;
}

bool SpannedZipArchive::ExtractTo(std::size_t index, const fs::path& target, std::string* error,
                                  const CopyProgress& progress) {
  std::string why;
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  if (index >= m_impl->entries.size()) return fail("no such entry");
  const CentralEntry& entry = m_impl->entries[index];
  if (entry.info.encrypted || !entry.info.methodSupported) return fail("entry cannot be read here");
  ZipTargetFile out(target, entry.info.size);
  if (!out.OpenError().empty()) return fail(out.OpenError());
  const bool read = m_impl->ReadData(entry, &why, [&](const unsigned char* data, std::size_t size, std::string* problem) {
    if (!out.Write(reinterpret_cast<const char*>(data), size, problem)) return false;
    if (!progress || progress(size)) return true;
    *problem = "stopped";
    return false;
  });
  if (!read || !out.Finish(&why)) return fail(why);
  return true;
}

}  // namespace tvn::sys
