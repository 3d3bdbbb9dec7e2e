// The profile values of an INI file.
#include "model/profile_file_values.h"

#include "platform/sys/profile_file.h"

CString CProfileFileValues::GetProfileString(const CString& section, const CString& key, const CString& defaultValue) {
  tvn::sys::ProfileFile profile;
  if (!profile.Load(m_file)) return defaultValue;
  std::optional<std::string> value = profile.GetString(section.view(), key.view());
  return value ? CString(std::move(*value)) : defaultValue;
}
