// One click in the chart window, as a normalised horizontal position.
#pragma once

#include "console/window_layer.h"

namespace telmor {

// Sets the cross-hair cursor and waits for a left or right press. A left
// press gives its pixel column × 0.001 in single precision; a right press
// gives 0.5, the middle of the chart.
float selintvl(WindowLayer& layer);

// A position's whole-step count from origin: the quotient of the held
// single-precision values formed in double precision, truncated toward zero.
// (A single-precision quotient would turn column 120 of a 0.0006 step into
// 200 instead of 199.)
int steps_from(float x, float origin, float step);

}  // namespace telmor
