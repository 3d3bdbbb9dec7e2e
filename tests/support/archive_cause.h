// What an archive failed with, for tests that expect it to fail.
#pragma once

#include <functional>

#include "model/archive.h"

namespace tvn::testing {

// The cause of the archive exception fn throws; -1 when it throws none.
inline int ArchiveCauseOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return -1;
}

}  // namespace tvn::testing
