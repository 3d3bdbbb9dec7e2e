// The control records: read exactly as stored, refused when damaged, copied deeply; and the property bag.
#include <gtest/gtest.h>

#include "controls/control_property_bag.h"
#include "controls/ctrl_records.h"
#include "model/archive.h"
#include "platform/base/dispatch.h"
#include "tests/support/activex_builder.h"
#include "tests/support/stream_reader.h"

using namespace tvn::testing;

namespace {

PropMethodFields AMethod() {
  PropMethodFields m;
  m.name = "Navigate";
  m.dispid = 104;
  m.hasResult = 1;
  ParameterFields colour{"Colour", VT_I4, 5, 1, {}};
  ParameterFields align{"Align", VT_I2, 4, 1, {{"Left", 0}, {"Centre", 2}}};
  m.parameters = {colour, align};
  m.invokeCode = 1;
  m.variableIds = {11, 0, 12};
  m.constants = {"", "{Name}"};
  m.result = ParameterFields{"Result", VT_BSTR, 2, 0, {}};
  return m;
}

std::vector<std::uint8_t> MethodBytes(const PropMethodFields& m) {
  CourseBuilder b;
  WritePropMethod(b, m);
  return b.bytes();
}

}  // namespace

TEST(CtrlRecords, ReadExactlyAsStoredAndCopiedDeeply) {
  const auto bytes = MethodBytes(AMethod());
  StreamReader r(bytes, 5);
  auto method = r.ar.ReadOwned<CCtrlPropMethod>();
  ASSERT_TRUE(method);
  EXPECT_EQ(r.ar.BytesRemaining(), 0u) << "every stored byte is read, none past the record";
  EXPECT_EQ(method->m_strName, CString("Navigate"));
  EXPECT_EQ(method->m_dispid, 104);
  EXPECT_EQ(method->m_invokeKind, DISPATCH_METHOD);
  ASSERT_EQ(method->m_parameters.size(), 2u);
  EXPECT_EQ(method->m_parameters[1]->m_nValueKind, ValueKind::kEnumeration);
  ASSERT_EQ(method->m_parameters[1]->m_enumValues.size(), 2u);
  EXPECT_EQ(method->m_parameters[1]->m_enumValues[1]->m_nValue, 2);
  EXPECT_EQ(method->m_variableIds, (std::vector<LONG>{11, 0, 12}));
  EXPECT_EQ(method->m_constants.size(), 2u);
  ASSERT_TRUE(method->m_pResult);
  EXPECT_EQ(method->m_pResult->m_vt, VT_BSTR);

  // Codes 3 and 4 are puts; any other code than 1 to 3 is a put by reference.
  for (auto [code, kind] : {std::pair{2u, DISPATCH_PROPERTYGET}, std::pair{3u, DISPATCH_PROPERTYPUT},
                            std::pair{4u, DISPATCH_PROPERTYPUTREF}, std::pair{0u, DISPATCH_PROPERTYPUTREF},
                            std::pair{99u, DISPATCH_PROPERTYPUTREF}}) {
    PropMethodFields put;
    put.invokeCode = code;
    StreamReader pr(MethodBytes(put), 5);
    EXPECT_EQ(pr.ar.ReadOwned<CCtrlPropMethod>()->m_invokeKind, kind) << code;
  }

  // Copies share nothing with their source.
  CCtrlPropMethodArray array;
  array.m_records.push_back(std::move(method));
  CCtrlPropMethodArray copy;
  copy.m_records.push_back(std::make_unique<CCtrlPropMethod>(1, "old"));
  copy.CopyFrom(array);
  ASSERT_EQ(copy.GetSize(), 1);
  const CCtrlPropMethod& a = *array.m_records[0];
  const CCtrlPropMethod& c = *copy.m_records[0];
  EXPECT_EQ(c.m_strName, a.m_strName);
  EXPECT_NE(c.m_parameters[1].get(), a.m_parameters[1].get());
  EXPECT_NE(c.m_parameters[1]->m_enumValues[0].get(), a.m_parameters[1]->m_enumValues[0].get());
  EXPECT_EQ(c.m_parameters[1]->m_enumValues[0]->m_strName, CString("Left"));
  ASSERT_TRUE(c.m_pResult);
  EXPECT_NE(c.m_pResult.get(), a.m_pResult.get());

  CtrlEventFields e{"Clicked", -600, {{"X", VT_I4, 1, 0, {}}}};
  CourseBuilder eb;
  WriteCtrlEvent(eb, e);
  StreamReader er(eb.bytes(), 5);
  auto event = er.ar.ReadOwned<CCtrlEvent>();
  CCtrlEvent other(7, "x");
  other.Copy(*event);
  EXPECT_EQ(other.m_dispid, -600);
  ASSERT_EQ(other.m_parameters.size(), 1u);
  EXPECT_NE(other.m_parameters[0].get(), event->m_parameters[0].get());
}

TEST(CtrlRecords, DamagedRecordsFailWithAnArchiveError) {
  const auto bytes = MethodBytes(AMethod());
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    StreamReader r(part, 5);
    EXPECT_THROW(r.ar.ReadOwned<CCtrlPropMethod>(), CArchiveException) << "cut at " << cut;
  }
  // A forged id count is refused before anything is allocated for it.
  CourseBuilder b;
  b.out().NewObject("CCtrlPropMethod", 1);
  b.out().String("m").Int(1).Int(0).Count(0).Dword(1).Dword(0xFFFFFFF0u).Int(1);
  StreamReader r(b.bytes(), 5);
  try {
    r.ar.ReadOwned<CCtrlPropMethod>();
    ADD_FAILURE() << "read";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
}

TEST(ControlPropertyBag, KeepsTextPairsAndCountsItsReferences) {
  auto* bag = new CControlPropertyBag;
  bag->Write("Caption", COleVariant::Int(VT_I4, 42));
  EXPECT_EQ(bag->Values().at("Caption"), CString("42"));
  bag->Write("Caption", COleVariant::Ansi("Go"));
  EXPECT_EQ(bag->Values().at("Caption"), CString("Go")) << "a later write replaces the value";
  for (VARTYPE skipped : {VT_EMPTY, VT_NULL, VT_DISPATCH, VT_UNKNOWN, VARTYPE(VT_ARRAY | VT_I4), VARTYPE(VT_BYREF | VT_BSTR)})
    bag->Write("Skipped", COleVariant::Opaque(skipped));
  bag->Write("Date", COleVariant::Date(1e9));  // out of range: no text, not kept
  EXPECT_EQ(bag->Values().size(), 1u);

  void* face = nullptr;
  EXPECT_EQ(bag->QueryInterface(IID_IPropertyBag, &face), S_OK);
  EXPECT_EQ(face, bag);
  EXPECT_EQ(bag->QueryInterface(IID_IUnknown, &face), S_OK);
  EXPECT_EQ(bag->QueryInterface(IID{1, 2, 3, {}}, &face), E_NOINTERFACE);
  EXPECT_EQ(face, nullptr);
  auto* copy = new CControlPropertyBag(*bag);
  EXPECT_EQ(copy->Values(), bag->Values());
  EXPECT_EQ(copy->Release(), 0u) << "a copy starts at 1";
  EXPECT_EQ(bag->Release(), 2u);
  EXPECT_EQ(bag->Release(), 1u);
  EXPECT_EQ(bag->Release(), 0u);  // deleted: ASan would see any later use
}
