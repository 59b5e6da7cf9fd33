// The 解析の設定 dialog: the frame's analysis choices around the dialogue's
// settings (RT's smoothing, the RT windows' margin before the next AT, RT
// windows counted from each lead's AT, the beat search's blanking).
#pragma once

#include <optional>

#include <QWidget>

#include "console/window_layer.h"

namespace telmor {

// The choices as the user leaves them, or nullopt when cancelled. Settings
// of the centred estimator are shown disabled for legacy.
std::optional<AnalysisChoice> ask_analysis_settings(QWidget* parent, const AnalysisChoice& now);

}  // namespace telmor
