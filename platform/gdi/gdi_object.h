// The common base of pens, brushes, fonts, bitmaps and regions.
#pragma once

#include "platform/base/win_types.h"

// A drawing object is "created" once one of its Create functions succeeded;
// a device context takes a copy of what it needs when the object is selected,
// so deleting an object that is still selected cannot leave the context
// pointing at freed memory.
class CGdiObject {
 public:
  enum class Kind { pen, brush, font, bitmap, region };

  virtual ~CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  virtual Kind GetKind() const = 0;
  bool IsCreated() const { return m_created; }
  // A non-null value while the object holds something, as callers test handles.
  const void* GetSafeHandle() const { return m_created ? this : nullptr; }
  virtual BOOL DeleteObject() {
    BOOL was = m_created ? TRUE : FALSE;
    m_created = false;
    return was;
  }

 protected:
  CGdiObject() = default;
  void SetCreated(bool created) { m_created = created; }

 private:
  bool m_created = false;
};
