// CListBoxResponse: a list box or drop-down list on the page, filled from an
// authored text and bound to a variable that takes the learner's choice when the task ends.
#pragma once

#include <memory>

#include "behaviour/form_field_response.h"
#include "behaviour/response_list_windows.h"

namespace ListOption {
constexpr DWORD kListBox = 0x1;
constexpr DWORD kDropDown = 0x2;  // used when kListBox is clear
constexpr DWORD kSorted = 0x4;
constexpr DWORD kMultiple = 0x8;  // list box only
constexpr DWORD kBorder = 0x10;
constexpr DWORD kVScroll = 0x20;
constexpr DWORD kHScroll = 0x8000;  // a list box also gets a horizontal extent
constexpr DWORD kDefault = 0x11;
}  // namespace ListOption

// Control ids of the two windows on the presentation view.
namespace ListControlId {
constexpr UINT kDropDown = 927;
constexpr UINT kListBox = 928;
}  // namespace ListControlId

// On disk (schema 2): variable id, options, text and back colours, items,
// selection, separator, the font, then the display response.
class CListBoxResponse : public CFormFieldResponse {
  DECLARE_SERIAL(CListBoxResponse)

 public:
  CListBoxResponse() : CFormFieldResponse(ResponseKind::kListBox, 0, 0xFFFFFF) {}
  // A copy owns no windows.
  CListBoxResponse(const CListBoxResponse& other);
  ~CListBoxResponse() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0x143; }
  // On the screen the control is shown and placed; on a printer a picture of it is drawn.
  void Draw(CDC* dc, int code, const CRect* rect) override;
  void Unload() override;
  CWnd* GetControlWnd() override;
  BOOL Activate() override;
  // Stores the choice into the bound variable; 0 always.
  int ExecuteResponse(int* target) override;
  void UpdateFromControl() override { ExecuteResponse(nullptr); }

  BOOL SetBackColour(COLORREF colour);
  CResponseListBox* GetListBox() const { return m_pList.get(); }
  CResponseComboBox* GetComboBox() const { return m_pCombo.get(); }

  DWORD m_dwOptions = ListOption::kDefault;
  CString m_strItems;
  CString m_strSelection;
  CString m_strSeparator;
  DWORD m_dwVariableId = 0;

 protected:
  // The open control takes the new font and colours at once.
  void FontChanged() override;

 private:
  bool IsListBox() const { return (m_dwOptions & ListOption::kListBox) != 0; }
  bool IsDropDown() const { return !IsListBox() && (m_dwOptions & ListOption::kDropDown) != 0; }
  bool IsMultiple() const { return IsListBox() && (m_dwOptions & ListOption::kMultiple) != 0; }
  BOOL CreateControl(COffScreenView& page, const CRect& pageRect);
  void Fill();
  void DrawPicture(CDC* dc, const CRect& rect);

  std::unique_ptr<CResponseComboBox> m_pCombo;
  std::unique_ptr<CResponseListBox> m_pList;
};
