// The editor response: its stored form and style, the field it puts on a
// real page, the initial text, storing the answer by type and the printed picture.
#include "behaviour/editor_response.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <clocale>

#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/gdi/canvas.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/editor_writer.h"

using namespace tvn::testing;

namespace {

std::unique_ptr<CEditorResponse> ReadEditor(const EditorFields& e, std::uint16_t schema, const VariableRectFields& rect) {
  CourseBuilder b(5);
  EditorResponse(IconFields{}, ResponseFields{}, e, rect, schema)(b);
  return ReadBack<CEditorResponse>(b);
}

// The test owns the page: its window's end does not delete it, as a view's would.
class CWindowedPage : public CTestPage {
 protected:
  void PostNcDestroy() override {}
};

}  // namespace

TEST(EditorResponse, StoredFormDefaultsStyleAndAlignment) {
  CEditorResponse fresh;
  EXPECT_EQ(fresh.GetKind(), ResponseKind::kEditor);
  EXPECT_EQ(fresh.GetTypeFlags(), 0x143);
  EXPECT_EQ(fresh.m_promptChar, '_');
  EXPECT_EQ(fresh.m_dwOptions, 0x11111u);
  EXPECT_TRUE(fresh.m_nextKey.IsSwitchOn(CKeyboard::kTab));
  EXPECT_FALSE(fresh.m_nextKey.IsSwitchOn(CKeyboard::kShift));
  EXPECT_TRUE(fresh.m_previousKey.IsSwitchOn(CKeyboard::kShift));
  EXPECT_EQ(fresh.m_previousKey.GetKeyFlags(), 8u);
  EXPECT_TRUE(fresh.m_nextKey.Match(VK_TAB, 0, KeyModifiers{}));
  EXPECT_TRUE(fresh.m_previousKey.Match(VK_TAB, 0, KeyModifiers{false, true, false}));

  EXPECT_EQ(CEditorResponse::StyleOf(0x11111), 0x44810080u);
  EXPECT_EQ(CEditorResponse::StyleOf(0x2000 | 0x4 | 0x600) & 0xFFFFu,
            static_cast<DWORD>(ES_MULTILINE | ES_WANTRETURN | ES_RIGHT | ES_PASSWORD)) << "password wins over case";
  EXPECT_EQ(fresh.GetAlignment(), 0);
  fresh.m_dwOptions = 0x2004;
  EXPECT_EQ(fresh.GetAlignment(), 4);
  fresh.SetAlignment(2);
  EXPECT_EQ(fresh.GetAlignment(), 2);
  EXPECT_EQ(fresh.m_dwOptions, 0x2002u);

  EditorFields e;
  e.variableId = 77;
  e.options = 0x1119;
  e.maxLength = 12;
  e.mask = "(999)";
  e.prompt = '#';
  e.backColour = 0x00FFEE;
  auto current = ReadEditor(e, 3, VariableRectFields{10, 20, 110, 44});
  ASSERT_TRUE(current);
  EXPECT_EQ(current->m_dwVariableId, 77u);
  EXPECT_EQ(current->m_dwOptions, 0x1119u);
  EXPECT_EQ(current->m_dwMaxLength, 12u);
  EXPECT_EQ(current->m_strMask, "(999)");
  EXPECT_EQ(current->m_promptChar, '#');
  EXPECT_EQ(current->GetBackColour(), 0x00FFEEu);
  EXPECT_TRUE(current->m_previousKey.IsSwitchOn(CKeyboard::kShift));
  auto old = ReadEditor(e, 2, VariableRectFields{10, 20, 110, 44});
  ASSERT_TRUE(old);
  EXPECT_EQ(old->m_dwOptions, 0x31119u) << "older objects scroll both ways";

  CEditorResponse copy;
  copy.CopyFrom(current.get(), TRUE);
  EXPECT_EQ(copy.m_dwVariableId, 0u) << "the identity stays";
  EXPECT_EQ(copy.m_strMask, "(999)");
  EXPECT_EQ(copy.m_dwMaxLength, 12u);
}

class EditorFieldTest : public WindowTest {
 protected:
  EditorFieldTest() {
    top = MakeWindow(CRect(0, 0, 320, 240));
    EXPECT_TRUE(page.Create(CString(), WS_CHILD | WS_VISIBLE, CRect(0, 0, 320, 240), top.get(), 1));
    host.services.pageOverride = &page;
  }
  ~EditorFieldTest() override { page.DestroyWindow(); }

  CEditorResponse* AddEditor(EditorFields e) {
    auto response = ReadEditor(e, 3, VariableRectFields{10, 20, 150, 44});
    return response ? host.AddResponse(std::move(response)) : nullptr;
  }
  CVariable* Variable(const char* name, DWORD type, int precision = 0) {
    return host.services.vars.course->AddVariable(name, type, FALSE, precision, 1);
  }

  std::unique_ptr<CRecordingWnd> top;
  CWindowedPage page;
  HostTask host;
};

TEST_F(EditorFieldTest, FieldShowsTheVariableAndStoresTheAnswerByType) {
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "C"));
  CVariable* price = Variable("Price", VarType::kNumber, 2);
  CVariable* name = Variable("Name", VarType::kString);
  CVariable* count = Variable("Count", VarType::kInteger);
  EditorFields e;
  e.options = 0x11119;  // shows the value
  e.variableId = static_cast<std::uint32_t>(price->GetId());
  CEditorResponse* priceField = AddEditor(e);
  e.variableId = static_cast<std::uint32_t>(name->GetId());
  CEditorResponse* nameField = AddEditor(e);
  e.variableId = static_cast<std::uint32_t>(count->GetId());
  e.mask = "99-99";
  e.maxLength = 3;
  CEditorResponse* countField = AddEditor(e);
  ASSERT_TRUE(priceField && nameField && countField);

  for (CEditorResponse* field : {priceField, nameField, countField}) ASSERT_TRUE(field->Activate());
  ASSERT_NE(priceField->GetEdit(), nullptr);
  EXPECT_EQ(priceField->GetEdit()->GetDlgCtrlID(), static_cast<int>(kEditorControlId));
  EXPECT_EQ(priceField->GetEdit()->GetStyle(), 0x44810080u);
  EXPECT_EQ(priceField->GetEdit()->GetWindowText(), "0.00");
  EXPECT_EQ(nameField->GetEdit()->GetWindowText(), "") << "an empty string leaves the field empty";
  EXPECT_EQ(countField->GetEdit()->GetWindowText(), "0_-__") << "the integer 0 through the mask and its prompt";
  EXPECT_EQ(countField->GetEdit()->GetLimitText(), 3u);

  priceField->GetEdit()->SetWindowText(" 12.5kg");
  nameField->GetEdit()->SetWindowText("Ann Lee   ");
  countField->GetEdit()->SetData("4711", 0, FALSE, TRUE);
  for (CEditorResponse* field : {priceField, nameField, countField}) field->UpdateFromControl();
  EXPECT_DOUBLE_EQ(price->GetReal(), 12.5) << "read in the C locale";
  EXPECT_EQ(name->GetString(), "Ann Lee") << "typed trailing blanks are not stored";
  EXPECT_EQ(count->GetLong(), 4711);
  priceField->GetEdit()->SetWindowText("abc");
  priceField->ExecuteResponse(nullptr);
  EXPECT_DOUBLE_EQ(price->GetReal(), 0.0);

  // The colour goes to the field; a printed page shows the text in the rectangle.
  EXPECT_TRUE(nameField->SetBackColour(RGB(255, 255, 0)));
  EXPECT_FALSE(nameField->SetBackColour(RGB(255, 255, 0)));
  EXPECT_EQ(nameField->GetEdit()->GetControlWidget()->palette().color(QPalette::Base), QColor(255, 255, 0));
  Canvas canvas(200, 80, RGB(0, 255, 0));
  canvas.dc.SetPrinting(TRUE);
  const CRect area(10, 10, 190, 40);
  nameField->Draw(&canvas.dc, 0, &area);
  EXPECT_EQ(canvas.dc.GetPixel(5, 5), RGB(0, 255, 0)) << "nothing outside the rectangle";
  EXPECT_EQ(canvas.dc.GetPixel(10, 10), RGB(0, 0, 0)) << "the border";
  int ink = 0;
  for (int y = 11; y < 39; ++y)
    for (int x = 11; x < 189; ++x)
      if (canvas.dc.GetPixel(x, y) == RGB(0, 0, 0)) ++ink;
  EXPECT_GT(ink, 20) << "the text is drawn";
  EXPECT_EQ(canvas.dc.GetPixel(150, 20), RGB(255, 255, 0)) << "the rest is the background";

  nameField->Unload();
  EXPECT_EQ(nameField->GetEdit(), nullptr);
  std::setlocale(LC_NUMERIC, "C");
}

TEST_F(EditorFieldTest, AFieldWithoutAMaskTakesBackOneChangeAndStoresWhatItShows) {
  CVariable* name = Variable("Name", VarType::kString);
  EditorFields e;
  e.variableId = static_cast<std::uint32_t>(name->GetId());
  CEditorResponse* field = AddEditor(e);
  ASSERT_TRUE(field && field->Activate());
  CPicEdit& edit = *field->GetEdit();
  edit.SetFocus();
  auto key = [&](int code, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(edit.GetControlWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(edit.GetControlWidget(), &release);
    PumpReady();
  };
  for (const char* letter : {"a", "b", "c"}) key(Qt::Key_A + (letter[0] - 'a'), letter);
  key(Qt::Key_Left);
  key(Qt::Key_D, "d");
  key(Qt::Key_Z, {}, Qt::ControlModifier);
  EXPECT_EQ(edit.GetWindowText().str(), "abc");
  key(Qt::Key_Z, {}, Qt::ControlModifier);
  EXPECT_EQ(edit.GetWindowText().str(), "abdc") << "the second undo takes back the first";
  field->UpdateFromControl();
  EXPECT_EQ(name->GetString().str(), "abdc");
}
