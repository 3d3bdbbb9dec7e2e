// CVariable: a named, typed value of a course or of the whole run.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/object.h"

class CRecordSetData;

// Attribute bits (low byte) and type bits of a variable's flags.
namespace VarFlag {
constexpr DWORD kSystem = 0x0001;     // made by the runtime, never stored
constexpr DWORD kGlobal = 0x0002;     // lives in the global table
constexpr DWORD kTemporary = 0x0004;  // made by a script assignment; gone when the script ends
constexpr DWORD kColumn = 0x0008;     // record-set column sharing its parent's record set
}  // namespace VarFlag

namespace VarType {
constexpr DWORD kNone = 0;
constexpr DWORD kString = 0x0100;
constexpr DWORD kNumber = 0x0200;
constexpr DWORD kInteger = 0x0400;
constexpr DWORD kDateTime = 0x0800;
constexpr DWORD kTimeSpan = 0x1000;
constexpr DWORD kRecordSet = 0x2000;
constexpr DWORD kOther = 0x4000;  // reported by GetType, never given a value
constexpr DWORD kMask = 0x7F00;
}  // namespace VarType

// Values of every kind are held side by side; the type says which one counts,
// and setting one value never touches the others.
class CVariable : public CObject {
  DECLARE_SERIAL(CVariable)

 public:
  CVariable();
  CVariable(const CVariable& other);
  CVariable& operator=(const CVariable& other) {
    Assign(other);
    return *this;
  }
  // Assign, taking other's text and data instead of copying them; other's
  // record set is still duplicated, as Assign does.
  CVariable& operator=(CVariable&& other);
  ~CVariable() override;

  // The 32-bit hash of a name that stored objects use to refer to a variable:
  // id = id * 33 + byte, bytes taken as signed, wrapping at 32 bits.
  static LONG ComputeId(std::string_view name);
  // printf "%.*f" of the value, or "%.*g" at and beyond +-3.37e38.
  static CString FormatNumber(double value, int precision);

  void SetName(const CString& name);
  const CString& GetName() const { return m_strName; }
  // The ComputeId hash of the name, whatever id the variable was stored
  // with: table lookups compare it before the names.
  std::uint32_t GetNameHash() const { return m_nameHash; }
  LONG GetId() const { return m_nId; }

  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD flags) { m_dwFlags = flags; }
  // The lowest type bit among string to record set, else the "other" bit.
  DWORD GetType() const {
    const DWORD valued = m_dwFlags & (VarType::kString | VarType::kNumber | VarType::kInteger | VarType::kDateTime |
                                      VarType::kTimeSpan | VarType::kRecordSet);
    return valued ? valued & (~valued + 1) : m_dwFlags & VarType::kOther;
  }
  void SetType(DWORD type);
  // 0 string, 1 number or integer, 2 date-time, 3 time span, 4 record set, 5 other.
  int GetTypeIndex() const;

  BOOL IsString() const { return (m_dwFlags & VarType::kString) != 0; }
  BOOL IsNumber() const { return (m_dwFlags & VarType::kNumber) != 0; }
  BOOL IsInteger() const { return (m_dwFlags & VarType::kInteger) != 0; }
  BOOL IsDateTime() const { return (m_dwFlags & VarType::kDateTime) != 0; }
  BOOL IsTimeSpan() const { return (m_dwFlags & VarType::kTimeSpan) != 0; }
  BOOL IsRecordSet() const { return (m_dwFlags & VarType::kRecordSet) != 0; }
  BOOL IsSystem() const { return (m_dwFlags & VarFlag::kSystem) != 0; }
  BOOL IsGlobal() const { return (m_dwFlags & VarFlag::kGlobal) != 0; }
  BOOL IsTemporary() const { return (m_dwFlags & VarFlag::kTemporary) != 0; }
  BOOL IsColumn() const { return (m_dwFlags & VarFlag::kColumn) != 0; }

  void SetString(const CString& text) { m_strValue = text; }
  void SetString(CString&& text) { m_strValue = std::move(text); }
  void AppendString(const CString& text) { m_strValue += text; }
  void SetReal(double value) { m_dValue = value; }
  void SetLong(LONG value) { m_nValue = value; }
  void SetDateTime(LONG seconds) { m_nDateTime = seconds; }
  void SetTimeSpan(LONG seconds) { m_nTimeSpan = seconds; }
  const CString& GetString() const { return m_strValue; }
  double GetReal() const { return m_dValue; }
  LONG GetLong() const { return m_nValue; }
  LONG GetDateTime() const { return m_nDateTime; }
  LONG GetTimeSpan() const { return m_nTimeSpan; }

  int GetPrecision() const { return m_nPrecision; }
  void SetPrecision(int precision) { m_nPrecision = precision; }
  int GetFormatIndex() const { return m_nFormatIndex; }
  void SetFormatIndex(int index) { m_nFormatIndex = index; }
  const CString& GetFormat() const { return m_strFormat; }
  void SetFormat(const CString& format) { m_strFormat = format; }

  const std::vector<BYTE>& GetData() const { return m_data; }
  void SetData(std::vector<BYTE> data) { m_data = std::move(data); }

  CRecordSetData* GetRecordSet() const { return m_pRecordSet.get(); }
  const std::shared_ptr<CRecordSetData>& SharedRecordSet() const { return m_pRecordSet; }
  // Column variables share their parent's record set; shared ownership keeps
  // it alive for them should the parent go first.
  void SetRecordSet(std::shared_ptr<CRecordSetData> recordSet) { m_pRecordSet = std::move(recordSet); }

  // Copies every field but the record set, which is duplicated unless this
  // is a column variable.
  void Assign(const CVariable& other);
  // Assign on a variable that holds nothing yet.
  void Copy(const CVariable& other) { Assign(other); }
  // The same as assigning a new, empty variable, without making one.
  void Reset();
  // Empties every value; the record set is deleted with the flag, otherwise
  // only its pointer list is emptied.
  void Clear(BOOL deleteRecordSet);

  // FALSE for a variable without a name; otherwise TRUE and the printed
  // value. A date-time of 0 prints the time now (seconds since 1970; 0 asks
  // the system clock).
  BOOL GetValueText(CString& text, std::int64_t now = 0) const;

  void Serialize(CArchive& ar) override;

 private:
  // Reset gives each field its initial value below: keep the two in step.
  DWORD m_dwFlags = VarType::kString;
  CString m_strName;
  std::uint32_t m_nameHash = 0;  // ComputeId of m_strName
  CString m_strValue;
  double m_dValue = 0.0;
  int m_nPrecision = 0;
  LONG m_nValue = 0;
  LONG m_nTimeSpan = 0;
  LONG m_nDateTime = 0;  // seconds since 1970, 32-bit as stored
  std::vector<BYTE> m_data;
  CString m_strFormat;
  int m_nFormatIndex = 1;
  std::shared_ptr<CRecordSetData> m_pRecordSet;
  LONG m_nId = 0;
};
