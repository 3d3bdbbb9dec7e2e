// Binding and calling the outside effect libraries.
#include "page/effect_libraries.h"

#include <charconv>
#include <string_view>
#include <system_error>

#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/base/host_path.h"

namespace {
// The simple beep that comes with the message.
constexpr int kSimpleBeep = -1;

template <class Proc>
void BindOnce(const CDynamicLibrary& library, Proc& proc, const char* name) {
  if (!proc) proc = reinterpret_cast<Proc>(library.GetProcAddress(name));
}
}  // namespace

bool C3dEffectsLibrary::Bind() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_library.IsLoaded()) {
    // The native "QTRD3D.so" or "libQTRD3D.so" of the folder first, then a file of the name itself.
    const auto native = CDynamicLibrary::FindMapped(CString(kFileName), {m_folder});
    if (!native || !m_library.LoadHostPath(*native)) {
      const std::filesystem::path file = m_folder / kFileName;
      std::error_code error;
      if (!std::filesystem::exists(file, error)) return false;
      if (!m_library.Load(tvn::path::HostPathToText(file))) return false;
    }
  }
  BindOnce(m_library, m_reset, "Reset3dEffect");
  BindOnce(m_library, m_do, "Do3dEffect");
  BindOnce(m_library, m_firstSection, "GetFirstSection");
  BindOnce(m_library, m_nextSection, "GetNextSection");
  return m_do != nullptr;
}

bool C3dEffectsLibrary::Do3dEffect(CWnd* window, CDC* target, CDC* source, CRect* area, CEffectData* effect) {
  Do3dEffectProc proc = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    proc = m_do;
  }
  if (!proc) return false;
  proc(window, target, source, area, effect, 0);
  return true;
}

void C3dEffectsLibrary::Reset3dEffect() {
  Reset3dEffectProc proc = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    proc = m_reset;
  }
  if (proc) proc(0, 0, 0, 0, 0, 0);
}

bool C3dEffectsLibrary::IsLoaded() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_library.IsLoaded();
}

bool RunCourseEffectLibrary(const CString& parameter, CMessageService* messages, CWnd* window, CDC* target,
                            CDC* source, CRect* area) {
  const int split = parameter.FindOneOf(",;");
  if (split < 0) return false;
  CString name = parameter.Left(split);
  CString procedure = parameter.Mid(split + 1);
  name.Trim();
  procedure.Trim();
  if (name.IsEmpty() || procedure.IsEmpty()) return false;
  CDynamicLibrary library;
  // A "X.DLL" name finds the native "X.so" or "libX.so" of that name.
  if (!library.LoadMapped(name, {})) {
    if (messages) messages->MessageBoxFormatBeep(StringId::kFileNotFound, &name, window, kSimpleBeep);
    return false;
  }
  const char first = procedure[0];
  void* entry = nullptr;
  if (first >= '0' && first <= '9') {
    // By ordinal: the decimal value that the text starts with.
    const std::string_view digits = procedure.view();
    unsigned ordinal = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), ordinal);
    entry = library.GetProcAddressByOrdinal(static_cast<WORD>(ordinal));
  } else {
    entry = library.GetProcAddress(procedure.GetString());
  }
  if (!entry) return false;
  reinterpret_cast<CourseEffectProc>(entry)(window, target, source, area);
  return true;
}
