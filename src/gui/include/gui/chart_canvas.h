// The chart window's drawing surface: a backing-store image that keeps the
// graphics, the text rows written on top of it, the reply being typed, and the
// mouse and keys of the chart, which go to the program's input queues.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
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

  explicit ChartCanvas(InputQueues& input, QWidget* parent = nullptr);
  ~ChartCanvas() override;

  // Program output, applied on the GUI thread. Drawing only marks what has
  // changed; finish_batch() ends the drawing and asks for one repaint of it.
  // A one-pixel line from (x0, y0) to (x1, y1), both ends included, clipped.
  void draw_segment(std::uint32_t colour, int x0, int y0, int x1, int y1);
  // The next text row; rows that no longer fit push the oldest off the top.
  void write_row(const QString& text);
  // Background everywhere, no text, the text row back at the first.
  void clear();
  void set_cross_cursor(bool cross);
  void finish_batch();

  // The graphics alone, and the graphics with text and the typed reply as
  // the window shows them.
  const QImage& image() const { return image_; }
  QImage snapshot() const;
  const std::vector<QString>& rows() const { return rows_; }
  const QString& typed() const { return typed_; }

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

 private:
  // One drawing path for the widget and for snapshots.
  void render(QPainter& painter, const QRect& area) const;
  int row_height() const;
  int visible_rows() const;
  QRect text_area() const;
  void add_row(const QString& text);
  void append_typed(const QString& text);
  void report_mouse(QMouseEvent* event, int left_code, int right_code);
  void end_painter();

  InputQueues& input_;
  QImage image_;
  std::optional<QPainter> painter_;  // open during a batch of segments
  QRect dirty_;
  std::vector<QString> rows_;
  QString typed_;  // the reply typed so far, shown on the next text row
};

}  // namespace telmor
