#include "words/english_lines.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace telmor {
namespace {

struct Pattern {
  std::string_view japanese;
  std::string_view english;
};

// Longer and more particular patterns first: the first that matches is taken.
constexpr std::array kPatterns = {
    // The banner and the dialogue.
    Pattern{"30秒以内のTXT形式EPS波形データ横n誘導、縦m時間を読み込み",
            "Reads EPS waveform data in TXT form of at most 30 s, n leads across, m times down,"},
    Pattern{"AT,RTを自動認識、視認修正、データ保存を行うものです。",
            "recognises AT and RT, lets you correct them by eye and saves the data."},
    Pattern{"動かす前に****.txtがドライブd:のフォルダ\\data\\mapに", "Before starting, make sure that ****.txt lies"},
    Pattern{"あることを確認してください。", "in the folder \\data\\map of drive d:."},
    Pattern{"可変設定条件", "Settings"},
    Pattern{"1)ドライブ:dでいいですか？<y/n>", "1) Drive d: all right? <y/n>"},
    Pattern{"ドライブ(c,dなど一文字）:", "Drive (one letter: c, d...):"},
    Pattern{"2)振幅比0.1-1.0 (=検出電位微分値：最大電位微分値でいいですか？<y/n>",
            "2) Amplitude ratio 0.1 of 0.1-1.0 (= detected : largest potential derivative) all right? <y/n>"},
    Pattern{"振幅比(0.0-1.0) :", "Amplitude ratio (0.0-1.0) :"},
    Pattern{"3)前後7点のデータで平滑化でいいですか？<y/n>", "3) Smoothing over 7 points either side all right? <y/n>"},
    Pattern{"平滑化点数:", "Smoothing points:"},
    Pattern{"0から499の数を入力してください。", "Type a number from 0 to 499."},
    Pattern{"TXT形式のファイル名を入力してください。 (xxx.txt):", "Type the name of the TXT file. (xxx.txt):"},
    Pattern{"記録した誘導点数を入力してください。", "Type the number of leads recorded."},
    Pattern{"誘導点数は1から20です。", "The number of leads is 1 to 20."},
    Pattern{"記録した秒数を入力してください。", "Type the number of seconds recorded."},
    Pattern{"秒数は1から30です。", "The seconds are 1 to 30."},
    Pattern{"ファイル名「{}」に空白があります。空白より前だけを名前として使います",
            "The file name \"{}\" holds a blank: only what comes before it is used"},
    Pattern{"ファイル名「{}」は12文字を超えていますが、そのまま {}.txt を開きます",
            "The file name \"{}\" is longer than 12 characters: {}.txt is opened as it stands"},
    Pattern{"ファイル名「{}」の.txtは拡張子として扱い、{}.txt を開きます",
            "The .txt of the file name \"{}\" is taken as its extension: {}.txt is opened"},
    // Reading the waveform file.
    Pattern{"何か入力してください。", "Type anything."},
    Pattern{"誘導点は１です。", "One lead."},
    Pattern{"波形データ{}を読み込みました。", "Read the waveform data {}."},
    Pattern{"ファイルの1行目には値が{}個あります。誘導点数{}を超える列は読んでいません。",
            "The file's first line holds {} values: the columns beyond the {} leads were not read."},
    Pattern{"{}が読めません。考えられるのは、", "{} cannot be read. Perhaps"},
    Pattern{"　ファイルが指定のドライブのフォルダにない。", "  the file is not in the folder of the drive given,"},
    Pattern{"　ファイルが他で使用中または、TXT形式でない。", "  the file is in use elsewhere or not in TXT form,"},
    Pattern{"　誘導点数、記録時間(30秒以内）が間違えているなど。",
            "  or the number of leads or the time recorded (30 s at most) is wrong."},
    Pattern{"の読み込みエラー（ERR)です。", "gave a read error (ERR)."},
    Pattern{"ファイルの形式はTXTですか？", "Is the file in TXT form?"},
    Pattern{"の読み込みエラー（EOF)です。、", "gave a read error (EOF):"},
    Pattern{"誘導点数、記録時間(30秒以内）に間違えはありませんか。",
            "are the number of leads and the time recorded (30 s at most) right?"},
    Pattern{"の誘導点数がファイルの列数と合いません。", ": the number of leads does not fit the file's columns."},
    Pattern{"誘導点数に間違えはありませんか。", "Is the number of leads right?"},
    Pattern{"探したフォルダ: {}", "Folder looked in: {}"},
    Pattern{"ドライブのフォルダの外を指す名前なので、開きません。",
            "The name points outside the drive's folder: it is not opened."},
    Pattern{"{}が読めません。", "{} cannot be read."},
    // An opened recording.
    Pattern{"{}: {} チャンネル、{} Hz、{} 秒のうち、{} チャンネルの {}〜{} 秒を 1 kHz にして開きました。時刻はその区間の始まりからです。",
            "{}: of {} channels, {} Hz, {} s, opened {} channels from {} to {} s at 1 kHz. Times count from the part's start."},
    Pattern{"{}: {} チャンネル、{} Hz、{} 秒のうち、{} チャンネルの {}〜{} 秒を開きました。時刻はその区間の始まりからです。",
            "{}: of {} channels, {} Hz, {} s, opened {} channels from {} to {} s. Times count from the part's start."},
    Pattern{"ファイルを開けません（{}）。", "The file cannot be opened ({})."},
    // The chart and the menu.
    Pattern{"保存できなかったので、終了していません。", "Not ended: the save failed."},
    Pattern{"{}ecg dataを表示", "{}ecg data shown"},
    Pattern{"保存(s),既データ読込(o),認識範囲(d),計算(c),AT修正(a),RT修正(r),終了(x)",
            "save(s),load(o),ranges(d),compute(c),correct AT(a),correct RT(r),exit(x)"},
    // s and o.
    Pattern{"AT,RTデータを{}に保存します。", "The AT and RT data go to {}."},
    Pattern{"AT,RTデータを{}に保存できませんでした。", "The AT and RT data could not be saved to {}."},
    Pattern{"AT,RTデータ{}を保存しました。", "Saved the AT and RT data {}."},
    Pattern{"AT,RTデータを{}に保存しませんでした。", "The AT and RT data were not saved to {}."},
    Pattern{"このファイルは、この画面が最後に見た後に、ほかで書き換えられています。",
            "This file was rewritten elsewhere after this window last saw it."},
    Pattern{"このファイルは、この画面が最後に見た後に、ほかで削除されています。",
            "This file was removed elsewhere after this window last saw it."},
    Pattern{"このファイルは、この画面が最後に見た時にはなく、その後ほかで作られています。",
            "This file was not there when this window last saw it and was made elsewhere since."},
    Pattern{"ファイルはそのままにしました。AT,RTは未保存です。", "The file was left as it is. AT and RT are unsaved."},
    Pattern{"AT,RTデータを{}から読込みます。", "The AT and RT data are loaded from {}."},
    Pattern{"AT,RTデータ{}を読込めませんでした。", "Could not load the AT and RT data {}."},
    Pattern{"AT,RTデータ{}を読込みました。", "Loaded the AT and RT data {}."},
    Pattern{"AT,RTは変更していません。", "AT and RT are unchanged."},
    Pattern{"この結果ファイルは別の部分（{}）の結果です。", "This results file holds the results of another part ({})."},
    Pattern{"開いているのは {} です。", "The part open is {}."},
    Pattern{"この結果ファイルがどの部分のものかを記録したファイル {} を読めません。",
            "The file {} that records which part this results file belongs to cannot be read."},
    Pattern{"{}、チャンネル {}、{}〜{} 秒、{} Hz、データセット {}、向き {}",
            "{}, channels {}, {} to {} s, {} Hz, dataset {}, orientation {}"},
    Pattern{"{}、チャンネル {}、{}〜{} 秒、{} Hz、データセット {}", "{}, channels {}, {} to {} s, {} Hz, dataset {}"},
    Pattern{"{}、チャンネル {}、{}〜{} 秒、{} Hz、向き {}", "{}, channels {}, {} to {} s, {} Hz, orientation {}"},
    Pattern{"{}、チャンネル {}、{}〜{} 秒、{} Hz", "{}, channels {}, {} to {} s, {} Hz"},
    Pattern{"未保存の修正AT,RTは消去されます。いいですか? <y/n>",
            "Unsaved corrections of AT and RT will be erased. All right? <y/n>"},
    Pattern{"未保存のAT,RTは消去されます。いいですか? <y/n>", "Unsaved AT and RT will be erased. All right? <y/n>"},
    Pattern{"結果ファイルは{}誘導分、この記録は{}誘導です（誘導{}以降は空です）。",
            "The results file holds {} leads, this recording {} (leads {} on are empty)."},
    Pattern{"いいですか? <y/n>", "All right? <y/n>"},
    // d, c and the ranges.
    Pattern{"これでいいですか? <y/n>", "Is this right? <y/n>"},
    Pattern{"選択する波形の線の近くをClick", "Click near the curve of the beat to choose"},
    Pattern{"エラー、200から3600msecの範囲にしてください。", "Error: choose between 200 and 3600 msec."},
    Pattern{"選択した点（msec） {}", "Point chosen (msec) {}"},
    Pattern{"AT認識の開始点をClick !", "Click the start of the AT range !"},
    Pattern{"RT認識の開始点をClick !", "Click the start of the RT range !"},
    Pattern{"同　　　終了点をClick!", "      and its end!"},
    Pattern{"認識範囲を提案できませんでした（はっきりした波のある誘導がありません）",
            "No ranges could be suggested (no lead has clear waves)"},
    Pattern{"認識範囲の提案: AT {}〜{} ms、RT {}〜{} ms", "Suggested ranges: AT {} to {} ms, RT {} to {} ms"},
    Pattern{"提案された認識範囲にしました。次の c から使われます", "Took the suggested ranges. The next c uses them"},
    Pattern{"認識範囲は変えていません", "The ranges are unchanged"},
    Pattern{"範囲の終了点（{} ms）が開始点（{} ms）より前です", "a range's end ({} ms) lies before its start ({} ms)"},
    Pattern{"{}。このままではcで何も見つかりません。", "{}. As it stands, c finds nothing."},
    Pattern{"誘導 {} の{}の5分の1を超える印が窓の端にあるか弱いです。認識範囲が波を外れている可能性があります（解析 → 範囲を提案）",
            "More than a fifth of lead {}'s {} marks lie at their windows' ends or are weak: the ranges may miss the waves (Analysis → Suggest ranges)"},
    Pattern{"誘導 {} の{}の5分の1を超える印が窓の端にあるか弱いです。認識範囲が波を外れている可能性があります",
            "More than a fifth of lead {}'s {} marks lie at their windows' ends or are weak: the ranges may miss the waves"},
    // Changes at the menu.
    Pattern{"{}。次の c から使われます", "{}. The next c uses it"},
    Pattern{"微分を仕様どおりの計算（legacy）にしました", "The derivative is now the specified arithmetic (legacy)"},
    Pattern{"微分を中心化3次（RT用 {} ms）にしました", "The derivative is now the centred cubic (RT's: {} ms)"},
    Pattern{"拍を探し直しました（{} 拍）", "searched the beats again ({} beats)"},
    Pattern{"RTの窓の設定を変えました", "changed the RT windows"},
    Pattern{"復元する表がありません", "No tables to restore"},
    Pattern{"回復ファイルから表を復元しました（未保存）", "Restored the tables from the recovery file (unsaved)"},
    Pattern{"取り消す操作がありません", "Nothing to undo"},
    Pattern{"拍 {} ms の削除を取り消しました", "Took back the removal of the beat at {} ms"},
    Pattern{"AT修正での変更を取り消しました", "Took back the changes of the AT pass"},
    Pattern{"RT修正での変更を取り消しました", "Took back the changes of the RT pass"},
    Pattern{"拍 {} ms を削除しました（印 {} 個）", "Removed the beat at {} ms ({} marks)"},
    Pattern{"{} ms に拍はありません", "There is no beat at {} ms"},
    // The correction passes.
    Pattern{"表が一杯です。これ以上追加できません。", "The table is full: no more can be added."},
    Pattern{"誘導{}の{}secを解析します。", "Lead{} {}sec is analysed."},
    Pattern{"左ボタンAT変更、右＝次へ、早右＝前へ", "Left button: change AT, right = next, quick right = back"},
    Pattern{"左ボタンRT変更、右＝次へ、早右＝前へ", "Left button: change RT, right = next, quick right = back"},
    Pattern{"取り消す修正がありません", "No correction to undo"},
    Pattern{"やり直す修正がありません", "No correction to redo"},
    Pattern{"誘導{} {} {} ms の追加を取り消しました", "Took back adding lead {}'s {} {} ms"},
    Pattern{"誘導{} {} {} ms の削除を取り消しました", "Took back removing lead {}'s {} {} ms"},
    Pattern{"誘導{} {} {} ms の追加をやり直しました", "Added lead {}'s {} {} ms again"},
    Pattern{"誘導{} {} {} ms の削除をやり直しました", "Removed lead {}'s {} {} ms again"},
    Pattern{"誘導{} {} {} ms を追加", "Added lead {}'s {} {} ms"},
    Pattern{"誘導{} {} {} ms を削除", "Removed lead {}'s {} {} ms"},
};

// Japanese punctuation of a line no pattern matches, in English form.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kPunctuation = {{
    {"、", ", "}, {"。", ". "}, {"（", " ("}, {"）", ")"}, {"〜", " to "}, {"：", ": "}, {"　", " "}, {"「", "\""},
    {"」", "\""},
}};

// The parts of line between the pattern's fixed pieces, or nothing when it
// does not match: each {} takes the shortest text that lets the rest follow.
std::optional<std::vector<std::string_view>> match(std::string_view pattern, std::string_view line) {
  std::vector<std::string_view> pieces;
  for (std::size_t from = 0;;) {
    const std::size_t hole = pattern.find("{}", from);
    pieces.push_back(pattern.substr(from, hole == std::string_view::npos ? std::string_view::npos : hole - from));
    if (hole == std::string_view::npos) break;
    from = hole + 2;
  }
  if (!line.starts_with(pieces.front())) return std::nullopt;
  std::vector<std::string_view> parts;
  std::size_t at = pieces.front().size();
  for (std::size_t k = 1; k < pieces.size(); ++k) {
    const bool last = k + 1 == pieces.size();
    const std::size_t next = last ? (line.ends_with(pieces[k]) && line.size() >= at + pieces[k].size()
                                         ? line.size() - pieces[k].size()
                                         : std::string_view::npos)
                                  : line.find(pieces[k], at);
    if (next == std::string_view::npos || (last && pieces[k].empty() && next != line.size())) return std::nullopt;
    parts.push_back(line.substr(at, next - at));
    at = next + pieces[k].size();
  }
  if (pieces.size() == 1 && line.size() != pieces.front().size()) return std::nullopt;
  return parts;
}

std::string fill(std::string_view english, const std::vector<std::string>& parts) {
  std::string out;
  std::size_t part = 0, from = 0;
  for (std::size_t hole = english.find("{}"); hole != std::string_view::npos; hole = english.find("{}", from)) {
    out += english.substr(from, hole - from);
    if (part < parts.size()) out += parts[part++];
    from = hole + 2;
  }
  out += english.substr(from);
  return out;
}

}  // namespace

bool holds_japanese(std::string_view text) {
  // Every character of Japanese script is three bytes in UTF-8 with a lead
  // byte of E3 (kana, CJK punctuation), E4-E9 (kanji) or EF (full-width forms).
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0xE3 || (b >= 0xE4 && b <= 0xE9) || b == 0xEF) return true;
  }
  return false;
}

std::string english_line(std::string_view line) {
  if (!holds_japanese(line)) return std::string(line);
  for (const Pattern& pattern : kPatterns) {
    if (const auto parts = match(pattern.japanese, line)) {
      std::vector<std::string> english;
      for (const std::string_view part : *parts) english.push_back(english_line(part));
      return fill(pattern.english, english);
    }
  }
  std::string out(line);
  for (const auto& [japanese, english] : kPunctuation) {
    for (std::size_t at = out.find(japanese); at != std::string::npos; at = out.find(japanese, at + english.size()))
      out.replace(at, japanese.size(), english);
  }
  return out;
}

}  // namespace telmor
