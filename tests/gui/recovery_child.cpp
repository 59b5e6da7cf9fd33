// A desktop that is killed in the middle of a pass: the frame runs the
// command loop on the small session under the drives root argv[1], starts an
// AT pass, adds a mark in lead 1 and one in lead 2, prints "ready" once the
// recovery file holds both, and waits in the pass for its end by SIGKILL.
// With "term" after the root it keeps the file on a terminating signal, as
// the desktop does, and is ready once lead 2's mark waits for its second.
#include <QApplication>
#include <QLocale>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

#include "driver/command_loop.h"
#include "gui/frame_window.h"
#include "gui/qt_window_layer.h"
#include "session/recovery_file.h"
#include "gui/recovery_keeper.h"
#include "gui/termination_keeper.h"
#include "recovery_walk.h"
#include "support/gui_test_support.h"
#include "support/test_files.h"

using namespace telmor;

namespace {

bool recovered_both(const std::filesystem::path& results_file) {
  const std::optional<Recovered> run =
      parse_recovery(test::read_whole_file(recovery_path(results_file).string()));
  return run && run->tables.marks.at_ms(1, 1) == test::kLead1Ms &&
         run->tables.marks.at_ms(2, 1) == test::kLead2Ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) return 2;
  const bool on_term = argc == 3 && std::string_view(argv[2]) == "term";
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  const std::filesystem::path root = argv[1];
  auto record = std::make_unique<RunRecord>();
  DrawingState drawing;
  test::set_up_small_session(*record, drawing);

  FrameWindow frame;
  std::optional<TerminationKeeper> termination;
  if (on_term) termination.emplace(frame);
  QtWindowLayer layer(frame);
  frame.show();
  std::thread program([&] {
    try {
      run_command_loop(layer, *record, drawing, root);
    } catch (const InputClosed&) {
    }
  });
  const auto place = [&](const char* text) {
    return test::wait_until([&] { return frame.place_text() == QString::fromUtf8(text); });
  };
  const auto click = [&](QPoint at) {
    test::click(frame.canvas(), Qt::LeftButton, test::on_chart(*frame.canvas(), at));
  };
  bool ready = test::wait_until([&] { return frame.letter_action('a')->isEnabled(); });
  if (ready) frame.letter_action('a')->trigger();
  ready = ready && place("誘導 1  0.0–1.0 s");
  if (ready) click(test::kLead1Click);
  const std::filesystem::path results_file = test::small_results_file(root);
  ready = ready && (!on_term || test::wait_until([&] { return std::filesystem::exists(recovery_path(results_file)); }));
  if (ready) frame.pass_key_action(PassKey::page_down)->trigger();
  ready = ready && place("誘導 2  0.0–1.0 s");
  if (ready) click(test::kLead2Click);
  ready = ready && test::wait_until([&] {
            // A test that is slow past the second finds the file written.
            return (on_term && frame.recovery()->waiting()) || recovered_both(results_file);
          });
  std::puts(ready ? "ready" : "not ready");
  std::fflush(stdout);
  const int status = QApplication::exec();
  frame.input().close();
  program.join();
  return status;
}
