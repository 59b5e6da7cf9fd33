// The help window's text, kept apart from the code that shows it.
#include "gui/help_text.h"

namespace telmor {

QString help_html() {
  return QStringLiteral(R"(
<h2>TELMOR の使い方</h2>

<h3>解析の流れ</h3>
<ol>
<li>コンソールの質問（ドライブ、振幅比、平滑化）に <b>y</b> か <b>n</b> で答えます。</li>
<li>波形データのファイル名（拡張子なし）、誘導点数、記録した秒数を入力します。</li>
<li>読み込みが終わるとグラフに誘導1の波形と拍の印、メニューの行が出ます。</li>
<li>メニューの文字を入力して Enter を押します（メニューバーからも選べます）。
ふつうは <b>d</b> → <b>c</b> → <b>a</b> / <b>r</b> → <b>s</b> の順です。</li>
</ol>
<p>入力欄の左には、いまどちらの窓（コンソールかグラフ）が入力を待っているかが出ます。
何も待っていないときに入力した行は使われず、そのことがステータスバーに出ます。</p>

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
メニューバーの「ファイル」から、結果表を CSV に、グラフを PNG 画像に保存することもできます。</p>
)");
}

}  // namespace telmor
