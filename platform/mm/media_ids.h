// The one counter of media ids: MCI devices, clip players, sound handles and frame players draw from it.
#pragma once

#include <atomic>

#include "platform/base/win_types.h"

// An id is the lParam of every media notice (953), so two media never share
// one and none is ever 0 (the MCI response refuses a notice with lParam 0).
class CMediaIds {
 public:
  DWORD Next() {
    DWORD id = m_last.fetch_add(1) + 1;
    while (id == 0) id = m_last.fetch_add(1) + 1;  // after four billion ids: skip 0
    return id;
  }

 private:
  std::atomic<DWORD> m_last{0};
};
