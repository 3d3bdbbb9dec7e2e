// The converter registry: providers by library name, letter case ignored.
#include "controls/text_converter_registry.h"

#include "platform/base/codepage.h"

void CConverterRegistry::Register(const CString& libraryName, std::shared_ptr<ITextConverterProvider> provider) {
  for (auto& [name, existing] : m_providers) {
    if (tvn::codepage::CompareNoCase(name.view(), libraryName.view()) == 0) {
      existing = std::move(provider);
      return;
    }
  }
  m_providers.emplace_back(libraryName, std::move(provider));
}

std::shared_ptr<ITextConverterProvider> CConverterRegistry::Find(const CString& libraryName) const {
  for (const auto& [name, provider] : m_providers)
    if (tvn::codepage::CompareNoCase(name.view(), libraryName.view()) == 0) return provider;
  return nullptr;
}
