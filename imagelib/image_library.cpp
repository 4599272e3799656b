// The picture library's one entry point, decoding with QtGui.
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdlib>
#include <cstring>

#include "imagelib/qmb_image.h"

extern "C" __attribute__((visibility("default"))) QmbPicture* QMBLoadImage(const char* path) {
  if (!path || !*path) return nullptr;
  QImageReader reader(QString::fromUtf8(path));
  // The file's content decides the format, not its name: skins rename freely.
  reader.setDecideFormatFromContent(true);
  QImage image = reader.read();
  if (image.isNull()) return nullptr;
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return nullptr;

  const std::size_t stride = static_cast<std::size_t>(image.width()) * 4;
  const std::size_t bytes = stride * static_cast<std::size_t>(image.height());
  auto* picture = static_cast<QmbPicture*>(std::malloc(sizeof(QmbPicture) + bytes));
  if (!picture) return nullptr;
  picture->width = image.width();
  picture->height = image.height();
  picture->stride = static_cast<int32_t>(stride);
  picture->reserved = 0;
  picture->pixels = reinterpret_cast<uint32_t*>(picture + 1);
  for (int y = 0; y < image.height(); ++y) {
    std::memcpy(reinterpret_cast<char*>(picture->pixels) + stride * y, image.constScanLine(y),
                stride);
  }
  return picture;
}
