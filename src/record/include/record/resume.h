// Where a command hands control back to the command loop.
#pragma once

namespace telmor {

// redraw: clear the chart, draw the overview, then the menu; menu: the menu
// line below what the command left; exit: close the chart and stop.
enum class Resume { redraw, menu, exit };

}  // namespace telmor
