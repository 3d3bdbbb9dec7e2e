// A menu for tests that records what course menu items build and set in it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/menu_handle.h"

namespace tvn::testing {

class RecordingMenu : public IMenuHandle {
 public:
  struct Entry {
    enum Kind { kItem, kSeparator, kPopup } kind;
    UINT id = 0;
    std::string caption;
    bool greyed = false;
    bool checked = false;
    std::unique_ptr<RecordingMenu> popup;
  };

  void AppendItem(UINT commandId, const CString& caption) override {
    entries.push_back({Entry::kItem, commandId, caption.str(), false, false, nullptr});
  }
  void AppendSeparator() override { entries.push_back({Entry::kSeparator, 0, "", false, false, nullptr}); }
  IMenuHandle* AppendPopup(const CString& caption) override {
    entries.push_back({Entry::kPopup, 0, caption.str(), false, false, std::make_unique<RecordingMenu>()});
    return entries.back().popup.get();
  }
  IMenuHandle* GetSubMenu(int position) override {
    Entry* e = At(position);
    return e ? e->popup.get() : nullptr;
  }
  BOOL IsGreyed(int position) override { return At(position) && At(position)->greyed; }
  BOOL IsChecked(int position) override { return At(position) && At(position)->checked; }
  void SetGreyed(int position, BOOL greyed) override {
    ++stateChanges;
    if (Entry* e = At(position)) e->greyed = greyed;
  }
  void SetChecked(int position, BOOL checked) override {
    ++stateChanges;
    if (Entry* e = At(position)) e->checked = checked;
  }

  Entry* At(int position) {
    return position >= 0 && position < static_cast<int>(entries.size()) ? &entries[static_cast<std::size_t>(position)]
                                                                        : nullptr;
  }

  std::vector<Entry> entries;
  int stateChanges = 0;
};

}  // namespace tvn::testing
