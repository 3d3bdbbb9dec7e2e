// CProfileFileValues: the profile values of one INI file, read afresh on every question.
#pragma once

#include <filesystem>

#include "model/system_queries.h"

class CProfileFileValues final : public IProfileValues {
 public:
  explicit CProfileFileValues(std::filesystem::path file) : m_file(std::move(file)) {}
  // The default when the file, the section or the key is missing.
  CString GetProfileString(const CString& section, const CString& key, const CString& defaultValue) override;

 private:
  std::filesystem::path m_file;
};
