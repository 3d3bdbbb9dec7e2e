// Message boxes, the file dialog and their Qt implementation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_dialogs.h"
#include "tests/platform/window_test_support.h"

TEST(Dialogs, ButtonSetsAndTheirCancelAnswers) {
  auto ok = ButtonsOfStyle(MB_OK | MB_ICONSTOP);
  EXPECT_EQ(ok.count, 1);
  EXPECT_EQ(ok.escapeResult, IDOK);
  auto ync = ButtonsOfStyle(MB_YESNOCANCEL);
  EXPECT_EQ(ync.count, 3);
  EXPECT_EQ(ync.buttons[0], IDYES);
  EXPECT_EQ(ync.escapeResult, IDCANCEL);
  EXPECT_EQ(ButtonsOfStyle(MB_YESNO).escapeResult, IDNO);
  EXPECT_EQ(ButtonsOfStyle(MB_RETRYCANCEL).buttons[0], IDRETRY);
  EXPECT_EQ(ButtonsOfStyle(0xE).count, 1);  // unknown button sets show OK
}

TEST(Dialogs, WindowsFiltersBecomeQtNameFilters) {
  auto filters = QtNameFilters("Velostra files|*.tvn;*.mcl|All files|*.*|");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0], "Velostra files (*.tvn *.mcl)");
  EXPECT_EQ(filters[1], "All files (*.*)");
  EXPECT_EQ(QtNameFilters("Dangling name").size(), 0u);
  EXPECT_EQ(QtNameFilters("").size(), 0u);
  EXPECT_EQ(QtNameFilters("A|*.a||").size(), 1u);
  // 8-bit names are converted: 0xE9 is e acute in code page 1252.
  EXPECT_EQ(QtNameFilters("Caf\xE9|*.c|")[0], "Caf\xC3\xA9 (*.c)");
}

class DialogServiceTest : public WindowTest {};

TEST_F(DialogServiceTest, BoxesAndFileDialogsGoThroughTheLoopsDialogs) {
  auto wnd = MakeWindow();
  dialogs->boxAnswers = {IDNO};
  EXPECT_EQ(AfxMessageBox("Unable to open file", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
  ASSERT_EQ(dialogs->boxes.size(), 1u);
  EXPECT_EQ(dialogs->boxes[0].caption, "Test App");
  EXPECT_EQ(dialogs->boxes[0].type, MB_YESNO | MB_ICONEXCLAMATION);
  EXPECT_EQ(wnd->MessageBox("text", "Own caption"), IDOK);
  EXPECT_EQ(dialogs->boxes[1].caption, "Own caption");
  EXPECT_EQ(dialogs->boxes[1].owner, wnd.get());
  MessageBeep(0xFFFFFFFF);
  EXPECT_EQ(dialogs->beeps, (std::vector<UINT>{0xFFFFFFFF}));

  CFileDialog cancelled(TRUE, "", "", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST,
                        "Velostra files|*.tvn;*.mcl|All files|*.*|", wnd.get());
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetPathName(), "");
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].flags, 6148u);
  EXPECT_TRUE(dialogs->fileDialogs[0].open);

  dialogs->fileAnswers = {CString("/courses/intro/INTRO.MCL")};
  CFileDialog chosen(TRUE);
  EXPECT_EQ(chosen.DoModal(), IDOK);
  EXPECT_EQ(chosen.GetPathName(), "/courses/intro/INTRO.MCL");
  EXPECT_EQ(chosen.GetFileName(), "INTRO.MCL");
  EXPECT_EQ(chosen.GetFileExt(), "MCL");
}

TEST(QtDialogs, MessageBoxShowsTheButtonsAndReportsTheChosenOne) {
  EnsureQtApplication();
  CQtDialogs dialogs;
  QString seenText;
  int buttonCount = 0;
  auto answer = [&](QMessageBox::StandardButton which) {
    QTimer::singleShot(0, [&, which] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seenText = box->text();
      buttonCount = static_cast<int>(box->buttons().size());
      box->button(which)->click();
    });
  };
  answer(QMessageBox::No);
  EXPECT_EQ(dialogs.MessageBox({nullptr, "Save changes?", "Caption", MB_YESNOCANCEL | MB_ICONQUESTION}), IDNO);
  EXPECT_EQ(seenText, "Save changes?");
  EXPECT_EQ(buttonCount, 3);
  // Escape answers with the cancel button.
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) qobject_cast<QDialog*>(box)->reject();
  });
  EXPECT_EQ(dialogs.MessageBox({nullptr, "Retry?", "Caption", MB_RETRYCANCEL}), IDCANCEL);
}
