#include "app/main_layout.h"

namespace {

int scaled(int length, int dpi) { return (length * dpi + 48) / 96; }

PixelRect scaled(PixelRect r, int dpi) {
  return {scaled(r.x, dpi), scaled(r.y, dpi), scaled(r.width, dpi), scaled(r.height, dpi)};
}

}  // namespace

MainLayout mainLayout(int dpi) {
  if (dpi < 96) dpi = 96;  // no screen is laid out smaller than 100 %
  return {scaled(630, dpi),
          scaled(414, dpi),
          scaled(PixelRect{6, 6, 500, 20}, dpi),
          scaled(PixelRect{6, 32, 400, 376}, dpi),
          scaled(PixelRect{424, 32, 200, 376}, dpi),
          scaled(PixelRect{514, 6, 110, 20}, dpi),
          scaled(PixelRect{5, 5, 620, 22}, dpi),
          scaled(16, dpi),
          (8 * dpi + 36) / 72};
}
