// Text converters by library name: the providers that stand where the Windows converter libraries stood.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"

// One converter: it reads the foreign file's bytes and hands RTF out in
// pieces, or takes RTF in pieces and gives the foreign file's bytes. The
// calls run on the converter's own thread.
class ITextConverterProvider {
 public:
  virtual ~ITextConverterProvider() = default;
  // Whether the converter reads a file of these bytes.
  virtual bool IsFormatCorrect(std::string_view bytes) = 0;
  // Converts to RTF; output takes each piece and answers false when the
  // reader gave up (the conversion then stops). False on failure.
  virtual bool ForeignToRtf(std::string_view bytes, const std::function<bool(std::string_view)>& output) = 0;
  // Converts from RTF: input fills a buffer and answers the bytes placed, 0
  // at the end; output takes the foreign file's bytes. False on failure.
  virtual bool RtfToForeign(const std::function<std::size_t(char*, std::size_t)>& input,
                            const std::function<void(std::string_view)>& output) = 0;
};

// The converters present, found by library name in any letter case. The
// application holds one; none are registered by default (the converter
// libraries are Windows programs).
class CConverterRegistry {
 public:
  void Register(const CString& libraryName, std::shared_ptr<ITextConverterProvider> provider);
  // Null when no converter of that name is present.
  std::shared_ptr<ITextConverterProvider> Find(const CString& libraryName) const;
  bool Has(const CString& libraryName) const { return Find(libraryName) != nullptr; }

 private:
  std::vector<std::pair<CString, std::shared_ptr<ITextConverterProvider>>> m_providers;
};
