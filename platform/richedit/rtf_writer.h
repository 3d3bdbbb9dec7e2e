// Writing the run model as RTF that the reader, and other RTF readers, read back.
#pragma once

#include <string>

#include "platform/richedit/rtf_document.h"

namespace tvn::rtf {

// Always a font table and a colour table (entry 0 empty: automatic colour).
// Backslash and braces are escaped and bytes above 127 written as \'hh; a
// line break never falls inside a run's text, so "\{Name\}" stays whole.
std::string WriteRtf(const Document& document);

// The text of every paragraph, lines ending with CR LF (pictures left out).
std::string WritePlainText(const Document& document);

}  // namespace tvn::rtf
