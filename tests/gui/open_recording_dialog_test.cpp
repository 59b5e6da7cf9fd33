// The open dialog on a CSV recording: what the file holds, its channels with
// labels (the first 20 chosen), the part's bounds, the request it gives; a
// file that asks for the rate says so, and takes it when typed.
#include "gui/open_recording_dialog.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include "support/test_files.h"

namespace telmor {
namespace {

// leads channels named V1.. of seconds s at rate Hz, with a time column in ms
// when timed.
std::string csv(int leads, int seconds, int rate, bool timed) {
  std::string text = timed ? "time_ms" : "";
  for (int j = 1; j <= leads; ++j) text += (text.empty() ? "" : ",") + ("V" + std::to_string(j) + " (mV)");
  text += '\n';
  for (int i = 0; i < seconds * rate; ++i) {
    std::string row = timed ? std::to_string(i * 1000.0 / rate) : "";
    for (int j = 1; j <= leads; ++j) row += (row.empty() ? "" : ",") + std::to_string((i * j) % 7);
    text += row + '\n';
  }
  return text;
}

QPushButton* open_button(OpenRecordingDialog& dialog) {
  return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
}

TEST(OpenRecordingDialog, ShowsWhatTheFileHoldsAndGivesThePartChosen) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "wide.csv", csv(24, 40, 500, true));
  OpenRecordingDialog dialog(QString::fromStdString((dir / "wide.csv").string()));
  const auto labels = dialog.findChildren<QLabel*>();
  bool said = false;
  for (const QLabel* label : labels) said = said || label->text() == QStringLiteral("24 チャンネル、500 Hz、40.0 秒");
  EXPECT_TRUE(said);
  auto* channels = dialog.findChild<QListWidget*>();
  ASSERT_EQ(channels->count(), 24);
  EXPECT_EQ(channels->item(2)->text(), QStringLiteral("3  V3 (mV)"));
  EXPECT_EQ(channels->item(19)->checkState(), Qt::Checked);
  EXPECT_EQ(channels->item(20)->checkState(), Qt::Unchecked);
  auto* seconds = dialog.findChild<QSpinBox*>();
  EXPECT_EQ(seconds->value(), 30);
  EXPECT_TRUE(open_button(dialog)->isEnabled());
  // 21 channels: not opened.
  channels->item(20)->setCheckState(Qt::Checked);
  EXPECT_FALSE(open_button(dialog)->isEnabled());
  channels->item(0)->setCheckState(Qt::Unchecked);
  channels->item(1)->setCheckState(Qt::Unchecked);
  // From 35 s, five seconds are left.
  dialog.findChild<QDoubleSpinBox*>()->setValue(35.0);
  EXPECT_EQ(seconds->maximum(), 5);
  const auto request = dialog.request();
  ASSERT_EQ(request->leads.size(), 19u);
  EXPECT_EQ(request->leads.front(), 3);
  EXPECT_EQ(request->leads.back(), 21);
  EXPECT_EQ(request->start_s, 35.0);
  EXPECT_EQ(request->seconds, 5);
  ASSERT_NE(request->whole, nullptr);
  EXPECT_EQ(request->whole->rate_hz, 500.0);
}

TEST(OpenRecordingDialog, AFileWithoutItsRateAsksForItAndTakesIt) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "plain.csv", csv(3, 2, 1000, false));
  OpenRecordingDialog dialog(QString::fromStdString((dir / "plain.csv").string()));
  EXPECT_FALSE(open_button(dialog)->isEnabled());
  bool asked = false;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) asked = asked || label->text().contains("--rate");
  EXPECT_TRUE(asked);
  QLineEdit* rate = nullptr;
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
    if (edit->placeholderText().contains(QStringLiteral("1000"))) rate = edit;
  }
  ASSERT_NE(rate, nullptr);
  rate->setText(QStringLiteral("1000"));
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("読み直す")) button->click();
  }
  EXPECT_TRUE(open_button(dialog)->isEnabled());
  EXPECT_EQ(dialog.request()->rate_hz, 1000.0);
}

}  // namespace
}  // namespace telmor
