// RecolourRtfText: gives every run of an RTF text one colour (the rich-text action's drop shadow).
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// Replaces the first colour-table group with a table of the one colour,
// turns every \cfN word into \cf0 and puts \cf0 after every \plain. The text
// is read as RTF tokens: escaped text and other words are left alone. FALSE,
// with the text unchanged, when there is no colour table or it never closes.
BOOL RecolourRtfText(CString& text, COLORREF colour);
