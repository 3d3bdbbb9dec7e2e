// Picture encoding through Qt's image writers.
#include "platform/gdi/image_encoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

namespace tvn::platform {
namespace {

const char* FormatName(ImageFileFormat format) {
  switch (format) {
    case ImageFileFormat::bmp: return "bmp";
    case ImageFileFormat::png: return "png";
    case ImageFileFormat::jpeg: return "jpeg";
    case ImageFileFormat::tiff: return "tiff";
  }
  return "png";
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeImage(const DecodedImage& image, ImageFileFormat format, int quality,
                                                     const std::vector<std::uint32_t>& colourTable) {
  if (image.width <= 0 || image.height <= 0 || colourTable.size() > 256 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return std::nullopt;
  // A view of the pixels, copied by the conversions below.
  QImage picture(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                 static_cast<qsizetype>(image.width) * 4,
                 image.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (!colourTable.empty()) {
    const QList<QRgb> table(colourTable.begin(), colourTable.end());
    const QImage::Format indexed = table.size() <= 2 ? QImage::Format_Mono : QImage::Format_Indexed8;
    picture = picture.convertToFormat(indexed, table, Qt::ThresholdDither | Qt::AvoidDither);
  } else {
    picture = picture.copy();
  }
  if (picture.isNull()) return std::nullopt;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, FormatName(format));
  if (quality >= 0 && quality <= 100) writer.setQuality(quality);
  if (!writer.write(picture)) return std::nullopt;
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace tvn::platform
