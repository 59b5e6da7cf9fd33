// telmor-batch's words in Japanese, made from the reasons' values.
#include "batch_words.h"

#include "readers/recording_shape.h"
#include "base/number_text.h"
#include "base/printable_text.h"
#include "base/utf8_path.h"
#include "words/words.h"

namespace telmor {
namespace {

using std::filesystem::file_type;

// What the help says after the synopsis.
constexpr std::string_view kHelp =
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
    "  --lang ja|en         報告と注記の言語（既定: ロケールが英語なら en、ほかは ja）\n"
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

constexpr std::string_view kGiveTheShape = "--leads と --seconds で形を指定してください。";

std::string count(int n) { return format_integer(n); }

std::string step_words(BatchStep step) {
  switch (step) {
    case BatchStep::reading:
      return "記録の読み込み中";
    case BatchStep::analysis:
      return "解析中";
    case BatchStep::maps:
      return "マップの表の作成中";
    case BatchStep::figures:
      return "図の作成中";
    case BatchStep::results_file:
      return "結果ファイルの書き込み中";
    case BatchStep::summary:
      return "集計表の行の作成中";
  }
  return {};
}

std::string type_words(file_type type) {
  switch (type) {
    case file_type::fifo:
      return "FIFO";
    case file_type::directory:
      return "フォルダ";
    case file_type::character:
    case file_type::block:
      return "デバイス";
    case file_type::socket:
      return "ソケット";
    default:
      return "特殊なファイル";
  }
}

std::string not_regular(file_type type) {
  return "通常のファイルではないので開きません（" + type_words(type) + "）。";
}

std::string read_message(const FileRead& read) {
  switch (read.fault) {
    case FileReadFault::not_a_regular_file:
      return not_regular(read.type);
    case FileReadFault::too_large:
      return "大きすぎるので読みません（" + format_bytes(read.limit, "バイト") + "まで）。";
    case FileReadFault::out_of_memory:
      return "読み込むメモリが足りません。";
    case FileReadFault::read_failed:
      return "読み込めません（読み込み中にエラーが起きました）。";
    case FileReadFault::cannot_open:
    case FileReadFault::none:
      break;
  }
  return "読めません（ファイルを開けません）。";
}

class JapaneseBatchWords final : public BatchWords {
 public:
  const Words& words() const override { return japanese(); }

  std::string option_without_value(std::string_view option) const override {
    return std::string(option) + " の値がありません。";
  }
  std::string integer_outside(std::string_view option, std::int64_t low, std::int64_t high,
                              std::string_view text) const override {
    return std::string(option) + " は" + format_integer(low) + "から" + format_integer(high) + "の整数です（" +
           std::string(text) + "）。";
  }
  std::string not_an_integer(std::string_view option, std::string_view text) const override {
    return std::string(option) + " は整数です（" + std::string(text) + "）。";
  }
  std::string not_a_number(std::string_view option, std::string_view text) const override {
    return std::string(option) + " は数値です（" + std::string(text) + "）。";
  }
  std::string option_value_unknown(std::string_view option, std::string_view one, std::string_view other,
                                   std::string_view text) const override {
    return std::string(option) + " は " + std::string(one) + " か " + std::string(other) + " です（" +
           std::string(text) + "）。";
  }
  std::string setting_refused(std::string_view option, const AnalysisProblem& problem) const override {
    return std::string(option) + " " + words().analysis_problem(problem);
  }
  std::string rate_invalid(double least_hz, std::string_view text) const override {
    return "--rate はサンプリング周波数（Hz、" + format_integer(static_cast<std::int64_t>(least_hz)) + "以上）です（" +
           std::string(text) + "）。";
  }
  std::string maps_not_built() const override {
    return "この telmor-batch は地図を作れません（Qhull と Cairo なしで作られています）。";
  }
  std::string layout_with_grid(std::string_view option) const override {
    return std::string(option) + " と --layout は一緒に指定できません。";
  }
  std::string grid_without_pitch() const override { return "--grid には電極の間隔 --pitch MM も指定してください。"; }
  std::string pitch_without_grid() const override { return "--pitch は格子 --grid RxC と一緒に指定してください。"; }
  std::string figures_without_positions() const override {
    return "--figures は電極の配置（--layout か --grid と --pitch）と一緒に指定してください。";
  }
  std::string unknown_option(std::string_view option) const override {
    return "知らないオプションです: " + std::string(option);
  }
  std::string no_path() const override { return "記録ファイルかフォルダ（PATH）を指定してください。"; }
  std::string_view see_help() const override { return "（使い方: telmor-batch --help）"; }
  std::string_view usage_heading() const override { return "使い方:\n"; }
  std::string_view help() const override { return kHelp; }

  std::string path_message(const PathProblem& problem) const override {
    switch (problem.fault) {
      case PathFault::no_such_path:
        return "ファイルもフォルダもありません。";
      case PathFault::not_a_recording_name:
        return "記録ではありません（名前が .txt .csv .tsv .edf .bdf .gdf .h5 .hdf5 .mat のどれでも終わりません）。";
      case PathFault::own_table:
        return "TELMOR の書く表（結果ファイル、集計表、マップの表、配置）なので記録として読みません。";
      case PathFault::same_results_file:
        return "同じフォルダに同じ名前の記録があり、結果ファイルが同じになるので解析しません（名前を変えてください）。";
      case PathFault::folder_unreadable:
        return "フォルダを読めません（" + problem.error.message() + "）。";
      case PathFault::no_recordings:
        return "フォルダに記録（*.txt、*.csv、*.edf、*.h5、*.mat など）がありません。";
      case PathFault::dangling_link:
        return "リンク先がありません（壊れたリンク）。";
      case PathFault::link_loop:
        return "リンクが循環していて、ファイルに行き着きません。";
      case PathFault::not_a_regular_file:
        return not_regular(problem.type);
      case PathFault::named_twice:
        return "同じ記録が2度指定されています。1度だけ解析します。";
      case PathFault::name_not_utf8:
        return "ファイル名がUTF-8ではありません。集計表では読めないバイトを U+FFFD にしました。";
    }
    return {};
  }

  std::string recording_problem_message(const RecordingProblem& p) const override {
    std::string text = words().recording_problem(p);
    if (asks_for_shape(p.fault)) text += kGiveTheShape;
    return text;
  }

  std::string recording_message(const RecordingReason& reason) const override {
    switch (reason.fault) {
      case OutcomeFault::none:
        return {};
      case OutcomeFault::results_exist:
        return "結果ファイル " + utf8_from_path(reason.results_file) +
               " が既にあるので解析しませんでした（上書きは --overwrite）。";
      case OutcomeFault::unreadable:
        return read_message(reason.read);
      case OutcomeFault::recording:
        return recording_problem_message(reason.recording);
      case OutcomeFault::analysis:
        return words().analysis_problem(reason.analysis);
      case OutcomeFault::out_of_memory:
        return "メモリが足りなくなりました（" + step_words(reason.step) + "）。この記録は解析していません。";
      case OutcomeFault::no_beats:
        return "拍が見つかりません（誘導 " + count(reason.beat_lead) +
               " で探しました）。この記録は解析していません。";
      case OutcomeFault::failed:
        return "解析できませんでした（" + step_words(reason.step) + "に " + escaped_controls(reason.detail) +
               "）。この記録は解析していません。";
      case OutcomeFault::results_unformattable:
        return "結果ファイルを書けません（" + words().format_fault(reason.format) + "）。";
      case OutcomeFault::results_unwritable:
        return "結果ファイル " + utf8_from_path(reason.results_file) + " を書けません（" +
               words().write_error(reason.error) + "）。";
      case OutcomeFault::maps_unwritable:
        return "マップのファイル " + utf8_from_path(reason.map_file) + " を書けません（" +
               words().write_error(reason.error) + "）。結果ファイルは書いていません。";
    }
    return {};
  }

  std::string beyond_results_file_note(int leads, int rows) const override {
    return "注意: 誘導 " + count(leads) + " 個・" + count(rows) +
           " 行の表は結果ファイル（20誘導・200行まで）に入らないので、集計表にだけ書きました。";
  }

  std::string velocities_without_value_note(int count) const override {
    return "注意: 伝導速度の値が出ない電極が" + format_integer(count) +
           "件ありました（伝導速度の表では速さと向きが空、flag は no_value）。";
  }

  std::string range_warnings_note(const std::vector<RangeWarning>& warnings, MarkKind kind) const override {
    const std::vector<int> leads = warned_leads(warnings, kind);
    if (leads.empty()) return {};
    return "注意: " + words().range_warning(leads, kind) + "（--ranges auto で提案できます）。";
  }

  std::string suggested_ranges_note(bool suggested, std::int32_t at_from, std::int32_t at_to, std::int32_t rt_from,
                                    std::int32_t rt_to) const override {
    if (!suggested)
      return "注意: 認識範囲を提案できませんでした（はっきりした波のある誘導がありません）。指定の範囲 AT " +
             format_integer(at_from) + "〜" + format_integer(at_to) + " ms、RT " + format_integer(rt_from) + "〜" +
             format_integer(rt_to) + " ms で解析しました。";
    return "認識範囲を記録から提案しました: AT " + format_integer(at_from) + "〜" + format_integer(at_to) + " ms、RT " +
           format_integer(rt_from) + "〜" + format_integer(rt_to) + " ms。";
  }

  std::string maps_left_out_note(int dead_lead, int flagged) const override {
    return "マップ・伝導速度・回復性・ばらつきから印を除きました: 信号のない誘導の印 " + count(dead_lead) +
           " 個、窓の端に近いか弱い印 " + count(flagged) + " 個。";
  }

  std::string fit_messages_note(int lines) const override {
    return "注意: 最小二乗近似のメッセージが" + count(lines) + "件ありました（近似できない点の微分は0です）。";
  }

  std::string out_folder_message(std::error_code error) const override {
    return "結果のフォルダを作れません（" + error.message() + "）。";
  }

  std::string summary_unwritable_message(std::error_code error) const override {
    return "集計表を書けません（" + words().write_error(error) + "）。";
  }

  std::string summary_refusal_message(SummaryFault fault, const std::filesystem::path& summary) const override {
    const std::string name = utf8_from_path(summary);
    switch (fault) {
      case SummaryFault::not_csv:
        return "集計表の名前は .csv で終わるものにしてください（" + name + "）。";
      case SummaryFault::is_recording:
        return "集計表 " + name + " は解析する記録です。別の名前にしてください。";
      case SummaryFault::is_results_file:
        return "集計表 " + name + " は書き出す結果ファイルです。別の名前にしてください。";
      case SummaryFault::is_map_table:
        return "集計表 " + name + " は書き出すマップの表です。別の名前にしてください。";
      case SummaryFault::not_a_file:
        return "集計表 " + name + " の場所にファイルでないものがあります。";
      case SummaryFault::not_a_summary:
        return name + " は集計表ではないので上書きしません（1行目が集計表の見出しではありません）。";
      case SummaryFault::none:
        break;
    }
    return {};
  }

  std::string grid_refusal_message(LayoutFault fault, std::string_view grid, std::string_view pitch) const override {
    const bool of_pitch = fault == LayoutFault::bad_pitch;
    return std::string(of_pitch ? "--pitch " : "--grid ") + std::string(of_pitch ? pitch : grid) + ": " +
           words().layout_fault(fault) + "。";
  }

  std::string layout_file_message(const std::filesystem::path& file, const FileRead& read,
                                  const LayoutProblem& problem) const override {
    const std::string name = "配置ファイル " + utf8_from_path(file);
    if (read.fault != FileReadFault::none) return name + ": " + read_message(read);
    return name + " の" + count(problem.line) + "行目: " + words().layout_fault(problem.fault) + "。";
  }

  std::string run_report(const RunCounts& c) const override {
    std::string line = "解析 " + count(c.analysed) + " 件、スキップ " + count(c.skipped) + " 件、失敗 " +
                       count(c.failed) + " 件（" + format_fixed(c.seconds, 1) + " 秒）。";
    switch (c.summary) {
      case SummaryPlace::written:
        line += "集計表: " + utf8_from_path(c.summary_file);
        break;
      case SummaryPlace::failed:
        line += "集計表は書けませんでした。";
        break;
      case SummaryPlace::not_written:
        line += "集計表は書いていません。";
        break;
    }
    if (c.notes == SummaryPlace::written) line += "、注記: " + utf8_from_path(c.notes_file);
    if (c.notes == SummaryPlace::failed) line += "（注記の表は書けませんでした）";
    return line;
  }
};

}  // namespace

const BatchWords& japanese_batch_words() {
  static const JapaneseBatchWords words;
  return words;
}

}  // namespace telmor
