// The control window and the records applied to a live (fake) control: arguments, puts, results and events.
#include <gtest/gtest.h>

#include "controls/activex_wnd.h"
#include "controls/ctrl_records.h"
#include "model/variable.h"
#include "platform/base/cmd_target.h"
#include "platform/gdi/image_dc.h"
#include "platform/gdi/pixel_image.h"
#include "tests/model/test_variable_context.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/fake_control.h"

using namespace tvn::testing;

namespace {

constexpr const char* kClassId = "{11111111-2222-3333-4444-555555555555}";

// A parent that keeps the control events routed to it.
class EventParent : public CWnd {
 public:
  BOOL OnCmdMsg(UINT id, int code, void* extra) override {
    if (code != CN_EVENT) return FALSE;
    auto* record = static_cast<CControlEventRecord*>(extra);
    events.push_back({id, record->sender, record->dispid, record->params.rgvarg});
    return TRUE;
  }
  struct Event {
    UINT id;
    CWnd* sender;
    DISPID dispid;
    std::vector<COleVariant> args;
  };
  std::vector<Event> events;
};

std::unique_ptr<CParameter> Param(VARTYPE vt, LONG kind) {
  auto p = std::make_unique<CParameter>("p");
  p->m_vt = vt;
  p->m_nValueKind = kind;
  return p;
}

class ActiveXWndTest : public WindowTest {
 protected:
  ActiveXWndTest() { log = RegisterFakeControl(registry, kClassId); }

  // A window hosting a fresh fake.
  std::unique_ptr<CActiveXWnd> Host(std::vector<BYTE> state = {}) {
    auto wnd = std::make_unique<CActiveXWnd>();
    EXPECT_TRUE(wnd->LoadState(CControlCreation{kClassId, CRect(0, 0, 50, 40), &parent, 77, std::move(state)}, &registry));
    return wnd;
  }

  CNativeControlRegistry registry;
  std::shared_ptr<FakeControlLog> log;
  EventParent parent;
  TestVariableContext vars;
};

}  // namespace

TEST_F(ActiveXWndTest, CreatesOnlyInstalledControlsFromStrictClassIds) {
  for (const char* bad : {"11111111-2222-3333-4444-555555555555", "{11111111-2222-3333-4444-55555555555Z}",
                          "{99999999-2222-3333-4444-555555555555}"}) {
    CActiveXWnd wnd;
    EXPECT_FALSE(wnd.LoadState(CControlCreation{bad, CRect(0, 0, 10, 10), &parent, 1, {}}, &registry)) << bad;
    EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
  }
  log->acceptsState = FALSE;
  CActiveXWnd refused;
  EXPECT_FALSE(refused.LoadState(CControlCreation{kClassId, CRect(), &parent, 1, {1, 2}}, &registry));
  EXPECT_EQ(refused.GetSafeHwnd(), nullptr);
  log->acceptsState = TRUE;

  auto wnd = Host({9, 8, 7});
  ASSERT_NE(wnd->GetSafeHwnd(), nullptr);
  EXPECT_EQ(log->states.back(), (std::vector<BYTE>{9, 8, 7}));

  // Painting through the control, or grey when it cannot.
  CPixelImage image(20, 20);
  CImageDC dc(image);
  wnd->DrawControl(&dc, CRect(0, 0, 20, 20));
  EXPECT_EQ(dc.GetPixel(5, 5), log->colour);
  log->paints = FALSE;
  wnd->DrawControl(&dc, CRect(0, 0, 20, 20));
  EXPECT_EQ(dc.GetPixel(5, 5), COLORREF(0x808080));

  // Events reach the parent by the window's id, arguments untouched.
  log->live->Fire(5, {COleVariant::Int(VT_I4, 2), COleVariant::Int(VT_I4, 1)});
  ASSERT_EQ(parent.events.size(), 1u);
  EXPECT_EQ(parent.events[0].id, 77u);
  EXPECT_EQ(parent.events[0].sender, wnd.get());
  wnd->DestroyWindow();
  EXPECT_EQ(log->alive, 0) << "the control goes with its window";
}

TEST_F(ActiveXWndTest, RecordsPassArgumentsAndKeepResults) {
  auto wnd = Host();
  CVariable& text = vars.Declare("Text", VarType::kString);
  text.SetString("hello");
  CVariable& number = vars.Declare("Number", VarType::kNumber);
  CVariable& count = vars.Declare("Count", VarType::kInteger);
  count.SetLong(9);
  CVariable& name = vars.Declare("Name", VarType::kString);
  name.SetString("Ann");

  // Method (a, b) goes with b first; the result goes to the entry after the arguments.
  CCtrlPropMethod method(10, "M");
  method.m_parameters.push_back(Param(VT_BSTR, ValueKind::kString));
  method.m_parameters.push_back(Param(VT_I4, ValueKind::kNumber));
  method.m_variableIds = {text.GetId(), count.GetId(), number.GetId()};
  log->result = COleVariant::Ansi("2.5");
  ASSERT_TRUE(method.Invoke(wnd.get(), &vars));
  ASSERT_EQ(log->calls.size(), 1u);
  EXPECT_EQ(log->calls[0].flags, DISPATCH_METHOD);
  EXPECT_EQ(log->calls[0].params.rgvarg,
            (std::vector<COleVariant>{COleVariant::Int(VT_I4, 9), COleVariant::Ansi("hello")}));
  EXPECT_DOUBLE_EQ(number.GetReal(), 2.5);

  // Constants: "{Name}" passes the variable's value; empty ones give the kind's default.
  CCtrlPropMethod constants(11, "C");
  constants.m_parameters.push_back(Param(VT_BSTR, ValueKind::kString));
  constants.m_parameters.push_back(Param(VT_I4, ValueKind::kEnumeration));
  constants.m_parameters.push_back(Param(VT_R8, ValueKind::kNumber));
  constants.m_parameters.push_back(Param(VT_VARIANT, ValueKind::kFont));
  constants.m_constants = {"{Name}"};
  ASSERT_TRUE(constants.Invoke(wnd.get(), &vars));
  EXPECT_EQ(log->calls[1].params.rgvarg,
            (std::vector<COleVariant>{COleVariant(), COleVariant::Real(VT_R8, 0), COleVariant::Int(VT_I4, 1),
                                      COleVariant::Ansi("Ann")}));
  EXPECT_DOUBLE_EQ(number.GetReal(), 2.5) << "no result entry: nothing set";

  // A method with an unsupported parameter and a put of kind none make no call.
  CCtrlPropMethod unsupported(12, "U");
  unsupported.m_parameters.push_back(Param(VT_UNKNOWN, ValueKind::kUnsupported));
  EXPECT_FALSE(unsupported.Invoke(wnd.get(), &vars));
  CCtrlPropMethod putNone(13, "N");
  putNone.m_invokeKind = DISPATCH_PROPERTYPUT;
  putNone.m_parameters.push_back(Param(VT_EMPTY, ValueKind::kNone));
  EXPECT_FALSE(putNone.Invoke(wnd.get(), &vars));
  EXPECT_EQ(log->calls.size(), 2u);

  // A put by reference is made as a put with the named argument.
  CCtrlPropMethod put(14, "P");
  put.m_invokeKind = DISPATCH_PROPERTYPUTREF;
  put.m_parameters.push_back(Param(VT_I2, ValueKind::kNumber));
  put.m_constants = {"7"};
  ASSERT_TRUE(put.Invoke(wnd.get(), &vars));
  EXPECT_EQ(log->calls[2].flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(log->calls[2].params.rgdispidNamedArgs, (std::vector<DISPID>{DISPID_PROPERTYPUT}));
  EXPECT_EQ(log->calls[2].params.rgvarg, (std::vector<COleVariant>{COleVariant::Int(VT_I2, 7)}));

  // A get stores into its variable; integer variables stay unset.
  CCtrlPropMethod get(15, "G");
  get.m_invokeKind = DISPATCH_PROPERTYGET;
  get.m_variableIds = {count.GetId()};
  log->result = COleVariant::Int(VT_I4, 3);
  ASSERT_TRUE(get.Invoke(wnd.get(), &vars));
  EXPECT_EQ(count.GetLong(), 9);

  // InvokeAll runs every record; one that does not convert is skipped, not thrown.
  CCtrlPropMethodArray all;
  auto bad = std::make_unique<CCtrlPropMethod>(16, "B");
  bad->m_invokeKind = DISPATCH_PROPERTYPUT;
  bad->m_parameters.push_back(Param(VT_I4, ValueKind::kNumber));
  bad->m_constants = {"not a number"};
  all.m_records.push_back(std::move(bad));
  all.m_records.push_back(std::make_unique<CCtrlPropMethod>(put));
  const std::size_t before = log->calls.size();
  EXPECT_EQ(all.InvokeAll(wnd.get(), &vars), 2);
  ASSERT_EQ(log->calls.size(), before + 1);
  EXPECT_EQ(log->calls.back().dispid, 14);
}
