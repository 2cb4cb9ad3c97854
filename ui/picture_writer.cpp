#include "ui/picture_writer.h"

#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <filesystem>

#include "ui/qt_canvas.h"
#include "ui/text_codec.h"

namespace tw {

namespace {

QImage drawnImage(int width, int height, const std::function<void(Canvas&)>& draw) {
  QImage image(width, height, QImage::Format_ARGB32);
  if (image.isNull()) return image;
  image.fill(Qt::white);
  QPainter painter(&image);
  QtCanvasCache cache;
  QtCanvas canvas(painter, cache);
  draw(canvas);
  painter.end();
  return image;
}

// Written beside the target and renamed over it: a failure leaves the old file.
bool replaceWith(const std::string& part, const std::string& path) {
  std::error_code ec;
  std::filesystem::rename(part, path, ec);
  if (!ec) return true;
  std::filesystem::remove(part, ec);
  return false;
}

}  // namespace

bool renderPixels(int width, int height, const std::function<void(Canvas&)>& draw, Bitmap& out) {
  if (width <= 0 || height <= 0 || width > 20000 || height > 20000) return false;
  QImage image = drawnImage(width, height, draw);
  if (image.isNull()) return false;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy(line, line + width, out.pixels.begin() + static_cast<ptrdiff_t>(y) * width);
  }
  return true;
}

bool writePictureFile(const std::string& path, PictureKind kind, int width, int height,
                      const std::function<void(Canvas&)>& draw) {
  if (width <= 0 || height <= 0 || width > 20000 || height > 20000) return false;
  std::string part = path + ".part";
  if (kind == PictureKind::Svg) {
    QSvgGenerator svg;
    svg.setFileName(pathToQt(part));
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle("TALLOWAY graph");
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    QtCanvasCache cache;
    QtCanvas canvas(painter, cache);
    draw(canvas);
    if (!painter.end()) {
      std::error_code ec;
      std::filesystem::remove(part, ec);
      return false;
    }
    return replaceWith(part, path);
  }
  QImage image = drawnImage(width, height, draw);
  if (image.isNull() || !image.save(pathToQt(part), "PNG")) {
    std::error_code ec;
    std::filesystem::remove(part, ec);
    return false;
  }
  return replaceWith(part, path);
}

}  // namespace tw
