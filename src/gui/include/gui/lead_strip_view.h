// The strip above the chart: lead 1 over the whole recording with every beat
// marked and the part the chart shows framed. A click on it names a time.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "console/lead_strip.h"
#include "console/time_axis.h"

namespace telmor {

class LeadStripView : public QWidget {
 public:
  explicit LeadStripView(QWidget* parent = nullptr);

  void set_strip(std::shared_ptr<const LeadStrip> strip);
  // The part of the recording the chart shows (none: no frame).
  void set_shown(const TimeAxis& axis);
  bool has_strip() const { return strip_ && !strip_->samples.empty(); }
  // The recording's time in ms at x of this widget, and back.
  int ms_at(double x) const;
  double x_of(double ms) const;
  // The framed part in widget x (empty when nothing is framed).
  QRectF shown_rect() const;

  // A left click at the time in ms.
  std::function<void(int)> on_pick;

  QSize sizeHint() const override { return QSize(400, 44); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  double duration_ms() const;

  std::shared_ptr<const LeadStrip> strip_;
  int shown_from_ = 0;
  int shown_to_ = 0;
};

}  // namespace telmor
