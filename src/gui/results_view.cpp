// The results view's widgets, filled from the grid of the last copy.
#include "gui/results_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "base/number_text.h"
#include "gui/colour_scale.h"
#include "gui/frame_language.h"
#include "session/session_marks.h"
#include "words/words.h"

namespace telmor {

// The colour scale with the values at its ends.
class ScaleLegend : public QWidget {
 public:
  explicit ScaleLegend(QWidget* parent) : QWidget(parent) { setFixedHeight(22); }
  void set_range(bool shown, std::int32_t low, std::int32_t high, const QString& what) {
    shown_ = shown;
    low_ = low;
    high_ = high;
    what_ = what;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!shown_) return;
    QPainter painter(this);
    const QString low = what_ + QString::number(low_) + " ms";
    const QString high = QString::number(high_) + " ms";
    const int low_width = fontMetrics().horizontalAdvance(low) + 8;
    const int text = fontMetrics().horizontalAdvance(high) + 8;
    const QRect bar(low_width, 3, std::max(1, width() - low_width - text - 8), height() - 6);
    for (int x = 0; x < bar.width(); ++x) {
      painter.setPen(scale_colour(static_cast<double>(x) / std::max(1, bar.width() - 1)));
      painter.drawLine(bar.left() + x, bar.top(), bar.left() + x, bar.bottom());
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, 0, bar.left() - 4, height()), Qt::AlignRight | Qt::AlignVCenter, low);
    painter.drawText(QRect(bar.right() + 4, 0, text, height()), Qt::AlignLeft | Qt::AlignVCenter, high);
  }

 private:
  bool shown_ = false;
  std::int32_t low_ = 0, high_ = 0;
  QString what_;
};

namespace {

// Flagged cells get a red frame; cells with a hand mark a small corner triangle.
class CellMarks : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    if (index.data(kFlaggedRole).toBool()) {
      painter->setPen(QPen(QColor(220, 20, 60), 2));
      painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    }
    if (index.data(kByHandRole).toBool()) {
      const QRect r = option.rect;
      const QPoint corner[3] = {r.topRight() + QPoint(-9, 1), r.topRight() + QPoint(-1, 1),
                                r.topRight() + QPoint(-1, 9)};
      painter->setPen(Qt::NoPen);
      painter->setBrush(QColor(255, 140, 0));
      painter->drawPolygon(corner, 3);
    }
    painter->restore();
  }
};

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

QString source_words(MarkSource source) {
  switch (source) {
    case MarkSource::detected:
      return ui("自動");
    case MarkSource::hand:
      return ui("手");
    case MarkSource::loaded:
      return ui("読込");
    case MarkSource::none:
      break;
  }
  return {};
}

QString mark_line(const char* kind, const OwnedMarks& marks) {
  QString line = QString::fromLatin1(kind) + " ";
  if (marks.count == 0) return line + ui("なし");
  line += ui("%1 ms（%2）").arg(marks.earliest).arg(source_words(marks.earliest_source));
  if (marks.count > 1) line += ui("、ほか%1個").arg(marks.count - 1);
  // Where between samples it lies, and how far it stands out of the noise.
  if (std::isfinite(marks.fine_ms)) line += ui("  精密 %1 ms").arg(marks.fine_ms, 0, 'f', 2);
  if (std::isfinite(marks.quality)) line += ui("  品質 %1").arg(marks.quality, 0, 'f', 1);
  // The T wave an RT sits on: its timing against the membrane's repolarisation
  // differs by polarity.
  switch (marks.polarity) {
    case TPolarity::positive:
      line += ui("  T波 陽性");
      break;
    case TPolarity::negative:
      line += ui("  T波 陰性");
      break;
    case TPolarity::biphasic:
      line += ui("  T波 二相性");
      break;
    case TPolarity::none:
      break;
  }
  return line;
}

// Every mark of a kind in the lead that falls in [from, to), with its time and
// source, as the tables hold them (the cell shows only the earliest).
QString every_mark(const char* kind, const ResultsSnapshot& results, bool rt, int lead,
                   std::int64_t from, std::int64_t to) {
  const auto l = static_cast<std::size_t>(lead - 1);
  const MarkColumn& times = rt ? results.marks.rt_ms_table[l] : results.marks.at_ms_table[l];
  const SourceColumn& sources = rt ? results.marks.rt_source_table[l] : results.marks.at_source_table[l];
  const int rows = rt ? results.marks.rt_beat_count : results.marks.at_beat_count;
  QStringList marks;
  for (int row = 0; row < std::min(rows, kMaxRows); ++row) {
    const auto r = static_cast<std::size_t>(row);
    if (times[r] == 0.0f) continue;  // an empty entry
    const std::int64_t ms = std::llround(static_cast<double>(times[r]));
    if (ms < from || ms >= to) continue;
    marks << ui("%1 ms（%2）").arg(ms).arg(source_words(sources[r]));
  }
  if (marks.size() < 2) return {};
  return ui("%1 すべて: %2").arg(QString::fromLatin1(kind), marks.join(ui("、")));
}

QString beat_name(const ResultsGrid& grid, int beat) {
  if (beat == 0) return ui("最初の拍より前");
  return ui("拍%1（%2 ms）").arg(beat).arg(grid.beats[static_cast<std::size_t>(beat - 1)]);
}

}  // namespace

ResultsView::ResultsView(QWidget* parent)
    : QWidget(parent),
      quantity_(new QComboBox(this)),
      counts_(new QLabel(this)),
      flagged_(new QLabel(this)),
      legend_(new ScaleLegend(this)),
      table_(new QTableWidget(this)),
      review_(new QListWidget(this)) {
  quantity_->addItem(QStringLiteral("AT"));
  quantity_->addItem(QStringLiteral("RT"));
  quantity_->addItem(ui("ARI（RT−AT）"));
  connect(quantity_, &QComboBox::currentIndexChanged, this, [this] { rebuild(); });
  // Enter and double-click both activate a cell.
  connect(table_, &QTableWidget::cellActivated, this, [this](int row, int column) {
    const int beat = beat_of_column(column);
    if (beat >= 0 && on_cell_activated) on_cell_activated(row + 1, beat);
  });
  table_->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(table_->horizontalHeader(), &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { column_menu(at); });

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(ui("表示:"), this));
  top->addWidget(quantity_);
  top->addSpacing(12);
  top->addWidget(counts_, 1);
  top->addWidget(flagged_);

  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setItemDelegate(new CellMarks(table_));
  table_->setMouseTracking(true);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Three entries and a scroll bar: the table below the frame's chart has
  // the rest, and the whole height when nothing is flagged.
  review_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  review_->setFixedHeight(3 * review_->fontMetrics().lineSpacing() + 2 * review_->frameWidth() + 6);
  connect(review_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0) return;
    const QListWidgetItem* item = review_->item(row);
    table_->setCurrentCell(item->data(Qt::UserRole).toInt(), item->data(Qt::UserRole + 1).toInt());
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top);
  layout->addWidget(legend_);
  layout->addWidget(table_, 1);
  layout->addWidget(review_);
  rebuild();
}

void ResultsView::show_results(std::shared_ptr<const ResultsSnapshot> results) {
  results_ = std::move(results);
  beats_ = results_ ? assign_marks(*results_) : BeatTable{};
  rebuild();
}

void ResultsView::show_quantity(MarkQuantity quantity) {
  quantity_->setCurrentIndex(static_cast<int>(quantity));
}

MarkQuantity ResultsView::quantity() const {
  return static_cast<MarkQuantity>(quantity_->currentIndex());
}

int ResultsView::beat_of_column(int column) const {
  const int first = grid_.before_first ? 1 : 0;
  const int beats = static_cast<int>(grid_.beats.size());
  if (column < 0 || column >= first + beats) return -1;
  return grid_.before_first ? column : column + 1;
}

void ResultsView::show_place(const Place& place) {
  place_ = place;
  mark_place();
}

// The cell whose beat owns the middle of the window on show becomes the
// current cell, so the view follows the pass.
void ResultsView::mark_place() {
  if (place_.lead < 1 || place_.lead > grid_.leads) return;
  const std::int64_t middle = (place_.start_ms + place_.end_ms) / 2;
  const std::int32_t at_from = results_ ? results_->at_from : 0;
  int owner = 0;
  for (std::size_t k = 0; k < grid_.beats.size(); ++k) {
    if (grid_.beats[k] + at_from <= middle) owner = static_cast<int>(k) + 1;
  }
  const int column = column_of(owner);
  if (column >= 0) table_->setCurrentCell(place_.lead - 1, column);
}

void ResultsView::column_menu(const QPoint& at) {
  const int beat = beat_of_column(table_->horizontalHeader()->logicalIndexAt(at));
  if (beat < 1) return;
  QMenu menu(this);
  QAction* drop = menu.addAction(ui("%1を削除（その印もすべて）").arg(beat_name(grid_, beat)));
  drop->setEnabled(static_cast<bool>(on_drop_beat));
  if (menu.exec(table_->horizontalHeader()->mapToGlobal(at)) == drop && on_drop_beat) on_drop_beat(beat);
}

int ResultsView::column_of(int beat) const {
  if (beat == 0) return grid_.before_first ? 0 : -1;
  return beat - 1 + (grid_.before_first ? 1 : 0);
}

QString ResultsView::lead_name(int lead) const {
  const QString name = ui("誘導%1").arg(lead);
  if (!results_ || lead < 1 || static_cast<std::size_t>(lead) > results_->labels.size()) return name;
  const std::string& label = results_->labels[static_cast<std::size_t>(lead - 1)];
  return label.empty() ? name : name + " " + QString::fromStdString(label);
}

void ResultsView::set_headers() {
  const int beats = static_cast<int>(grid_.beats.size());
  table_->clear();
  table_->setRowCount(grid_.leads);
  table_->setColumnCount(column_of(beats) + 1 + 3);
  QStringList columns;
  if (grid_.before_first) columns << ui("前");
  for (int beat = 1; beat <= beats; ++beat) {
    columns << ui("拍%1\n%2 ms").arg(beat).arg(grid_.beats[static_cast<std::size_t>(beat - 1)]);
  }
  const QString from = grid_.quantity == MarkQuantity::ari ? QString() : ui("\n拍から");
  columns << ui("AT・RT\n両方") << ui("平均") + from
          << ui("標準偏差") + from;
  table_->setHorizontalHeaderLabels(columns);
  QStringList rows;
  for (int lead = 1; lead <= grid_.leads; ++lead)
    rows << (grid_.dead(lead) ? ui("%1（信号なし）").arg(lead_name(lead)) : lead_name(lead));
  table_->setVerticalHeaderLabels(rows);
}

QString ResultsView::cell_tip(int lead, int beat) const {
  const GridCell& cell = grid_.cell(lead, beat);
  const BeatCell& marks = beats_.cell(lead, beat);
  const int beats = static_cast<int>(grid_.beats.size());
  QString tip = lead_name(lead) + ui("・") + beat_name(grid_, beat) + "\n" +
                mark_line("AT", marks.at) + "\n" + mark_line("RT", marks.rt);
  if (marks.at.count > 0 && marks.rt.count > 0)
    tip += QStringLiteral("\nARI %1 ms").arg(marks.rt.earliest - marks.at.earliest);
  if (results_) {
    // The beat's own times, as the tables hold them: [beat + at_from, next beat + at_from).
    const std::int64_t own_from =
        beat == 0 ? std::numeric_limits<std::int64_t>::min()
                  : std::int64_t{grid_.beats[static_cast<std::size_t>(beat - 1)]} + results_->at_from;
    const std::int64_t own_to = beat < beats ? std::int64_t{grid_.beats[static_cast<std::size_t>(beat)]} +
                                               results_->at_from
                                         : std::numeric_limits<std::int64_t>::max();
    for (const bool rt : {false, true}) {
      const QString all = every_mark(rt ? "RT" : "AT", *results_, rt, lead, own_from, own_to);
      if (!all.isEmpty()) tip += "\n" + all;
    }
  }
  if (cell.flagged) tip += "\n" + text(frame_words().mark_review(cell.at_review, cell.rt_review));
  return tip;
}

void ResultsView::fill_cell(int lead, int beat) {
  const int column = column_of(beat);
  if (column < 0) return;
  const GridCell& cell = grid_.cell(lead, beat);
  auto* item = new QTableWidgetItem(cell.has_value ? QString::number(cell.value) : QString());
  item->setTextAlignment(Qt::AlignCenter);
  if (cell.has_shade) {
    const double span = std::max(1, grid_.highest - grid_.lowest);
    const QColor colour = scale_colour((cell.shade - grid_.lowest) / span);
    item->setBackground(colour);
    item->setForeground(text_colour_on(colour));
  }
  item->setData(kFlaggedRole, cell.flagged);
  item->setData(kByHandRole, cell.by_hand);
  item->setToolTip(cell_tip(lead, beat));
  table_->setItem(lead - 1, column, item);
  if (cell.flagged) {
    auto* entry = new QListWidgetItem(lead_name(lead) + ui("・") + beat_name(grid_, beat) + ": " +
                                      text(frame_words().mark_review(cell.at_review, cell.rt_review)));
    entry->setData(Qt::UserRole, lead - 1);
    entry->setData(Qt::UserRole + 1, column);
    review_->addItem(entry);
  }
}

void ResultsView::fill_figures(int lead) {
  const int first_figure = column_of(static_cast<int>(grid_.beats.size())) + 1;
  const LeadFigures& figures = grid_.figures[static_cast<std::size_t>(lead - 1)];
  const auto figure = [&](int offset, const QString& value) {
    auto* item = new QTableWidgetItem(value);
    item->setTextAlignment(Qt::AlignCenter);
    table_->setItem(lead - 1, first_figure + offset, item);
  };
  figure(0, QString::number(figures.both));
  figure(1, figures.values > 0 ? text(format_fixed(figures.mean, 1)) : QString());
  figure(2, figures.values > 1 ? text(format_fixed(figures.sd, 1)) : QString());
}

void ResultsView::rebuild() {
  grid_ = make_results_grid(beats_, static_cast<MarkQuantity>(quantity_->currentIndex()));
  set_headers();
  review_->clear();
  for (int lead = 1; lead <= grid_.leads; ++lead) {
    for (int beat = 0; beat <= static_cast<int>(grid_.beats.size()); ++beat) fill_cell(lead, beat);
    fill_figures(lead);
  }
  counts_->setText(ui("印: 自動 %1・手 %2・読込 %3")
                       .arg(grid_.sources.detected)
                       .arg(grid_.sources.hand)
                       .arg(grid_.sources.loaded));
  flagged_->setText(ui("要確認 %1 セル").arg(grid_.flagged));
  review_->setHidden(review_->count() == 0);
  mark_place();
  legend_->set_range(grid_.has_shades, grid_.lowest, grid_.highest,
                     grid_.quantity == MarkQuantity::ari ? QStringLiteral("ARI ")
                                                         : ui("拍から "));
  if (on_rebuilt) on_rebuilt();
}

}  // namespace telmor
