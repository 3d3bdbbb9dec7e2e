// The copying dialog: its controls' window classes, the name fields, the gauge and Cancel.
#include "setuptools/setup/copy_progress_dlg.h"

#include "platform/user/cursor.h"
#include "platform/user/message_box_types.h"
#include "platform/user/window_classes.h"
#include "setuptools/setup/main_frame.h"
#include "setuptools/setup/no_flicker_text.h"
#include "setuptools/setup/progress_gauge.h"

namespace setup {

void RegisterSetupWindowClasses(CWindowClasses& classes) {
  classes.Register(kProgressGaugeClass, []() -> std::unique_ptr<CWnd> {
    auto gauge = std::make_unique<CProgressGauge>();
    gauge->SetClassCursor(LoadCursor(nullptr, IDC_ARROW));
    return gauge;
  });
  classes.Register(kNoFlickerTextClass, []() -> std::unique_ptr<CWnd> {
    auto text = std::make_unique<CNoFlickerText>();
    text->SetClassCursor(nullptr);
    return text;
  });
}

CCopyProgressDlg::CCopyProgressDlg(const SetupDialogContext& context) : CSetupDlg(kCopyingTemplate, context) {}

BOOL CCopyProgressDlg::Create() { return CDialog::Create(Context().owner); }

void CCopyProgressDlg::SetItemText(UINT id, const CString& text) {
  if (auto* field = dynamic_cast<CNoFlickerText*>(GetDlgItem(static_cast<int>(id)))) field->SetText(text);
}

CProgressGauge* CCopyProgressDlg::Gauge() const {
  return dynamic_cast<CProgressGauge*>(GetDlgItem(static_cast<int>(kGaugeId)));
}

void CCopyProgressDlg::SetRange(std::int32_t range) {
  if (CProgressGauge* gauge = Gauge()) gauge->SetRange(range);
}

void CCopyProgressDlg::SetPos(std::int32_t position) {
  if (CProgressGauge* gauge = Gauge()) gauge->SetPos(position);
}

void CCopyProgressDlg::Step(std::int32_t by) {
  if (CProgressGauge* gauge = Gauge()) gauge->Step(by);
}

void CCopyProgressDlg::OnCancel() {
  CWnd* owner = Context().owner;
  if (!owner || !owner->GetSafeHwnd() || !owner->SendMessage(WM_SETUP_ASK_EXIT)) return;
  m_cancelled = true;
  EndDialog(IDCANCEL);
}

}  // namespace setup
