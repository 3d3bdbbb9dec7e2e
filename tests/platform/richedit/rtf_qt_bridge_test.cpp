// The run model in Qt's text document: the fonts runs are shown in.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>

#include "platform/richedit/rtf_qt_bridge.h"
#include "tests/platform/user/window_test_support.h"

namespace {

using namespace tvn::rtf;

TEST(RtfQtBridge, RunsWithoutASizeShowAtTenPointsAndKeepTheirFormat) {
  EnsureQtApplication();
  Document model;
  for (LONG height : {240, 0}) {
    tvn::rtf::Run run;
    run.text = height ? "sized" : "unsized";
    run.format.yHeight = height;
    model.paragraphs.front().runs.push_back(run);
  }
  QTextDocument document;
  std::vector<std::shared_ptr<const Picture>> pictures;
  FillQtDocument(document, model, pictures, DecodePicture);

  std::vector<double> shown;
  for (auto it = document.begin().begin(); !it.atEnd(); ++it) shown.push_back(it.fragment().charFormat().font().pointSizeF());
  EXPECT_EQ(shown, (std::vector<double>{12.0, 10.0}));
  const Document back = ReadQtDocument(document, pictures);
  ASSERT_EQ(back.paragraphs.front().runs.size(), 2u);
  EXPECT_EQ(back.paragraphs.front().runs[1].format.yHeight, 0);
}

}  // namespace
