// The chart window's drawing surface. The program draws on 1024 x 384 logical
// pixels; the widget shows them scaled to the room it is given, keeping the
// aspect ratio, and maps the mouse back to logical pixels. The graphics are
// the list of lines since the last clear: repainted sharp at any scale, and
// rasterised at the logical size for snapshots and exports.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "console/window_layer.h"
#include "gui/input_queues.h"

namespace telmor {

class ChartCanvas : public QWidget {
 public:
  // Large enough for normalised x 1.0 (column 1000) and the click lines down
  // to row 350.
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 384;
  // Right clicks further apart than this are two clicks, not a double-click,
  // even within the system's double-click interval: quick clicks step on.
  static constexpr int kRightDoubleMs = 200;

  explicit ChartCanvas(InputQueues& input, QWidget* parent = nullptr);

  // Program output, applied on the GUI thread; finish_batch() ends a batch
  // of it and asks for one repaint.
  // A one-pixel line from (x0, y0) to (x1, y1), both ends included, clipped.
  void draw_segment(std::uint32_t colour, int x0, int y0, int x1, int y1);
  // The next text row; rows that no longer fit push the oldest off the top.
  void write_row(const QString& text);
  // Background everywhere, no text, the text row back at the first.
  void clear();
  void set_cross_cursor(bool cross);
  // Lines drawn from now on that lie wholly right of column are left out
  // (none: all are drawn): the overview's markers of beats after its four
  // seconds would stand where there is no curve.
  void leave_out_right_of(std::optional<int> column);
  void finish_batch();

  // Whether the program waits for a line typed into the chart; typing goes
  // into a reply only then.
  void set_asking(bool asking);
  bool asking() const { return asking_; }
  // Types a whole reply, as the keyboard would, and sends it. False (and
  // nothing typed) when no reply is asked for.
  bool send_reply(const QString& text);
  // The lead label drawn in the bottom-right corner ("" for none).
  void set_lead_label(const QString& label);
  const QString& lead_label() const { return lead_label_; }

  // Called with what the frame should say when a typed line went unread, and
  // with the logical pixel under the pointer (none when it left the surface).
  std::function<void(const QString&)> on_unread;
  // A typed line went to the question that waited.
  std::function<void()> on_sent;
  std::function<void(std::optional<QPoint>)> on_pointer;

  // The graphics alone, and the graphics with text and the typed reply as
  // the window shows them, at the logical size.
  QImage image() const;
  QImage snapshot() const;
  const std::vector<QString>& rows() const { return rows_; }
  const QString& typed() const { return typed_; }
  // Where the logical surface lies in the widget, and the logical pixel
  // under a point of the widget (none outside the surface).
  QRectF surface_rect() const;
  std::optional<QPoint> logical_pixel(QPointF at) const;

  QSize sizeHint() const override { return QSize(kWidth, kHeight); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // QWidget's own version passes a double-click on as a press; here it is an
  // event of its own, after the press that began it.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  struct Line {
    QColor colour;
    QPoint from;
    QPoint to;
  };

  // Text rows, typed reply and lead label in logical pixels.
  void draw_text(QPainter& painter) const;
  int row_height() const;
  int visible_rows() const;
  void add_row(const QString& text);
  void append_typed(const QString& text);
  void send_typed();
  // The lines, at the painter's scale.
  void draw_lines(QPainter& painter) const;
  void report_mouse(QMouseEvent* event, int code);

  InputQueues& input_;
  std::vector<Line> lines_;
  bool changed_ = false;
  std::vector<QString> rows_;
  QString typed_;  // the reply typed so far, shown on the next text row
  QString lead_label_;
  bool asking_ = false;
  std::optional<int> leave_out_right_of_;
  std::uint64_t last_right_press_ms_ = 0;
};

}  // namespace telmor
