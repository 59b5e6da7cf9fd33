// The frame's scales around the chart: a time ruler below it and an
// amplitude bar beside it. Both belong to the frame, not to the chart the
// program draws, and follow the chart's scaled surface at any window size.
#pragma once

#include <QRectF>
#include <QWidget>
#include <functional>
#include <vector>

#include "console/time_axis.h"

namespace telmor {

struct RulerTick {
  int ms = 0;
  double column = 0.0;  // logical pixel column of the chart
  bool labelled = false;
};

// Ticks every 100 ms from the axis's start to its end, labelled every 500 ms
// (times that are whole multiples, so the labels read the same in every
// window); none when the chart shows no time.
std::vector<RulerTick> ruler_ticks(const TimeAxis& axis);

// The amplitude a bar shows for yscale (normalised y per file unit): a 1, 2
// or 5 times a power of ten whose bar is 40 to 100 logical pixels high; 0
// when yscale is not a usable scale.
double scale_bar_amplitude(float yscale);

// Where the chart's logical surface lies in the chart widget; the ruler and
// the bar sit beside it in the same layout and use it to line up.
using SurfaceRect = std::function<QRectF()>;

class ChartRuler : public QWidget {
 public:
  ChartRuler(SurfaceRect surface, QWidget* parent = nullptr);
  void set_axis(const TimeAxis& axis);
  // The x in this widget of each tick, as painted.
  std::vector<double> tick_positions() const;
  QSize sizeHint() const override { return QSize(400, 26); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SurfaceRect surface_;
  std::vector<RulerTick> ticks_;
};

class AmplitudeBar : public QWidget {
 public:
  AmplitudeBar(SurfaceRect surface, QWidget* parent = nullptr);
  void set_axis(const TimeAxis& axis);
  // The unit of the recording's values ("" where the file names none).
  void set_unit(const QString& unit);
  double amplitude() const { return amplitude_; }
  // The bar's height in this widget's pixels (0 without a bar).
  double bar_height() const;
  QSize sizeHint() const override { return QSize(56, 100); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SurfaceRect surface_;
  float yscale_ = 0.0f;
  double amplitude_ = 0.0;
  QString unit_;
};

}  // namespace telmor
