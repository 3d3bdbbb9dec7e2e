// What a data memory file needs of the pre-load cache: loaded blocks found by file name.
#pragma once

#include <cstddef>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CIconObject;
class CTask;

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

// What the pre-load cache's look-ahead needs of the course being played; the course document gives it.
class IPreloadCourse {
 public:
  virtual CTask* GetCurrentTask() = 0;
  // The task the response's outcome would lead to now, without moving the course.
  virtual CTask* TaskAfter(CIconObject* response) = 0;
  virtual CString FindMediaFile(const CString& name) = 0;

 protected:
  ~IPreloadCourse() = default;
};
