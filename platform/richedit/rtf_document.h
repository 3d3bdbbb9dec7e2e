// The run model rich text is read into and written from: paragraphs of runs, each with its exact formats.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user/richtext_types.h"

namespace tvn::rtf {

// The character format a text without any format word has: 12 points,
// automatic colour, every attribute given.
CHARFORMAT DefaultCharFormat();
// The paragraph format of \pard: left aligned, no indents, no tabs.
PARAFORMAT DefaultParaFormat();

// A picture embedded in the text, as its bytes came; the control decodes it.
struct Picture {
  enum class Kind { wmf, dib, png, jpeg };
  Kind kind = Kind::png;
  std::string bytes;
  int width = 0;       // \picw: pixels (metafiles: their own units)
  int height = 0;      // \pich
  int goalWidth = 0;   // \picwgoal: twips, 0 when not given
  int goalHeight = 0;  // \pichgoal
  bool operator==(const Picture&) const = default;
};

// Text in one character format. Text is code page 1252; tab is '\t' and a
// line break inside the paragraph '\v'. A picture run holds no text.
struct Run {
  std::string text;
  CHARFORMAT format = DefaultCharFormat();
  std::shared_ptr<const Picture> picture;
};

struct Paragraph {
  PARAFORMAT format = DefaultParaFormat();
  std::vector<Run> runs;
};

// Always at least one paragraph; n paragraph marks make n + 1 paragraphs.
struct Document {
  std::vector<Paragraph> paragraphs{Paragraph{}};

  // The text of every paragraph, joined by "\r\n" (pictures as one blank).
  std::string PlainText() const;
};

// Formats compared field by field (mask, effects, height, offset, colour,
// character set, pitch and family, face).
bool SameCharFormat(const CHARFORMAT& a, const CHARFORMAT& b);
bool SameParaFormat(const PARAFORMAT& a, const PARAFORMAT& b);

// Folds the next format of a range into the range's format: each attribute
// that differs clears its mask bit (and the effect bit with it).
void MergeCharFormat(CHARFORMAT& range, const CHARFORMAT& next);
void MergeParaFormat(PARAFORMAT& range, const PARAFORMAT& next);

// The face name of a format as a string (at most 31 characters).
std::string_view FaceOf(const CHARFORMAT& format);
void SetFace(CHARFORMAT& format, std::string_view face);

}  // namespace tvn::rtf
