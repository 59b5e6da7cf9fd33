// The frame's language and the lookup of its texts.
#include "gui/frame_language.h"

#include <QSettings>
#include <atomic>

#include "words/english_lines.h"
#include "words/words.h"

namespace telmor {
namespace {

std::atomic<Language> g_language{Language::japanese};

const QString kLanguageKey = QStringLiteral("language");

QSettings telmor_settings() { return QSettings(QStringLiteral("TELMOR"), QStringLiteral("TELMOR")); }

}  // namespace

Language frame_language() { return g_language.load(); }

void set_frame_language(Language language) { g_language.store(language); }

QString ui(std::string_view japanese) {
  if (frame_language() == Language::japanese)
    return QString::fromUtf8(japanese.data(), static_cast<qsizetype>(japanese.size()));
  if (const char* english = frame_english(japanese)) return QString::fromUtf8(english);
  return QString::fromStdString(english_line(japanese));
}

const Words& frame_words() { return words(frame_language()); }

std::string frame_line(std::string_view line) {
  if (frame_language() == Language::japanese) return std::string(line);
  return english_line(line);
}

std::string remembered_language() { return telmor_settings().value(kLanguageKey).toString().toStdString(); }

void remember_language(Language language) {
  QSettings settings = telmor_settings();
  settings.setValue(kLanguageKey, QString::fromLatin1(language_code(language).data()));
  settings.sync();
}

}  // namespace telmor
