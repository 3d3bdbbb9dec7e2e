// setup's dialogs off-screen, driven through messages from the background window's idle turns: the exit question, Back and the copy error's results, the options' sizes and layout, the copying dialog's Cancel, the timed message on the hand-driven clock, and a whole wizard run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <deque>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/base/program_text.h"
#include "platform/user/button.h"
#include "platform/user/edit.h"
#include "setuptools/setup/dialog_wizard.h"
#include "setuptools/setup/main_frame.h"
#include "setuptools/setup/no_flicker_text.h"
#include "setuptools/setup/options_dialogs.h"
#include "setuptools/setup/progress_gauge.h"
#include "setuptools/setup/setup_app.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/setuptools/setup_test_env.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::TempDir;
using Step = std::function<void(CDialog&)>;

// The background window; each idle turn of a modal dialog takes the next
// scripted step. Running out of steps ends the dialog with -2.
class CDrivenFrame : public setup::CMainFrame {
 public:
  explicit CDrivenFrame(std::function<bool()> askExit) : CMainFrame(CString(), [] {}, std::move(askExit)) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_ENTERIDLE) return CMainFrame::WindowProc(message, wParam, lParam);
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
    if (!dialog) return 0;
    if (steps.empty()) {
      ADD_FAILURE() << "no step left for dialog " << dialog->GetWindowText().str();
      dialog->EndDialog(-2);
      return 0;
    }
    Step step = std::move(steps.front());
    steps.pop_front();
    step(*dialog);
    return 0;
  }
  std::deque<Step> steps;
};

void Click(CDialog& d, UINT id) { d.PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED), 0); }
void Key(CDialog& d, UINT vk) {
  CWnd* focus = CWnd::GetFocus();
  CWnd* target = focus && (focus == &d || d.IsChild(focus)) ? focus : &d;
  target->PostMessage(WM_KEYDOWN, vk, 1);
}
// The texts of a dialog's controls as shown.
std::string Item(CDialog& d, UINT id) { return d.GetDlgItemText(static_cast<int>(id)).str(); }

class SetupDialogsTest : public WindowTest {
 protected:
  SetupDialogsTest() {
    setup::RegisterSetupWindowClasses(loop->WindowClasses());
    const CRect area(0, 0, 800, 600);
    EXPECT_TRUE(frame.CreateFrame(true, &area));
  }
  setup::SetupDialogContext Context() { return {services, CString("Demo Setup"), &frame}; }
  std::string Texts() {
    std::string out;
    for (const auto& box : boxes.shown) out += box.text + "|";
    return out;
  }

  tvn::testing::SetupHome home;  // before the services: their drive table is read from it
  TempDir module;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
  CDrivenFrame frame{[this] { return services.SetupMessage(SetupString::kExitQuestion, MB_YESNO | MB_ICONHAND) == IDYES; }};
};

constexpr const char* kExitText = "Application installation is not yet complete.\nAre you sure you want to exit?";

TEST_F(SetupDialogsTest, ExitEscapeAndTheCloseBoxAskFirstAndBackAndContinueEndAtOnce) {
  // Startup: the texts, the caption, the size in dialog units; Escape answered
  // No stays, the close box answered Yes gives 2.
  boxes.answers = {IDNO, IDYES};
  setup::CStartupDlg startup(Context(), "First text & more", "Second");
  frame.steps = {[&](CDialog& d) {
                   CRect client;
                   d.GetClientRect(&client);
                   EXPECT_EQ(client.Width(), 200 * 6 / 4);
                   EXPECT_EQ(client.Height(), 93 * 13 / 8);
                   EXPECT_EQ(d.GetWindowText().str(), "Demo Setup");
                   EXPECT_EQ(Item(d, 102), "First text & more");
                   EXPECT_EQ(Item(d, 103), "Second");
                   EXPECT_FALSE(frame.IsWindowEnabled());
                   Key(d, VK_ESCAPE);
                 },
                 [&](CDialog& d) {
                   EXPECT_EQ(Texts(), std::string(kExitText) + "|");
                   EXPECT_TRUE(boxes.shown[0].type & MB_YESNO);
                   d.PostMessage(WM_CLOSE);
                 }};
  EXPECT_EQ(startup.DoModal(), 2);
  EXPECT_TRUE(frame.IsWindowEnabled());
  EXPECT_EQ(boxes.shown.size(), 2u);

  // Enter takes the default button without a question.
  boxes.shown.clear();
  setup::CStartupDlg again(Context(), "", "");
  frame.steps = {[&](CDialog& d) { Key(d, VK_RETURN); }};
  EXPECT_EQ(again.DoModal(), 1);
  EXPECT_TRUE(boxes.shown.empty());

  // Directory: Back keeps the folder.
  setup::CDirectoryDlg back(Context(), "/home/u/PRODUCT");
  frame.steps = {[&](CDialog& d) { Click(d, setup::kBackId); }};
  EXPECT_EQ(back.DoModal(), 402);
  EXPECT_EQ(back.Directory().str(), "/home/u/PRODUCT");
}

TEST_F(SetupDialogsTest, TheEditsCarryTheFoldersOnlyOnContinueAndShowTheTermsReadOnly) {
  auto setText = [](CDialog& d, UINT id, const char* text) {
    const CString value(text);
    d.GetDlgItem(static_cast<int>(id))->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&value));
  };
  // Directory: the edited folder comes back only with Continue.
  setup::CDirectoryDlg directory(Context(), "/home/u/PRODUCT");
  frame.steps = {[&](CDialog& d) {
    ASSERT_NE(dynamic_cast<CEdit*>(d.GetDlgItem(200)), nullptr);
    EXPECT_EQ(Item(d, 200), "/home/u/PRODUCT");
    EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(200));  // the first tab stop
    setText(d, 200, "/home/u/OTHER");
    Key(d, VK_RETURN);  // Enter in the field is Continue
  }};
  EXPECT_EQ(directory.DoModal(), 1);
  EXPECT_EQ(directory.Directory().str(), "/home/u/OTHER");

  // Disk prompt: a beep, the prompt and the source folder; OK takes the edited folder, Cancel asks first.
  setup::CDiskPromptDlg disk(Context(), "Disk two", "/media/cd");
  frame.steps = {[&](CDialog& d) {
    EXPECT_EQ(Item(d, 102) + "|" + Item(d, 200), "Disk two|/media/cd");
    setText(d, 200, "/media/cd2");
    Click(d, IDOK);
  }};
  EXPECT_EQ(disk.DoModal(), 1);
  EXPECT_EQ(disk.SourceDirectory().str(), "/media/cd2");
  EXPECT_EQ(dialogs->beeps.size(), 1u);
  boxes.answers = {IDYES};
  setup::CDiskPromptDlg cancelled(Context(), "Disk two", "/media/cd");
  frame.steps = {[&](CDialog& d) { Click(d, IDCANCEL); }};
  EXPECT_EQ(cancelled.DoModal(), 2);
  EXPECT_EQ(Texts(), std::string(kExitText) + "|");

  // Terms: read-only, several lines with a vertical scroll bar; Back gives 402.
  setup::CTermsDlg terms(Context(), "Line one\r\nLine two");
  frame.steps = {[&](CDialog& d) {
    auto* edit = dynamic_cast<CEdit*>(d.GetDlgItem(static_cast<int>(setup::kTermsEditId)));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Item(d, setup::kTermsEditId), "Line one\r\nLine two");
    EXPECT_TRUE(edit->GetStyle() & ES_READONLY);
    EXPECT_TRUE((edit->GetStyle() & (ES_MULTILINE | WS_VSCROLL)) == (ES_MULTILINE | WS_VSCROLL));
    EXPECT_EQ(edit->SendMessage(EM_GETLINECOUNT), 2);
    Click(d, setup::kBackId);
  }};
  EXPECT_EQ(terms.DoModal(), 402);
}

TEST_F(SetupDialogsTest, TheCopyErrorDialogGivesRetry4Ignore5Exit3AndEscapeWithYes2) {
  struct Row {
    std::function<void(CDialog&)> act;
    int result;
  } rows[] = {{[](CDialog& d) { Key(d, VK_RETURN); }, 4},  // Retry is the default
              {[](CDialog& d) { Click(d, 6); }, 5},
              {[](CDialog& d) { Click(d, 4); }, 3},
              {[](CDialog& d) { Key(d, VK_ESCAPE); }, 2}};
  boxes.answers = {IDYES};
  for (const Row& row : rows) {
    setup::CCopyErrorDlg dialog(Context(), "Cannot copy\nA.TXT");
    frame.steps = {[&](CDialog& d) {
      EXPECT_EQ(d.GetWindowText().str(), "Demo Setup");
      EXPECT_EQ(Item(d, 102), "Cannot copy\nA.TXT");
      row.act(d);
    }};
    EXPECT_EQ(dialog.DoModal(), row.result);
  }
  // Only Escape asked the question.
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(SetupDialogsTest, TheTimedMessageClosesItselfAfterItsSecondsAndEscapeNeedsNoQuestion) {
  setup::CMessageDlg timed(CString("Application installation complete."), CString(), 3, &frame);
  frame.steps = {[&](CDialog& d) {
                   EXPECT_EQ(d.GetWindowText().str(), "Install Application");
                   EXPECT_EQ(Item(d, setup::kMessageTextId), "Application installation complete.");
                   EXPECT_FALSE(frame.IsWindowEnabled());
                   clock.Advance(2999);
                 },
                 [&](CDialog& d) {
                   EXPECT_FALSE(d.IsEnded());  // not yet
                   clock.Advance(1);
                 }};
  EXPECT_EQ(timed.DoModal(), 1);
  EXPECT_TRUE(frame.IsWindowEnabled());
  EXPECT_TRUE(frame.steps.empty());

  frame.steps = {[&](CDialog& d) { Key(d, VK_ESCAPE); }};
  EXPECT_EQ(setup::ShowTimedMessage("Note", 0, &frame, "Own caption"), 2);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(frame.IsWindowEnabled());
}

TEST_F(SetupDialogsTest, OptionsShowKilobytesTruncatedHideUnusedRowsAndTakeTheBoxesOnlyOnContinue) {
  auto box = [](CDialog& d, int i) { return dynamic_cast<CButton*>(d.GetDlgItem(300 + i)); };
  auto top = [&](CDialog& d, UINT id) {
    CRect r;
    d.GetDlgItem(static_cast<int>(id))->GetWindowRect(&r);
    d.ScreenToClient(&r);
    return r.top;
  };
  // Samples checked at 2500 shows 2; unchecking shows 0 and the total drops by 2.
  std::vector<SetupComponent> components = {{"Samples", "SAMPLES", 2500, true}, {"Help", "HELP", 1999, true},
                                            {"Extra", "EXTRA", 1999, false}};
  setup::COptionsDlg options(Context(), "Choose the parts", components);
  frame.steps = {[&](CDialog& d) {
                   EXPECT_EQ(Item(d, 102), "Choose the parts");
                   EXPECT_EQ(Item(d, 300), "Samples");
                   EXPECT_EQ(box(d, 0)->GetCheck(), 1);
                   EXPECT_EQ(box(d, 2)->GetCheck(), 0);
                   EXPECT_EQ(Item(d, 310) + Item(d, 311) + Item(d, 312) + "/" + Item(d, 315), "210/3");
                   for (int i : {3, 4}) {
                     EXPECT_FALSE(d.GetDlgItem(300 + i)->IsWindowVisible()) << i;
                     EXPECT_FALSE(d.GetDlgItem(310 + i)->IsWindowVisible()) << i;
                   }
                   // Three rows spread evenly from the first box's top to the last used box's bottom.
                   EXPECT_EQ(top(d, 301) - top(d, 300), top(d, 302) - top(d, 301));
                   EXPECT_EQ(top(d, 311), top(d, 301));
                   box(d, 0)->SendMessage(BM_CLICK);  // through Qt: the box toggles and tells the dialog
                 },
                 [&](CDialog& d) {
                   EXPECT_EQ(Item(d, 310) + "/" + Item(d, 315), "0/1");
                   Click(d, setup::kBackId);
                 }};
  EXPECT_EQ(options.DoModal(), 402);
  EXPECT_TRUE(components[0].selected);  // Back leaves them

  // Sizes 1999 and 1999 give 1 and 1, total 2; Continue takes the unchecked box.
  components.erase(components.begin());
  components[1].selected = true;
  setup::COptionsDlg two(Context(), "", components);
  frame.steps = {[&](CDialog& d) {
                   EXPECT_EQ(Item(d, 310) + Item(d, 311) + "/" + Item(d, 315), "11/2");
                   for (int i : {2, 3, 4}) EXPECT_FALSE(d.GetDlgItem(300 + i)->IsWindowVisible()) << i;
                   box(d, 1)->SendMessage(BM_CLICK);
                 },
                 [&](CDialog& d) { Key(d, VK_RETURN); }};
  EXPECT_EQ(two.DoModal(), 1);
  EXPECT_TRUE(components[0].selected);
  EXPECT_FALSE(components[1].selected);

  // One component keeps the template's place; a negative size shows 0.
  std::vector<SetupComponent> one = {{"Only", "ONLY", -5000, true}};
  setup::COptionsDlg single(Context(), "", one);
  frame.steps = {[&](CDialog& d) {
    EXPECT_EQ(top(d, 300), DialogUnitsToPixels(38, 50, 124, 10).top);
    EXPECT_EQ(Item(d, 310) + "/" + Item(d, 315), "0/0");
    Click(d, IDOK);
  }};
  EXPECT_EQ(single.DoModal(), 1);
}

TEST_F(SetupDialogsTest, TheCopyingDialogStepsItsGaugeAndCancelAsksBeforeItStopsTheCopy) {
  setup::CDialogWizard wizard(services, CInfReader(), &frame);
  wizard.ShowCopying();
  setup::CCopyProgressDlg* copying = wizard.CopyingDialog();
  ASSERT_NE(copying, nullptr);
  EXPECT_TRUE(copying->IsWindowVisible());
  wizard.SetGaugeRange(7);
  for (int i = 0; i < 3; ++i) wizard.StepGauge();
  auto* gauge = dynamic_cast<CProgressGauge*>(copying->GetDlgItem(static_cast<int>(setup::kGaugeId)));
  ASSERT_NE(gauge, nullptr);
  EXPECT_EQ(gauge->Pos(), 3);
  EXPECT_EQ(gauge->PercentText().str(), " 42%");
  wizard.ShowNames("A:\\README.TXT", CString());
  wizard.ShowNames(CString(), "/HOME/U/PRODUCT/README.TXT");
  auto field = [&](UINT id) { return dynamic_cast<CNoFlickerText*>(copying->GetDlgItem(static_cast<int>(id)))->Text().str(); };
  // An empty name leaves its field as it was.
  EXPECT_EQ(field(setup::kCopyingFileId), "A:\\README.TXT");
  EXPECT_EQ(field(setup::kCopyingTargetId), "/HOME/U/PRODUCT/README.TXT");

  // Enter has no button to press; Cancel answered No: copying goes on; Escape answered Yes: hidden and stopped.
  copying->PostMessage(WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(wizard.DispatchPending());
  EXPECT_TRUE(copying->IsWindowVisible());
  boxes.answers = {IDNO, IDYES};
  copying->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(wizard.DispatchPending());
  EXPECT_FALSE(wizard.IsCopyCancelled());
  EXPECT_TRUE(copying->IsWindowVisible());
  copying->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(wizard.DispatchPending());
  EXPECT_TRUE(wizard.IsCopyCancelled());
  EXPECT_FALSE(copying->IsWindowVisible());
  EXPECT_EQ(Texts(), std::string(kExitText) + "|" + kExitText + "|");

  // F3 reaches the copy loop, not the dialog; a quit message ends the pump.
  copying->PostMessage(WM_KEYDOWN, 0x72, 1);
  EXPECT_TRUE(wizard.DispatchPending());
  EXPECT_TRUE(wizard.IsF3Pressed());
  EXPECT_FALSE(wizard.IsF3Pressed());
  loop->PostQuitMessage(0);
  EXPECT_FALSE(wizard.DispatchPending());
  wizard.CloseCopying();
  EXPECT_EQ(wizard.CopyingDialog(), nullptr);
}

// The wizard as setup runs it, with the gauge's end recorded before the copying dialog closes.
class CRecordingWizard : public setup::CDialogWizard {
 public:
  using CDialogWizard::CDialogWizard;
  void CloseCopying() override {
    if (auto* d = CopyingDialog()) {
      auto* gauge = dynamic_cast<CProgressGauge*>(d->GetDlgItem(static_cast<int>(setup::kGaugeId)));
      if (gauge) range = gauge->Range(), pos = gauge->Pos();
    }
    CDialogWizard::CloseCopying();
  }
  int range = -1, pos = -1;
};

TEST_F(SetupDialogsTest, AWizardRunWithBackAndAnUncheckedComponentInstallsTheChosenFilesAndEndsWith417) {
  const auto locations = home.Locations();
  fs::create_directories(locations.systemDir);
  TempDir source;
  for (const char* name : {"A.TXT", "S.TXT", "H.TXT"}) std::ofstream(source.path() / name) << name;
  CInfReader script;
  ASSERT_EQ(script.LoadBytes("[dialog]\ncaption = \"Demo\"\ntext1 = \"Welcome\"\n[disks]\n1 = \"Disk one\"\n"
                             "[data]\ndefdir = \"C:\\PRODUCT\"\nuninstall = TRUE\n"
                             "[custom.dialog]\ntext1 = \"Parts\"\ncombobox = Samples,checked,SAMPLES,2500\n"
                             "combobox = Help,checked,HELP,1000\n"
                             "[default.files]\n1:A.TXT, <defdir>\n[SAMPLES]\n1:S.TXT, <defdir>\n[HELP]\n1:H.TXT, <defdir>\n",
                             CInfReader::Encoding::kAnsi, false),
            0u);
  CUninstallLog log(services);
  CRecordingWizard wizard(services, script, &frame);
  CSetupApp app(services, script, log, wizard, CSetupApp::Setup{source.path(), {}, locations, {}});
  app.InitInstance();
  wizard.SetCaption(app.Caption());
  std::string shownDirectory;
  frame.steps = {
      [&](CDialog& d) {
        EXPECT_EQ(Item(d, 102), "Welcome");
        Click(d, IDOK);
      },
      [&](CDialog& d) {  // Options: uncheck Help
        EXPECT_EQ(Item(d, 315), "3");
        dynamic_cast<CButton*>(d.GetDlgItem(301))->SendMessage(BM_CLICK);
      },
      [&](CDialog& d) { Click(d, IDOK); },
      [&](CDialog& d) { Click(d, setup::kBackId); },  // Directory back to Options
      [&](CDialog& d) {
        EXPECT_EQ(Item(d, 315), "2");  // the unchecked box was taken
        Key(d, VK_RETURN);
      },
      [&](CDialog& d) { Key(d, VK_RETURN); },  // Directory: the proposed folder
      [&](CDialog& d) {                         // 417 for 3 s
        EXPECT_EQ(Item(d, setup::kMessageTextId), "Application installation complete.");
        EXPECT_EQ(d.GetWindowText().str(), "Install Application");
        clock.Advance(3000);
      }};
  EXPECT_EQ(app.RunInteractive(wizard), 0);
  EXPECT_TRUE(frame.steps.empty());
  EXPECT_EQ(wizard.range, 2);
  EXPECT_EQ(wizard.pos, 2);
  const fs::path product = locations.driveRoot / "PRODUCT";
  EXPECT_TRUE(fs::exists(product / "A.TXT"));
  EXPECT_TRUE(fs::exists(product / "S.TXT"));
  EXPECT_FALSE(fs::exists(product / "H.TXT"));
  EXPECT_TRUE(boxes.shown.empty()) << Texts();
}

// The Qt field of an edit control.
QLineEdit* Field(CDialog& d, UINT id) {
  auto* edit = dynamic_cast<CEdit*>(d.GetDlgItem(static_cast<int>(id)));
  return edit ? qobject_cast<QLineEdit*>(edit->GetControlWidget()) : nullptr;
}

// Typing into a Qt field as the keyboard does: one key event a character.
void Type(QLineEdit* field, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(field, &press);
  }
}

TEST_F(SetupDialogsTest, AFolderOfAnyNamePassesTheDirectoryAndDiskFieldsUnchanged) {
  // setup's texts are UTF-8 on the screen too, as the program chooses at start-up.
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kUtf8);
  const std::string city = "\xC5\x81\xC3\xB3\x64\xC5\xBA";  // Łódź
  tvn::testing::SetupHome cityHome(city);
  const auto locations = cityHome.Locations();
  fs::create_directories(locations.systemDir);
  const fs::path source = cityHome.path() / "medium";
  fs::create_directories(source);
  tvn::testing::ScriptedBoxes cityBoxes;
  TempDir cityModule;
  CSetupServices cityServices{SetupProgram::kSetup, cityBoxes, cityModule.path()};
  CInfReader script;
  ASSERT_EQ(script.LoadBytes("[dialog]\ncaption = \"Demo\"\n[disks]\n1 = \"Disk one\"\n"
                             "[data]\ndefdir = \"C:\\PRODUCT\"\nuninstall = TRUE\n[default.files]\n1:A.TXT, <defdir>\n",
                             CInfReader::Encoding::kAnsi, false),
            0u);
  CUninstallLog log(cityServices);
  CRecordingWizard wizard(cityServices, script, &frame);
  CSetupApp app(cityServices, script, log, wizard, CSetupApp::Setup{source, {}, locations, {}});
  app.InitInstance();
  wizard.SetCaption(app.Caption());
  const QString typed = QString::fromUtf8("C:\\Kursy\\") + QString::fromUtf8(city);
  frame.steps = {
      [&](CDialog& d) { Click(d, IDOK); },  // Startup
      [&](CDialog& d) {                     // Directory: the proposed folder under the home, then the typed one
        QLineEdit* field = Field(d, 200);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text().toStdString(), (locations.driveRoot / "PRODUCT").string());
        const CString empty;
        d.GetDlgItem(200)->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&empty));
        Type(field, typed);
      },
      [&](CDialog& d) {
        EXPECT_EQ(Field(d, 200)->text(), typed);
        EXPECT_EQ(Item(d, 200), typed.toStdString());
        Key(d, VK_RETURN);
      },
      [&](CDialog& d) {  // the disk prompt: the source folder as it is
        EXPECT_EQ(Item(d, 102), "Disk one");
        QLineEdit* field = Field(d, 200);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text().toStdString(), source.string());
        EXPECT_EQ(Item(d, 200), source.string());
        std::ofstream(source / "A.TXT") << "a";
        Click(d, IDOK);
      },
      [&](CDialog&) { clock.Advance(3000); }};  // 417
  EXPECT_EQ(app.RunInteractive(wizard), 0);
  EXPECT_TRUE(frame.steps.empty());
  const fs::path product = locations.driveRoot / "Kursy" / city;
  EXPECT_TRUE(fs::exists(product / "A.TXT"));
  std::ifstream in(product / "UNINSTAL.INF", std::ios::binary);
  const std::string logText{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(logText.find((product / "A.TXT").string()), std::string::npos) << logText;
  EXPECT_TRUE(cityBoxes.shown.empty());
}

}  // namespace
