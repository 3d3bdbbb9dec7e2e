// Fuzzes what courses hand the ActiveX side: the first byte picks the mode. Text goes
// to the automation type change and to the class-id parser; streams are read as one
// of the control records or of the kinds that hold them (the byte after the mode
// picks which, the next the course file version), which are then copied and used.
#include <cstdint>
#include <string_view>
#include <vector>

#include "behaviour/activex_action.h"
#include "behaviour/activex_response.h"
#include "behaviour/internet_actions.h"
#include "behaviour/ole_action.h"
#include "controls/control_property_bag.h"
#include "controls/ctrl_records.h"
#include "model/archive.h"
#include "platform/user/native_control.h"
#include "platform/base/variant.h"

namespace {

constexpr VARTYPE kTargets[] = {VT_I1, VT_I2, VT_I4, VT_I8, VT_UI1, VT_UI2, VT_UI4, VT_UI8, VT_INT, VT_UINT,
                                VT_R4, VT_R8, VT_CY, VT_DATE, VT_BOOL, VT_BSTR, VT_EMPTY, VT_NULL, VT_DECIMAL};

void ChangeText(std::string_view text) {
  for (VARTYPE vt : kTargets) {
    try {
      COleVariant v = COleVariant::Ansi(text);
      v.ChangeType(vt);
      // Whatever converted must convert back to text.
      v.ChangeType(VT_BSTR);
    } catch (const COleException&) {
    }
  }
}

void ParseClassId(std::string_view text) {
  if (auto id = CLSIDFromString(text)) {
    if (CLSIDFromString(StringFromCLSID(*id).str()) != id) __builtin_trap();
  }
}

void Use(CObject* obj, CActiveXWnd& noWindow) {
  CControlEventRecord record;
  record.dispid = 104;
  record.params.rgvarg = {COleVariant::Ansi("1"), COleVariant::Date(1e9), COleVariant()};
  if (auto* method = DynamicDowncast<CCtrlPropMethod>(obj)) {
    CCtrlPropMethod copy(*method);
    try {
      copy.Invoke(&noWindow, nullptr);
    } catch (const COleException&) {
    }
  } else if (auto* event = DynamicDowncast<CCtrlEvent>(obj)) {
    CCtrlEvent copy;
    copy.Copy(*event);
  } else if (auto* parameter = DynamicDowncast<CParameter>(obj)) {
    CParameter copy(*parameter);
  } else if (auto* action = DynamicDowncast<CActiveXAction>(obj)) {
    CActiveXAction copy(*action);
    copy.CopyFrom(action, FALSE);
    copy.Execute();
    copy.SizeObject(CRect());
    copy.Draw(nullptr, 0, nullptr);
    copy.Unload();
  } else if (auto* response = DynamicDowncast<CActiveXResponse>(obj)) {
    CActiveXResponse copy(*response);
    copy.Activate();
    copy.OnControlEvent(754, &record);
  } else if (auto* icon = DynamicDowncast<CIconObject>(obj)) {
    icon->Execute();
    icon->OnControlEvent(754, &record);
    CStringArray files;
    icon->CollectFiles(&files, 0);
  }
}

void ReadRecords(const std::uint8_t* data, std::size_t size) {
  static const CRuntimeClass* const kClasses[] = {
      RUNTIME_CLASS(CCtrlPropMethod), RUNTIME_CLASS(CCtrlEvent),  RUNTIME_CLASS(CParameter),
      RUNTIME_CLASS(CEnumProperty),   RUNTIME_CLASS(CActiveXAction), RUNTIME_CLASS(CActiveXResponse),
      RUNTIME_CLASS(CFtpAction),      RUNTIME_CLASS(CHtmlAction), RUNTIME_CLASS(CHtmlFrameAction),
      RUNTIME_CLASS(COleAction)};
  if (size < 2) return;
  const CRuntimeClass* cls = kClasses[data[0] % std::size(kClasses)];
  std::string_view name(cls->m_lpszClassName);
  std::vector<std::uint8_t> stream = {0xFF, 0xFF, static_cast<std::uint8_t>(cls->GetSchema()),
                                      static_cast<std::uint8_t>(cls->GetSchema() >> 8),
                                      static_cast<std::uint8_t>(name.size()), 0};
  stream.insert(stream.end(), name.begin(), name.end());
  stream.insert(stream.end(), data + 2, data + size);
  CMemFile file(stream.data(), stream.size());
  CActiveXWnd noWindow;
  try {
    CArchive ar(file);
    ar.SetCourseVersion(3 + data[1] % 3);
    while (ar.BytesRemaining() > 0) Use(ar.ReadObject(RUNTIME_CLASS(CObject)), noWindow);
  } catch (const CArchiveException&) {
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
}

void ReadBag(const std::uint8_t* data, std::size_t size) {
  CMemFile file(data, size);
  auto* bag = new CControlPropertyBag;
  try {
    CArchive ar(file);
    bag->Serialize(ar);
  } catch (const CArchiveException&) {
  } catch (const CFileException&) {
  }
  bag->Write("Value", COleVariant::Ansi(std::string_view(reinterpret_cast<const char*>(data), size)));
  auto* copy = new CControlPropertyBag(*bag);
  copy->Release();
  bag->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 4) {
    case 0: ChangeText(text); break;
    case 1: ParseClassId(text); break;
    case 2: ReadRecords(data + 1, size - 1); break;
    default: ReadBag(data + 1, size - 1); break;
  }
  return 0;
}
