// Long random sessions: the whole program driven by a seeded stream of typed
// replies and clicks over recordings of every shape, good and damaged results
// files among them, with the run's invariants checked before every input.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <deque>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "driver/drive_path.h"
#include "driver/run_program.h"
#include "results/results_parse.h"
#include "support/test_files.h"

namespace telmor {
namespace {

constexpr int kStepsPerSeed = 6000;

enum class Shape { beats, zero, huge, tiny, noise, short_file, header };

struct Recording {
  std::string name;
  int leads = 1;
  int seconds = 1;
};

std::string number_text(float v) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : "0";
}

// A recording file of the given shape; rows hold leads values each.
std::string recording_text(std::mt19937_64& rng, Shape shape, int leads, int seconds) {
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  const int rows = seconds * 1000 + (shape == Shape::short_file ? -137 : 0);
  std::string text = shape == Shape::header ? "time lead1 lead2\n" : "";
  const int period = 500 + static_cast<int>(rng() % 700);
  for (int i = 1; i <= rows; ++i) {
    for (int lead = 1; lead <= leads; ++lead) {
      float v = 0.0f;
      switch (shape) {
        case Shape::zero:
          break;
        case Shape::huge:
          v = unit(rng) * 3.0e38f;
          break;
        case Shape::tiny:
          v = unit(rng) * 1.0e-39f;
          break;
        case Shape::noise:
          v = unit(rng) * 100.0f;
          break;
        default: {
          const int phase = (i + 7 * lead) % period;
          v = phase < 10 ? 1.0f - 0.3f * static_cast<float>(phase) : 0.0f;
          if (phase > 200 && phase < 300) v += 0.3f * std::sin(static_cast<float>(phase - 200) * 0.0314f);
          v += 0.01f * unit(rng);
        }
      }
      if (lead > 1) text += (lead % 3 == 0) ? "," : " ";
      text += number_text(v);
    }
    text += '\n';
  }
  return text;
}

// A results file: good, or damaged in one of the ways met in practice.
std::string results_text(std::mt19937_64& rng, int leads) {
  const auto block = [&](int count, int fields) {
    std::string text = std::string(count < 10 ? "  " : (count < 100 ? " " : "")) +
                       std::to_string(count) + "\r\n";
    for (int row = 0; row < count; ++row) {
      for (int k = 0; k < fields; ++k) {
        const std::string t = std::to_string(rng() % 31000);
        text += std::string(7 - t.size(), ' ') + t + ".,";
      }
      text += "\r\n";
    }
    return text;
  };
  const int count = static_cast<int>(rng() % 201);
  switch (rng() % 6) {
    case 0:
      return block(count, leads) + block(static_cast<int>(rng() % 201), leads);
    case 1:
      return block(count, 20) + block(3, 20);  // from a 20-lead run
    case 2: {
      const std::string good = block(count, leads) + block(count, leads);
      return good.substr(0, good.size() / 2);  // truncated in the middle
    }
    case 3:
      return "201\r\n" + block(0, leads);
    case 4:
      return std::string("\0\x01garbage\xff\n  2\r\n", 16);
    default:
      return "";
  }
}

float round_half_away(float t) { return std::round(t); }

// The window layer of a random user. It answers every read and wait from a
// seeded stream, mostly with what the prompt asks for, and checks the run
// before every input it gives.
class RandomUser : public WindowLayer {
 public:
  RandomUser(std::uint64_t seed, std::filesystem::path root, std::vector<Recording> files)
      : rng_(seed), root_(std::move(root)), files_(std::move(files)) {}

  void start(RunRecord& record, DrawingState& drawing) {
    r_ = &record;
    d_ = &drawing;
    chart_open_ = false;
    beats_taken_ = false;
    pending_.clear();
  }
  int steps_left() const { return steps_left_; }
  int saves() const { return saves_; }
  int loads() const { return loads_; }
  int passes() const { return passes_; }
  int detections() const { return detections_; }
  int clicks() const { return clicks_; }
  int keys() const { return keys_; }

  void console_write(std::string_view line) override {
    console_prompt_ = line;
    if (line.rfind("na ", 0) == 0) ++detections_;
  }
  std::string console_read_line() override {
    step();
    return console_reply();
  }
  // The beats are found after the chart opens; taken at the first input
  // after that, they may change only with a new read.
  void chart_open() override { chart_open_ = true; }
  void chart_write(std::string_view line) override {
    chart_prompt_ = line;
    if (line.rfind("誘導", 0) == 0) shown_lead_ = std::atoi(std::string(line.substr(6, 3)).c_str());
    if (line.rfind("左ボタンAT", 0) == 0) at_pass_ = true;
    if (line.rfind("左ボタンRT", 0) == 0) at_pass_ = false;
    if (line.rfind("左ボタン", 0) == 0) in_pass_ = true;
    if (line.rfind("保存(s)", 0) == 0) in_pass_ = false;
    // The save offered right after a window: the pass stepped past its last one.
    if (line.ends_with("に保存します。") && in_pass_) {
      ++passes_;
      in_pass_ = false;
    }
    if (line.ends_with("を保存しました。")) check_saved_file();
    if (line.ends_with("を読込みました。")) ++loads_;
  }
  std::string chart_read_line() override {
    step();
    return chart_reply();
  }
  void chart_close() override {}
  void chart_clear() override {}
  std::uint32_t set_color_rgb(std::uint32_t c) override { return c; }
  PixelPoint move_to(std::int16_t x, std::int16_t y) override { return {x, y}; }
  void line_to(std::int16_t, std::int16_t) override {}
  Cursor set_mouse_cursor(Cursor c) override { return c; }
  MouseEvent wait_mouse_event(int mask) override {
    step();
    for (;;) {
      if (pending_.empty()) make_events(mask);
      const MouseEvent e = pending_.front();
      pending_.pop_front();
      if (!(e.event & mask)) continue;
      if ((mask & kPassKey) != 0 && e.event == kLeftPress) {
        check_lead_ = shown_lead_;
        ++clicks_;
      }
      return e;
    }
  }
  void program_stop() override {}

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
  bool chance(int percent) { return pick(100) < percent; }

  void step() {
    check();
    if (::testing::Test::HasFatalFailure()) throw InputClosed("an invariant broke");
    if (--steps_left_ < 0) throw InputClosed("the random user is done");
  }

  std::string console_reply() {
    const std::string& p = console_prompt_;
    if (p.find("<y/n>") != std::string::npos) return chance(85) ? "y" : (chance(50) ? "n" : "yes");
    if (p.find("一文字") != std::string::npos) return chance(90) ? "d" : "e";
    if (p.find("振幅比(") != std::string::npos)
      return chance(80) ? number_text(static_cast<float>(pick(11)) / 10.0f) : "abc";
    if (p.find("平滑化点数") != std::string::npos)
      return chance(80) ? std::to_string(pick(12)) : std::to_string(pick(900) - 100);
    if (p.find("ファイル名") != std::string::npos) {
      chosen_ = pick(static_cast<int>(files_.size()));
      return chance(90) ? files_[chosen_].name : "nofile";
    }
    if (p.find("誘導点数") != std::string::npos || p.find("誘導点数は") != std::string::npos)
      return chance(85) ? std::to_string(files_[chosen_].leads) : std::to_string(pick(25) - 2);
    if (p.find("秒数") != std::string::npos)
      return chance(85) ? std::to_string(files_[chosen_].seconds) : std::to_string(pick(35) - 2);
    return chance(50) ? "" : "ok";
  }

  std::string chart_reply() {
    const std::string& p = chart_prompt_;
    if (p.rfind("保存(s)", 0) == 0) {
      static const char* const commands[] = {"s", "o", "d", "c", "a", "r", "C", "A",
                                             "S", "O", "q", "", "x"};
      // x is rare: a session should get far before it ends.
      return commands[chance(2) ? 12 : pick(12)];
    }
    if (p.find("<y/n>") != std::string::npos) {
      static const char* const answers[] = {"y", "Y", "n", "N", "yes", "no", ""};
      return answers[pick(7)];
    }
    return std::to_string(pick(10));  // "No data!  Hit" takes a number
  }

  void make_events(int mask) {
    const auto x = static_cast<std::int16_t>(chance(90) ? pick(620) : pick(1200) - 100);
    const auto y = static_cast<std::int16_t>(pick(500) - 50);
    if (mask == 9) {
      pending_.push_back({chance(80) ? kLeftPress : kRightPress, x, y});
      return;
    }
    const int roll = pick(100);
    if (roll < 8) {
      // The keys of a pass, now and then; leaving it at once rarely.
      static const PassKey keys[] = {PassKey::undo,      PassKey::undo,    PassKey::redo,
                                     PassKey::left,      PassKey::space,   PassKey::page_down,
                                     PassKey::page_up,   PassKey::right,   PassKey::escape};
      const PassKey key = keys[pick(chance(20) ? 9 : 8)];
      pending_.push_back({kPassKey, 0, 0, key});
      keys_ += 1;
    } else if (roll < 60) {
      pending_.push_back({kRightPress, x, y});
    } else if (roll < 72) {
      pending_.push_back({kRightPress, x, y});
      pending_.push_back({kRightDouble, x, y});
    } else if (roll < 95) {
      pending_.push_back({kLeftPress, x, y});
    } else {
      pending_.push_back({kLeftPress, x, y});
      pending_.push_back({kLeftDouble, x, y});  // not listened for: dropped
    }
  }

  void check() {
    const RunRecord& r = *r_;
    ASSERT_GE(r.marks.at_beat_count, 0);
    ASSERT_LE(r.marks.at_beat_count, kMaxRows);
    ASSERT_GE(r.marks.rt_beat_count, 0);
    ASSERT_LE(r.marks.rt_beat_count, kMaxRows);
    if (chart_open_ && !beats_taken_) {
      beats_ = r.beat_found_list;
      beats_taken_ = true;
    }
    if (beats_taken_) {
      ASSERT_EQ(r.beat_found_list, beats_) << "beats changed by a command";
    }
    const DrawingState& d = *d_;
    const auto finite = [](float v) { return std::isfinite(v); };
    ASSERT_TRUE(std::all_of(d.plot_x.begin(), d.plot_x.end(), finite));
    ASSERT_TRUE(std::all_of(d.plot_y.begin(), d.plot_y.end(), finite))
        << "yscale " << d.yscale << " amp_max " << d.amp_max;
    ASSERT_TRUE(std::all_of(d.mark_x.begin(), d.mark_x.end(), finite));
    ASSERT_TRUE(std::all_of(d.mark2_x.begin(), d.mark2_x.end(), finite));
    ASSERT_TRUE(std::isfinite(d.yscale)) << d.yscale;
    if (check_lead_ > 0) {
      // The lead a click just changed: its times ascending, then empty entries.
      const auto& column = at_pass_ ? r.marks.at_ms_table[check_lead_ - 1] : r.marks.rt_ms_table[check_lead_ - 1];
      const int count = at_pass_ ? r.marks.at_beat_count : r.marks.rt_beat_count;
      bool empty_seen = false;
      for (int row = 1; row <= count; ++row) {
        const float t = column[row - 1];
        if (t == 0.0f) {
          empty_seen = true;
        } else {
          ASSERT_FALSE(empty_seen) << "a time after an empty entry, row " << row;
          if (row > 1) {
            ASSERT_LE(column[row - 2], t) << "row " << row;
          }
        }
      }
      check_lead_ = 0;
    }
  }

  void check_saved_file() {
    const RunRecord& r = *r_;
    std::ifstream in(host_path(r.result_path.view(), root_), std::ios::binary);
    auto loaded = std::make_unique<LoadedTables>();
    ASSERT_EQ(parse_results(in, r.lead_count, *loaded).fault, ParseFault::none);
    ASSERT_EQ(loaded->at_count, r.marks.at_beat_count);
    ASSERT_EQ(loaded->rt_count, r.marks.rt_beat_count);
    for (int lead = 1; lead <= r.lead_count; ++lead) {
      for (int row = 1; row <= r.marks.at_beat_count; ++row)
        ASSERT_EQ(loaded->at_ms[lead - 1][row - 1], round_half_away(r.marks.at_ms_table[lead - 1][row - 1]));
      for (int row = 1; row <= r.marks.rt_beat_count; ++row)
        ASSERT_EQ(loaded->rt_ms[lead - 1][row - 1], round_half_away(r.marks.rt_ms_table[lead - 1][row - 1]));
    }
    ++saves_;
  }

  std::mt19937_64 rng_;
  std::filesystem::path root_;
  std::vector<Recording> files_;
  RunRecord* r_ = nullptr;
  DrawingState* d_ = nullptr;
  int steps_left_ = kStepsPerSeed;
  int chosen_ = 0;
  std::string console_prompt_, chart_prompt_;
  std::deque<MouseEvent> pending_;
  bool chart_open_ = false;
  bool beats_taken_ = false;
  std::array<float, kMaxRows> beats_{};
  int shown_lead_ = 0;
  bool at_pass_ = true;
  int check_lead_ = 0;
  int saves_ = 0;
  int loads_ = 0;
  int passes_ = 0;
  int detections_ = 0;
  bool in_pass_ = false;
  int clicks_ = 0;
  int keys_ = 0;
};

class RandomSession : public ::testing::TestWithParam<int> {};

TEST_P(RandomSession, RunsOnWithEveryInvariantHeld) {
  const auto seed = static_cast<std::uint64_t>(GetParam());
  std::mt19937_64 rng(seed * 0x9E3779B97F4A7C15ull);
  test::DrivesRoot root;
  const auto folder = root.path() / "d" / "data" / "map";
  std::filesystem::create_directories(folder);

  // Mostly small recordings, so that correction passes reach their end; one
  // may be as large as the tables allow.
  std::vector<Recording> files;
  const Shape shapes[] = {Shape::beats, Shape::beats, Shape::beats, Shape::zero,
                          Shape::huge,  Shape::tiny,  Shape::noise, Shape::short_file,
                          Shape::header};
  for (int k = 0; k < 4; ++k) {
    Recording f;
    f.name = "rec" + std::to_string(k);
    const bool large = k == 0 && seed % 4 == 0;
    f.leads = large ? 1 + static_cast<int>(rng() % 20) : 1 + static_cast<int>(rng() % 4);
    f.seconds = large ? 1 + static_cast<int>(rng() % 30) : 1 + static_cast<int>(rng() % 4);
    const Shape shape = k == 1 ? Shape::beats : shapes[rng() % std::size(shapes)];
    test::write_whole_file(folder / (f.name + ".txt"), recording_text(rng, shape, f.leads, f.seconds));
    test::write_whole_file(folder / (f.name + "ari.csv"), results_text(rng, f.leads));
    files.push_back(f);
  }

  RandomUser user(seed, root.path(), files);
  int sessions = 0;
  while (user.steps_left() > 0 && !::testing::Test::HasFatalFailure()) {
    auto record = std::make_unique<RunRecord>();
    auto drawing = std::make_unique<DrawingState>();
    user.start(*record, *drawing);
    ++sessions;
    try {
      run_program_on(user, root.path(), *record, *drawing);
    } catch (const InputClosed&) {
    }
  }
  // The sessions must get far: every seed reaches the menu hundreds of times,
  // where one reply in six saves or loads and one in six starts a pass. The
  // bounds lie at about a third of the fewest any seed reached when they were
  // set, far above what sessions ended early or stuck at the dialogue give.
  EXPECT_GE(sessions, 2);
  EXPECT_GE(user.detections(), 10);
  EXPECT_GE(user.saves(), 10);
  EXPECT_GE(user.loads(), 5);
  EXPECT_GE(user.passes(), 20);
  EXPECT_GE(user.clicks(), 250);
  EXPECT_GE(user.keys(), 25);
  RecordProperty("sessions", sessions);
  RecordProperty("saves", user.saves());
  RecordProperty("loads", user.loads());
  RecordProperty("passes", user.passes());
  RecordProperty("clicks", user.clicks());
}

INSTANTIATE_TEST_SUITE_P(SlowSeeds, RandomSession, ::testing::Range(1, 21));

}  // namespace
}  // namespace telmor
