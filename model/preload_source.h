// What a data memory file needs of the pre-load cache: loaded blocks found by file name.
#pragma once

#include <cstddef>

#include "platform/cstring.h"
#include "platform/win_types.h"

// One loaded block of the cache.
class IPreloadBlock {
 public:
  virtual ~IPreloadBlock() = default;
  // While in use the cache neither evicts nor frees the block.
  virtual void SetInUse(bool inUse) = 0;
  // The block's bytes, kept in place until UnlockData.
  virtual const BYTE* LockData() = 0;
  virtual void UnlockData() = 0;
  virtual std::size_t GetDataSize() const = 0;
};

class IPreloadCache {
 public:
  virtual ~IPreloadCache() = default;
  // The loaded block of a file name (compared without regard to case), or null.
  virtual IPreloadBlock* FindImage(const CString& name) = 0;
};
