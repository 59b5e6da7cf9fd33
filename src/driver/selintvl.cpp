// The point pick of d: one click, as a normalised horizontal position.
#include "driver/selintvl.h"

#include <cmath>

namespace telmor {

float selintvl(WindowLayer& layer) {
  float x = 0.5f;
  layer.set_mouse_cursor(load_cursor_a(nullptr, kIdcCross));
  const MouseEvent e = layer.wait_mouse_event(kLeftPress | kRightPress);
  if (e.event == kLeftPress) x = static_cast<float>(e.x) * 0.001f;
  return x;
}

int steps_from(float x, float origin, float step) {
  const double quotient = static_cast<double>(x - origin) / static_cast<double>(step);
  return static_cast<int>(std::trunc(quotient));
}

}  // namespace telmor
