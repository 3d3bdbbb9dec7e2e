// autorun's message boxes off-screen, through the program's own boxes and Qt's: the light grey face and black text it sets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <fstream>

#include "platform/user/qt_dialogs.h"
#include "setuptools/autorun/autorun_app.h"
#include "setuptools/common/message_boxes.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/setuptools/setup_test_env.h"

namespace {

class AutorunBoxTest : public WindowTest {};

TEST_F(AutorunBoxTest, ABoxOfTheRunIsLightGreyWithBlackText) {
  tvn::testing::SetupHome home;
  tvn::testing::TempDir cd;
  std::ofstream(cd / "INSTALL.INF") << "[progman.groups]\nDemo\n[Demo]\nStart,x,<defsrc>demo.mcl\n";
  loop->SetDialogs(std::make_unique<CQtDialogs>());
  CPlatformMessageBoxes boxes;
  QString text;
  QColor face, textColour;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    face = box->grab().toImage().pixelColor(2, 2);
    textColour = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->palette().color(QPalette::WindowText);
    box->button(QMessageBox::Ok)->click();
  });
  // The runtime cannot be started: message 457.
  CAutorunApp app(boxes, cd.path(), cd.path().string(), [](const std::filesystem::path&, const std::vector<std::string>&) {
    return false;
  });
  app.InitInstance();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Unable to run program:"))) << text.toStdString();
  EXPECT_EQ(face, QColor(192, 192, 192));
  EXPECT_EQ(textColour, QColor(0, 0, 0));
}

}  // namespace
