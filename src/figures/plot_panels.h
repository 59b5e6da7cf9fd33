// The figure's two plots: restitution per lead and dispersion over beats.
#pragma once

#include <cairo.h>

#include <span>

#include "figures/figure_texts.h"
#include "tissue/dispersion.h"
#include "tissue/restitution.h"
#include "figures/map_view.h"

namespace telmor {

// ARI over DI, one colour per lead, with each lead's fitted line.
void draw_restitution_panel(cairo_t* cr, const PanelRect& panel, const Restitution& restitution,
                            const FigureTexts& texts);

// Total activation time and the SD and IQR of RT and ARI over beat numbers.
void draw_dispersion_panel(cairo_t* cr, const PanelRect& panel, std::span<const BeatDispersion> beats,
                           const FigureTexts& texts);

}  // namespace telmor
