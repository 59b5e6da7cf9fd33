// The application frame and the GUI-thread half of every program operation.
#include "gui/frame_window.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QScrollArea>
#include <QSplitter>
#include <algorithm>

#include "gui/chart_canvas.h"
#include "gui/console_pane.h"
#include "gui/results_view.h"

namespace telmor {
namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};

QString from_utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

FrameWindow::FrameWindow(QWidget* parent)
    : QMainWindow(parent),
      splitter_(new QSplitter(Qt::Vertical, this)),
      chart_area_(new QScrollArea(splitter_)),
      canvas_(new ChartCanvas(input_)),
      console_(new ConsolePane(input_, splitter_)),
      results_view_(new ResultsView),
      results_dock_(new QDockWidget(QStringLiteral("結果表"), this)) {
  setWindowTitle(QStringLiteral("TELMOR"));
  chart_area_->setWidget(canvas_);  // takes ownership
  chart_area_->setWidgetResizable(false);
  chart_area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  chart_area_->setBackgroundRole(QPalette::Base);  // beyond the surface too, as the chart's paper
  chart_area_->hide();  // until the program opens the chart
  splitter_->addWidget(chart_area_);
  splitter_->addWidget(console_);
  splitter_->setChildrenCollapsible(false);
  // A taller frame gives its extra room to the console; the chart keeps its size.
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  results_dock_->setObjectName(QStringLiteral("results"));
  results_dock_->setWidget(results_view_);  // takes ownership
  addDockWidget(Qt::BottomDockWidgetArea, results_dock_);
  build_menus();
  resize(1080, 900);
  console_->setFocus();
}

FrameWindow::~FrameWindow() {
  // The child widgets refer to input_, which as a member goes before QWidget
  // would delete them: delete them first.
  delete splitter_;
}

bool FrameWindow::chart_is_open() const { return !chart_area_->isHidden(); }

void FrameWindow::apply(const GuiOpBatch& batch) {
  for (const GuiOp& op : batch) apply_one(op);
  canvas_->finish_batch();
}

void FrameWindow::apply_one(const GuiOp& op) {
  std::visit(Overloaded{
                 [this](const gui_op::ConsoleLine& o) { console_->write_line(from_utf8(o.text)); },
                 [this](const gui_op::ChartOpen&) { open_chart(); },
                 [this](const gui_op::ChartLine& o) { canvas_->write_row(from_utf8(o.text)); },
                 [this](const gui_op::ChartClear&) { canvas_->clear(); },
                 [this](const gui_op::ChartClose&) { close_chart(); },
                 [this](const gui_op::Segment& o) {
                   canvas_->draw_segment(o.colour, o.x0, o.y0, o.x1, o.y1);
                 },
                 [this](const gui_op::SetCursor& o) {
                   canvas_->set_cross_cursor(o.cursor == Cursor::cross);
                 },
                 [this](const gui_op::Stop&) { close(); },
                 [this](const gui_op::Results& o) {
                   results_ = o.results;
                   results_view_->show_results(o.results);
                 },
             },
             op);
}

void FrameWindow::open_chart() {
  canvas_->clear();
  chart_area_->show();
  // The chart gets the room of its surface (plus the scroll area's frame);
  // the console keeps the rest.
  const int chart_height = ChartCanvas::kHeight + 2 * chart_area_->frameWidth();
  const int room = splitter_->height() - splitter_->handleWidth();
  splitter_->setSizes({chart_height, std::max(room - chart_height, 80)});
  activateWindow();
  canvas_->setFocus(Qt::OtherFocusReason);
}

void FrameWindow::close_chart() {
  chart_area_->hide();
  console_->setFocus(Qt::OtherFocusReason);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
  // Wakes a program waiting for input; its read throws InputClosed.
  input_.close();
  event->accept();
}

}  // namespace telmor
