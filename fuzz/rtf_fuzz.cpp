// Fuzzes the RTF reader, and checks that what the writer makes of any document reads back to the same text and formats.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"

namespace {

using namespace tvn::rtf;

bool SameDocument(const Document& a, const Document& b) {
  if (a.paragraphs.size() != b.paragraphs.size()) return false;
  for (std::size_t p = 0; p < a.paragraphs.size(); ++p) {
    const Paragraph& x = a.paragraphs[p];
    const Paragraph& y = b.paragraphs[p];
    if (!SameParaFormat(x.format, y.format) || x.runs.size() != y.runs.size()) return false;
    for (std::size_t r = 0; r < x.runs.size(); ++r) {
      const Run& u = x.runs[r];
      const Run& v = y.runs[r];
      if (u.text != v.text || !SameCharFormat(u.format, v.format) || !u.picture != !v.picture) return false;
      if (u.picture && !(*u.picture == *v.picture)) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const ReadResult first = ReadRtf(input);
  const ReadResult again = ReadRtf(WriteRtf(first.document));
  if (again.status != ReadStatus::ok || !SameDocument(first.document, again.document)) std::abort();
  const Document plain = ReadPlainText(input);
  if (plain.paragraphs.empty()) std::abort();
  (void)WritePlainText(plain);
  return 0;
}
