// One click in the chart window, as a normalised horizontal position.
#pragma once

#include "console/time_axis.h"
#include "console/window_layer.h"

namespace telmor {

// Sets the cross-hair cursor and waits for a left or right press. A left
// press gives its pixel column × 0.001 in single precision; a right press
// gives 0.5, the middle of the chart.
float selintvl(WindowLayer& layer);

}  // namespace telmor
