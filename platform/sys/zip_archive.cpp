// ZipArchive on libzip: opening read-only with consistency checks, entry kinds from the external attributes.
#include "platform/sys/zip_archive.h"

#include <sys/stat.h>
#include <zip.h>

#include <system_error>
#include <vector>

namespace tvn::sys {

struct ZipArchive::Impl {
  zip_t* archive = nullptr;
  ~Impl() {
    if (archive) zip_discard(archive);
  }
};

ZipArchive::ZipArchive(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::Open(const std::filesystem::path& path, OpenError* error) {
  if (error) *error = OpenError::kNone;
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!archive) {
    std::error_code ec;
    if (error) {
      *error = !std::filesystem::exists(path, ec) ? OpenError::kMissing
               : code == ZIP_ER_MULTIDISK         ? OpenError::kMultiDisk
                                                  : OpenError::kDamaged;
    }
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->archive = archive;
  return std::unique_ptr<ZipArchive>(new ZipArchive(std::move(impl)));
}

std::size_t ZipArchive::Count() const {
  const zip_int64_t count = zip_get_num_entries(m_impl->archive, 0);
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::optional<ZipEntryInfo> ZipArchive::Entry(std::size_t index) const {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(m_impl->archive, index, ZIP_FL_ENC_GUESS, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
    return std::nullopt;
  }
  ZipEntryInfo info;
  info.name = stat.name;
  info.size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
  info.isDirectory = !info.name.empty() && info.name.back() == '/';
  if (stat.valid & ZIP_STAT_COMP_METHOD) {
    info.method = stat.comp_method;
    info.methodSupported = zip_compression_method_supported(stat.comp_method, 0) != 0;
  }
  info.encrypted = !(stat.valid & ZIP_STAT_ENCRYPTION_METHOD) || stat.encryption_method != ZIP_EM_NONE;
  zip_uint8_t system = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(m_impl->archive, index, 0, &system, &attributes) == 0 &&
      system == ZIP_OPSYS_UNIX) {
    info.isSymlink = ((attributes >> 16) & S_IFMT) == S_IFLNK;
  }
  return info;
}

bool ZipArchive::ExtractTo(std::size_t index, const std::filesystem::path& target, std::string* error,
                           const CopyProgress& progress) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  auto info = Entry(index);
  if (!info) return fail("unreadable entry");
  zip_file_t* file = zip_fopen_index(m_impl->archive, index, 0);
  if (!file) return fail(zip_strerror(m_impl->archive));
  ZipTargetFile out(target, info->size);
  if (!out.OpenError().empty()) {
    zip_fclose(file);
    return fail(out.OpenError());
  }
  std::vector<char> buffer(kCopyChunkBytes);
  std::string why;
  for (;;) {
    const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      why = zip_file_strerror(file);
      break;
    }
    if (got == 0) break;
    // libzip stops at the stated size; the target file holds should a stream not.
    if (!out.Write(buffer.data(), static_cast<std::size_t>(got), &why)) break;
    if (progress && !progress(static_cast<std::size_t>(got))) {
      why = "stopped";
      break;
    }
  }
  if (zip_fclose(file) != 0 && why.empty()) why = "checksum mismatch";
  if (why.empty()) out.Finish(&why);
  return why.empty() ? true : fail(why);
}

}  // namespace tvn::sys
