// The lead-1 strip: an envelope per pixel column, beat ticks, the shown part.
#include "gui/lead_strip_view.h"
#include "gui/frame_language.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace telmor {
namespace {

constexpr double kMargin = 4.0;  // room at both ends so that the frame's edges show

}  // namespace

LeadStripView::LeadStripView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setFixedHeight(44);
  setToolTip(ui("誘導1（全体）。修正中はクリックでその位置の窓へ"));
}

void LeadStripView::set_strip(std::shared_ptr<const LeadStrip> strip) {
  strip_ = std::move(strip);
  update();
}

void LeadStripView::set_shown(const TimeAxis& axis) {
  if (axis.kind == TimeAxis::Kind::none) {
    shown_from_ = shown_to_ = 0;
  } else {
    shown_from_ = axis.start_ms;
    shown_to_ = axis.end_ms;
  }
  update();
}

double LeadStripView::duration_ms() const {
  return has_strip() ? static_cast<double>(strip_->samples.size()) : 0.0;
}

double LeadStripView::x_of(double ms) const {
  const double span = std::max(1.0, width() - 2.0 * kMargin);
  return kMargin + ms * span / std::max(1.0, duration_ms());
}

int LeadStripView::ms_at(double x) const {
  const double span = std::max(1.0, width() - 2.0 * kMargin);
  const double ms = (x - kMargin) * duration_ms() / span;
  return static_cast<int>(std::lround(std::clamp(ms, 0.0, duration_ms())));
}

QRectF LeadStripView::shown_rect() const {
  if (!has_strip() || shown_to_ <= shown_from_) return {};
  const double from = x_of(std::clamp(static_cast<double>(shown_from_), 0.0, duration_ms()));
  const double to = x_of(std::clamp(static_cast<double>(shown_to_), 0.0, duration_ms()));
  return QRectF(QPointF(from, 1.0), QPointF(to, height() - 1.0));
}

void LeadStripView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!has_strip()) return;
  const std::vector<float>& samples = strip_->samples;
  const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
  const double range = std::max(1e-30, static_cast<double>(*high) - static_cast<double>(*low));
  const double top = 3.0;
  const double room = height() - 6.0;
  const auto y_of = [&](float v) { return top + (static_cast<double>(*high) - static_cast<double>(v)) / range * room; };

  QPen curve(QColor(0x00, 0x00, 0xC0));
  curve.setCosmetic(true);
  painter.setPen(curve);
  // One vertical stroke per pixel column, from the column's lowest to its
  // highest sample: every spike stays visible however long the recording.
  const int columns = std::max(1, static_cast<int>(width() - 2.0 * kMargin));
  const std::size_t n = samples.size();
  for (int c = 0; c < columns; ++c) {
    const std::size_t from = n * static_cast<std::size_t>(c) / static_cast<std::size_t>(columns);
    const std::size_t to =
        std::max(from + 1, n * static_cast<std::size_t>(c + 1) / static_cast<std::size_t>(columns));
    const auto [lo, hi] = std::minmax_element(samples.begin() + static_cast<long>(from),
                                              samples.begin() + static_cast<long>(std::min(to, n)));
    const double x = kMargin + c + 0.5;
    painter.drawLine(QPointF(x, y_of(*hi)), QPointF(x, y_of(*lo) + 0.5));
  }

  QPen beat(QColor(0xD0, 0x40, 0x00));
  beat.setCosmetic(true);
  painter.setPen(beat);
  for (const std::int32_t ms : strip_->beat_ms) {
    const double x = x_of(ms);
    painter.drawLine(QPointF(x, 0.0), QPointF(x, 5.0));
  }

  const QRectF shown = shown_rect();
  if (!shown.isEmpty()) {
    QPen frame(QColor(0xE0, 0x20, 0x20));
    frame.setCosmetic(true);
    frame.setWidth(2);
    painter.setPen(frame);
    painter.setBrush(QColor(0xE0, 0x20, 0x20, 0x28));
    painter.drawRect(shown);
  }
}

void LeadStripView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !has_strip()) return;
  if (on_pick) on_pick(ms_at(event->position().x()));
}

}  // namespace telmor
