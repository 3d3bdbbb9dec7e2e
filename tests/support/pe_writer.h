// Writes small Windows program images (PE) with a version resource, for the version reader's tests.
#pragma once

#include <cstdint>
#include <string>

namespace tvn::testing {

struct PeImageOptions {
  bool bits64 = false;
  bool withVersion = true;
  std::string fileVersion = "1.0.0.0";  // ASCII
  std::uint16_t language = 0x0409;
  std::uint16_t codePage = 0x04B0;
  // The string table's key; empty: the translation's own "%04x%04x".
  std::string stringTableKey;
  // dwFileType of the fixed file information (1 application, 2 library).
  std::uint32_t fileType = 0;
};

std::string BuildPeImage(const PeImageOptions& options);

}  // namespace tvn::testing
