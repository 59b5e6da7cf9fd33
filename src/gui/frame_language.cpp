// The frame's language and the lookup of its texts.
#include "gui/frame_language.h"

#include <QSettings>
#include <atomic>

#include "words/english_lines.h"
#include "words/words.h"

namespace telmor {
namespace {

std::atomic<Language> g_language{Language::japanese};

std::string_view first_set(const char* a, const char* b, const char* c) {
  for (const char* value : {a, b, c}) {
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

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

Language language_for(std::string_view remembered, const char* lc_all, const char* lc_messages,
                      const char* lang) {
  if (remembered == "en") return Language::english;
  if (remembered == "ja") return Language::japanese;
  // "en", "en_GB.UTF-8", "en@quot": the language is what stands before _ . @
  const std::string_view locale = first_set(lc_all, lc_messages, lang);
  const std::string_view name = locale.substr(0, locale.find_first_of("_.@"));
  return name == "en" ? Language::english : Language::japanese;
}

std::string_view language_code(Language language) {
  return language == Language::english ? "en" : "ja";
}

std::string remembered_language() { return telmor_settings().value(kLanguageKey).toString().toStdString(); }

void remember_language(Language language) {
  QSettings settings = telmor_settings();
  settings.setValue(kLanguageKey, QString::fromLatin1(language_code(language).data()));
  settings.sync();
}

}  // namespace telmor
