// The version resource of Windows program files (PE, 32 and 64 bit).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tvn::sys {

struct VersionResource {
  std::string translationKey;  // "%04x%04x" of the first language and code page; empty when none
  std::string fileVersion;     // "FileVersion" of that language's string table (UTF-8); empty when none
  // dwFileType of the fixed file information (1 application, 2 library, ...);
  // empty when the resource has none or its signature is wrong.
  std::optional<std::uint32_t> fileType;
};

// The version resource of a PE image held in memory; nothing for anything
// that is not a PE image with one. Every offset is checked against the bytes.
std::optional<VersionResource> ParseVersionResource(std::string_view image);

// The version resource of a file; nothing for a file without one, a file
// that is no Windows program, or one that cannot be read.
std::optional<VersionResource> GetFileVersionResource(const std::filesystem::path& file);

// The "FileVersion" text of a file; empty for a file without a version
// resource, a file that is no Windows program, or one that cannot be read.
std::string GetFileVersionString(const std::filesystem::path& file);

}  // namespace tvn::sys
