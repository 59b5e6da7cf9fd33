// Letters, digits and Return typed while one of the frame's views has the
// focus (the results view, its review list, the maps dock) belong to the
// question that waits: they go to the input box, never to the view (where
// a letter would pick a row and Return would start a pass).
#pragma once

#include <QObject>

class QWidget;

namespace telmor {

class TypedKeysToInput : public QObject {
 public:
  TypedKeysToInput(QWidget* input, QObject* parent);
  // root and every widget inside it as it stands.
  void watch(QWidget* root);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* input_;
};

}  // namespace telmor
