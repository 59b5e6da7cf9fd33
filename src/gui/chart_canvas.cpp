// The chart's backing-store canvas: graphics in a QImage, text rows on top.
#include "gui/chart_canvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPen>
#include <algorithm>
#include <limits>

namespace telmor {
namespace {

constexpr int kTextMargin = 2;  // pixels left of every text row

QColor colour_from_colorref(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                static_cast<int>((colour >> 16) & 0xFFu));
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

}  // namespace

ChartCanvas::ChartCanvas(InputQueues& input, QWidget* parent)
    : QWidget(parent), input_(input), image_(kWidth, kHeight, QImage::Format_RGB32) {
  image_.fill(Qt::white);
  setFixedSize(kWidth, kHeight);
  // Only newly exposed parts need painting when the widget grows or scrolls.
  setAttribute(Qt::WA_StaticContents);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  // A fixed-pitch face keeps padded number fields in columns; characters it
  // lacks (Japanese) come from the system's fallback fonts.
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

ChartCanvas::~ChartCanvas() { end_painter(); }

void ChartCanvas::draw_segment(std::uint32_t colour, int x0, int y0, int x1, int y1) {
  if (!painter_) {
    painter_.emplace(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
  }
  QPen pen(colour_from_colorref(colour));
  pen.setWidth(0);  // cosmetic: one pixel whatever the transformation
  pen.setCapStyle(Qt::SquareCap);
  painter_->setPen(pen);
  if (x0 == x1 && y0 == y1) {
    painter_->drawPoint(x0, y0);
  } else {
    painter_->drawLine(x0, y0, x1, y1);
  }
  const QRect touched = QRect(QPoint(std::min(x0, x1), std::min(y0, y1)),
                              QPoint(std::max(x0, x1), std::max(y0, y1)))
                            .intersected(image_.rect());
  dirty_ = dirty_.united(touched);
}

void ChartCanvas::write_row(const QString& text) {
  add_row(text);
  dirty_ = dirty_.united(text_area());
}

void ChartCanvas::add_row(const QString& text) {
  rows_.push_back(text);
  // Keep one row free below the last for the reply being typed.
  const auto limit = static_cast<std::size_t>(std::max(1, visible_rows() - 1));
  if (rows_.size() > limit) rows_.erase(rows_.begin(), rows_.end() - static_cast<long>(limit));
}

void ChartCanvas::clear() {
  end_painter();
  image_.fill(Qt::white);
  rows_.clear();
  dirty_ = image_.rect();
}

void ChartCanvas::set_cross_cursor(bool cross) {
  setCursor(cross ? Qt::CrossCursor : Qt::ArrowCursor);
}

void ChartCanvas::finish_batch() {
  end_painter();
  if (!dirty_.isEmpty()) update(dirty_);
  dirty_ = QRect();
}

QImage ChartCanvas::snapshot() const {
  QImage shot(image_.size(), QImage::Format_RGB32);
  QPainter painter(&shot);
  render(painter, shot.rect());
  return shot;
}

void ChartCanvas::end_painter() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

int ChartCanvas::row_height() const { return std::max(1, QFontMetrics(font()).lineSpacing()); }

int ChartCanvas::visible_rows() const { return kHeight / row_height(); }

QRect ChartCanvas::text_area() const {
  const int rows = static_cast<int>(rows_.size()) + 1;
  return QRect(0, 0, kWidth, std::min(kHeight, rows * row_height()));
}

void ChartCanvas::render(QPainter& painter, const QRect& area) const {
  painter.drawImage(area, image_, area);
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
}

void ChartCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  render(painter, event->rect());
  if (hasFocus()) {
    // Where the next typed character goes.
    const QFontMetrics metrics(font());
    const int top = static_cast<int>(rows_.size()) * row_height();
    const int x = kTextMargin + metrics.horizontalAdvance(typed_);
    painter.drawLine(x, top + 1, x, top + metrics.height() - 2);
  }
}

void ChartCanvas::append_typed(const QString& text) {
  if (text.isEmpty()) return;
  typed_.append(text);
  update(text_area());
}

void ChartCanvas::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const QString line = typed_;
      typed_.clear();
      add_row(line);  // the echo stays as a text row of its own
      update(text_area());
      input_.push_chart_line(line.toStdString());
      return;
    }
    case Qt::Key_Backspace:
      if (!typed_.isEmpty()) {
        // A character outside the basic plane is two UTF-16 units.
        const bool pair = typed_.size() >= 2 && typed_.back().isLowSurrogate();
        typed_.chop(pair ? 2 : 1);
        update(text_area());
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

void ChartCanvas::report_mouse(QMouseEvent* event, int left_code, int right_code) {
  int code = 0;
  if (event->button() == Qt::LeftButton) code = left_code;
  if (event->button() == Qt::RightButton) code = right_code;
  if (code == 0) return;
  const QPoint at = event->position().toPoint();
  input_.push_mouse_event(MouseEvent{code, 0, clamp_to_16(at.x()), clamp_to_16(at.y())});
}

void ChartCanvas::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  report_mouse(event, kLeftPress, kRightPress);
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent* event) {
  report_mouse(event, kLeftRelease, kRightRelease);
}

void ChartCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  report_mouse(event, kLeftDouble, kRightDouble);
}

void ChartCanvas::mouseMoveEvent(QMouseEvent* event) {
  // Without mouse tracking, moves arrive only while a button is held.
  const QPoint at = event->position().toPoint();
  input_.push_mouse_event(MouseEvent{kMouseMove, 0, clamp_to_16(at.x()), clamp_to_16(at.y())});
}

}  // namespace telmor
