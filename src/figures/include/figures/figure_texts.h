// The words of a recording's figure, in one language: English for the
// batch's files, the window's language for the maps dock.
#pragma once

#include <string>

namespace telmor {

struct FigureTexts {
  std::string at_map = "Activation time, isochrones and conduction velocity";
  std::string rt_map = "Recovery time and conduction velocity";
  std::string ari_map_cv = "Activation-recovery interval and conduction velocity";
  std::string ari_map = "Activation-recovery interval";
  std::string at_map_plain = "Activation time and isochrones";  // beside an ARI map with the arrows
  std::string after_beat = "after the beat";                    // under a colour bar of times after the beat
  std::string t_wave_legend = "T wave: + positive, \u2212 negative, \u00b1 biphasic";
  std::string beat = "beat";
  std::string at = "at";
  std::string restitution = "Restitution: ARI over DI";
  std::string di_axis = "DI (ms)";
  std::string ari_axis = "ARI (ms)";
  std::string lead = "lead";
  std::string dispersion = "Dispersion over beats";
  std::string total_activation = "total activation";
};

// The figure's words in Japanese.
FigureTexts japanese_figure_texts();

}  // namespace telmor
