#include "gui/open_recording_dialog.h"
#include "gui/frame_language.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/number_text.h"
#include "readers/recording_formats.h"
#include "readers/recording_rate.h"
#include "record/table_limits.h"
#include "words/words.h"

namespace telmor {
namespace {

constexpr int kMostSeconds = kMaxSamples / 1000;

QString text(const std::string& s) { return QString::fromStdString(s); }

// A rate typed without the locale: "2000" or "2000.5"; nullopt when empty.
std::optional<double> typed_rate(const QString& typed, bool& valid) {
  const std::string t = typed.trimmed().toStdString();
  valid = true;
  if (t.empty()) return std::nullopt;
  double value = 0.0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
  valid = r.ec == std::errc() && r.ptr == t.data() + t.size() && value > 0.0 && std::isfinite(value);
  return valid ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

OpenRecordingDialog::OpenRecordingDialog(const QString& file, QWidget* parent) : QDialog(parent), file_(file) {
  setWindowTitle(ui("記録を開く"));
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(file, this);
  name->setTextInteractionFlags(Qt::TextSelectableByMouse);
  name->setWordWrap(true);
  layout->addWidget(name);
  holds_ = new QLabel(this);
  layout->addWidget(holds_);
  problem_ = new QLabel(this);
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));
  layout->addWidget(problem_);

  auto* reading = new QGroupBox(ui("ファイルが言わないこと"), this);
  auto* form = new QFormLayout(reading);
  dataset_ = new QLineEdit(reading);
  dataset_->setPlaceholderText(ui("複数あるときだけ: /data、変数名"));
  form->addRow(ui("データ（HDF5、MATLAB）"), dataset_);
  orientation_ = new QComboBox(reading);
  orientation_->addItems({ui("形から決める"), ui("行がサンプル（サンプル×誘導）"),
                          ui("行が誘導（誘導×サンプル）")});
  form->addRow(ui("向き"), orientation_);
  rate_ = new QLineEdit(reading);
  rate_->setPlaceholderText(ui("ファイルの値（テキストは 1000）"));
  form->addRow(ui("サンプリング周波数 Hz"), rate_);
  auto* again = new QPushButton(ui("読み直す"), reading);
  form->addRow(QString(), again);
  layout->addWidget(reading);

  layout->addWidget(new QLabel(ui("開くチャンネル（20まで）"), this));
  channels_ = new QListWidget(this);
  layout->addWidget(channels_, 1);
  auto* part = new QFormLayout;
  start_ = new QDoubleSpinBox(this);
  start_->setDecimals(3);
  start_->setSuffix(ui(" 秒"));
  part->addRow(ui("始まり"), start_);
  seconds_ = new QSpinBox(this);
  seconds_->setSuffix(ui(" 秒"));
  part->addRow(ui("長さ（1〜30秒）"), seconds_);
  layout->addLayout(part);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
  buttons_->button(QDialogButtonBox::Open)->setText(ui("開く"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(ui("キャンセル"));
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(again, &QPushButton::clicked, this, [this] { read_file(); });
  connect(channels_, &QListWidget::itemChanged, this, [this] { update_choice(); });
  connect(start_, &QDoubleSpinBox::valueChanged, this, [this] { update_choice(); });
  resize(520, 560);
  read_file();
}

void OpenRecordingDialog::read_file() {
  bool rate_valid = true;
  ReadOptions options;
  options.rate_hz = typed_rate(rate_->text(), rate_valid);
  if (!dataset_->text().trimmed().isEmpty()) options.dataset = dataset_->text().trimmed().toStdString();
  options.orientation = static_cast<Orientation>(orientation_->currentIndex());
  whole_.reset();
  channels_->clear();
  if (!rate_valid) {
    problem_->setText(ui("サンプリング周波数は正の数（Hz）です。"));
    update_choice();
    return;
  }
  auto read = std::make_shared<Recording>();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const RecordingProblem problem = read_recording_at(file_.toStdU16String(), options, *read);
  QApplication::restoreOverrideCursor();
  if (problem) {
    holds_->clear();
    problem_->setText(ui("読めません: ") + text(frame_words().recording_problem(problem)));
    update_choice();
    return;
  }
  const double duration = read->sample_count / read->rate_hz;
  holds_->setText(ui("%1 チャンネル、%2 Hz、%3 秒")
                      .arg(read->lead_count)
                      .arg(text(format_fixed(read->rate_hz, read->rate_hz == std::floor(read->rate_hz) ? 0 : 1)))
                      .arg(text(format_fixed(duration, 1))));
  problem_->setText(read->rate_hz != 1000.0 && !resampling_available()
                        ? ui("この版では 1 kHz 以外の記録を開けません。")
                        : QString());
  const QSignalBlocker quiet(channels_);
  for (int j = 1; j <= read->lead_count; ++j) {
    const auto k = static_cast<std::size_t>(j - 1);
    QString line = QString::number(j);
    if (k < read->labels.size() && !read->labels[k].empty()) line += "  " + text(read->labels[k]);
    if (k < read->units.size() && !read->units[k].empty()) line += " (" + text(read->units[k]) + ")";
    auto* item = new QListWidgetItem(line, channels_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(j <= kMaxLeads ? Qt::Checked : Qt::Unchecked);
  }
  start_->setRange(0.0, std::max(0.0, duration - 1.0));
  start_->setValue(0.0);
  whole_ = std::move(read);
  update_choice();
  seconds_->setValue(seconds_->maximum());  // as much as fits, up to 30 s
}

void OpenRecordingDialog::update_choice() {
  int chosen = 0;
  for (int row = 0; row < channels_->count(); ++row) chosen += channels_->item(row)->checkState() == Qt::Checked;
  bool fits = whole_ != nullptr && chosen >= 1 && chosen <= kMaxLeads &&
              (whole_->rate_hz == 1000.0 || resampling_available());
  if (whole_) {
    const double left = whole_->sample_count / whole_->rate_hz - start_->value();
    const int most = std::min(kMostSeconds, static_cast<int>(std::floor(left + 1e-9)));
    seconds_->setRange(std::min(1, most), std::max(most, 0));
    fits = fits && most >= 1;
    if (chosen > kMaxLeads) problem_->setText(ui("チャンネルは20までです（%1 選んでいます）。").arg(chosen));
    else if (problem_->text().startsWith(ui("チャンネルは20まで"))) problem_->clear();
  }
  buttons_->button(QDialogButtonBox::Open)->setEnabled(fits);
}

std::shared_ptr<const OpenRequest> OpenRecordingDialog::request() const {
  auto request = std::make_shared<OpenRequest>();
  request->file = file_.toStdU16String();
  bool valid = true;
  request->rate_hz = typed_rate(rate_->text(), valid);
  if (!dataset_->text().trimmed().isEmpty()) request->dataset = dataset_->text().trimmed().toStdString();
  request->orientation = static_cast<std::uint8_t>(orientation_->currentIndex());
  for (int row = 0; row < channels_->count(); ++row) {
    if (channels_->item(row)->checkState() == Qt::Checked) request->leads.push_back(row + 1);
  }
  request->start_s = start_->value();
  request->seconds = seconds_->value();
  request->whole = whole_;
  return request;
}

}  // namespace telmor
