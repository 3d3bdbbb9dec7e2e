// Fuzzes what reads rich-text files from outside: type detection (with a
// converter that accepts everything, so compound files reach the directory
// reader), the OEM text file, and the compound-file reader on the bytes themselves.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

#include "controls/compound_file.h"
#include "controls/converter_file.h"
#include "controls/doc_types.h"
#include "controls/file_type_detection.h"
#include "controls/text_converter_registry.h"

namespace {

class AcceptingConverter : public ITextConverterProvider {
 public:
  bool IsFormatCorrect(std::string_view) override { return true; }
  bool ForeignToRtf(std::string_view bytes, const std::function<bool(std::string_view)>& output) override {
    return output(bytes);
  }
  bool RtfToForeign(const std::function<std::size_t(char*, std::size_t)>&,
                    const std::function<void(std::string_view)>&) override {
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path path = std::filesystem::temp_directory_path() / "tvn_rich_text_files_fuzz.doc";
  static CConverterRegistry converters = [] {
    CConverterRegistry r;
    r.Register(kWordConverter, std::make_shared<AcceptingConverter>());
    return r;
  }();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                static_cast<std::streamsize>(size));
  const CString name(path.string());
  CFileException error;
  (void)GetDocTypeFromFile(name, error, RichTextFiles{nullptr, nullptr, &converters});
  (void)GetDocTypeFromFile(name, error, RichTextFiles{});

  COemFile oem;
  if (oem.Open(name, CFile::modeRead)) {
    char buffer[512];
    while (oem.Read(buffer, sizeof buffer) != 0) {
    }
    oem.Close();
  }
  (void)CompoundFileHasStream(std::span<const std::uint8_t>(data, size), kSummaryStreamName);
  return 0;
}
