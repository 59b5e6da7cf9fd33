// Shared main of the desktop tests: one QApplication, offscreen unless told otherwise.
#include <QApplication>
#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The offscreen platform says on every new window that it cannot pass size
// hints on; nothing to learn from that.
QtMessageHandler default_handler = nullptr;
void quieter_messages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QLatin1String("propagateSizeHints"))) return;
  default_handler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
  default_handler = qInstallMessageHandler(quieter_messages);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  // Closing a frame in one test must not end anything for the next.
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
