// Scripted dialogs and a recording status line for the rich-text editor's tests.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/rtf_editor_services.h"

namespace tvn::testing {

class ScriptedEditorDialogs : public IRtfEditorDialogs {
 public:
  BOOL ChooseFont(CWnd*, CHARFORMAT& format) override { return font ? font(format) : FALSE; }
  BOOL ChooseColour(CWnd*, COLORREF& value) override {
    colourAskedWith.push_back(value);
    if (!colour) return FALSE;
    value = *colour;
    return TRUE;
  }
  BOOL EditParagraph(CWnd*, PARAFORMAT& format) override { return paragraph ? paragraph(format) : FALSE; }
  void AskFind(CWnd*, FindRequest& request) override {
    findRequests.push_back(request);
    if (finds.empty()) {
      request.action = FindRequest::Action::cancel;
      return;
    }
    request = finds.front();
    finds.pop_front();
  }
  // Records the items as text ("-" a separator, "name >" a popup) and the
  // colour popup's ids; answers from the script, else nothing.
  UINT TrackPopupMenu(HMENU popup, CPoint, CWnd*) override {
    std::vector<std::string> items;
    for (const MenuData::Item& item : popup->items) {
      if (item.flags & MF_SEPARATOR) {
        items.push_back("-");
      } else if (item.popup) {
        items.push_back(item.text.str() + " >");
        colourIds.clear();
        for (const MenuData::Item& colour : item.popup->items) colourIds.push_back(colour.id);
      } else {
        items.push_back(item.text.str());
      }
    }
    menus.push_back(items);
    if (menuAnswers.empty()) return 0;
    const UINT answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer;
  }

  std::function<BOOL(CHARFORMAT&)> font;
  std::optional<COLORREF> colour;
  std::vector<COLORREF> colourAskedWith;
  std::function<BOOL(PARAFORMAT&)> paragraph;
  std::deque<FindRequest> finds;
  std::vector<FindRequest> findRequests;
  std::vector<std::vector<std::string>> menus;
  std::vector<UINT> colourIds;
  std::deque<UINT> menuAnswers;
};

class RecordingEditorStatus : public IEditorStatus {
 public:
  void ShowStatusText(const CString& text) override { texts.push_back(text.str()); }
  void ShowIdleStatus() override { texts.push_back("(idle)"); }
  std::vector<std::string> texts;
};

}  // namespace tvn::testing
