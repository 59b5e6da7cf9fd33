// The frame's exports: the results table as CSV and the chart as a PNG with
// its ruler and a caption, offered in the recording's folder under its name.
#include <QBuffer>
#include <QByteArray>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>

#include "session/session_marks.h"
#include "base/number_text.h"
#include "gui/chart_canvas.h"
#include "gui/chart_ruler.h"
#include "gui/frame_window.h"
#include "gui/frame_language.h"
#include "files/file_replace.h"
#include "words/words.h"

namespace telmor {
namespace {

constexpr int kCaptionHeight = 24;
constexpr int kRulerHeight = 26;

}  // namespace

bool FrameWindow::save_table_csv(const QString& path, QString& reason) const {
  const std::string text = results_table_csv(results_ ? *results_ : ResultsSnapshot{});
  if (const std::error_code error = replace_file_contents(path.toStdU16String(), text)) {
    reason = QString::fromStdString(frame_words().write_error(error));
    return false;
  }
  return true;
}

QString FrameWindow::chart_caption() const {
  QString caption = results_ && !results_->recording.empty()
                        ? QString::fromStdString(results_->recording)
                        : QStringLiteral("TELMOR");
  if (place_.lead != 0) return caption + QStringLiteral("  ") + place_text();
  const std::vector<RulerTick> ticks = ruler_ticks(axis_);
  if (ticks.empty()) return caption;
  return caption + ui("  全誘導  %1–%2 ms").arg(ticks.front().ms).arg(ticks.back().ms);
}

QImage FrameWindow::chart_image() const {
  const QImage chart = canvas_->snapshot();
  QImage image(chart.width(), kCaptionHeight + chart.height() + kRulerHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(Qt::black);
  painter.drawText(QRect(6, 0, image.width() - 12, kCaptionHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, chart_caption());
  painter.drawImage(0, kCaptionHeight, chart);
  // The frame's ruler, drawn by its own code for a surface at the logical size.
  const QRectF surface(0.0, 0.0, chart.width(), chart.height());
  ChartRuler ruler([surface] { return surface; });
  ruler.set_axis(axis_);
  ruler.resize(chart.width(), kRulerHeight);
  ruler.render(&painter, QPoint(0, kCaptionHeight + chart.height()));
  return image;
}

bool FrameWindow::save_chart_image(const QString& path, QString& reason) const {
  // Encoded first, then saved as every file is: only a regular file is replaced.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!chart_image().save(&buffer, "PNG")) {
    reason = ui("画像を書けません。");
    return false;
  }
  if (const std::error_code error = replace_file_contents(
          path.toStdU16String(), std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) {
    reason = QString::fromStdString(frame_words().write_error(error));
    return false;
  }
  return true;
}

// Exports are named after the recording, so that those of several
// recordings can lie in one folder.
QString FrameWindow::export_name(const QString& suffix) const {
  const QString recording =
      results_ && !results_->recording.empty() ? QString::fromStdString(results_->recording) : QString();
  return recording.isEmpty() ? suffix.mid(1) : recording + suffix;
}

// In the recording's folder (its results file's) once one is known.
QString FrameWindow::export_path(const QString& suffix) const {
  const QString name = export_name(suffix);
  if (!results_ || results_->results_file.empty()) return name;
  const std::filesystem::path folder = results_->results_file.parent_path();
  return QString::fromStdU16String((folder / name.toStdU16String()).u16string());
}

void FrameWindow::ask_and_save_table() {
  const QString path = QFileDialog::getSaveFileName(this, ui("表をCSVで保存"),
                                                    export_path(QStringLiteral("_results.csv")),
                                                    QStringLiteral("CSV (*.csv)"));
  QString reason;
  if (path.isEmpty()) return;
  if (!save_table_csv(path, reason)) {
    QMessageBox::warning(this, ui("表をCSVで保存"), path + "\n" + reason);
    return;
  }
  show_note(ui("表を保存しました: ") + path);
}

void FrameWindow::ask_and_save_chart() {
  const QString path = QFileDialog::getSaveFileName(this, ui("グラフを画像で保存"),
                                                    export_path(QStringLiteral("_chart.png")),
                                                    QStringLiteral("PNG (*.png)"));
  QString reason;
  if (path.isEmpty()) return;
  if (!save_chart_image(path, reason)) {
    QMessageBox::warning(this, ui("グラフを画像で保存"), path + "\n" + reason);
    return;
  }
  show_note(ui("グラフを保存しました: ") + path);
}

}  // namespace telmor
