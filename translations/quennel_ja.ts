<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CommandLine</name>
    <message>
        <source>Shows this help and exits.</source>
        <translation>この使い方を表示して終わります。</translation>
    </message>
    <message>
        <source>Shows the version and exits.</source>
        <translation>バージョンを表示して終わります。</translation>
    </message>
    <message>
        <source>The game folder (the folder with tavo.dat,
tavo_s.dat, wav and chara). The working
directory by default.</source>
        <translation>ゲームフォルダ（tavo.dat、tavo_s.dat、wav、chara
のあるフォルダ）。既定は今のフォルダ。</translation>
    </message>
    <message>
        <source>The digits above the letters count as keypad
digits (for keyboards without a keypad).
Later starts keep this choice.</source>
        <translation>英字の上の数字キーもテンキーとして数えます
（テンキーのないキーボード向け）。
次からもこの設定で始まります。</translation>
    </message>
    <message>
        <source>Only the keypad counts (the default).
Later starts keep this choice.</source>
        <translation>テンキーだけを数えます（既定）。
次からもこの設定で始まります。</translation>
    </message>
    <message>
        <source>Shows every screen N times as large (N is 1
to 4). Later starts keep this choice. Without
it the desktop&apos;s scaling is followed.</source>
        <translation>すべての画面を N 倍の大きさで表示します
（N は 1〜4）。次からもこの設定で始まります。
指定したことがなければデスクトップの拡大率に従います。</translation>
    </message>
    <message>
        <source>Writes the play history (history.sqlite) as
CSV, one row per stage played, to FILE.csv
and exits. - is standard output.</source>
        <translation>プレイ記録（history.sqlite）を1ステージ1行の CSV で
FILE.csv に書き出して終わります。- は標準出力。</translation>
    </message>
    <message>
        <source>Quennel: a reaction game of striking digits fast on the numeric keypad.
It plays with tavo.dat, wav and chara of the game folder and keeps the
best scores in tavo_s.dat. Remembered choices live in Qt&apos;s settings
file (%1).</source>
        <translation>クェネル：テンキーで数字をすばやく打つ反射ゲーム。
ゲームフォルダの tavo.dat と wav、chara で遊び、ハイスコアを tavo_s.dat に残します。
覚えておく設定は Qt の設定ファイル（%1）にあります。</translation>
    </message>
    <message>
        <source>Run &quot;%1 --help&quot; to see how to use it.
</source>
        <translation>使い方は「%1 --help」で表示されます。
</translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>使い方: %1 [オプション]</translation>
    </message>
    <message>
        <source>Quennel (quennel) %1
</source>
        <translation>クェネル (quennel) %1
</translation>
    </message>
    <message>
        <source>Unknown option &quot;%1%2&quot;.</source>
        <translation>知らないオプション「%1%2」です。</translation>
    </message>
    <message>
        <source>%1 needs a value.</source>
        <translation>%1 の後に値がありません。</translation>
    </message>
    <message>
        <source>%1 takes no value.</source>
        <translation>%1 は値を取りません。</translation>
    </message>
    <message>
        <source>Unexpected argument &quot;%1&quot;. Options begin with &quot;--&quot;.</source>
        <translation>余分な引数「%1」があります。オプションは「--」で始まります。</translation>
    </message>
    <message>
        <source>--main-row-digits and --keypad-only cannot be used together.</source>
        <translation>--main-row-digits と --keypad-only は同時には使えません。</translation>
    </message>
    <message>
        <source>--zoom cannot be &quot;%1&quot;: give a whole number from %2 to %3.</source>
        <translation>--zoom の値「%1」は使えません。%2 から %3 までの整数で指定してください。</translation>
    </message>
    <message>
        <source>--game-dir names no folder.</source>
        <translation>--game-dir にフォルダが指定されていません。</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; of --game-dir does not exist.</source>
        <translation>--game-dir のフォルダ「%1」がありません。</translation>
    </message>
    <message>
        <source>--export-history names no file to write.</source>
        <translation>--export-history に書き出し先のファイルが指定されていません。</translation>
    </message>
    <message>
        <source>--export-keys names no file to write.</source>
        <translation>--export-keys に書き出し先のファイルが指定されていません。</translation>
    </message>
    <message>
        <source>--export-history and --export-keys cannot be given together.</source>
        <translation>--export-history と --export-keys は同時には使えません。</translation>
    </message>
    <message>
        <source>Writes every key struck as CSV, one row per
key, to FILE.csv and exits. - is standard
output.</source>
        <translation>打ったキーを1キー1行の CSV で FILE.csv に
書き出して終わります。- は標準出力。</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>Shows during a stage how far ahead of or behind
the stage best&apos;s run you are (the default).
Later starts keep this choice.</source>
        <translation>ステージ中、そのステージのベストの記録より
どれだけ先か遅れているかを表示します（既定）。
次からもこの設定で始まります。</translation>
    </message>
    <message>
        <source>Hides the pace against the stage best.
Later starts keep this choice.</source>
        <translation>ベストの記録との差を表示しません。
次からもこの設定で始まります。</translation>
    </message>
    <message>
        <source>--pace and --no-pace cannot be used together.</source>
        <translation>--pace と --no-pace は同時に指定できません。</translation>
    </message>
    <message>
        <source>Minutes of play a day to aim for (0 to 120,
10 by default): the title shows today&apos;s
minutes against it and the days in a row
played. 0 hides it. Later starts keep this
choice.</source>
        <translation>1日に遊ぶ目標の分数（0〜120、既定は 10）。
タイトルに今日遊んだ分数と、続けて遊んだ
日数を表示します。0 で表示しません。
次からもこの設定で始まります。</translation>
    </message>
    <message>
        <source>--daily-goal cannot be &quot;%1&quot;: give a whole number of minutes from 0 to %2.</source>
        <translation>--daily-goal の値「%1」は使えません。0 から %2 までの整数（分）で指定してください。</translation>
    </message>
    <message>
        <source>The colours: standard (the default) or safe,
whose grid rows, target frame, charts and
marks stay apart for red-green and
blue-yellow colour blindness. Later starts
keep this choice.</source>
        <translation>色づかい: standard（既定）か safe。safe では
キーの行の色、狙うキーの枠、グラフと印の色が
赤緑・青黄の色覚の違いがあっても見分けられます。
次からもこの設定で始まります。</translation>
    </message>
    <message>
        <source>--palette cannot be &quot;%1&quot;: give standard or safe.</source>
        <translation>--palette の値「%1」は使えません。standard か safe を指定してください。</translation>
    </message>
</context>
</TS>
