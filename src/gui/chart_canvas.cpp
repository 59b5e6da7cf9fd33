// The chart's canvas: graphics kept as one list of lines, text rows on top,
// all painted scaled from logical pixels to the widget.
#include "gui/chart_canvas.h"

#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>

#include "console/colour.h"
#include "gui/text_font.h"
#include "gui/frame_language.h"

namespace telmor {
namespace {

constexpr int kTextMargin = 2;  // pixels left of every text row
constexpr int kLabelMargin = 6;  // pixels between the lead label and the corner

QColor colour_from_colorref(std::uint32_t colour) {
  const Rgb rgb = rgb_from_colorref(colour);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

std::int16_t clamp_to_16(int value) {
  return static_cast<std::int16_t>(std::clamp<int>(value, std::numeric_limits<std::int16_t>::min(),
                                                   std::numeric_limits<std::int16_t>::max()));
}

// Typed text that belongs in a reply: no control characters (Tab, Escape, ...).
QString printable_part(const QString& text) {
  QString kept;
  for (const QChar c : text) {
    if (c.category() != QChar::Other_Control) kept.append(c);
  }
  return kept;
}

// A cosmetic pen: one device pixel wide at any scale.
QPen hairline(const QColor& colour) {
  QPen pen(colour);
  pen.setWidth(0);
  pen.setCapStyle(Qt::SquareCap);
  return pen;
}

void draw_line(QPainter& painter, QPoint from, QPoint to) {
  if (from == to) {
    painter.drawPoint(from);
  } else {
    painter.drawLine(from, to);
  }
}

// Made when it is said: the frame's language is chosen after static start-up.
QString not_asked() { return ui("いまは文字の入力を待っていません。入力は使われませんでした。"); }

}  // namespace

ChartCanvas::ChartCanvas(InputQueues& input, QWidget* parent)
    : QWidget(parent), input_(input) {
  setMinimumSize(kWidth / 4, kHeight / 4);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // the time under the pointer
  setFont(chart_font());
}

void ChartCanvas::draw_segment(std::uint32_t colour, int x0, int y0, int x1, int y1) {
  if (leave_out_right_of_ && x0 > *leave_out_right_of_ && x1 > *leave_out_right_of_) return;
  lines_.push_back(Line{colour_from_colorref(colour), QPoint(x0, y0), QPoint(x1, y1)});
  changed_ = true;
}

void ChartCanvas::write_row(const QString& text) {
  add_row(text);
  changed_ = true;
}

void ChartCanvas::add_row(const QString& text) {
  rows_.push_back(text);
  // Keep one row free below the last for the reply being typed.
  const auto limit = static_cast<std::size_t>(std::max(1, visible_rows() - 1));
  if (rows_.size() > limit) rows_.erase(rows_.begin(), rows_.end() - static_cast<long>(limit));
}

void ChartCanvas::clear() {
  lines_.clear();
  rows_.clear();
  changed_ = true;
}

void ChartCanvas::set_cross_cursor(bool cross) {
  setCursor(cross ? Qt::CrossCursor : Qt::ArrowCursor);
}

void ChartCanvas::finish_batch() {
  if (changed_) update();
  changed_ = false;
}

void ChartCanvas::leave_out_right_of(std::optional<int> column) { leave_out_right_of_ = column; }

void ChartCanvas::set_asking(bool asking) {
  asking_ = asking;
  if (!asking_ && !typed_.isEmpty()) {
    typed_.clear();
    update();
  }
}

bool ChartCanvas::send_reply(const QString& text) {
  if (!asking_) return false;
  typed_ = text;
  send_typed();
  return true;
}

void ChartCanvas::set_lead_label(const QString& label) {
  if (label == lead_label_) return;
  lead_label_ = label;
  update();
}

QRectF ChartCanvas::surface_rect() const {
  const double scale = std::min(static_cast<double>(width()) / kWidth,
                                static_cast<double>(height()) / kHeight);
  const double w = kWidth * scale;
  // Centred across, at the top: the console below stays close.
  return QRectF((width() - w) / 2.0, 0.0, w, kHeight * scale);
}

std::optional<QPoint> ChartCanvas::logical_pixel(QPointF at) const {
  const QRectF surface = surface_rect();
  if (surface.width() <= 0.0) return std::nullopt;
  const double scale = surface.width() / kWidth;
  const int x = static_cast<int>(std::floor((at.x() - surface.left()) / scale));
  const int y = static_cast<int>(std::floor((at.y() - surface.top()) / scale));
  if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return std::nullopt;
  return QPoint(x, y);
}

QImage ChartCanvas::image() const {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  draw_lines(painter);
  return image;
}

QImage ChartCanvas::snapshot() const {
  QImage shot = image();
  QPainter painter(&shot);
  draw_text(painter);
  return shot;
}

void ChartCanvas::draw_lines(QPainter& painter) const {
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const Line& line : lines_) {
    painter.setPen(hairline(line.colour));
    draw_line(painter, line.from, line.to);
  }
}

int ChartCanvas::row_height() const { return std::max(1, QFontMetrics(font()).lineSpacing()); }

int ChartCanvas::visible_rows() const { return kHeight / row_height(); }

void ChartCanvas::draw_text(QPainter& painter) const {
  painter.setFont(font());
  painter.setPen(Qt::black);
  const QFontMetrics metrics(font());
  const int height = row_height();
  int baseline = metrics.ascent();
  for (const QString& row : rows_) {
    painter.drawText(kTextMargin, baseline, row);
    baseline += height;
  }
  painter.drawText(kTextMargin, baseline, typed_);
  if (!lead_label_.isEmpty()) {
    // Below the curves and right of the text rows: a corner no drawing uses.
    painter.setPen(QColor(0x30, 0x30, 0x90));
    const int x = kWidth - kLabelMargin - metrics.horizontalAdvance(lead_label_);
    painter.drawText(x, kHeight - kLabelMargin - metrics.descent(), lead_label_);
  }
}

void ChartCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);  // the paper beyond the surface too
  const QRectF surface = surface_rect();
  const double scale = surface.width() / kWidth;
  painter.translate(surface.topLeft());
  painter.scale(scale, scale);
  draw_lines(painter);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  draw_text(painter);
  if (hasFocus() && asking_) {
    // Where the next typed character goes.
    const QFontMetrics metrics(font());
    const int top = static_cast<int>(rows_.size()) * row_height();
    const int x = kTextMargin + metrics.horizontalAdvance(typed_);
    painter.setPen(hairline(Qt::black));
    painter.drawLine(x, top + 1, x, top + metrics.height() - 2);
  }
}

void ChartCanvas::append_typed(const QString& text) {
  if (text.isEmpty()) return;
  if (!asking_) {
    if (on_unread) on_unread(not_asked());
    return;
  }
  typed_.append(text);
  update();
}

void ChartCanvas::send_typed() {
  const QString line = std::exchange(typed_, QString());
  if (!input_.push_chart_line(line.toStdString())) {
    asking_ = false;
    update();
    if (on_unread) on_unread(not_asked());
    return;
  }
  asking_ = false;  // one line per question
  add_row(line);    // the echo stays as a text row of its own
  update();
  if (on_sent) on_sent();
}

void ChartCanvas::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (asking_) {
        send_typed();
      } else if (on_unread) {
        on_unread(not_asked());
      }
      return;
    case Qt::Key_Backspace:
      if (!typed_.isEmpty()) {
        // A character outside the basic plane is two UTF-16 units.
        const bool pair = typed_.size() >= 2 && typed_.back().isLowSurrogate();
        typed_.chop(pair ? 2 : 1);
        update();
      }
      return;
    default:
      break;
  }
  const QString text = printable_part(event->text());
  if (text.isEmpty()) {
    QWidget::keyPressEvent(event);
    return;
  }
  append_typed(text);
}

void ChartCanvas::inputMethodEvent(QInputMethodEvent* event) {
  // Text composed with an input method (Japanese kana-kanji) counts once committed.
  append_typed(printable_part(event->commitString()));
  event->accept();
}

void ChartCanvas::report_mouse(QMouseEvent* event, int code) {
  const std::optional<QPoint> at = logical_pixel(event->position());
  if (!at) return;  // the paper beside the surface is not the chart
  input_.push_mouse_event(MouseEvent{code, clamp_to_16(at->x()), clamp_to_16(at->y())});
}

void ChartCanvas::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton) report_mouse(event, kLeftPress);
  if (event->button() == Qt::RightButton) {
    last_right_press_ms_ = event->timestamp();
    report_mouse(event, kRightPress);
  }
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) report_mouse(event, kLeftRelease);
  if (event->button() == Qt::RightButton) report_mouse(event, kRightRelease);
}

void ChartCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) report_mouse(event, kLeftDouble);
  if (event->button() == Qt::RightButton) {
    // A right double-click goes back a window; quick single clicks must not.
    const bool quick = event->timestamp() - last_right_press_ms_ <= kRightDoubleMs;
    last_right_press_ms_ = event->timestamp();
    report_mouse(event, quick ? kRightDouble : kRightPress);
  }
}

void ChartCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (on_pointer) on_pointer(logical_pixel(event->position()));
  // Moves count as events of the chart only while a button is held, as
  // without mouse tracking.
  if (event->buttons() != Qt::NoButton) report_mouse(event, kMouseMove);
}

void ChartCanvas::leaveEvent(QEvent*) {
  if (on_pointer) on_pointer(std::nullopt);
}

}  // namespace telmor
