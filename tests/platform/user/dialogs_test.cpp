// Message boxes, the file, font and colour dialogs and their Qt implementation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstring>

#include "platform/user/colour_dialog.h"
#include "platform/user/file_dialog.h"
#include "platform/user/font_dialog.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/user/message_box.h"
#include "platform/user/qt_char_format.h"
#include "platform/user/qt_dialogs.h"
#include "tests/platform/user/window_test_support.h"

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

namespace {

// The editor's proportional default: Times New Roman, 10 points, automatic colour.
CHARFORMAT TimesFormat() {
  CHARFORMAT cf;
  cf.dwMask = 0xF000001F;
  cf.dwEffects = CFE_AUTOCOLOR;
  cf.yHeight = 200;
  cf.crTextColor = RGB(0, 0, 128);
  cf.bCharSet = 0;
  cf.bPitchAndFamily = 0x12;
  std::strcpy(cf.szFaceName, "Times New Roman");
  return cf;
}

}  // namespace

TEST(QtCharFormat, FormatsBecomeFontsAndComeBackWithTheirWindowsFace) {
  EnsureQtApplication();
  CHARFORMAT cf = TimesFormat();
  cf.dwEffects |= CFE_BOLD | CFE_UNDERLINE;
  QFont font = CharFormatToQFont(cf);
  EXPECT_DOUBLE_EQ(font.pointSizeF(), 10.0);
  EXPECT_TRUE(font.bold());
  EXPECT_TRUE(font.underline());
  EXPECT_FALSE(font.italic());

  // The same family back: the Windows face, its pitch and family, colour and
  // automatic colour stay; the dialog's own bits are set.
  font.setPointSizeF(12.5);
  font.setBold(false);
  font.setItalic(true);
  font.setStrikeOut(true);
  CHARFORMAT back = QFontToCharFormat(font, cf);
  EXPECT_STREQ(back.szFaceName, "Times New Roman");
  EXPECT_EQ(back.bPitchAndFamily, 0x12);
  EXPECT_EQ(back.yHeight, 250);
  EXPECT_EQ(back.dwEffects, CFE_AUTOCOLOR | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
  EXPECT_EQ(back.dwMask, 0xF000001Fu);
  EXPECT_EQ(back.crTextColor, RGB(0, 0, 128));
  EXPECT_EQ(back.cbSize, 60u);

  // Another family is named itself, cut to 31 bytes; a fixed-pitch one says so.
  QFont mono(QStringLiteral("Liberation Mono"));
  mono.setPointSize(9);
  CHARFORMAT noFace;
  noFace.dwMask = CFM_COLOR;
  back = QFontToCharFormat(mono, noFace);
  EXPECT_STREQ(back.szFaceName, "Liberation Mono");
  EXPECT_EQ(back.yHeight, 180);
  EXPECT_EQ(back.dwMask, CFM_COLOR | CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT);
  EXPECT_EQ(back.bPitchAndFamily & 0x03, FIXED_PITCH);
  QFont longName(QStringLiteral("A family name much longer than thirty-one bytes"));
  back = QFontToCharFormat(longName, noFace);
  EXPECT_EQ(std::strlen(back.szFaceName), 31u);
  // A format without a size opens at 10 points; a pixel-sized font comes back in twips.
  EXPECT_DOUBLE_EQ(CharFormatToQFont(CHARFORMAT{}).pointSizeF(), 10.0);
  // A height past the tallest font (2000 pixels, 1500 points) is cut to it.
  for (const LONG height : {30000, 30001, 2147483647}) {
    CHARFORMAT tall = TimesFormat();
    tall.yHeight = height;
    EXPECT_DOUBLE_EQ(CharFormatToQFont(tall).pointSizeF(), 1500.0) << height;
  }
  QFont pixels(QStringLiteral("Liberation Sans"));
  pixels.setPixelSize(16);
  EXPECT_EQ(QFontToCharFormat(pixels, noFace).yHeight, 240);
}

TEST_F(DialogServiceTest, FontAndColourDialogsGoThroughTheLoopsDialogs) {
  auto wnd = MakeWindow();
  CFontDialog cancelled(TimesFormat(), CF_BOTH | CF_EFFECTS, wnd.get());
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_STREQ(cancelled.CharFormat().szFaceName, "Times New Roman");
  ASSERT_EQ(dialogs->fontDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fontDialogs[0].owner, wnd.get());
  EXPECT_EQ(dialogs->fontDialogs[0].flags, CF_BOTH | CF_EFFECTS);
  EXPECT_EQ(dialogs->fontDialogs[0].format.yHeight, 200);

  dialogs->fontAnswers.push_back([](const FontDialogRequest& request) {
    CHARFORMAT cf = request.format;
    cf.dwEffects |= CFE_BOLD;
    cf.yHeight = 360;
    return std::optional<CHARFORMAT>(cf);
  });
  CFontDialog chosen(TimesFormat());
  EXPECT_EQ(chosen.DoModal(), IDOK);
  CHARFORMAT cf;
  chosen.GetCharFormat(cf);
  EXPECT_EQ(cf.yHeight, 360);
  EXPECT_EQ(cf.dwEffects & CFE_BOLD, CFE_BOLD);

  CColorDialog noColour(RGB(1, 2, 3), CC_FULLOPEN | CC_RGBINIT, wnd.get());
  EXPECT_EQ(noColour.DoModal(), IDCANCEL);
  EXPECT_EQ(noColour.GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(dialogs->colourDialogs.at(0).flags, CC_FULLOPEN | CC_RGBINIT);
  dialogs->colourAnswers = {0xFF00FF80u};  // a stray high byte is no part of a colour
  CColorDialog colour(RGB(1, 2, 3));
  EXPECT_EQ(colour.DoModal(), IDOK);
  EXPECT_EQ(colour.GetColor(), 0x0000FF80u);
}

TEST(QtDialogs, FontAndColourDialogsOpenOnTheGivenValuesAndReturnTheChosenOnes) {
  EnsureQtApplication();
  CQtDialogs dialogs;
  QFont seen;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen = dialog->currentFont();
    QFont bigger = seen;
    bigger.setPointSize(20);
    dialog->setCurrentFont(bigger);
    dialog->accept();
  });
  FontDialogRequest request;
  request.format = TimesFormat();
  auto chosen = dialogs.FontDialog(request);
  EXPECT_EQ(seen.pointSize(), 10);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->yHeight, 400);
  EXPECT_STREQ(chosen->szFaceName, "Times New Roman");

  QColor initial;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    initial = dialog->currentColor();
    dialog->setCurrentColor(QColor(10, 20, 30));
    dialog->accept();
  });
  auto colour = dialogs.ColourDialog({nullptr, RGB(255, 0, 0), CC_RGBINIT | CC_FULLOPEN});
  EXPECT_EQ(initial, QColor(255, 0, 0));
  EXPECT_EQ(colour, std::optional<COLORREF>(RGB(10, 20, 30)));

  QTimer::singleShot(0, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  EXPECT_EQ(dialogs.ColourDialog({}), std::nullopt);
}
