// Path helpers for the Windows-style names courses use, and file and folder tests on them.
#pragma once

#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// The file-name part: behind the last "\", else the last "/", else the last
// ":"; the whole path when it has none of them.
std::string_view GetFileNameFromPath(std::string_view path);
// The extension with its dot: from the first "." of the file-name part; an
// empty view at the end of the path when there is none.
std::string_view GetFileExtension(std::string_view path);
// Cuts a short extension (a last "." of the file-name part that, with what
// follows, makes fewer than 6 characters), then appends the extension, with a
// "." in front unless it has one. An empty extension only cuts.
CString& ReplaceExtension(CString& path, std::string_view extension);
// The path up to its last "\", else its last "/", else its last ":"; empty when it has none.
CString GetPathPart(std::string_view path);
// Without label mode the file-name part; in label mode the text behind the
// first ":" of a text longer than 2 characters, else the whole text.
CString ExtractFileName(const CString& text, BOOL labelMode);

// The system's search (the program's folder, the current folder, PATH) for
// the file-name part of the name; the full path (at most 260 characters) into result.
BOOL FindFileOnPath(CString& result, const CString& fileName);
// Whether anything exists under the name.
BOOL FileExists(const CString& path);
// Creates every missing folder along the path; the result of the last
// creation made, TRUE when nothing had to be made.
BOOL CreateDirectoryPath(const CString& path);
