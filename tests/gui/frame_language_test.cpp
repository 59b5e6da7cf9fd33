// The frame's English face: the language chosen at start, a catalogue that
// holds every text the frame's code shows, a frame and help with no Japanese
// left, the program's lines put into English, and the choice remembered.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gui/console_pane.h"
#include "gui/frame_language.h"
#include "gui/help_text.h"
#include "gui/open_recording_dialog.h"
#include "support/gui_test_support.h"
#include "words/english_lines.h"
#include "words/words.h"

namespace telmor {
namespace {

using test::wait_until;

struct SourceFile {
  std::string name;
  QString code;
};

// The frame's source files.
std::vector<SourceFile> frame_sources() {
  std::vector<SourceFile> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TELMOR_SOURCE_DIR) / "src/gui")) {
    if (entry.path().extension() != ".cpp") continue;
    std::ifstream file(entry.path());
    std::stringstream code;
    code << file.rdbuf();
    files.push_back({entry.path().filename().string(), QString::fromStdString(code.str())});
  }
  return files;
}

// The texts the frame's code shows through ui("…"), as written there.
std::vector<std::string> frame_texts_in_code() {
  const QRegularExpression call(QStringLiteral(R"re(\bui\(((?:\s*"(?:[^"\\]|\\.)*")+)\s*\))re"));
  const QRegularExpression piece(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
  std::vector<std::string> texts;
  for (const SourceFile& source : frame_sources()) {
    for (auto calls = call.globalMatch(source.code); calls.hasNext();) {
      QString text;
      for (auto pieces = piece.globalMatch(calls.next().captured(1)); pieces.hasNext();)
        text += pieces.next().captured(1);
      // The escapes the frame writes: \n and \".
      text.replace(QStringLiteral("\\n"), QStringLiteral("\n")).replace(QStringLiteral("\\\""), QStringLiteral("\""));
      texts.push_back(text.toStdString());
    }
  }
  return texts;
}

int placeholders(const std::string& text) {
  return static_cast<int>(QString::fromStdString(text).count(QRegularExpression(QStringLiteral("%[1-9]"))));
}

TEST(FrameLanguage, TheCatalogueHoldsEveryTextOfTheFrameInEnglish) {
  const std::vector<std::string> texts = frame_texts_in_code();
  ASSERT_GT(texts.size(), 150u);  // the scan found the frame's texts
  for (const std::string& japanese : texts) {
    const char* english = frame_english(japanese);
    ASSERT_NE(english, nullptr) << japanese;
    EXPECT_FALSE(holds_japanese(english)) << english;
    // The same parts are put in, and the lines they break into stay.
    EXPECT_EQ(placeholders(english), placeholders(japanese)) << english;
    EXPECT_EQ(std::count(japanese.begin(), japanese.end(), '\n'),
              std::count(english, english + std::strlen(english), '\n'))
        << english;
  }
}

// Japanese in the frame's code outside its ui("…") calls and comments: the
// help and the usage have a text per language, and the language menu names
// Japanese in Japanese whatever the frame's language.
TEST(FrameLanguage, NoJapaneseTextOfTheFrameBypassesTheCatalogue) {
  const QRegularExpression call(QStringLiteral(R"re(\bui\((?:\s*"(?:[^"\\]|\\.)*")+\s*\))re"));
  const QRegularExpression comment(QStringLiteral("//[^\n]*"));
  const QRegularExpression literal(QStringLiteral(R"re("(?:[^"\\\n]|\\.)*")re"));
  const QStringList own_words = {QString::fromUtf8("\"日本語\""),
                                 QString::fromUtf8("\"次に起動したときから日本語で表示します。\"")};
  for (const SourceFile& file : frame_sources()) {
    const std::string& name = file.name;
    if (name == "help_text.cpp" || name == "main.cpp" || name == "frame_english.cpp") continue;
    QString source = file.code;
    source.remove(call).remove(comment);
    for (auto found = literal.globalMatch(source); found.hasNext();) {
      const QString text = found.next().captured(0);
      if (own_words.contains(text)) continue;
      EXPECT_FALSE(holds_japanese(text.toStdString())) << name << ": " << text.toStdString();
    }
  }
}

// Every text a user can read on widgets and actions below root.
QStringList shown_texts(const QObject& root) {
  QStringList texts;
  for (const QAction* action : root.findChildren<QAction*>()) texts << action->text() << action->toolTip();
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    texts << widget->toolTip() << widget->windowTitle();
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) texts << menu->title();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) texts << label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) texts << button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) texts << edit->placeholderText();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) texts << spin->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    if (const auto* tabs = qobject_cast<const QTabWidget*>(widget))
      for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    if (const auto* table = qobject_cast<const QTableWidget*>(widget))
      for (int i = 0; i < table->columnCount(); ++i)
        if (table->horizontalHeaderItem(i) != nullptr) texts << table->horizontalHeaderItem(i)->text();
  }
  return texts;
}

// Japanese texts below root, but the language menu's own name for Japanese.
QStringList japanese_in(const QStringList& texts) {
  QStringList found;
  for (const QString& text : texts) {
    if (text != QString::fromUtf8("日本語") && holds_japanese(text.toStdString())) found << text;
  }
  return found;
}

struct EnglishFrame : test::DesktopTest {
  void SetUp() override {
    QStandardPaths::setTestModeEnabled(true);  // the language choice goes to a test's settings
    set_frame_language(Language::english);
    test::DesktopTest::SetUp();
  }
  void TearDown() override {
    test::DesktopTest::TearDown();
    set_frame_language(Language::japanese);
  }
};

TEST_F(EnglishFrame, ShowsNoJapaneseInItsMenusDocksDialogsAndHelp) {
  const QStringList japanese = japanese_in(shown_texts(*frame_));
  EXPECT_TRUE(japanese.isEmpty()) << japanese.join(QStringLiteral(" | ")).toStdString();
  // The menu bar's groups and an item of each kind: a letter, a frame action, a pass key.
  QStringList menus;
  for (const QAction* action : frame_->menuBar()->actions()) menus << action->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Analysis", "&Correction", "&View", "&Help"}));

  // A file that is not there: the reason is in English too.
  OpenRecordingDialog dialog(QStringLiteral("/nonexistent/none.txt"), frame_.get());
  const QStringList in_dialog = japanese_in(shown_texts(dialog));
  EXPECT_TRUE(in_dialog.isEmpty()) << in_dialog.join(QStringLiteral(" | ")).toStdString();

  QString help = help_html();
  for (const char* feature : {"Open recording", "Results table", "to review", "double-click", "F3", "Remove Beat N",
                              "Undo", "Open electrode layout", "Maps", "Analysis settings", "Suggest ranges",
                              "Recovery files", "--help", "as CSV", "Ctrl+Z", "Page Down", "Language"}) {
    EXPECT_TRUE(help.contains(QString::fromUtf8(feature))) << feature;
  }
  EXPECT_TRUE(japanese_in({help.remove(QString::fromUtf8("日本語"))}).isEmpty());
}

TEST_F(EnglishFrame, PutsTheProgramsLinesAndNotesIntoEnglish) {
  run([](WindowLayer& layer) {
    layer.console_write("記録した誘導点数を入力してください。");
    layer.show_note("波形データabcを読み込みました。");
  });
  ASSERT_TRUE(program().wait_finished());
  QPlainTextEdit* console = frame_->console()->view();
  ASSERT_TRUE(wait_until([&] { return !console->toPlainText().isEmpty(); }));
  const QString line = console->toPlainText().trimmed();
  EXPECT_FALSE(holds_japanese(line.toStdString())) << line.toStdString();
  EXPECT_EQ(line, QStringLiteral("Type the number of leads recorded."));
  EXPECT_EQ(frame_->note_text(), QStringLiteral("Read the waveform data abc."));
}

TEST_F(EnglishFrame, TheLanguageMenuRemembersTheChoiceForTheNextStart) {
  QList<QAction*> choices;
  for (QAction* action : frame_->findChildren<QAction*>())
    if (action->isCheckable() && (action->data() == "ja" || action->data() == "en")) choices << action;
  ASSERT_EQ(choices.size(), 2);
  for (QAction* choice : choices) EXPECT_EQ(choice->isChecked(), choice->data() == "en");  // on show
  for (QAction* choice : choices) {
    choice->trigger();
    EXPECT_EQ(remembered_language(), choice->data().toString().toStdString());
    EXPECT_EQ(language_for(remembered_language(), nullptr, nullptr, "C"),
              choice->data() == "en" ? Language::english : Language::japanese);
    EXPECT_FALSE(frame_->note_text().isEmpty());
  }
}

}  // namespace
}  // namespace telmor
