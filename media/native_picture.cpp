#include "media/native_picture.h"

#include <cstdlib>
#include <new>
#include <system_error>

#include "media/dib_format.h"
#include "platform/base/host_path.h"

namespace tvn::media {

std::string NativeFileName(const CString& name) {
  if (auto mapped = tvn::path::MapWindowsPath(name)) {
    std::error_code error;
    if (std::filesystem::is_regular_file(*mapped, error)) return std::filesystem::absolute(*mapped, error).string();
  }
  return name.ToUtf8();
}

std::vector<BYTE> TakeNativePicture(void* block, std::size_t size) {
  if (!block) return {};
  std::vector<BYTE> bytes;
  // A header, a full colour table and the largest image a DIB may claim.
  constexpr std::size_t kMost = tvn::dib::kInfoHeaderSize + 4 * tvn::dib::kMaxColors + tvn::dib::kMaxImageBytes;
  if (size > 0 && size <= kMost) {
    const BYTE* data = static_cast<const BYTE*>(block);
    try {
      bytes.assign(data, data + size);
    } catch (const std::bad_alloc&) {
      bytes.clear();
    }
  }
  std::free(block);
  return bytes;
}

}  // namespace tvn::media
