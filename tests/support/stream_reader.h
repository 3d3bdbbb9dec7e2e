// An archive over a copy of written bytes, for tests that read back what a builder wrote.
#pragma once

#include <cstdint>
#include <vector>

#include "model/archive.h"

namespace tvn::testing {

struct StreamReader {
  StreamReader(const std::vector<std::uint8_t>& bytes, int version) : data(bytes), file(data.data(), data.size()), ar(file) {
    ar.SetCourseVersion(version);
  }
  std::vector<std::uint8_t> data;
  CMemFile file;
  CArchive ar;
};

}  // namespace tvn::testing
