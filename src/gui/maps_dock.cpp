// The maps dock, drawing with the figures library into a QImage through a
// cairo surface over the image's own pixels.
#include "gui/maps_dock.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cairo.h>
#include <fstream>
#include <sstream>

#include "figures/recording_figure.h"
#include "base/utf8_path.h"
#include "results/file_replace.h"
#include "readers/layout_file.h"
#include "session/session_marks.h"
#include "words/words.h"

namespace telmor {

// The figure at the widget's size, redrawn when either changes.
class FigureCanvas : public QWidget {
 public:
  explicit FigureCanvas(QWidget* parent) : QWidget(parent) { setMinimumSize(300, 225); }
  std::function<QImage(int, int)> draw;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (draw) painter.drawImage(0, 0, draw(width(), height()));
  }
};

namespace {

}  // namespace

MapsDock::MapsDock(QWidget* parent)
    : QWidget(parent),
      beat_(new QComboBox),
      map_(new QComboBox),
      layout_line_(new QLabel(QStringLiteral("配置: なし"))),
      left_out_line_(new QLabel),
      choose_(new QPushButton(QStringLiteral("配置ファイル…"))),
      save_(new QPushButton(QStringLiteral("図を保存…"))),
      canvas_(new FigureCanvas(this)) {
  map_->addItems({QStringLiteral("AT"), QStringLiteral("RT"), QStringLiteral("ARI")});
  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("拍")));
  controls->addWidget(beat_);
  controls->addWidget(map_);
  controls->addWidget(choose_);
  controls->addWidget(save_);
  controls->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(layout_line_);
  layout->addWidget(left_out_line_);
  layout->addWidget(canvas_, 1);
  canvas_->draw = [this](int w, int h) { return render(w, h); };
  connect(beat_, &QComboBox::currentIndexChanged, this, [this] { canvas_->update(); });
  connect(map_, &QComboBox::currentIndexChanged, this, [this] { canvas_->update(); });
  connect(choose_, &QPushButton::clicked, this, [this] { choose_layout(); });
  connect(save_, &QPushButton::clicked, this, [this] { save_dialog(); });
  refresh();
}

void MapsDock::show_results(std::shared_ptr<const ResultsSnapshot> results) {
  results_ = std::move(results);
  table_ = results_ ? assign_marks(*results_) : BeatTable{};
  const int chosen = beat_->currentIndex();
  beat_->blockSignals(true);
  beat_->clear();
  for (int k = 1; k <= table_.beat_count(); ++k) {
    beat_->addItem(QString::number(k) + QStringLiteral(" (") +
                   QString::number(table_.beats[static_cast<std::size_t>(k - 1)]) + QStringLiteral(" ms)"));
  }
  // The middle beat at first, as the batch's figure; then the beat chosen.
  const int middle = middle_beat(table_) - 1;
  beat_->setCurrentIndex(chosen >= 0 && chosen < beat_->count() ? chosen : middle);
  beat_->blockSignals(false);
  // What the maps do not rest on, said: dead leads and flagged marks.
  const LeftOut left = left_out(table_);
  left_out_line_->setText(QStringLiteral("マップから除いた印: 信号のない誘導 %1 個、窓の端に近いか弱い %2 個")
                              .arg(left.dead_lead)
                              .arg(left.flagged));
  left_out_line_->setHidden(left.total() == 0);
  refresh();
}

bool MapsDock::use_layout_beside(const std::filesystem::path& folder, const std::string& name) {
  const std::filesystem::path file = folder / path_from_utf8(name + ".layout.csv");
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    layout_.reset();
    layout_line_->setText(QStringLiteral("配置: なし（") + QString::fromStdString(utf8_from_path(file)) +
                          QStringLiteral(" がありません）"));
    refresh();
    return false;
  }
  return use_layout_file(file);
}

bool MapsDock::use_layout_file(const std::filesystem::path& file) {
  const QString name = QString::fromStdString(utf8_from_path(file));
  LayoutReading reading;
  if (const std::error_code error = read_layout_file(file, reading)) {
    layout_line_->setText(QStringLiteral("配置ファイル ") + name + QStringLiteral(" を読めません: ") +
                          QString::fromStdString(japanese().open_error(error)));
    return false;
  }
  if (reading.problem) {
    layout_line_->setText(QStringLiteral("配置ファイル ") + name + QStringLiteral(" の") +
                          QString::number(reading.problem.line) + QStringLiteral("行目: ") +
                          QString::fromStdString(japanese().layout_fault(reading.problem.fault)));
    return false;
  }
  layout_ = reading.layout;
  layout_line_->setText(QStringLiteral("配置: ") + name + QStringLiteral("（電極 ") +
                        QString::number(layout_->electrodes.size()) + QStringLiteral(" 個）"));
  refresh();
  return true;
}

QImage MapsDock::render(int width, int height) const {
  QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  if (!layout_ || table_.beat_count() == 0) return image;
  FigureData figure = figure_data(results_ ? results_->recording : std::string(), table_, *layout_,
                                  beat_->currentIndex() + 1);
  if (results_) figure.labels = results_->labels;
  figure.first_map = static_cast<MarkQuantity>(std::max(map_->currentIndex(), 0));
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      image.bits(), CAIRO_FORMAT_ARGB32, image.width(), image.height(), static_cast<int>(image.bytesPerLine()));
  cairo_t* cr = cairo_create(surface);
  draw_figure(cr, figure, image.width(), image.height());
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return image;
}

std::error_code MapsDock::save_figure(const std::filesystem::path& file) const {
  if (!layout_ || table_.beat_count() == 0) return std::make_error_code(std::errc::invalid_argument);
  FigureData figure = figure_data(results_ ? results_->recording : std::string(), table_, *layout_,
                                  beat_->currentIndex() + 1);
  if (results_) figure.labels = results_->labels;
  figure.first_map = static_cast<MarkQuantity>(std::max(map_->currentIndex(), 0));
  const bool svg = file.extension() == ".svg" || file.extension() == ".SVG";
  const std::string bytes = svg ? figure_svg(figure) : figure_png(figure);
  if (bytes.empty()) return std::make_error_code(std::errc::io_error);
  return replace_file_contents(file, bytes);
}

void MapsDock::refresh() {
  const bool drawable = layout_.has_value() && table_.beat_count() > 0;
  save_->setEnabled(drawable);
  beat_->setEnabled(table_.beat_count() > 0);
  canvas_->update();
}

void MapsDock::choose_layout() {
  const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("配置ファイル"), QString(),
                                                    QStringLiteral("配置 (*.csv)"));
  if (!file.isEmpty()) use_layout_file(path_from_utf8(file.toStdString()));
}

void MapsDock::save_dialog() {
  const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("図を保存"), QString(),
                                                    QStringLiteral("SVG (*.svg);;PNG (*.png)"));
  if (file.isEmpty()) return;
  if (const std::error_code error = save_figure(path_from_utf8(file.toStdString())))
    layout_line_->setText(QStringLiteral("図を保存できません（") + QString::fromStdString(error.message()) +
                          QStringLiteral("）。"));
}

}  // namespace telmor
