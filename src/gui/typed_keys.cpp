#include "gui/typed_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace telmor {

TypedKeysToInput::TypedKeysToInput(QWidget* input, QObject* parent) : QObject(parent), input_(input) {}

void TypedKeysToInput::watch(QWidget* root) {
  root->installEventFilter(this);
  for (QWidget* child : root->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool TypedKeysToInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  // Shortcuts (Ctrl, Alt) and the keys that move within a view stay there.
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const bool line_end = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  const QString text = key->text();
  const bool printable = !text.isEmpty() && text.at(0).isPrint();
  if (!line_end && !printable) return false;
  input_->setFocus(Qt::OtherFocusReason);
  QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), text, key->isAutoRepeat(),
                 static_cast<quint16>(key->count()));
  QCoreApplication::sendEvent(input_, &copy);
  return true;
}

}  // namespace telmor
