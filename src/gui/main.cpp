// The telmor executable: the frame on the GUI thread, the program on a worker.
#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "console/window_layer.h"
#include "driver/run_program.h"
#include "gui/exit_keeper.h"
#include "gui/frame_language.h"
#include "gui/frame_window.h"
#include "gui/qt_translations.h"
#include "gui/qt_window_layer.h"
#include "gui/termination_keeper.h"
#include "telmor_version.h"
#include "words/words.h"

namespace {

constexpr const char* kUsage =
    "使い方: telmor [FILE]\n"
    "\n"
    "TELMOR の画面を開きます。FILE（テキスト、CSV/TSV、EDF/BDF/GDF、HDF5、MATLAB の記録）を\n"
    "付けると、開くチャンネルと区間を選んでその記録から始めます（結果ファイル NAMEari.csv、\n"
    "既定でない部分は NAMEari_ch1-4_2.5-12.5s.csv のように、FILE の横）。付けなければ、いつもの問答から始めます（ドライブのフォルダは今のフォルダの下）。\n"
    "画面の言語は 表示 → 言語 で選べます（選んでいなければ、LANG が en_* のとき英語）。\n"
    "\n"
    "  --help      この説明\n"
    "  --version   版\n";

constexpr const char* kUsageEnglish =
    "Usage: telmor [FILE]\n"
    "\n"
    "Opens TELMOR's window. With FILE (a text, CSV/TSV, EDF/BDF/GDF, HDF5 or MATLAB recording),\n"
    "it starts from that recording once its channels and part are chosen (the results file\n"
    "NAMEari.csv, or for another part NAMEari_ch1-4_2.5-12.5s.csv, lies beside FILE). Without it, it starts with the usual questions (the drive\n"
    "folders are below the current folder). The window's language is chosen in View → Language\n"
    "(unless chosen there, English when LANG is en_*).\n"
    "\n"
    "  --help      this text\n"
    "  --version   the version\n";

// The language chosen in the frame, else the user's locale.
telmor::Language start_language() {
  return telmor::language_for(telmor::remembered_language(), std::getenv("LC_ALL"),
                              std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before any window: they must work without a display.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::printf("telmor %s\n", telmor::kTelmorVersion);
    return 0;
  }
  const telmor::Language language = start_language();
  const bool english = language == telmor::Language::english;
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(english ? kUsageEnglish : kUsage, stdout);
    return 0;
  }
  if (argc > 2 || (argc == 2 && std::string_view(argv[1]).starts_with("-"))) {
    std::fprintf(stderr, english ? "telmor: the one argument is a recording's file.\n%s"
                                 : "telmor: 引数は記録のファイル1つだけです。\n%s",
                 english ? kUsageEnglish : kUsage);
    return 2;
  }
  telmor::set_frame_language(language);
  QApplication app(argc, argv);
  // Qt's own dialogs and buttons in the window's language, whatever the
  // system's (before the C locale below replaces the user's for numbers).
  QTranslator qt_texts;
  if (!english) telmor::install_qt_translations(qt_texts, QLocale(QLocale::Japanese, QLocale::Japan));
  // Qt adopts the user's locale; numbers are read and written the C way.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  QApplication::setApplicationName(QStringLiteral("TELMOR"));

  telmor::FrameWindow frame;
  // Should the display go away, Qt ends the process itself.
  telmor::keep_recovery_on_exit(&frame);
  // So does a logout, a kill or Ctrl+C in the terminal it was started from.
  std::optional<telmor::TerminationKeeper> termination(std::in_place, frame);
  telmor::QtWindowLayer layer(frame);
  const std::filesystem::path drives_root = std::filesystem::current_path();

  // A file named on the command line: its part is chosen before the program
  // starts, which then begins with it (cancelled: with the dialogue).
  std::shared_ptr<const telmor::OpenRequest> opened;
  if (argc == 2) {
    frame.show();
    opened = frame.ask_recording_part(QString::fromLocal8Bit(argv[1]));
  }

  std::thread program([&layer, drives_root, opened] {
    try {
      telmor::run_program_opening(layer, drives_root, opened);
    } catch (const telmor::InputClosed&) {
      // The user closed the window; the run simply ends.
    } catch (const std::exception& error) {
      std::fprintf(stderr, "telmor: %s\n", error.what());
    }
    // Ends the event loop however the program ended; a second stop after the
    // program's own does nothing more.
    layer.program_stop();
  });

  frame.show();
  const int status = QApplication::exec();
  termination.reset();  // nothing answers the pipe any more: a signal ends at once
  // Should the loop end some other way, a program still waiting must wake.
  frame.input().close();
  program.join();
  frame.keep_recovery_now();
  telmor::keep_recovery_on_exit(nullptr);
  return status;
}
