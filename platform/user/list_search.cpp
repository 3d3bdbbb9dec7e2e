// Sorting and finding entries of list and combo boxes.
#include "platform/user/list_search.h"

#include "platform/base/codepage.h"

namespace tvn::controls {

int SortedPosition(int count, const std::function<CString(int)>& entryAt, const CString& text) {
  int low = 0;
  int high = count;
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (codepage::CompareNoCase(entryAt(mid).view(), text.view()) <= 0) low = mid + 1;
    else high = mid;
  }
  return low;
}

int FindEntry(int count, const std::function<CString(int)>& entryAt, int startAfter, const CString& text, bool exact) {
  if (count <= 0) return -1;
  if (startAfter < -1 || startAfter >= count) startAfter = -1;
  const std::string_view wanted = text.view();
  for (int step = 1; step <= count; ++step) {
    const int i = (startAfter + step) % count;
    const CString entry = entryAt(i);
    const std::string_view have = entry.view();
    if (exact) {
      if (codepage::CompareNoCase(have, wanted) == 0) return i;
    } else if (have.size() >= wanted.size() && codepage::CompareNoCase(have.substr(0, wanted.size()), wanted) == 0) {
      return i;
    }
  }
  return -1;
}

}  // namespace tvn::controls
