// CCopyProgressDlg: the modeless copying dialog (400) with the two name fields, the gauge and Cancel.
#pragma once

#include <cstdint>

#include "setuptools/setup/setup_dialogs.h"

class CProgressGauge;
class CWindowClasses;

namespace setup {

// Registers "ProgressGaugeClass" and "NoFlickerTextClass" (arrow and no
// cursor) with the loop's window classes.
void RegisterSetupWindowClasses(CWindowClasses& classes);

class CCopyProgressDlg : public CSetupDlg {
 public:
  explicit CCopyProgressDlg(const SetupDialogContext& context);

  // Modeless over the background window, shown.
  BOOL Create();
  // Sets the text of name field 103 or 4004 and repaints it; nothing for another id.
  void SetItemText(UINT id, const CString& text);
  // Forwarded to the gauge 401 when there is one.
  void SetRange(std::int32_t range);
  void SetPos(std::int32_t position);
  void Step(std::int32_t by);
  // Cancel was confirmed: the copy loop stops at its next look.
  bool IsCancelled() const { return m_cancelled; }

 protected:
  // Cancel (button 2 or Escape) asks the background window's exit question;
  // Yes hides the dialog and cancels the copy, No changes nothing.
  void OnCancel() override;

 private:
  CProgressGauge* Gauge() const;
  bool m_cancelled = false;
};

}  // namespace setup
