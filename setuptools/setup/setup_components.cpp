// The optional components of [custom.dialog] and the terms file of the terms step.
#include "setuptools/setup/setup_app.h"

#include <cctype>
#include <fstream>
#include <limits>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/base/exceptions.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxComponents = 5;
// Terms longer than this are not shown (a text file of a megabyte is far beyond any licence).
constexpr std::uintmax_t kMaxTermsBytes = 1 << 20;

// Leading decimal digits with an optional sign, held to 32 bits; 0 when there are none.
std::int32_t LeadingNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    value = std::min<std::int64_t>(value * 10 + (c - '0'), std::numeric_limits<std::int32_t>::max());
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

void CSetupApp::ReadCustomDialog() {
  m_components.clear();
  for (const char* line = m_script.GetSection("custom.dialog"); line; line = m_script.NextLine(line)) {
    if (CInfReader::GetField(line, 0).CompareNoCase("combobox") != 0) continue;
    if (m_components.size() == kMaxComponents) break;
    SetupComponent component;
    component.label = CInfReader::GetField(line, 1);
    component.selected = CInfReader::GetField(line, 2).CompareNoCase("checked") == 0;
    component.section = CInfReader::GetField(line, 3);
    component.size = LeadingNumber(CInfReader::GetField(line, 4).view());
    m_components.push_back(std::move(component));
  }
}

std::int64_t CSetupApp::GetComponentsSize() const {
  std::int64_t total = 0;
  for (const SetupComponent& component : m_components) {
    if (component.selected && component.size > 0) total += component.size;
  }
  return total;
}

long long CSetupApp::CountComponentFiles() const {
  long long count = 0;
  for (const SetupComponent& component : m_components) {
    if (component.selected) count += m_script.CountFiles(m_script.GetSection(component.section.view()));
  }
  return count;
}

bool CSetupApp::HasTerms() const { return !m_script.GetString("data.terms").IsEmpty(); }

std::optional<CString> CSetupApp::LoadTerms() {
  const CString name = m_script.GetString("data.terms");
  if (name.IsEmpty()) return std::nullopt;
  // The name as it stands: a relative one is read from the current directory.
  const auto path = ScriptPathToHost(name, m_services.Drives());
  std::error_code ec;
  int cause = CFileException::none;
  if (!path || !fs::exists(*path, ec)) {
    cause = CFileException::fileNotFound;
  } else if (!fs::is_regular_file(*path, ec)) {
    cause = CFileException::accessDenied;
  }
  std::ifstream in;
  if (cause == CFileException::none) {
    in.open(*path, std::ios::binary);
    if (!in) cause = CFileException::accessDenied;
  }
  if (cause != CFileException::none) {
    m_services.ReportFileError(name, cause, false, SetupString::kCannotOpen);
    return std::nullopt;
  }
  const std::uintmax_t size = fs::file_size(*path, ec);
  if (ec || size == 0 || size > kMaxTermsBytes) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(size));
  if (in.gcount() != static_cast<std::streamsize>(size)) {
    m_services.ReportFileError(name, CFileException::sharingViolation, false, SetupString::kReadSharing);
    return std::nullopt;
  }
  // The terms are a text of code page 1252; setup's texts are UTF-8.
  return CString(tvn::codepage::ToUtf8(text));
}
