#include "figures/figure_texts.h"

namespace telmor {

FigureTexts japanese_figure_texts() {
  FigureTexts t;
  t.at_map = "活性化時間（等時線と伝導速度）";
  t.rt_map = "回復時間と伝導速度";
  t.ari_map_cv = "ARI（活性化回復間隔）と伝導速度";
  t.ari_map = "ARI（活性化回復間隔）";
  t.at_map_plain = "活性化時間と等時線";
  t.after_beat = "拍から";
  t.t_wave_legend = "T波: + 陽性、\u2212 陰性、\u00b1 二相性";
  t.beat = "拍";
  t.at = "時刻";
  t.restitution = "回復特性: DI に対する ARI";
  t.di_axis = "DI (ms)";
  t.ari_axis = "ARI (ms)";
  t.lead = "誘導";
  t.dispersion = "拍ごとのばらつき";
  t.total_activation = "全活性化時間";
  return t;
}

}  // namespace telmor
