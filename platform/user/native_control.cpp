// Class id text and the registry of native controls.
#include "platform/user/native_control.h"

#include <cstdio>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads exactly digits hexadecimal digits at the position.
bool ReadHex(std::string_view text, std::size_t& pos, int digits, std::uint64_t& out) {
  out = 0;
  for (int i = 0; i < digits; ++i, ++pos) {
    if (pos >= text.size()) return false;
    const int d = HexDigit(text[pos]);
    if (d < 0) return false;
    out = out << 4 | static_cast<std::uint64_t>(d);
  }
  return true;
}

}  // namespace

std::optional<CLSID> CLSIDFromString(std::string_view text) {
  // {8-4-4-4-12}
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  for (std::size_t dash : {9u, 14u, 19u, 24u})
    if (text[dash] != '-') return std::nullopt;
  CLSID id;
  std::size_t pos = 1;
  std::uint64_t v = 0;
  if (!ReadHex(text, pos, 8, v)) return std::nullopt;
  id.Data1 = static_cast<DWORD>(v);
  ++pos;
  if (!ReadHex(text, pos, 4, v)) return std::nullopt;
  id.Data2 = static_cast<WORD>(v);
  ++pos;
  if (!ReadHex(text, pos, 4, v)) return std::nullopt;
  id.Data3 = static_cast<WORD>(v);
  ++pos;
  for (int i = 0; i < 8; ++i) {
    if (i == 2) ++pos;  // the dash before the last twelve digits
    if (!ReadHex(text, pos, 2, v)) return std::nullopt;
    id.Data4[static_cast<std::size_t>(i)] = static_cast<BYTE>(v);
  }
  return id;
}

CString StringFromCLSID(const CLSID& id) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1, id.Data2,
                id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
                id.Data4[7]);
  return CString(buffer);
}

std::unique_ptr<INativeControl> CNativeControlRegistry::Create(const CLSID& id) const {
  auto it = m_factories.find(id);
  return it == m_factories.end() || !it->second ? nullptr : it->second();
}

DWORD CNativeControlRegistry::GetMiscStatus(const CLSID& id) const {
  auto control = Create(id);
  return control ? control->GetMiscStatus() : 0;
}
