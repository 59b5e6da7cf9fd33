// ファイル → 開く…: what a recording file holds (its channels with their
// labels, rate and length) and the part to open: up to 20 channels and 1 to 30
// whole seconds. What the file cannot say (the dataset, the rate, which way
// its array lies) is asked here, the reader's reason shown, and read again.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "record/open_request.h"
#include "signal/recording.h"

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace telmor {

class OpenRecordingDialog : public QDialog {
 public:
  OpenRecordingDialog(const QString& file, QWidget* parent = nullptr);

  // The request for the part chosen, with the recording read; only after
  // the dialog was accepted.
  std::shared_ptr<const OpenRequest> request() const;

 private:
  void read_file();
  void update_choice();

  QString file_;
  std::shared_ptr<const Recording> whole_;
  QLabel* holds_;
  QLabel* problem_;
  QLineEdit* dataset_;
  QComboBox* orientation_;
  QLineEdit* rate_;
  QListWidget* channels_;
  QDoubleSpinBox* start_;
  QSpinBox* seconds_;
  QDialogButtonBox* buttons_;
};

}  // namespace telmor
