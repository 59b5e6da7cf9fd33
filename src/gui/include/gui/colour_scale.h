// A perceptually uniform colour scale (viridis: dark blue through green to
// yellow, its lightness rising evenly), for values shown as colours.
#pragma once

#include <QColor>

namespace telmor {

// The colour at t (0..1, held within) of the scale.
QColor scale_colour(double t);

// Black or white, whichever reads better on background.
QColor text_colour_on(const QColor& background);

}  // namespace telmor
