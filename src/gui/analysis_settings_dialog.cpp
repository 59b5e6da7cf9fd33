// The analysis settings dialog.
#include "analysis_settings_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

#include "timing/analysis_settings.h"
#include "gui/frame_language.h"

namespace telmor {
namespace {

QSpinBox* spin(QWidget* parent, int low, int high, int value) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  box->setSuffix(QStringLiteral(" ms"));
  return box;
}

}  // namespace

std::optional<AnalysisChoice> ask_analysis_settings(QWidget* parent, const AnalysisChoice& now) {
  QDialog dialog(parent);
  dialog.setWindowTitle(ui("解析の設定"));
  auto* form = new QFormLayout(&dialog);
  const bool centred = now.kind == Estimator::centred;
  QSpinBox* rt_smooth = spin(&dialog, kLeastRtSmoothing, kMostDialogueSmoothing, now.rt_smooth_points);
  QSpinBox* margin = spin(&dialog, 0, kMostRtMarginMs, now.rt_margin_ms);
  auto* after_at = new QCheckBox(ui("RTの窓を各誘導のATから数える"), &dialog);
  after_at->setChecked(now.rt_after_at);
  QSpinBox* after_from = spin(&dialog, 0, kHighestRangeBound, now.rt_after_from);
  QSpinBox* after_to = spin(&dialog, 0, kHighestRangeBound, now.rt_after_to);
  QSpinBox* before = spin(&dialog, 0, kMostBlankMs, now.blank_before_ms);
  QSpinBox* after = spin(&dialog, 0, kMostBlankMs, now.blank_after_ms);
  form->addRow(ui("RT用の平滑化（前後）:"), rt_smooth);
  form->addRow(ui("RTの窓の終わり（次のATの手前）:"), margin);
  form->addRow(after_at);
  form->addRow(ui("ATからのRTの窓の開始:"), after_from);
  form->addRow(ui("ATからのRTの窓の終了:"), after_to);
  form->addRow(ui("拍を探すとき拍の前を除く:"), before);
  form->addRow(ui("拍を探すとき拍の後を除く:"), after);
  if (!centred) {
    form->addRow(new QLabel(ui("RTの設定は中心化3次の微分のときだけ使われます。"), &dialog));
  }
  for (QWidget* w : {static_cast<QWidget*>(rt_smooth), static_cast<QWidget*>(margin),
                     static_cast<QWidget*>(after_at)})
    w->setEnabled(centred);
  const auto follow = [&] {
    after_from->setEnabled(centred && after_at->isChecked());
    after_to->setEnabled(centred && after_at->isChecked());
  };
  follow();
  QObject::connect(after_at, &QCheckBox::toggled, &dialog, follow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  AnalysisChoice choice = now;
  choice.rt_smooth_points = rt_smooth->value();
  choice.rt_margin_ms = margin->value();
  choice.rt_after_at = after_at->isChecked();
  choice.rt_after_from = after_from->value();
  // A window that ends before it starts holds nothing: its start is its end.
  choice.rt_after_to = std::max(after_from->value(), after_to->value());
  choice.blank_before_ms = before->value();
  choice.blank_after_ms = after->value();
  return choice;
}

}  // namespace telmor
