// The command line of telmor-batch.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "analysis/recording_analysis.h"

namespace telmor {

inline constexpr std::string_view kBatchSynopsis =
    "    telmor-batch [--smooth N] [--ratio R] [--ranges AF AT RF RT] [--leads N] [--seconds S]\n"
    "                 [--jobs N] [--out DIR] [--summary FILE] [--overwrite] [--quiet] PATH...\n";

// What the help says after the synopsis.
inline constexpr std::string_view kBatchHelp =
    "記録（*.txt）を一括して解析します。対話の解析と同じく、基線を除き、局所3次最小二乗で\n"
    "微分し、誘導1で拍を探し、各拍・各誘導のATとRTを計算して、記録 NAME.txt ごとに\n"
    "結果ファイル NAMEari.csv（s で保存するのと同じもの）を書き、全記録の集計表を書きます。\n"
    "\n"
    "  PATH                 記録ファイル、またはフォルダ（その中の *.txt と *.TXT をすべて名前順に）\n"
    "  --smooth N           平滑化点数、前後N点（0〜499、既定 7）\n"
    "  --ratio R            振幅比（既定 0.1）\n"
    "  --ranges AF AT RF RT 認識範囲、拍からのms: AT開始 AT終了 RT開始 RT終了\n"
    "                       （-200〜1466、終了は開始より前にしない。既定 -80 80 100 200）\n"
    "  --leads N            誘導点数（1〜20、既定: 最初のデータ行の値の数）\n"
    "  --seconds S          秒数（1〜30、既定: データの行数 / 1000）\n"
    "  --jobs N             同時に解析する記録の数（既定: コアの数）\n"
    "  --out DIR            結果ファイルを書くフォルダ（既定: 記録と同じフォルダ）\n"
    "  --summary FILE       集計表（既定: --out の中、なければ最初の PATH のフォルダの\n"
    "                       summary.csv）。名前は .csv で終わり、記録や結果ファイルでなく、\n"
    "                       既にあれば集計表であること（それを書き替えます）\n"
    "  --overwrite          既にある結果ファイルを上書きします（既定: その記録は解析しません）\n"
    "  --quiet              進み具合の行と最後の報告の行を表示しません\n"
    "  --help, --version    この説明、版\n"
    "\n"
    "集計表（CSV、UTF-8）: recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,\n"
    "  at_fine_ms,rt_fine_ms,at_quality,rt_quality（精密な時刻と、印の傾きが雑音の何倍か）\n"
    "ATとRTの印は時刻で拍に属します（拍k: 拍k+AF 以上、拍k+1+AF 未満）。beat 0 は最初の拍の\n"
    "範囲より前の印です。\n"
    "\n"
    "終了コード: 0 すべて解析した、1 報告した記録がある、2 使い方の誤り\n";

// The bounds a click into d's one-second window can give, in ms from the beat.
inline constexpr std::int32_t kLowestRangeBound = -200;
inline constexpr std::int32_t kHighestRangeBound = 1466;

struct BatchOptions {
  AnalysisSettings settings;
  std::optional<int> leads;    // 1..20; from the file when not given
  std::optional<int> seconds;  // 1..30; from the file when not given
  int jobs = 0;                // recordings analysed at once; 0: one per core
  std::optional<std::filesystem::path> out;      // results folder; beside each recording when not given
  std::optional<std::filesystem::path> summary;  // summary table
  bool overwrite = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
  std::vector<std::filesystem::path> paths;
};

// A command line that cannot be run; what() is one line saying what is wrong.
class BatchUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program name. Throws BatchUsageError for an unknown
// option, an option without its value or with one out of range, or no PATH
// (unless --help or --version).
BatchOptions parse_batch_arguments(std::span<const std::string_view> arguments);

}  // namespace telmor
