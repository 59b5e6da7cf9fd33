// The time ruler and the amplitude bar beside the chart.
#include "gui/chart_ruler.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "base/number_text.h"
#include "gui/chart_canvas.h"
#include "gui/frame_language.h"

namespace telmor {
namespace {

constexpr int kTickMs = 100;
constexpr int kLabelMs = 500;
constexpr double kPixelsPerUnitY = 300.0;  // normalised y 1.0 is pixel row 300
constexpr double kBarMin = 40.0;           // logical pixels

QString from_utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Logical columns to widget x for a surface drawn at rect.
double widget_x(const QRectF& rect, double column) {
  return rect.left() + column * rect.width() / ChartCanvas::kWidth;
}

}  // namespace

std::vector<RulerTick> ruler_ticks(const TimeAxis& axis) {
  std::vector<RulerTick> ticks;
  if (axis.kind == TimeAxis::Kind::none || axis.end_ms <= axis.start_ms) return ticks;
  // The first whole 100 ms at or after the start.
  int ms = axis.start_ms >= 0 ? (axis.start_ms + kTickMs - 1) / kTickMs * kTickMs
                              : -(-axis.start_ms / kTickMs * kTickMs);
  for (; ms <= axis.end_ms; ms += kTickMs)
    ticks.push_back({ms, column_of_ms(axis, ms), ms % kLabelMs == 0});
  return ticks;
}

double scale_bar_amplitude(float yscale) {
  const double per_unit = std::fabs(static_cast<double>(yscale)) * kPixelsPerUnitY;
  if (!(per_unit > 0.0) || !std::isfinite(per_unit)) return 0.0;
  // The smallest 1, 2 or 5 × 10^k whose bar is at least kBarMin high; the
  // next step up is at most 2.5 times as high, so the bar stays under 100.
  double decade = std::pow(10.0, std::floor(std::log10(kBarMin / per_unit)));
  for (;;) {
    for (const double m : {1.0, 2.0, 5.0}) {
      if (m * decade * per_unit >= kBarMin) return m * decade;
    }
    decade *= 10.0;
  }
}

ChartRuler::ChartRuler(SurfaceRect surface, QWidget* parent)
    : QWidget(parent), surface_(std::move(surface)) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setFixedHeight(26);
}

void ChartRuler::set_axis(const TimeAxis& axis) {
  ticks_ = ruler_ticks(axis);
  update();
}

std::vector<double> ChartRuler::tick_positions() const {
  const QRectF rect = surface_();
  std::vector<double> xs;
  for (const RulerTick& tick : ticks_) xs.push_back(widget_x(rect, tick.column));
  return xs;
}

void ChartRuler::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (ticks_.empty()) return;
  const QRectF surface = surface_();
  QPen pen(QColor(0x40, 0x40, 0x40));
  pen.setCosmetic(true);
  painter.setPen(pen);
  const QFontMetrics metrics(font());
  const double first = widget_x(surface, ticks_.front().column);
  const double last = widget_x(surface, ticks_.back().column);
  painter.drawLine(QPointF(first, 0.5), QPointF(last, 0.5));
  for (const RulerTick& tick : ticks_) {
    const double x = widget_x(surface, tick.column);
    painter.drawLine(QPointF(x, 0.0), QPointF(x, tick.labelled ? 8.0 : 4.0));
    if (!tick.labelled) continue;
    const QString label = QString::number(tick.ms);
    const double w = metrics.horizontalAdvance(label);
    // Centred under its tick, but whole: a window that starts on a labelled
    // tick would otherwise show only the second half of its number.
    painter.drawText(QPointF(std::max(x - w / 2.0, 0.0), 9.0 + metrics.ascent()), label);
  }
  // The unit once, after the last label (or the last tick).
  const RulerTick& end = ticks_.back();
  const double after = end.labelled ? metrics.horizontalAdvance(QString::number(end.ms)) / 2.0 : 0.0;
  painter.drawText(QPointF(last + after + 4.0, 9.0 + metrics.ascent()), QStringLiteral("ms"));
}

AmplitudeBar::AmplitudeBar(SurfaceRect surface, QWidget* parent)
    : QWidget(parent), surface_(std::move(surface)) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  setFixedWidth(56);
}

void AmplitudeBar::set_axis(const TimeAxis& axis) {
  yscale_ = axis.kind == TimeAxis::Kind::none ? 0.0f : axis.yscale;
  amplitude_ = scale_bar_amplitude(yscale_);
  update();
}

double AmplitudeBar::bar_height() const {
  if (amplitude_ == 0.0) return 0.0;
  const QRectF surface = surface_();
  return amplitude_ * std::fabs(static_cast<double>(yscale_)) * kPixelsPerUnitY * surface.height() /
         ChartCanvas::kHeight;
}

void AmplitudeBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const double height = bar_height();
  if (height <= 0.0) return;
  QPen pen(QColor(0x20, 0x20, 0x20));
  pen.setCosmetic(true);
  pen.setWidth(2);
  painter.setPen(pen);
  const double mid = this->height() / 2.0;
  const double x = 8.0;
  painter.drawLine(QPointF(x, mid - height / 2.0), QPointF(x, mid + height / 2.0));
  painter.drawLine(QPointF(x - 3.0, mid - height / 2.0), QPointF(x + 3.0, mid - height / 2.0));
  painter.drawLine(QPointF(x - 3.0, mid + height / 2.0), QPointF(x + 3.0, mid + height / 2.0));
  // As many decimals as the power of ten needs: 0.05, 2, 500.
  const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(amplitude_) + 1e-9)));
  painter.drawText(QPointF(x + 6.0, mid + painter.fontMetrics().ascent() / 2.0),
                   from_utf8(format_fixed(amplitude_, decimals)) + (unit_.isEmpty() ? QString() : " " + unit_));
}

void AmplitudeBar::set_unit(const QString& unit) {
  unit_ = unit;
  // A text recording names no unit: the bar is in the file's own values.
  setToolTip(unit.isEmpty() ? ui("振幅（記録の値の単位。テキストの記録は単位を記しません）")
                            : ui("振幅（%1）").arg(unit));
  update();
}

}  // namespace telmor
