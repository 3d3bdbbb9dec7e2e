// Between the run model and Qt's text document: each run's exact formats ride in the document's format properties.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/image_decoder.h"
#include "platform/rtf/rtf_document.h"

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

}  // namespace tvn::rtf
