// The options dialog (components with their sizes) and the terms dialog.
#pragma once

#include <vector>

#include "setuptools/setup/setup_dialogs.h"
#include "setuptools/setup/setup_wizard.h"

namespace setup {

// Template 30: one auto check box per component (at most 5) with its size in
// KB beside it and the total below. Continue takes the boxes' states into the
// components; Back and Exit leave them as they were.
class COptionsDlg : public CSetupDlg {
 public:
  COptionsDlg(const SetupDialogContext& context, CString heading, std::vector<SetupComponent>& components);

  // Shows each checked component's size ÷ 1000 and their sum (each value
  // truncated before summing); unchecked ones show 0.
  void Recalculate();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnDialogCommand(UINT id, WORD code) override;

 private:
  int Count() const;
  // Spreads the used check boxes and their sizes evenly between the first
  // box's top and the last used box's bottom (two or more components).
  void LayOut();

  CString m_heading;
  std::vector<SetupComponent>& m_components;
};

// Template 401: the terms in the read-only edit 1006; Accept 1, Back 402,
// Exit after the question 2.
class CTermsDlg : public CSetupDlg {
 public:
  CTermsDlg(const SetupDialogContext& context, CString text);

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CString m_text;
};

}  // namespace setup
