// Text helpers: white space, replacing, lines of multi-line texts and the name checksum.
#pragma once

#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// The first character that is not white space (blank, tab, line feed, vertical
// tab, form feed, carriage return); an empty text, never null, for a null
// pointer or a text of nothing else.
const char* SkipWhiteSpace(const char* text);

// Replaces every occurrence of old (case-sensitive) left to right; a
// replacement is never searched again. An empty old leaves the text alone.
CString& ReplaceSubstring(CString& text, std::string_view old, std::string_view replacement);
// Every byte equal to from becomes to.
CString& ReplaceChar(CString& text, char from, char to);

// Lines end at CR or LF; up to two CR or LF characters after a line, in any
// order, end it, so CR LF, LF CR, CR CR and LF LF each separate two lines
// without an empty one between them. Lines count from 0; a text has a line n
// when that line starts before the end of the text.
BOOL HasTextLine(std::string_view text, int n, int* length = nullptr);
BOOL GetTextLine(std::string_view text, int n, CString& line);

// 0 for an empty text; else each byte, taken as signed, is XOR-ed into the
// value, which is then shifted left by one within 16 bits; plus 500.
WORD StringChecksum(std::string_view text);
