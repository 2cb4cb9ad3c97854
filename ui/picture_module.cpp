// The picture module: what talloway-cli loads to make pictures of its
// drawings through Qt, so that the command line starts without Qt unless a
// picture is asked for. One C entry point; the drawing comes back through
// a callback with the module's canvas.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "ui/picture_writer.h"

namespace {

// Qt's painting wants an application object; the offscreen platform
// needs no display.
void ensureApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 3;
  static char arg0[] = "talloway-cli";
  static char arg1[] = "-platform";
  static char arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  static auto* app = new QGuiApplication(argc, argv);
  (void)app;
}

}  // namespace

// kind 0: the pixels (width × height, 0xAARRGGBB) into pixels; 1 a PNG file;
// 2 an SVG file. Returns 1 when done, 0 when not.
extern "C" __attribute__((visibility("default"))) int tw_picture(const char* path, int kind,
                                                                 int width, int height,
                                                                 void (*draw)(void*, tw::Canvas*),
                                                                 void* ctx, uint32_t* pixels) {
  ensureApplication();
  auto drawing = [&](tw::Canvas& canvas) { draw(ctx, &canvas); };
  if (kind == 0) {
    tw::Bitmap b;
    if (!pixels || !tw::renderPixels(width, height, drawing, b)) return 0;
    std::copy(b.pixels.begin(), b.pixels.end(), pixels);
    return 1;
  }
  return tw::writePictureFile(path ? path : "",
                              kind == 1 ? tw::PictureKind::Png : tw::PictureKind::Svg, width,
                              height, drawing)
             ? 1
             : 0;
}
