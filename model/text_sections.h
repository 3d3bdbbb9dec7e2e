// The marked sections of plain text files that read actions pick out by name.
#pragma once

#include <optional>
#include <string_view>

// A section begins with a header line: the marker at the start of the text or
// of a line, optional blanks, then the name (a header line whose name only
// begins with the one looked for matches too; case matters). Its text is the
// lines after the header up to the line break before the next line that
// begins with the marker; the last section runs to the end of the text
// without its final line break, and a header on the last line has an empty
// text. Nothing when no header matches or the marker or name is empty.
std::optional<std::string_view> FindSection(std::string_view text, std::string_view marker, std::string_view name);
