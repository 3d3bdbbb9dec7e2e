// Reading RTF into the run model: a bounded reader of outside text that never fails hard.
#pragma once

#include <string_view>

#include "platform/richedit/rtf_document.h"

namespace tvn::rtf {

// What reading found wrong; the document holds what was read up to there.
enum class ReadStatus {
  ok,
  notRtf,        // the text does not open with "{\rtf"
  unbalanced,    // a group closed that was never opened, or groups left open
  truncated,     // \bin or picture data running past the end
  tooDeep,       // groups nested deeper than kMaxDepth (their content is skipped)
};

struct ReadResult {
  Document document;
  ReadStatus status = ReadStatus::ok;
};

// Groups deeper than this are skipped whole.
constexpr int kMaxDepth = 256;

// Reads RTF text (bytes as they came). Fonts and colours come from the
// tables, character and paragraph words set the formats, fields and objects
// show their results, and every destination the reader does not know is
// skipped. Never throws for bad input.
ReadResult ReadRtf(std::string_view rtf);

// Plain text into the model: lines end with CR LF, LF or CR; every run takes
// the default format.
Document ReadPlainText(std::string_view text);

}  // namespace tvn::rtf
