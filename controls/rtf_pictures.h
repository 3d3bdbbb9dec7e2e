// Pictures inside rich text: metafiles through the system's own metafile player, other kinds as the control reads them.
#pragma once

#include <optional>

#include "platform/gdi/image_decoder.h"
#include "platform/richedit/rtf_document.h"

// A metafile is played into a white picture of its goal size (at most
// kMaxMetafileSide pixels a side); nothing when it has no goal size or no
// complete header.
std::optional<tvn::platform::DecodedImage> DecodeRtfPicture(const tvn::rtf::Picture& picture);

constexpr int kMaxMetafileSide = 2048;
