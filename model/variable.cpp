// CVariable: values, copying, printing and the stored declaration.
#include "model/variable.h"

#include <algorithm>

#include "model/archive.h"
#include "model/record_set_data.h"
#include "platform/base/local_time.h"
#include "platform/base/number_text.h"

IMPLEMENT_SERIAL(CVariable, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

// Numbers this large (a single-precision limit) print in general format.
constexpr double kGeneralFormatLimit = static_cast<double>(3.37e38f);

// Time spans print with their own codes: %D days, %H hours of the day,
// %M minutes, %S seconds, %% a percent sign.
CString FormatTimeSpan(std::string_view format, LONG seconds) {
  const long long total = seconds;
  const long long days = total / 86400;
  const long long hours = (total / 3600) % 24;
  const long long minutes = (total / 60) % 60;
  const long long secs = total % 60;
  auto two = [](long long v) {
    std::string s = tvn::numtext::FormatInteger(v < 0 ? -v : v);
    if (s.size() < 2) s.insert(0, 1, '0');
    return v < 0 ? "-" + s : s;
  };
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    switch (format[++i]) {
      case 'D': out += tvn::numtext::FormatInteger(days); break;
      case 'H': out += two(hours); break;
      case 'M': out += two(minutes); break;
      case 'S': out += two(secs); break;
      case '%': out += '%'; break;
      default: out += format[i]; break;
    }
  }
  return CString(std::move(out));
}

}  // namespace

CVariable::CVariable() = default;

CVariable::CVariable(const CVariable& other) : CObject() { Assign(other); }

CVariable::~CVariable() = default;

LONG CVariable::ComputeId(std::string_view name) {
  std::uint32_t id = 0;
  for (char c : name) {
    // Bytes 0x80-0xFF count negative (signed characters): stored ids depend on it.
    auto byte = static_cast<std::int32_t>(static_cast<signed char>(c));
    id = id * 33u + static_cast<std::uint32_t>(byte);
  }
  return static_cast<LONG>(id);
}

CString CVariable::FormatNumber(double value, int precision) {
  precision = std::clamp(precision, 0, 255);
  if (value >= kGeneralFormatLimit || value <= -kGeneralFormatLimit)
    return CString(tvn::numtext::FormatGeneral(value, precision));
  return CString(tvn::numtext::FormatFixed(value, precision));
}

void CVariable::SetName(const CString& name) {
  m_strName = name;
  m_nId = ComputeId(name.view());
  m_nameHash = static_cast<std::uint32_t>(m_nId);
}

void CVariable::SetType(DWORD type) { m_dwFlags = (m_dwFlags & ~VarType::kMask) | type; }

int CVariable::GetTypeIndex() const {
  switch (GetType()) {
    case VarType::kNumber:
    case VarType::kInteger: return 1;
    case VarType::kDateTime: return 2;
    case VarType::kTimeSpan: return 3;
    case VarType::kRecordSet: return 4;
    case VarType::kOther: return 5;
    default: return 0;
  }
}

void CVariable::Assign(const CVariable& other) {
  if (&other == this) return;
  const bool column = IsColumn();  // a column keeps sharing its parent's record set
  m_nId = other.m_nId;
  m_dwFlags = other.m_dwFlags;
  m_strName = other.m_strName;
  m_nameHash = other.m_nameHash;
  m_strValue = other.m_strValue;
  m_dValue = other.m_dValue;
  m_nValue = other.m_nValue;
  m_nTimeSpan = other.m_nTimeSpan;
  m_nDateTime = other.m_nDateTime;
  m_nPrecision = other.m_nPrecision;
  m_strFormat = other.m_strFormat;
  m_nFormatIndex = other.m_nFormatIndex;
  m_data = other.m_data;
  if (!column) {
    m_pRecordSet.reset();
    if (other.m_pRecordSet) m_pRecordSet = std::make_shared<CRecordSetData>(*other.m_pRecordSet);
  }
}

CVariable& CVariable::operator=(CVariable&& other) {
  if (&other == this) return *this;
  const bool column = IsColumn();  // a column keeps sharing its parent's record set
  m_nId = other.m_nId;
  m_dwFlags = other.m_dwFlags;
  m_strName = std::move(other.m_strName);
  m_nameHash = other.m_nameHash;
  m_strValue = std::move(other.m_strValue);
  m_dValue = other.m_dValue;
  m_nValue = other.m_nValue;
  m_nTimeSpan = other.m_nTimeSpan;
  m_nDateTime = other.m_nDateTime;
  m_nPrecision = other.m_nPrecision;
  m_strFormat = std::move(other.m_strFormat);
  m_nFormatIndex = other.m_nFormatIndex;
  m_data = std::move(other.m_data);
  if (!column) {
    m_pRecordSet.reset();
    if (other.m_pRecordSet) m_pRecordSet = std::make_shared<CRecordSetData>(*other.m_pRecordSet);
  }
  return *this;
}

void CVariable::Reset() {
  // Field by field what Assign of a new variable does; string and data
  // buffers are kept for the next value.
  const bool column = IsColumn();
  m_nId = 0;
  m_dwFlags = VarType::kString;
  m_strName.Empty();
  m_nameHash = 0;
  m_strValue.Empty();
  m_dValue = 0.0;
  m_nValue = 0;
  m_nTimeSpan = 0;
  m_nDateTime = 0;
  m_nPrecision = 0;
  m_strFormat.Empty();
  m_nFormatIndex = 1;
  m_data.clear();
  if (!column) m_pRecordSet.reset();
}

void CVariable::Clear(BOOL deleteRecordSet) {
  m_strValue.Empty();
  m_dValue = 0.0;
  m_nValue = 0;
  m_nTimeSpan = 0;
  m_nDateTime = 0;
  m_data.clear();
  if (!m_pRecordSet) return;
  if (deleteRecordSet) m_pRecordSet.reset();
  else m_pRecordSet->m_arrPointers.clear();
}

BOOL CVariable::GetValueText(CString& text, std::int64_t now) const {
  if (m_strName.IsEmpty()) return FALSE;
  switch (GetType()) {
    case VarType::kString: text = m_strValue; break;
    case VarType::kNumber: text = FormatNumber(m_dValue, m_nPrecision); break;
    case VarType::kInteger: text = CString(tvn::numtext::FormatInteger(m_nValue)); break;
    case VarType::kDateTime: {
      static constexpr const char* kFormats[] = {"", "%d/%m/%y", "%d-%b-%Y", "%d-%B-%Y",
                                                 "%A %d %B %Y", "%I:%M %p", "%I:%M:%S"};
      std::int64_t when = m_nDateTime != 0 ? m_nDateTime : (now != 0 ? now : tvn::localtime::Now());
      if (m_nFormatIndex == 0) text = m_strFormat.IsEmpty() ? CString("Custom") : CString(tvn::localtime::Format(m_strFormat.view(), when));
      else if (m_nFormatIndex >= 1 && m_nFormatIndex <= 6) text = CString(tvn::localtime::Format(kFormats[m_nFormatIndex], when));
      else text.Empty();
      break;
    }
    case VarType::kTimeSpan:
      if (m_nFormatIndex == 0) text = m_strFormat.IsEmpty() ? CString("Custom") : FormatTimeSpan(m_strFormat.view(), m_nTimeSpan);
      else if (m_nFormatIndex == 1) text = FormatTimeSpan("%H:%M:%S", m_nTimeSpan);
      else if (m_nFormatIndex == 2) text = FormatTimeSpan("%M:%S", m_nTimeSpan);
      else text.Empty();
      break;
    default:
      // Record sets and the rest leave the text as it was.
      break;
  }
  return TRUE;
}

void CVariable::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CVariable));
  ar.ReadString(m_strName);
  m_nameHash = static_cast<std::uint32_t>(ComputeId(m_strName.view()));
  m_nPrecision = ar.ReadByte();
  m_dwFlags = ar.ReadDword();
  m_nId = ar.ReadLong();  // the stored id is what other objects refer to
  m_nFormatIndex = ar.ReadByte();
  ar.ReadString(m_strFormat);
  if (ar.ReadByte() != 0) {
    auto recordSet = std::make_shared<CRecordSetData>();
    recordSet->Serialize(ar);
    m_pRecordSet = std::move(recordSet);
  }
}
