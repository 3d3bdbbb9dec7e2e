// Encoding pictures into picture files (BMP, PNG, JPEG, TIFF) through Qt's image writers.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/image_decoder.h"

namespace tvn::platform {

enum class ImageFileFormat { bmp, png, jpeg, tiff };

// The picture's bytes in that format. With a colour table (at most 256
// colours, 0xAARRGGBB) the picture is written with indexed colours, each
// pixel taking the table's nearest colour; a table of two writes one bit per
// pixel. quality 0 to 100 sets a lossy writer's quality, anything else its
// default. Nothing when the writer is missing or refuses the picture.
std::optional<std::vector<std::uint8_t>> EncodeImage(const DecodedImage& image, ImageFileFormat format, int quality,
                                                     const std::vector<std::uint32_t>& colourTable = {});

}  // namespace tvn::platform
