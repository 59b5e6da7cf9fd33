// The point pick of d: one click, as a normalised horizontal position.
#include "driver/selintvl.h"

#include "console/time_axis.h"

namespace telmor {

float selintvl(WindowLayer& layer) {
  float x = 0.5f;
  layer.set_mouse_cursor(Cursor::cross);
  const MouseEvent e = layer.wait_mouse_event(kLeftPress | kRightPress);
  if (e.event == kLeftPress) x = normalised_column(e.x);
  return x;
}

}  // namespace telmor
