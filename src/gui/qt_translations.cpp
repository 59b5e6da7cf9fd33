// Qt's translations of its own texts.
#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace telmor {

bool install_qt_translations(QTranslator& translator, const QLocale& locale) {
  if (!translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  return QCoreApplication::installTranslator(&translator);
}

}  // namespace telmor
