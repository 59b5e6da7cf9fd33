// The help window's text, kept apart from the code that shows it.
#include "gui/help_text.h"

#include "gui/frame_language.h"
#include "words/words.h"

namespace telmor {
namespace {

QString japanese_help_html() {
  return QStringLiteral(R"(
<h2>TELMOR の使い方</h2>

<h3>解析の流れ</h3>
<ol>
<li>コンソールの質問（ドライブ、振幅比、平滑化）に <b>y</b> か <b>n</b> で答えます。</li>
<li>波形データのファイル名（.txt は付けても付けなくても）、誘導点数、記録した秒数を入力します。
12文字より長い名前もそのまま開きます。</li>
<li>読み込みが終わるとグラフに誘導1の波形と拍の印、メニューの行が出ます。</li>
<li>メニューの文字を入力して Enter を押します（メニューバーからも選べます）。
ふつうは <b>d</b> → <b>c</b> → <b>a</b> / <b>r</b> → <b>s</b> の順です。</li>
</ol>
<p>入力欄の左には、いまどちらの窓（コンソールかグラフ）が入力を待っているかが出ます。
何も待っていないときに入力した行は使われず、そのことがステータスバーに出ます。</p>

<h3>ほかの形式の記録を開く</h3>
<p>「ファイル」→「記録を開く…」（Ctrl+O、または <code>telmor ファイル</code> で起動）で、
どのフォルダのテキスト、CSV/TSV、EDF/BDF/GDF、HDF5、MATLAB の記録も開けます。
チャンネル（ラベルと単位）、サンプリング周波数、長さが出るので、開くチャンネル（20まで）と
区間（1〜30秒）を選びます。1 kHz でない記録は 1 kHz にしてから解析し、時刻は選んだ区間の
始まりからです。結果ファイルは開いたファイルの横で、最初のチャンネル（20まで）を始めから（30秒まで）開いたときは NAMEari.csv、
ほかの部分はチャンネルと区間が名前に入ります（NAMEari_ch2-13_2.5-12.5s.csv）。横の NAMEari….csv.part が
どの部分の結果かを記録しているので、o はほかの部分の結果を読込みません。
データセット、向き、周波数がファイルから分からないときは、理由が出るので指定して「読み直す」を押します。
解析中に開くと、問答の代わりにその記録から始め直します（保存していない変更は、破棄してよいかを聞きます）。</p>

<h3>メニューの文字</h3>
<table border="1" cellpadding="3" cellspacing="0">
<tr><td><b>d</b> 認識範囲</td><td>概観の拍の近くをクリックして <b>y</b>、1秒の窓で AT の開始点・終了点、RT の開始点・終了点をクリックします。</td></tr>
<tr><td><b>c</b> 計算</td><td>全誘導・全拍の AT（微分の最も急な下降）と RT（微分の最大の山）を求め、表を置き換えます。</td></tr>
<tr><td><b>a</b> AT修正<br><b>r</b> RT修正</td><td>誘導ごとに1秒の窓を順に見て、印を直します。最後の窓のあとで保存するかを聞きます。</td></tr>
<tr><td><b>s</b> 保存</td><td>AT・RT の表を結果ファイルに保存します。</td></tr>
<tr><td><b>o</b> 既データ読込</td><td>前に保存した結果ファイルを読み込みます。</td></tr>
<tr><td><b>x</b> 終了</td><td>終了します。保存していない変更があれば、先に保存するかを聞きます。</td></tr>
</table>

<h3>修正（a, r）のマウスとキー</h3>
<table border="1" cellpadding="3" cellspacing="0">
<tr><td>左クリック</td><td>その時刻に印を加えます（40 ms 以内に印があればそれを消します）。</td></tr>
<tr><td>右クリック、→、スペース</td><td>次の窓へ。</td></tr>
<tr><td>右ダブルクリック、←</td><td>前の窓へ。</td></tr>
<tr><td>Page Down / Page Up</td><td>次の誘導 / 前の誘導の最初の窓へ。</td></tr>
<tr><td>Esc</td><td>修正を終えて、保存の質問へ進みます。</td></tr>
<tr><td>Ctrl+Z</td><td>直前の修正を取り消します（別の窓での修正なら、その窓へ戻ってから）。</td></tr>
<tr><td>Ctrl+Shift+Z、Ctrl+Y</td><td>取り消した修正をやり直します。</td></tr>
</table>
<p>ステータスバーには、いまの誘導と窓、マウスの位置の時刻（概観では記録の始めからの ms、修正では記録の中の ms）、最後の修正が出ます。</p>

<h3>ドライブとフォルダ</h3>
<p>波形データは <code>ドライブ:\data\map\名前.txt</code> に置きます。Windows ではそのままのパスです。
それ以外では、ドライブ文字は TELMOR を起動したフォルダの下の小文字のフォルダになり、
<code>d:\data\map\abc.txt</code> は起動したフォルダの <code>d\data\map\abc.txt</code> です（フォルダの区切りはそのシステムのもの）。</p>

<h3>結果ファイル</h3>
<p><b>s</b> は AT・RT の表を <code>ドライブ:\data\map\名前ari.csv</code> に保存し、<b>o</b> はそれを読み込みます。
保存は最後まで書けたときだけ前のファイルと入れ替わるので、失敗しても前のファイルは残ります。
この画面が記録を開いてから（または最後に読込み・保存してから）ほかの TELMOR などが結果ファイルを保存・削除・作成していたら、
保存の前に上書きするかを聞きます。既定は上書きしないで、その場合この画面の表は未保存のままです。
メニューバーの「ファイル」から、結果表を CSV に、グラフを PNG 画像に保存することもできます。</p>

<h3>結果表（表示 → 結果表）</h3>
<p>誘導ごと・拍ごとの AT、RT、ARI（RT−AT）を、拍からの時間の色で示します。ラベルのある記録では
誘導の名前も出ます。印がない、印が複数、印が弱い、窓の端に近いセルは赤い枠の「要確認」で、
表の下に一覧が出ます（最初の <b>c</b> か <b>o</b> の前は何も要確認になりません）。
セルにマウスを置くと、そのセルのすべての印と理由が出ます。
表や一覧をクリックしたあとでも、打った文字と Enter はメニューや質問への答えになります。</p>
<ul>
<li>メニューでセルを<b>ダブルクリック</b>すると、その誘導のその拍の窓から修正（AT か RT、ARI ならどちらかを聞きます）を始めます。
修正中のダブルクリックはその窓へ移ります。</li>
<li><b>F3</b> / <b>Shift+F3</b>（修正メニュー、ツールバーの「次の要確認」「前の要確認」）は要確認の次 / 前の窓へ移ります。
メニューで押すと、表に出ている種類（RT を表示中なら RT、ほかは AT）の最初 / 最後の要確認の窓から修正を始めます。
ステータスバーの「要確認 N件」は表が変わるたびに数え直します。</li>
<li>列の見出しを右クリックすると「拍N（… ms）を削除」：偽の拍を、その拍の印ごと表から消します。</li>
<li>メニューでの <b>元に戻す</b>（Ctrl+Z）は、拍の削除と、表を変えた修正（a、r の1回を1段）を新しい順に取り消します。
<b>c</b>、<b>o</b>、回復ファイルからの復元のあとは、それより前には戻りません。</li>
</ul>

<h3>マップ（表示 → マップ、電極の配置を開く…）</h3>
<p>電極の配置ファイル（CSV、見出し <code>lead,x_mm,y_mm</code>）を「電極の配置を開く…」で選ぶか、記録の横に
<code>名前.layout.csv</code> を置くと、選んだ拍の活性化時間のマップ（等時線と伝導速度の矢印）、ARI のマップ、
回復特性、ばらつきが出ます。信号のない誘導と、窓の端に近いか弱い印はマップから除き、その数を示します。
図は SVG と PNG で保存できます。</p>

<h3>解析（メニューバー）</h3>
<p>微分の方法（中心化3次が既定、仕様どおりは以前の結果の再現用）、RT 用の平滑化、RT の窓、拍探しの除外幅は
「解析の設定…」で変え、次の <b>c</b> から使われます。「範囲を提案…」は記録から認識範囲を提案し、
<b>d</b> の窓に描いて、採るか、クリックし直すか、やめるかを聞きます。</p>

<h3>回復ファイル</h3>
<p>保存していない AT・RT があるあいだ、結果ファイルの横の <code>名前ari.csv.recover</code> に表を書き続けます。
異常終了のあと同じ記録を開くと、書いた時刻、設定、結果ファイルと異なる印の数（少なければその印）を示して、
復元、破棄、後でを聞きます。保存、読み込み、すべての変更の取り消しで回復ファイルは消えます。</p>

<h3>起動</h3>
<p><code>telmor</code> は起動したフォルダをドライブのフォルダとして問答から始めます。
<code>telmor ファイル</code> はその記録を開いて始めます。<code>telmor --help</code>、<code>telmor --version</code>
は画面を開かずに使い方と版を表示します。
画面の言語は「表示」→「言語 (Language)」で日本語と English から選べ、次の起動から使われます
（選んでいなければ、環境変数 LANG などが en_* のとき English）。</p>
)");
}

QString english_help_html() {
  return QStringLiteral(R"html(
<h2>How to use TELMOR</h2>

<h3>The flow of an analysis</h3>
<ol>
<li>Answer the console's questions (drive, amplitude ratio, smoothing) with <b>y</b> or <b>n</b>.</li>
<li>Type the waveform file's name (with or without .txt), the number of leads and the seconds recorded.
Names longer than 12 characters open as they are.</li>
<li>Once it is read, the chart shows lead 1 with the beats marked, and the menu line.</li>
<li>Type a menu letter and press Enter (or choose it from the menu bar).
The usual order is <b>d</b> → <b>c</b> → <b>a</b> / <b>r</b> → <b>s</b>.</li>
</ol>
<p>Left of the input box, the frame says which window (the console or the chart) is waiting for input.
A line typed when nothing waits is not used, and the status bar says so.</p>

<h3>Opening recordings of other formats</h3>
<p>File → Open recording… (Ctrl+O, or start with <code>telmor FILE</code>) opens a text, CSV/TSV,
EDF/BDF/GDF, HDF5 or MATLAB recording from any folder. It shows the channels (with labels and units),
the sampling rate and the length; choose the channels to open (up to 20) and the part (1–30 s).
A recording not at 1 kHz is brought to 1 kHz before the analysis; times count from the start of the
chosen part. The results file lies beside the opened file: NAMEari.csv when the first channels (up to 20)
are opened from the start (up to 30 s), otherwise a name that holds the channels and the span
(NAMEari_ch2-13_2.5-12.5s.csv). The NAMEari….csv.part beside it records which part the results are of,
so o does not load the results of another part.
When the file does not say its dataset, orientation or rate, the reason is shown: set it and press Read again.
Opening during an analysis starts over with that recording instead of the questions (unsaved changes are
given up only when you say so).</p>

<h3>The menu letters</h3>
<table border="1" cellpadding="3" cellspacing="0">
<tr><td><b>d</b> recognition ranges</td><td>Click near a beat in the overview and answer <b>y</b>; in the 1 s window, click the start and end of the AT range, then of the RT range.</td></tr>
<tr><td><b>c</b> calculate</td><td>Finds the AT (steepest fall of the derivative) and the RT (highest peak of the derivative) of every beat in every lead, replacing the tables.</td></tr>
<tr><td><b>a</b> correct AT<br><b>r</b> correct RT</td><td>Shows each lead's 1 s windows in turn to correct the marks. After the last window it asks whether to save.</td></tr>
<tr><td><b>s</b> save</td><td>Saves the AT and RT tables to the results file.</td></tr>
<tr><td><b>o</b> load results</td><td>Loads a results file saved before.</td></tr>
<tr><td><b>x</b> exit</td><td>Ends the program, asking first whether to save unsaved changes.</td></tr>
</table>

<h3>Mouse and keys of a correction (a, r)</h3>
<table border="1" cellpadding="3" cellspacing="0">
<tr><td>Left click</td><td>Adds a mark at that time (or removes the mark within 40 ms of it).</td></tr>
<tr><td>Right click, →, Space</td><td>Next window.</td></tr>
<tr><td>Right double-click, ←</td><td>Previous window.</td></tr>
<tr><td>Page Down / Page Up</td><td>First window of the next / previous lead.</td></tr>
<tr><td>Esc</td><td>Ends the correction and goes on to the question about saving.</td></tr>
<tr><td>Ctrl+Z</td><td>Takes back the last correction (going back to its window first when it was made in another).</td></tr>
<tr><td>Ctrl+Shift+Z, Ctrl+Y</td><td>Makes a taken-back correction again.</td></tr>
</table>
<p>The status bar shows the lead and window on show, the time under the mouse (ms from the recording's
start in the overview, ms within the recording in a correction) and the last correction.</p>

<h3>Drives and folders</h3>
<p>Waveform files are kept in <code>DRIVE:\data\map\NAME.txt</code>. On Windows that is the path itself.
Elsewhere a drive letter is a lower-case folder below the folder TELMOR was started in:
<code>d:\data\map\abc.txt</code> is <code>d\data\map\abc.txt</code> there (with the system's own separators).</p>

<h3>Results files</h3>
<p><b>s</b> saves the AT and RT tables to <code>DRIVE:\data\map\NAMEari.csv</code>, and <b>o</b> loads them.
A save replaces the earlier file only once it is written whole, so a failed save leaves the earlier file.
When another TELMOR (or anything else) has saved, removed or made the results file since this window opened the
recording (or last loaded or saved it), the save first asks whether to overwrite it. The default is not to: then
this window's tables stay unsaved.
From the File menu the results table can also be saved as CSV and the chart as a PNG image.</p>

<h3>Results table (View → Results table)</h3>
<p>Each lead's AT, RT and ARI (RT−AT) for each beat, coloured by the time from the beat. A recording with
labels shows the leads' names too. Cells with no mark, several marks, a weak mark or a mark near a window's
end are framed in red as "to review" and listed below the table (nothing is to review before the first
<b>c</b> or <b>o</b>). Resting the mouse on a cell shows all its marks and why it is to review.
Letters and Enter typed after a click in the table or the list still answer the menu or the question.</p>
<ul>
<li>At the menu, a <b>double-click</b> on a cell starts a correction (AT or RT; for ARI it asks which)
at that lead's window of that beat. During a correction, a double-click moves to that window.</li>
<li><b>F3</b> / <b>Shift+F3</b> (the Correction menu, or Next to review / Previous to review on the tool bar)
move to the next / previous window to review. At the menu they start a correction at the first / last
window to review of the kind on show (RT when RT is shown, AT otherwise).
The status bar's "To review" count follows every change of the table.</li>
<li>A right click on a column's heading offers "Remove Beat N (… ms)": a false beat leaves the table with its marks.</li>
<li><b>Undo</b> (Ctrl+Z) at the menu takes back removed beats and corrections that changed the tables
(one a or r at a time), newest first. It does not reach back past <b>c</b>, <b>o</b> or a restore from a recovery file.</li>
</ul>

<h3>Maps (View → Maps, Open electrode layout…)</h3>
<p>Choose an electrode layout file (CSV with the heading <code>lead,x_mm,y_mm</code>) with Open electrode layout…,
or put <code>NAME.layout.csv</code> beside the recording: the chosen beat's activation map (isochrones and
conduction velocity arrows), its ARI map, restitution and dispersion are drawn. Leads without signal and marks
near a window's end or weak are left out of the maps, and their number is shown.
The figure can be saved as SVG and PNG.</p>

<h3>Analysis (menu bar)</h3>
<p>The derivative (centred cubic by default; as specified, to reproduce earlier results), the RT smoothing,
the RT window and the beat search's blanking are set in Analysis settings… and used from the next <b>c</b>.
Suggest ranges… suggests recognition ranges from the recording, draws them in the <b>d</b> window and asks
whether to use them, to click them anew, or to keep the ranges.</p>

<h3>Recovery files</h3>
<p>While there are unsaved ATs and RTs, the tables are kept written to <code>NAMEari.csv.recover</code>
beside the results file. Opening the same recording after a crash shows when it was written, its settings
and how many marks differ from the results file (naming them when few), and asks whether to restore,
discard, or decide later. Saving, loading, or taking back every change removes the recovery file.</p>

<h3>Starting</h3>
<p><code>telmor</code> starts with the questions, the folder it was started in holding the drive folders.
<code>telmor FILE</code> starts by opening that recording. <code>telmor --help</code> and <code>telmor --version</code>
print the usage and the version without a window. The window's language is chosen in
View → Language (日本語 or English) and used from the next start (unless chosen there, English when
LANG or the like is en_*).</p>
)html");
}

}  // namespace

QString help_html() {
  return frame_language() == Language::english ? english_help_html() : japanese_help_html();
}

}  // namespace telmor
