// Emptying object lists whose entries their holder owns.
#pragma once

#include "platform/base/collections.h"

// Deletes every object of the list (null entries skipped), then empties it.
inline void DeleteObListContents(CObList& list) {
  for (CObject* obj : list) delete obj;
  list.RemoveAll();
}
