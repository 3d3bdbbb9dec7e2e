// uninstal's confirmation dialog off-screen, driven from its owner's idle turns: what it shows, and that only Yes answers yes.
#include "setuptools/uninstal/uninstall_dlg.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "platform/user/button.h"
#include "tests/platform/user/window_test_support.h"

namespace {

using Step = std::function<void(CDialog&)>;

class UninstallDlgTest : public WindowTest {
 protected:
  UninstallDlgTest() {
    owner = MakeWindow(CRect(0, 0, 800, 600));
    // Each idle turn of the dialog takes the next step; none left ends it with -2.
    owner->hook = [this](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
      if (message != WM_ENTERIDLE) return std::nullopt;
      auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
      if (!dialog) return 0;
      if (steps.empty()) {
        ADD_FAILURE() << "no step left";
        dialog->EndDialog(-2);
        return 0;
      }
      Step step = std::move(steps.front());
      steps.pop_front();
      step(*dialog);
      return 0;
    };
  }
  // The question's answer when the dialog gets this one step.
  bool Answer(Step step) {
    steps = {std::move(step)};
    CUninstallDlgQuestion question(owner.get());
    const bool yes = question.Confirm("Demo Uninstall", "The 'Demo' installation will be removed.");
    EXPECT_TRUE(steps.empty());
    return yes;
  }

  std::unique_ptr<CRecordingWnd> owner;
  std::deque<Step> steps;
};

void Click(CDialog& d, UINT id) { d.PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED), 0); }
void Key(CDialog& d, UINT vk) {
  CWnd* focus = CWnd::GetFocus();
  CWnd* target = focus && (focus == &d || d.IsChild(focus)) ? focus : &d;
  target->PostMessage(WM_KEYDOWN, vk, 1);
}
std::string Item(CDialog& d, UINT id) { return d.GetDlgItemText(static_cast<int>(id)).str(); }

TEST_F(UninstallDlgTest, ShowsTheLogsTextUnderTheCaptionAndOnlyYesAnswersYes) {
  EXPECT_TRUE(Answer([](CDialog& d) {
    EXPECT_EQ(d.GetWindowText().str(), "Demo Uninstall");
    EXPECT_EQ(Item(d, 102), "The 'Demo' installation will be removed.");
    EXPECT_EQ(Item(d, 103), "Are you sure you want to continue ?");
    EXPECT_EQ(Item(d, IDOK) + "|" + Item(d, IDCANCEL), "&Yes|&No");
    CRect client;
    d.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 238 * 6 / 4);
    EXPECT_EQ(client.Height(), 90 * 13 / 8);
    // No is the default and holds the focus, so Enter cannot reach Yes.
    EXPECT_EQ(d.GetDefID(), static_cast<UINT>(IDCANCEL));
    EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(IDCANCEL));
    Click(d, IDOK);
  }));
  EXPECT_FALSE(Answer([](CDialog& d) { Click(d, IDCANCEL); }));
  EXPECT_FALSE(Answer([](CDialog& d) { Key(d, VK_RETURN); }));
  EXPECT_FALSE(Answer([](CDialog& d) { Key(d, VK_ESCAPE); }));
  EXPECT_FALSE(Answer([](CDialog& d) { d.PostMessage(WM_CLOSE); }));
}

TEST_F(UninstallDlgTest, AnAmpersandInTheTextIsShownAsItIs) {
  steps = {[](CDialog& d) {
    EXPECT_EQ(Item(d, 102), "Tom & Jerry");
    Click(d, IDCANCEL);
  }};
  CUninstallDlg dialog("Cap", "Tom & Jerry", owner.get());
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

}  // namespace
