// The maps dock, drawing with the figures library into a QImage through a
// cairo surface over the image's own pixels.
#include "gui/maps_dock.h"
#include "gui/frame_language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QHeaderView>
#include <QVBoxLayout>
#include <cairo.h>
#include <fstream>
#include <sstream>

#include "figures/figure_texts.h"
#include "figures/recording_figure.h"
#include "base/utf8_path.h"
#include "files/file_replace.h"
#include "readers/layout_file.h"
#include "session/session_marks.h"
#include "words/words.h"

namespace telmor {

// The figure at the widget's size, redrawn when either changes.
// The figure keeps its aspect at any size, never smaller than readable: a
// small dock scrolls it rather than squashing it.
class FigureCanvas : public QWidget {
 public:
  explicit FigureCanvas(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kFigureWidth * 3 / 4, kFigureHeight * 3 / 4);
  }
  std::function<QImage(int, int)> draw;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!draw) return;
    const double scale = std::min(static_cast<double>(width()) / kFigureWidth,
                                  static_cast<double>(height()) / kFigureHeight);
    const int w = static_cast<int>(kFigureWidth * scale), h = static_cast<int>(kFigureHeight * scale);
    painter.drawImage((width() - w) / 2, (height() - h) / 2, draw(w, h));
  }
};

namespace {

}  // namespace

MapsDock::MapsDock(QWidget* parent)
    : QWidget(parent),
      beat_(new QComboBox),
      map_(new QComboBox),
      layout_line_(new QLabel(ui("配置: なし"))),
      left_out_line_(new QLabel),
      choose_(new QPushButton(ui("配置ファイル…"))),
      save_(new QPushButton(ui("図を保存…"))),
      absolute_(new QCheckBox(ui("記録の始めからの時刻"))),
      canvas_(new FigureCanvas(this)),
      velocities_(new QTableWidget(this)) {
  map_->addItems({QStringLiteral("AT"), QStringLiteral("RT"), QStringLiteral("ARI")});
  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(ui("拍")));
  controls->addWidget(beat_);
  controls->addWidget(map_);
  controls->addWidget(choose_);
  controls->addWidget(save_);
  controls->addWidget(absolute_);
  controls->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(layout_line_);
  layout->addWidget(left_out_line_);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(canvas_);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  // The figure, and the velocities of the beat shown with the flags its
  // arrows draw in red, as two pages of the dock.
  auto* pages = new QTabWidget(this);
  pages->addTab(scroll, ui("図"));
  pages->addTab(velocities_, ui("伝導速度"));
  layout->addWidget(pages, 1);
  velocities_->setColumnCount(5);
  velocities_->setHorizontalHeaderLabels({ui("誘導"), ui("速さ m/s"),
                                          ui("向き °"), ui("近傍"),
                                          ui("注意")});
  velocities_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  velocities_->verticalHeader()->hide();
  canvas_->draw = [this](int w, int h) { return render(w, h); };
  connect(beat_, &QComboBox::currentIndexChanged, this, [this] { canvas_->update(); });
  connect(map_, &QComboBox::currentIndexChanged, this, [this] { canvas_->update(); });
  connect(absolute_, &QCheckBox::toggled, this, [this] { canvas_->update(); });
  connect(beat_, &QComboBox::currentIndexChanged, this, [this] { fill_velocities(); });
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
  left_out_line_->setText(ui("マップから除いた印: 信号のない誘導 %1 個、窓の端に近いか弱い %2 個")
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
    layout_line_->setText(ui("配置: なし（%1 がありません）").arg(QString::fromStdString(utf8_from_path(file))));
    refresh();
    return false;
  }
  return use_layout_file(file);
}

bool MapsDock::use_layout_file(const std::filesystem::path& file) {
  const QString name = QString::fromStdString(utf8_from_path(file));
  LayoutReading reading;
  if (const std::error_code error = read_layout_file(file, reading)) {
    layout_line_->setText(ui("配置ファイル %1 を読めません: %2")
                              .arg(name, QString::fromStdString(frame_words().open_error(error))));
    return false;
  }
  if (reading.problem) {
    layout_line_->setText(ui("配置ファイル %1 の%2行目: %3")
                              .arg(name, QString::number(reading.problem.line),
                                   QString::fromStdString(frame_words().layout_fault(reading.problem.fault))));
    return false;
  }
  layout_ = reading.layout;
  layout_line_->setText(ui("配置: %1（電極 %2 個）").arg(name).arg(layout_->electrodes.size()));
  refresh();
  return true;
}

FigureData MapsDock::figure() const {
  FigureData figure = figure_data(results_ ? results_->recording : std::string(), table_, *layout_,
                                  beat_->currentIndex() + 1);
  if (results_) figure.labels = results_->labels;
  figure.first_map = static_cast<MarkQuantity>(std::max(map_->currentIndex(), 0));
  figure.texts = frame_language() == Language::japanese ? japanese_figure_texts() : FigureTexts{};
  figure.times_after_beat = !absolute_->isChecked();
  return figure;
}

QImage MapsDock::render(int width, int height) const {
  QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  if (!layout_ || table_.beat_count() == 0) return image;
  const FigureData shown = figure();
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      image.bits(), CAIRO_FORMAT_ARGB32, image.width(), image.height(), static_cast<int>(image.bytesPerLine()));
  cairo_t* cr = cairo_create(surface);
  // Drawn at the files' size, scaled to the widget: the same figure.
  cairo_scale(cr, static_cast<double>(image.width()) / kFigureWidth, static_cast<double>(image.height()) / kFigureHeight);
  draw_figure(cr, shown, kFigureWidth, kFigureHeight);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return image;
}

std::error_code MapsDock::save_figure(const std::filesystem::path& file) const {
  if (!layout_ || table_.beat_count() == 0) return std::make_error_code(std::errc::invalid_argument);
  const bool svg = file.extension() == ".svg" || file.extension() == ".SVG";
  const FigureData shown = figure();
  const std::string bytes = svg ? figure_svg(shown) : figure_png(shown);
  if (bytes.empty()) return std::make_error_code(std::errc::io_error);
  return replace_file_contents(file, bytes);
}

void MapsDock::fill_velocities() {
  velocities_->setRowCount(0);
  if (!layout_ || table_.beat_count() == 0 || beat_->currentIndex() < 0) return;
  const FigureData shown = figure();
  velocities_->setRowCount(static_cast<int>(shown.cv.size()));
  int row = 0;
  for (const CvVector& v : shown.cv) {
    const bool value = v.flag != CvFlag::no_value;
    const QString flag = v.flag == CvFlag::none ? QString() : QString::fromUtf8(cv_flag_name(v.flag).data(),
                                                                                  static_cast<qsizetype>(cv_flag_name(v.flag).size()));
    const QStringList cells = {QString::number(v.lead), value ? QString::number(v.speed_m_s, 'f', 2) : QString(),
                               value ? QString::number(v.direction_deg, 'f', 0) : QString(),
                               QString::number(v.neighbours), flag};
    for (int column = 0; column < cells.size(); ++column)
      velocities_->setItem(row, column, new QTableWidgetItem(cells[column]));
    ++row;
  }
}

void MapsDock::refresh() {
  const bool drawable = layout_.has_value() && table_.beat_count() > 0;
  save_->setEnabled(drawable);
  fill_velocities();
  beat_->setEnabled(table_.beat_count() > 0);
  canvas_->update();
}

void MapsDock::choose_layout() {
  const QString file = QFileDialog::getOpenFileName(this, ui("配置ファイル"), QString(),
                                                    ui("配置 (*.csv)"));
  if (!file.isEmpty()) use_layout_file(path_from_utf8(file.toStdString()));
}

void MapsDock::save_dialog() {
  const QString file = QFileDialog::getSaveFileName(this, ui("図を保存"), QString(),
                                                    QStringLiteral("SVG (*.svg);;PNG (*.png)"));
  if (file.isEmpty()) return;
  if (const std::error_code error = save_figure(path_from_utf8(file.toStdString())))
    layout_line_->setText(ui("図を保存できません（%1）。").arg(QString::fromStdString(error.message())));
}

}  // namespace telmor
