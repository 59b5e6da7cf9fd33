// Qt's own texts (file dialogs, standard buttons) in the user's language,
// from the translations the system's Qt installs (qt6-translations-l10n).
#pragma once

#include <QLocale>
#include <QTranslator>

namespace telmor {

// Loads Qt's translation for locale into translator and installs it in the
// application; false (nothing installed) when there is none for it.
bool install_qt_translations(QTranslator& translator, const QLocale& locale);

}  // namespace telmor
