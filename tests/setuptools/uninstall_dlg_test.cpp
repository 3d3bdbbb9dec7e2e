// uninstal's confirmation dialog off-screen, driven from its owner's idle turns: what it shows, and that only Yes answers yes.
#include "setuptools/uninstal/uninstall_dlg.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <deque>
#include <fstream>
#include <functional>

#include "platform/user/button.h"
#include "platform/user/child_control.h"
#include "setuptools/uninstal/removal_file_system.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/setuptools/recording_progman.h"
#include "tests/setuptools/setup_test_env.h"

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

// The darkest pixel of a widget as shown, by the sum of its channels.
QColor Darkest(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  QColor darkest(255, 255, 255);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() + c.green() + c.blue() < darkest.red() + darkest.green() + darkest.blue()) darkest = c;
    }
  return darkest;
}

TEST_F(UninstallDlgTest, TheProgramsDialogIsLightGreyWithBlackText) {
  tvn::testing::SetupHome home;
  tvn::testing::TempDir module;
  std::ofstream(module / "UNINSTAL.INF") << "[dialog]\r\ncaption = \"Demo\"\r\ntext1 = \"Demo will be removed.\"\r\n";
  tvn::testing::ScriptedBoxes boxes;
  CUninstallDlgQuestion question(owner.get());
  CHostRemovalFileSystem files;
  tvn::testing::RecordingProgman progman;
  CUninstallApp app({boxes, question, files, progman}, module.path(), {});
  QColor face, text, darkest;
  steps = {[&](CDialog& d) {
    face = d.GetWidget()->grab().toImage().pixelColor(2, 2);
    QWidget* label = static_cast<CChildControl*>(d.GetDlgItem(CUninstallDlg::kTextId))->GetControlWidget();
    ASSERT_NE(label, nullptr);
    text = label->palette().color(QPalette::WindowText);
    darkest = Darkest(label);
    Click(d, IDCANCEL);
  }};
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(face, QColor(192, 192, 192));
  EXPECT_EQ(text, QColor(0, 0, 0));
  EXPECT_LT(darkest.red() + darkest.green() + darkest.blue(), 120) << darkest.name().toStdString();
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
