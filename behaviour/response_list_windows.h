// CResponseListBox and CResponseComboBox: the list-box response's controls,
// which pass the learner's keys and clicks on to the presentation view.
#pragma once

#include "model/list_text_control.h"
#include "platform/user/combo_box.h"
#include "platform/user/list_box.h"

class CListBoxResponse;

// Both hand keys to the view after their own handling (F10 alone, and other
// system keys marked with bit 0x1000 of their key flags, as plain key
// downs), and left clicks after theirs, at the same place in the view's
// coordinates. Their colours are the owner's.
template <class Control>
class TResponseListWindow : public Control, public IListTextControl {
 public:
  explicit TResponseListWindow(CListBoxResponse& owner) : m_owner(owner) {}

  LRESULT SendIndexMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    return this->SendMessage(message, wParam, lParam);
  }
  LRESULT SendTextMessage(UINT message, WPARAM wParam, const CString& text) override {
    return this->SendMessage(message, wParam, reinterpret_cast<LPARAM>(&text));
  }
  int MeasureText(const CString& text) override { return Control::MeasureText(text); }

 protected:
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  BOOL CtlColor(ControlColours& colours) override;

 private:
  // The message, with its point moved into the view's coordinates.
  void PassClick(UINT message, UINT flags, CPoint point);

  CListBoxResponse& m_owner;
};

using CResponseListBox = TResponseListWindow<CListBox>;
using CResponseComboBox = TResponseListWindow<CComboBox>;
