// The Japanese words: the desktop's, telmor-batch's and the results
// dialogues' reasons.
#include <string>

#include "base/number_text.h"
#include "readers/recording_limits.h"
#include "readers/recording_shape.h"
#include "catalogues.h"

namespace telmor {
namespace {

std::string count(std::int64_t n) { return format_integer(n); }

bool is_permission(std::error_code error) {
  return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

// The common causes, the same whichever way the file was used; empty for the rest.
std::string_view shared_cause(std::error_code error) {
  if (error == std::errc::no_space_on_device) return "ディスクの空きが足りません。";
  if (error == std::errc::read_only_file_system) return "読み取り専用のドライブなので書き込めません。";
  if (error == std::errc::is_a_directory) return "ファイルではなくフォルダです。";
  if (error == std::errc::not_a_directory) return "パスの途中にフォルダでないファイルがあります。";
  if (error == std::errc::directory_not_empty) return "フォルダが空ではありません。";
  if (error == std::errc::too_many_symbolic_link_levels)
    return "リンクが多すぎるか、循環しています。";
  if (error == std::errc::too_many_links) return "リンクの数が上限を超えています。";
  if (error == std::errc::filename_too_long) return "名前が長すぎます。";
  return {};
}

std::string without_full_stop(std::string text) {
  constexpr std::string_view kFullStop = "。";
  if (text.ends_with(kFullStop)) text.resize(text.size() - kFullStop.size());
  return text;
}

// How a library's process ended: its signal's name, or its exit status.
std::string ending(const RecordingProblem& p) {
  if (p.count != 0) return signal_name(p.count);
  return "終了コード " + count(p.row);
}

std::string header_problem(const RecordingProblem& p) {
  const std::string signal = "信号 " + count(p.leads) + " の";
  switch (p.field) {
    case HeaderField::none:
    case HeaderField::version:
      return "ヘッダーの形式 " + p.detail + " は読めません。";
    case HeaderField::header_bytes:
      return "ヘッダーの長さ " + p.detail + " バイトが信号の数やファイルの大きさと合いません。";
    case HeaderField::signal_count:
      return "信号の数 " + p.detail + " が1から" + count(kMaxHeaderSignals) + "の範囲にありません。";
    case HeaderField::record_count:
      return "データレコードの数 " + p.detail + " が正しくありません。";
    case HeaderField::record_duration:
      return "データレコードの長さ " + p.detail + " 秒が正の数ではありません。";
    case HeaderField::samples_per_record:
      return (p.leads > 0 ? signal : std::string()) + "レコードあたりのサンプル数 " + p.detail + " が正しくありません。";
    case HeaderField::digital_range:
      return signal + "デジタル最小値と最大値 " + p.detail + " は、最小値が最大値より小さくないか、範囲を超えています。";
    case HeaderField::physical_minimum:
      return signal + "物理最小値 " + p.detail + " が数値ではありません。";
    case HeaderField::physical_maximum:
      return signal + "物理最大値 " + p.detail + " が数値ではありません。";
    case HeaderField::physical_range:
      return signal + "物理最小値と最大値が同じ " + p.detail + " です。";
    case HeaderField::sample_type:
      return signal + "サンプルの型 " + p.detail + " は GDF にありません。";
  }
  return {};
}

std::string line_number(int line) { return format_integer(line) + "行目"; }

std::string one_review(MarkReview review, const char* kind) {
  switch (review) {
    case MarkReview::before_first_beat:
      return std::string("最初の拍より前の") + kind;
    case MarkReview::missing:
      return std::string(kind) + "なし";
    case MarkReview::several:
      return std::string(kind) + "が複数";
    case MarkReview::weak:
      return std::string(kind) + "が弱い";
    case MarkReview::edge:
      return std::string(kind) + "なし（窓の端が最も急：波が窓の外）";
    case MarkReview::flat:
      return std::string(kind) + "なし（信号が平坦）";
    case MarkReview::no_window:
      return std::string(kind) + "なし（窓がとれない）";
    case MarkReview::near_edge:
      return std::string(kind) + "が窓の端に近い";
    case MarkReview::none:
      break;
  }
  return {};
}

const char* bound_name(SettingPart part) {
  switch (part) {
    case SettingPart::at_from:
      return "AT開始";
    case SettingPart::at_to:
      return "AT終了";
    case SettingPart::rt_from:
      return "RT開始";
    default:
      return "RT終了";
  }
}

class JapaneseWords final : public Words {
 public:
  Language language() const override { return Language::japanese; }

  std::string recording_problem(const RecordingProblem& p) const override {
    switch (p.fault) {
      case RecordingFault::none:
        return {};
      case RecordingFault::no_rows:
        return "データの行がありません。";
      case RecordingFault::first_line_values:
        return "1行目の値の数 " + count(p.count) + " が1から" + count(kMaxRecordingLeads) + "の範囲にありません。";
      case RecordingFault::rows_not_whole_seconds:
        return "データの行数 " + count(p.count) + " が1000の倍数ではありません（1秒は1000行）。";
      case RecordingFault::too_many_seconds:
        return "データの行数 " + count(p.count) + " は" + count(p.count / 1000) + "秒で、" +
               count(kMaxRecordingSeconds) + "秒を超えています。";
      case RecordingFault::end_of_file:
        return "読み込みエラー（EOF)です。" + count(p.row) +
               "行目のデータの途中でファイルが終わっています。誘導点数と秒数を確かめてください。";
      case RecordingFault::not_a_number:
        return "読み込みエラー（ERR)です。" + count(p.row) + "行目のデータに数値でない値があります。";
      case RecordingFault::value_beyond_float:
        return "読み込みエラー（ERR)です。" + count(p.row) +
               "行目のデータに32ビット実数の範囲を超える値があります。";
      case RecordingFault::lead_count_mismatch:
        return "誘導点数 " + count(p.leads) + " がファイルの列数と合いません（1行目の値は " +
               count(p.count) + " 個）。" + count(p.row) +
               "行目のデータが行の途中で終わっています。誘導点数に間違えはありませんか。";
      case RecordingFault::cr_line_ends:
        return "行末がCRだけです（改行をCR LFかLFにして保存してください）。";
      case RecordingFault::utf16_text:
        return "UTF-16のテキストです（UTF-8かShift_JISで保存してください）。";
      case RecordingFault::binary_data:
        return "テキストではありません（NULバイトのあるバイナリファイルです）。";
      case RecordingFault::too_large:
        return "記録が大きすぎてメモリに入りません。";
      case RecordingFault::cannot_open:
        return "ファイルを開けません（" + p.detail + "）。";
      case RecordingFault::unknown_format:
        return p.detail + " は名前からも中身からも、読める形式（テキスト、CSV/TSV、EDF/BDF/GDF、HDF5、MATLAB）と分かりません。";
      case RecordingFault::format_unreadable:
        return "ファイルを読めません: " + p.detail;
      case RecordingFault::no_dataset:
        return "ファイルに数値の2次元データがありません。";
      case RecordingFault::several_datasets:
        return "ファイルに2次元データが複数あります（" + p.detail + "）。--dataset で選んでください。";
      case RecordingFault::dataset_not_found:
        return "ファイルにデータ " + p.detail + " がありません。";
      case RecordingFault::dataset_shape:
        return "データが数値の2次元配列ではありません（" + p.detail + "）。";
      case RecordingFault::orientation_ambiguous:
        return count(p.row) + " × " + count(p.count) +
               " のデータは サンプル×誘導 とも 誘導×サンプル とも取れます。--orientation で指定してください。";
      case RecordingFault::rate_missing:
        return "ファイルにサンプリング周波数がありません。--rate で指定してください。";
      case RecordingFault::rate_invalid:
        return "サンプリング周波数 " + p.detail + " が正の数ではありません。";
      case RecordingFault::rates_differ:
        return "チャンネルのサンプリング周波数がそろっていません（" + p.detail + "）。";
      case RecordingFault::irregular_time:
        return "時刻の列の間隔が " + count(p.row) + " 行目で変わります（サンプルが等間隔ではありません）。";
      case RecordingFault::csv_header:
        if (p.count == 1) return "1行目が数値です。CSVの記録はチャンネル名の行から始めてください。";
        if (p.count == 2)
          return "時刻の列 " + p.detail + " に単位がありません。time_s か time_ms という名前にするか、--rate で指定してください。";
        return "時刻のほかに列がありません。";
      case RecordingFault::field_count:
        return count(p.row) + " 行目の値の数が見出しと合いません。";
      case RecordingFault::lead_outside:
        return "誘導 " + count(p.leads) + " はありません（記録の誘導は " + count(p.count) + " 個）。";
      case RecordingFault::time_outside:
        return p.detail + " 秒は記録の外です（記録は " + count(p.count) + " ms）。";
      case RecordingFault::header_invalid:
        return header_problem(p);
      case RecordingFault::data_missing:
        if (p.detail.empty())
          return "ヘッダーは " + count(p.count) + " レコードとしていますが、ファイルには " + count(p.row) +
                 " レコードしかありません（ファイルが途中で切れています）。";
        return "データ " + p.detail + " は " + count(p.count) + " 個の値としていますが、ファイルにあるのは " +
               count(p.row) + " 個分だけです。";
      case RecordingFault::beyond_limit:
        return "記録 " + p.detail + " は大きすぎます（サンプルは " + count(p.count) + " GiB まで）。";
      case RecordingFault::library_crashed:
        return p.detail + " を読むライブラリが異常終了しました（" + ending(p) +
               "）。ファイルが壊れているかもしれません。";
      case RecordingFault::library_hung:
        return p.detail + " を読むライブラリが " + count(p.count) +
               " 秒応答しないので止めました。ファイルが壊れているかもしれません。";
    }
    return {};
  }

  std::string analysis_problem(const AnalysisProblem& p) const override {
    switch (p.fault) {
      case AnalysisFault::none:
        return {};
      case AnalysisFault::no_leads:
        return "記録に誘導がありません。";
      case AnalysisFault::no_samples:
        return "記録にデータがありません。";
      case AnalysisFault::too_short:
        return "記録が1秒より短いです（" + count(static_cast<std::int64_t>(p.value)) + " サンプル）。";
      case AnalysisFault::values_mismatch:
        return "記録の値の数が誘導数×サンプル数と合いません。";
      case AnalysisFault::beat_lead_outside:
        return "拍を探す誘導 " + count(static_cast<std::int64_t>(p.value)) + " がありません（誘導は " +
               count(p.leads) + " 個）。";
      case AnalysisFault::smoothing_outside:
        return "平滑化点数 " + count(static_cast<std::int64_t>(p.value)) + " が" + count(kMinSmoothPoints) +
               "〜" + count(kMaxSmoothPoints) + "の範囲にありません。";
      case AnalysisFault::ratio_outside:
        return "振幅比 " + format_real(static_cast<float>(p.value)) + " が0〜1の範囲にありません。";
      case AnalysisFault::range_bound_outside:
        return std::string("認識範囲の") + bound_name(p.part) + " " + count(static_cast<std::int64_t>(p.value)) +
               " ms が" + count(kLowestRangeBound) + "〜" + count(kHighestRangeBound) + "の範囲にありません。";
      case AnalysisFault::range_reversed:
        return std::string(p.part == SettingPart::at ? "AT" : "RT") + "範囲の終了点が開始点より前です。";
      case AnalysisFault::rate_outside:
        return "サンプリング周波数 " + format_real(static_cast<float>(p.value)) + " Hz では解析できません（" +
               format_real(static_cast<float>(kMinRateHz)) + " Hz 以上にしてください）。";
      case AnalysisFault::window_too_narrow:
        return std::string(p.part == SettingPart::at ? "" : "RTの") + "平滑化の窓が " +
               count(2 * static_cast<std::int64_t>(p.value) + 1) +
               " サンプルしかなく、3次式を当てはめられません（5サンプル以上にしてください）。";
      case AnalysisFault::rt_smoothing_outside:
        return "RTの平滑化 " + count(static_cast<std::int64_t>(p.value)) + " ms が" + count(kMinSmoothPoints) + "〜" +
               count(kMaxSmoothPoints) + " の範囲にありません。";
      case AnalysisFault::legacy_rate:
        return "legacy の計算は 1000 Hz の記録だけです（この記録は " + format_real(static_cast<float>(p.value)) +
               " Hz）。";
      case AnalysisFault::legacy_rt_smoothing:
        return "legacy の計算はATとRTに同じ微分を使うので、RTの平滑化は指定できません。";
      case AnalysisFault::rt_margin_outside:
        return "RTの余裕 " + count(static_cast<std::int64_t>(p.value)) + " ms が0〜" + count(kMostRtMarginMs) +
               " の範囲にありません。";
      case AnalysisFault::rt_window_outside:
        return p.part == SettingPart::window_reversed ? std::string("AT後のRT範囲の終了点が開始点より前です。")
                            : std::string("AT後のRT範囲の") + (p.part == SettingPart::window_from ? "開始点" : "終了点") + " " +
                                  count(static_cast<std::int64_t>(p.value)) + " ms が0〜" +
                                  count(kHighestRangeBound) + " の範囲にありません。";
      case AnalysisFault::blanking_outside:
        return std::string("拍の") + (p.part == SettingPart::before ? "前" : "後") + "の除外時間 " +
               count(static_cast<std::int64_t>(p.value)) + " ms が0〜" + count(kMostBlankMs) + " の範囲にありません。";
      case AnalysisFault::legacy_cycle_options:
        return "legacy の計算は仕様どおりに探すので、RTの余裕やAT後のRT範囲は指定できません。";
      case AnalysisFault::no_amplitude:
        return "データがありません（拍を探す誘導" + count(p.lead) + "の100〜1000 msがすべて0です）。";
      case AnalysisFault::derivative_not_finite:
        return "誘導" + count(p.lead) + "の値が大きすぎて、単精度では微分が有限になりません。単位を変えて書き出してください。";
      case AnalysisFault::amplitude_lost:
        return "誘導" + count(p.lead) + "の値が小さすぎて、単精度では微分がすべて0になります。単位を変えて書き出してください。";
    }
    return {};
  }

  std::string read_note(const WaveRows& rows, int lead_count) const override {
    switch (rows.cause) {
      // The status bar's notes are phrases: the reason without its full stop.
      case WaveCause::cr_line_ends:
        return without_full_stop(recording_problem({RecordingFault::cr_line_ends}));
      case WaveCause::utf16_text:
        return without_full_stop(recording_problem({RecordingFault::utf16_text}));
      case WaveCause::value_beyond_float:
        return count(rows.row) + "行目に32ビット実数の範囲を超える値があります";
      case WaveCause::none:
        break;
    }
    if (rows.status != WaveReadStatus::lead_count_mismatch) return {};
    return "ファイルの1行目の値は" + count(rows.first_line_values) + "個、誘導点数は" + count(lead_count) +
           "です";
  }

  std::string layout_fault(LayoutFault fault) const override {
    switch (fault) {
      case LayoutFault::none:
        return {};
      case LayoutFault::no_header:
        return "1行目が見出し lead,x_mm,y_mm ではありません";
      case LayoutFault::field_count:
        return "カンマで区切った3つの値（誘導,x,y）ではありません";
      case LayoutFault::bad_lead:
        return "誘導が1以上の整数ではありません";
      case LayoutFault::bad_number:
        return "座標が数値ではありません";
      case LayoutFault::not_finite:
        return "座標が有限の数値ではありません";
      case LayoutFault::lead_twice:
        return "この誘導の位置は前の行にもあります";
      case LayoutFault::too_close:
        return "前の行の電極と1 µm未満しか離れていません";
      case LayoutFault::no_electrodes:
        return "電極の位置が1つもありません";
      case LayoutFault::bad_grid:
        return "格子が 行数x列数（1以上の整数、電極は" + count(kMaxLayoutElectrodes) + "個まで）ではありません";
      case LayoutFault::bad_pitch:
        return "間隔が0.001 mm以上の有限の数値ではありません";
      case LayoutFault::too_many:
        return "電極が多すぎます（" + count(kMaxLayoutElectrodes) + "個まで）";
    }
    return {};
  }

  std::string mark_review(MarkReview at, MarkReview rt) const override {
    std::string text = one_review(at, "AT");
    const std::string more = one_review(rt, "RT");
    if (!text.empty() && !more.empty()) text += "、";
    return text + more;
  }

  std::string range_warning(const std::vector<int>& leads, MarkKind kind) const override {
    std::string names;
    for (const int lead : leads) names += (names.empty() ? "" : "、") + count(lead);
    return "誘導 " + names + " の" + std::string(mark_kind_name(kind)) +
           "の5分の1を超える印が窓の端にあるか弱いです。認識範囲が波を外れている可能性があります";
  }

  std::string format_fault(const FormatResult& result) const override {
    const std::string block(block_name(result.block));
    switch (result.fault) {
      case FormatFault::count_out_of_range:
        return block + "の件数" + count(result.count) + "が0から200の範囲にありません。";
      case FormatFault::time_too_wide:
        return block + "の誘導" + count(result.lead) + "の" + count(result.row) +
               "拍目の時刻が8桁の欄に書けません。";
      case FormatFault::none:
        break;
    }
    return {};
  }

  std::string parse_fault(const ParseResult& result) const override {
    const std::string where = line_number(result.line);
    const std::string block(block_name(result.block));
    switch (result.fault) {
      case ParseFault::early_end:
        return "ファイルが途中で終わっています（" + where + "がありません）。";
      case ParseFault::not_a_number:
        if (result.lead == 0) return where + "の" + block + "の件数が数値ではありません。";
        return where + "の誘導" + count(result.lead) + "の時刻が数値ではありません。";
      case ParseFault::count_out_of_range:
        return where + "の" + block + "の件数" + count(result.count) + "が0から200の範囲にありません。";
      case ParseFault::read_error:
        return "読込み中にエラーが起きました。";
      case ParseFault::none:
        break;
    }
    return {};
  }

  std::string system_error(std::error_code error, FileUse use) const override {
    const bool writing = use == FileUse::writing;
    // Writing creates the file, so a missing name is its folder.
    if (error == std::errc::no_such_file_or_directory)
      return writing ? "フォルダがありません。" : "ファイルがありません。";
    if (is_permission(error))
      return writing ? "書き込みが許可されていません。" : "読込みが許可されていません。";
    if (error == FileError::not_a_regular_file)
      return "通常のファイルではない（デバイス、FIFO、ソケットなど）ので、そのままにしました。";
    if (error == FileError::too_large) return "大きすぎるので読みません。";
    if (const std::string_view cause = shared_cause(error); !cause.empty()) return std::string(cause);
    return std::string(writing ? "書き込みエラーです" : "読込みエラーです") + "（" + error.message() + "）。";
  }

  std::string left_temporary(std::error_code error) const override {
    return "中断された保存の一時ファイルを消せません（" + write_error(error) + "）。";
  }
};

}  // namespace

const Words& japanese_words() {
  static const JapaneseWords words;
  return words;
}

}  // namespace telmor
