// Between the run model and Qt's text document: each run's exact formats ride in the document's format properties.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/gdi/image_decoder.h"
#include "platform/richedit/rtf_document.h"

class QTextBlock;
class QTextBlockFormat;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace tvn::rtf {

// Turns an embedded picture into pixels; nothing leaves a blank of its size.
using PictureDecoder = std::function<std::optional<platform::DecodedImage>(const Picture&)>;

// PNG and JPEG through the image decoder, a DIB as the bitmap file it stands
// for; metafiles need a decoder from above.
std::optional<platform::DecodedImage> DecodePicture(const Picture& picture);

// Fills the document with the model's paragraphs and runs (replacing what it
// held). Pictures are kept in the list, which the document's image formats
// index, so that writing gives back their bytes.
void FillQtDocument(QTextDocument& document, const Document& model,
                    std::vector<std::shared_ptr<const Picture>>& pictures, const PictureDecoder& decoder);

// The model of the document's text, its formats taken from the properties
// (text typed into the document later takes formats made from Qt's).
Document ReadQtDocument(const QTextDocument& document, const std::vector<std::shared_ptr<const Picture>>& pictures);

// The exact character format of the document's character at a position
// (the one before it for the end), and of a range merged.
CHARFORMAT CharFormatAt(const QTextDocument& document, int position);
CHARFORMAT CharFormatOfRange(const QTextDocument& document, int start, int end);
PARAFORMAT ParaFormatOfRange(const QTextDocument& document, int start, int end);

// One format both ways: the exact format rides in a property of Qt's; a
// format without it (text typed or pasted from elsewhere) is made from Qt's.
QTextCharFormat ToQtCharFormat(const CHARFORMAT& format);
CHARFORMAT FromQtCharFormat(const QTextCharFormat& format);
QTextBlockFormat ToQtBlockFormat(const PARAFORMAT& format);
PARAFORMAT FromQtBlock(const QTextBlock& block);

// Copies the attributes that changes' mask names into format (effect bits
// with them) and adds them to its mask.
void MergeMaskedCharFormat(CHARFORMAT& format, const CHARFORMAT& changes);
void MergeMaskedParaFormat(PARAFORMAT& format, const PARAFORMAT& changes);

// Applies the named attributes to every run of [start, end), keeping the rest.
void ApplyCharFormat(QTextDocument& document, int start, int end, const CHARFORMAT& changes);
// Applies the named attributes to every paragraph [start, end) touches; a
// change of numbering puts paragraphs in a bullet list or takes them out.
void ApplyParaFormat(QTextDocument& document, int start, int end, const PARAFORMAT& changes);

// Inserts the model at the cursor as one edit (undone in one step): its
// first paragraph's runs join the cursor's paragraph, the others follow as
// paragraphs of their own. Pictures join the list the document indexes.
void InsertModel(QTextDocument& document, QTextCursor& cursor, const Document& model,
                 std::vector<std::shared_ptr<const Picture>>& pictures, const PictureDecoder& decoder);

// The document's length in characters (a paragraph end and a picture count
// one; the last paragraph's end does not), and its text over [start, end):
// positions clamped, an end of -1 the text's end, paragraph ends read as CR,
// line breaks as VT and pictures as blanks.
long DocumentTextLength(const QTextDocument& document);
CString DocumentTextRange(const QTextDocument& document, long start, long end);

// The part [start, end) of a model, positions counted as in the Qt document
// (a paragraph end, a picture and each character count one).
Document SliceModel(const Document& model, long start, long end);

}  // namespace tvn::rtf
