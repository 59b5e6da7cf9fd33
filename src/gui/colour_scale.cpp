// The colour scale of the results view: viridis.
#include "gui/colour_scale.h"

#include "base/viridis.h"

namespace telmor {

QColor scale_colour(double t) {
  const Rgb8 c = viridis_rgb(t);
  return QColor(c.r, c.g, c.b);
}

QColor text_colour_on(const QColor& background) {
  // Relative luminance by the sRGB weights, on the rough 0..255 values.
  const double luminance =
      0.2126 * background.red() + 0.7152 * background.green() + 0.0722 * background.blue();
  return luminance > 140.0 ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace telmor
