// The command line of telmor-batch.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "signal/electrode_layout.h"
#include "signal/recording.h"
#include "timing/analysis_settings.h"
#include "readers/recording_formats.h"
#include "readers/recording_shape.h"

namespace telmor {

inline constexpr std::string_view kBatchSynopsis =
    "    telmor-batch [--smooth N] [--ratio R] [--ranges AF AT RF RT | --ranges auto] [--beat-lead N]\n"
    "                 [--estimator centred|legacy] [--rt-smooth MS] [--rate HZ]\n"
    "                 [--dataset NAME] [--orientation samples-by-leads|leads-by-samples]\n"
    "                 [--rt-margin MS] [--rt-window FROM TO] [--blank-before MS] [--blank-after MS]\n"
    "                 [--leads N] [--seconds S] [--jobs N] [--out DIR] [--summary FILE]\n"
    "                 [--layout FILE | --grid RxC --pitch MM] [--figures]\n"
    "                 [--overwrite] [--quiet] PATH...\n";

// What the help says after the synopsis.
inline constexpr std::string_view kBatchHelp =
    "記録を一括して解析します。対話の解析と同じく、基線を除き、局所3次最小二乗で\n"
    "微分し、誘導1で拍を探し、各拍・各誘導のATとRTを記録のサンプリング周波数で計算して、\n"
    "記録 NAME.txt（または NAME.edf など）ごとに\n"
    "結果ファイル NAMEari.csv（s で保存するのと同じもの）を書き、全記録の集計表を書きます。\n"
    "結果ファイルは対話のプログラムが読める表（20誘導・200行まで）のときだけ書きます。\n"
    "\n"
    "  PATH                 記録ファイル、またはフォルダ（その中の記録をすべて名前順に。TELMOR の\n"
    "                       書いた表 *ari.csv、summary.csv などは除きます）。記録の形式: テキスト\n"
    "                       *.txt、見出し行のある CSV/TSV *.csv *.tsv（時刻の列 time_s か time_ms が\n"
    "                       あれば周波数はそこから）、EDF/EDF+/BDF/GDF *.edf *.bdf *.gdf、HDF5 *.h5\n"
    "                       *.hdf5、MATLAB v5/v7.3 *.mat。形式は中身から、分からなければ名前から\n"
    "  --smooth N           平滑化、前後N ms（2〜499、既定 7。1 kHz では点数）\n"
    "  --estimator NAME     微分の方法: centred（既定。各サンプルを中心にした3次最小二乗、RTは\n"
    "                       RT用の平滑化の微分で探す）、legacy（仕様どおりの計算。以前の結果の再現用、\n"
    "                       1 kHz のみ）\n"
    "  --rt-smooth MS       RT用の微分の平滑化、前後 MS ms（centred のみ、2〜499、既定 35）\n"
    "  --rate HZ            サンプリング周波数（Hz）。テキストの記録は既定 1000、ほかの形式では\n"
    "                       ファイルにないとき（あればそれに代わります）\n"
    "  --dataset NAME       HDF5 のデータセット（/group/data）、MATLAB の変数。ファイルに2次元の\n"
    "                       数値データが複数あるとき\n"
    "  --orientation O      データの向き: samples-by-leads（行がサンプル）か leads-by-samples。\n"
    "                       形から決まらないとき（行と列の数が近いとき）\n"
    "  --ratio R            振幅比（既定 0.1）\n"
    "  --ranges AF AT RF RT 認識範囲、拍からのms: AT開始 AT終了 RT開始 RT終了\n"
    "                       （-200〜1466、終了は開始より前にしない。既定 -80 80 100 200）\n"
    "  --ranges auto        認識範囲を記録ごとに提案させます（全誘導の活性化とT波が入るように）\n"
    "  --rt-margin MS       centred: RTの窓は、RT用の微分がその誘導の次のATの MS ms 手前までしか\n"
    "                       読まないところで終わります（0〜500、既定 20）\n"
    "  --rt-window FROM TO  centred: RTの窓を拍からではなく各誘導のATから FROM〜TO ms にします\n"
    "  --blank-before MS    拍を探すとき、見つけた拍の前 MS ms を除きます（0〜2000、既定 100）\n"
    "  --blank-after MS     同じく後 MS ms を除きます（既定 200。小さな動物の心臓では短く）\n"
    "  --beat-lead N        拍を探す誘導（既定 1）\n"
    "  --leads N            誘導点数（1〜1024、既定: 最初のデータ行の値の数）。形を記す形式\n"
    "                       （CSV、EDF、HDF5 など）では最初の N 誘導を解析します\n"
    "  --seconds S          秒数（1〜2000000、既定: データの行数 / 1000）。形を記す形式では\n"
    "                       最初の S 秒を解析します\n"
    "  --jobs N             同時に解析する記録の数（既定: コアの数）\n"
    "  --out DIR            結果ファイルを書くフォルダ（既定: 記録と同じフォルダ）\n"
    "  --summary FILE       集計表（既定: --out の中、なければ最初の PATH のフォルダの\n"
    "                       summary.csv）。名前は .csv で終わり、記録や結果ファイルでなく、\n"
    "                       既にあれば集計表であること（それを書き替えます）\n"
    "  --layout FILE        電極の配置ファイル（CSV、見出し lead,x_mm,y_mm、1行に1誘導）。\n"
    "                       結果ファイルの横に NAMEcv.csv（伝導速度）、NAMErestitution.csv\n"
    "                       （回復特性）、NAMEdispersion.csv（ばらつき）も書きます\n"
    "  --grid RxC           配置ファイルの代わりに R行C列の格子（誘導 n は (n-1) mod C 列目、\n"
    "                       (n-1) div C 行目。列が x、行が y）\n"
    "  --pitch MM           格子の電極の間隔（mm、--grid と一緒に）\n"
    "  --figures            配置があるとき、中央の拍のマップなどの図 NAMEfigure.svg と\n"
    "                       NAMEfigure.png も書きます\n"
    "  --overwrite          既にある結果ファイルを上書きします（既定: その記録は解析しません）\n"
    "  --quiet              進み具合の行と最後の報告の行を表示しません\n"
    "  --help, --version    この説明、版\n"
    "\n"
    "集計表（CSV、UTF-8）: recording,lead,beat,beat_ms,at_ms,rt_ms,ari_ms,at_marks,rt_marks,\n"
    "  at_fine_ms,rt_fine_ms,at_quality,rt_quality（精密な時刻と、印の傾きが雑音の何倍か）,\n"
    "  at_flag,rt_flag,t_polarity,estimator,smooth_ms,rt_smooth_ms,label（ファイルにある\n"
    "  チャンネル名。なければ空）\n"
    "ATとRTの印は時刻で拍に属します（拍k: 拍k+AF 以上、拍k+1+AF 未満）。beat 0 は最初の拍の\n"
    "範囲より前の印です。\n"
    "\n"
    "伝導速度（CSV）: recording,beat,beat_ms,lead,method,speed_m_s,direction_deg,neighbours,flag\n"
    "  （method: surface 局所2次曲面、triangle 三角形。速さ m/s、向きは+xから+yへ0〜360度）\n"
    "回復特性（CSV）: recording,lead,beat,cl_ms,di_ms,ari_ms\n"
    "ばらつき（CSV）: recording,beat,beat_ms,at_first_ms,at_last_ms,total_activation_ms,\n"
    "  rt_sd_ms,rt_range_ms,rt_iqr_ms,ari_sd_ms,ari_range_ms,ari_iqr_ms,leads\n"
    "\n"
    "終了コード: 0 すべて解析した、1 報告した記録がある、2 使い方の誤り\n";

struct BatchOptions {
  AnalysisSettings settings;
  // The sampling rate: of the text recordings (1000 when not given), and of
  // any other file, over what it states.
  std::optional<double> rate_hz;
  std::optional<std::string> dataset;   // HDF5, MATLAB: the dataset or variable to read
  Orientation orientation = Orientation::unknown;
  double text_rate() const { return rate_hz.value_or(kTextRateHz); }
  std::optional<int> leads;    // 1..1024; from the file when not given
  std::optional<int> seconds;  // from the file when not given
  int jobs = 0;                // recordings analysed at once; 0: one per core
  std::optional<std::filesystem::path> out;      // results folder; beside each recording when not given
  std::optional<std::filesystem::path> summary;  // summary table
  // Electrode positions for the maps' tables: a layout file (read when the
  // run starts) or the grid of --grid and --pitch; neither: no maps.
  std::optional<std::filesystem::path> layout_file;
  std::optional<ElectrodeLayout> grid;
  bool figures = false;  // the figure of each recording too; only with positions
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
// (unless --help or --version), --layout with --grid, --grid without --pitch
// or the other way round, a grid or pitch that makes no grid, or --figures
// without electrode positions.
BatchOptions parse_batch_arguments(std::span<const std::string_view> arguments);

}  // namespace telmor
