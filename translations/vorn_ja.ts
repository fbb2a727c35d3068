<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>vorn</name>
    <message>
        <location filename="../src/interpreter/choice_menu.cpp" line="+10"/>
        <source>the choice box</source>
        <translation>選択肢の枠</translation>
    </message>
    <message>
        <location filename="../src/interpreter/command_table.cpp" line="+23"/>
        <source>text page</source>
        <translation>テキスト</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>end the page with a closing &apos;&quot;&apos;</source>
        <translation>ページの終わりに「&quot;」を書いてください</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>picture command</source>
        <translation>画像命令</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>close the file name with &apos;&gt;&apos;, as in &lt;room.bmp&gt;</source>
        <translation>&lt;room.bmp&gt; のように、ファイル名を「&gt;」で閉じてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>jump</source>
        <translation>ジャンプ命令</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>close the label with &apos;&lt;&apos;, as in &gt;start&lt;</source>
        <translation>&gt;start&lt; のように、ラベルを「&lt;」で閉じてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>choice menu</source>
        <translation>選択肢</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>end its last option with &apos;)&apos;, as in (2 Yes,No)</source>
        <translation>(2 Yes,No) のように、最後の選択肢を「)」で閉じてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>music command</source>
        <translation>音楽命令</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>close the file name with &apos;]&apos;, as in [theme.mid]</source>
        <translation>[theme.mid] のように、ファイル名を「]」で閉じてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>set command</source>
        <translation>フラグを立てる命令</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>write it as ~A1~</source>
        <translation>~A1~ のように書いてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>clear command</source>
        <translation>フラグを消す命令</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>write it as -A1-</source>
        <translation>-A1- のように書いてください</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+2"/>
        <source>conditional command</source>
        <translation>条件命令</translation>
    </message>
    <message>
        <location line="-1"/>
        <location line="+2"/>
        <source>write it as =A1= followed by the command it guards</source>
        <translation>=A1= のあとに、条件つきで実行する命令を書いてください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>end of a branch</source>
        <translation>分岐の終わり</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>%1 skipped by a conditional</source>
        <translation>条件で飛ばした%1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>close it with &apos;%1&apos;</source>
        <translation>「%1」で閉じてください</translation>
    </message>
    <message>
        <location filename="../src/interpreter/command_table.h" line="+68"/>
        <source>branches of the choice menu</source>
        <translation>選択肢の分岐</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>write one {...} branch per option behind the menu and balance every brace</source>
        <translation>選択肢のあとに、選択肢ひとつにつき {...} の分岐をひとつずつ書き、{ と } の数をそろえてください</translation>
    </message>
    <message>
        <location filename="../src/interpreter/flags.cpp" line="+11"/>
        <source>%1: the %2 names flag %3 with the bit &quot;%4&quot;, which is not a digit. Write a bit digit from 1 to 8, as in %5.</source>
        <translation>%1: %2のフラグ %3 のビット「%4」が数字ではありません。%5 のように、1 から 8 の数字を書いてください。</translation>
    </message>
    <message>
        <location filename="../src/interpreter/game_folder.h" line="+19"/>
        <source>no such file in the game folder</source>
        <translation>ゲームのフォルダにそのファイルがありません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it is a folder, not a file</source>
        <translation>ファイルではなくフォルダです</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it is not a regular file</source>
        <translation>ふつうのファイルではありません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the file is larger than %1 MB</source>
        <translation>ファイルが %1 MB を超えています</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot open the script &quot;%1&quot; in %2: %3.</source>
        <translation>%2 のスクリプト「%1」を開けません。%3。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 &quot;%2&quot; in it cannot be read: %3</source>
        <translation>アーカイブ内の%1「%2」を読めません: %3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the script</source>
        <translation>スクリプト</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the cursor</source>
        <translation>カーソル</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds an entry with an absolute path (&quot;%1&quot;); the player refuses such archives</source>
        <translation>アーカイブに絶対パスの項目（「%1」）があります。このようなアーカイブは開きません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds an entry that points out of it (&quot;%1&quot;); the player refuses such archives</source>
        <translation>アーカイブの外を指す項目（「%1」）があります。このようなアーカイブは開きません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds more than %1 entries</source>
        <translation>アーカイブの項目が %1 個を超えています</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive is damaged or truncated: %1</source>
        <translation>アーカイブが壊れているか、途中で切れています: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive is damaged or truncated: it ends early</source>
        <translation>アーカイブが壊れているか、途中で切れています: 最後まで読めません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive is damaged: an entry has a name that cannot be read</source>
        <translation>アーカイブが壊れています: 名前を読めない項目があります</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it is neither a game folder, a .vrn script nor an archive the player can read (%1)</source>
        <translation>ゲームのフォルダでも、.vrn のスクリプトでも、プレイヤーが読めるアーカイブでもありません（%1）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>out of memory</source>
        <translation>メモリが足りません</translation>
    </message>
    <message>
        <location filename="../src/interpreter/interpreter.cpp" line="+8"/>
        <source>cannot load the cursor &quot;%1&quot;: %2.</source>
        <translation>カーソル「%1」を読み込めません。%2。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>cannot load the cursor &quot;%1&quot;: it is not an icon file the player can read.</source>
        <translation>カーソル「%1」を読み込めません。このプレイヤーで読めるアイコンファイルではありません。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: cannot load the picture &quot;%2&quot;: %3.</source>
        <translation>%1: 画像「%2」を読み込めません。%3。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: cannot load the picture &quot;%2&quot;: it is not a picture the player can read (a Windows bitmap is expected).</source>
        <translation>%1: 画像「%2」を読み込めません。このプレイヤーで読める画像ではありません（Windows のビットマップにしてください）。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: %2</source>
        <translation>%1 の%2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the window background</source>
        <translation>ウィンドウの背景</translation>
    </message>
    <message>
        <location filename="../src/interpreter/jump.cpp" line="+10"/>
        <source>%1: the jump to &quot;%2&quot; reached the end of file without finding its marker line &quot;%3&quot;. Add a line that holds exactly %3.</source>
        <translation>%1: ジャンプ先「%2」の目印の行「%3」が、ファイルの終わりまで探しても見つかりません。%3 とだけ書いた行を加えてください。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1: the jump to &quot;%2&quot; reached the end of file without finding its marker line &quot;%3&quot;. Add a line that holds exactly %3. (This script has no carriage returns; jumps find marker lines only in files with Windows line ends.)</source>
        <translation>%1: ジャンプ先「%2」の目印の行「%3」が、ファイルの終わりまで探しても見つかりません。%3 とだけ書いた行を加えてください。（このスクリプトの改行は LF だけです。ジャンプの目印の行は、Windows の改行 CR LF のファイルでしか見つかりません。）</translation>
    </message>
    <message>
        <location filename="../src/interpreter/picture_command.cpp" line="+8"/>
        <source>the picture command</source>
        <translation>画像命令</translation>
    </message>
    <message>
        <location filename="../src/interpreter/script_stream.cpp" line="+11"/>
        <source>cannot open the script &quot;%1&quot; in %2: %3. Start the player in the game&apos;s folder, or name the folder on the command line.</source>
        <translation>%2 のスクリプト「%1」を開けません。%3。ゲームのフォルダでプレイヤーを起動するか、コマンドラインでフォルダを指定してください。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: the script reached its end of file in the middle of a command.</source>
        <translation>%1: 命令の途中でスクリプトが終わっています。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: the %2 that starts here runs into the end of file: %3.</source>
        <translation>%1: ここから始まる%2が、閉じないままファイルの終わりに達しています。%3。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: the %2 that starts here run into the end of file: %3.</source>
        <translation>%1: ここから始まる%2が、閉じないままファイルの終わりに達しています。%3。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 It runs over %2 lines: its closing &apos;%3&apos; is likely missing.</source>
        <translation>%1%2 行にわたって続いているので、閉じる「%3」が抜けているようです。</translation>
    </message>
    <message>
        <location filename="../src/shell/game_archive.cpp" line="+20"/>
        <source>the archive is encrypted; unpack it with its password, then play the folder</source>
        <translation>アーカイブにパスワードがかかっています。パスワードを入れて展開し、そのフォルダで遊んでください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds no game: there is no code.vrn in it</source>
        <translation>アーカイブにゲームがありません（code.vrn が入っていません）</translation>
    </message>
    <message>
        <location filename="../src/shell/open_game.cpp" line="+11"/>
        <source>no game was named</source>
        <translation>ゲームが指定されていません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the game &quot;%1&quot; does not exist</source>
        <translation>ゲーム「%1」がありません。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; is neither a game folder, a .vrn script nor an archive</source>
        <translation>「%1」は、ゲームのフォルダでも、.vrn のスクリプトでも、アーカイブでもありません。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot play &quot;%1&quot;: %2.</source>
        <translation>「%1」では遊べません。%2。</translation>
    </message>
    <message>
        <location filename="../src/shell/command_line.cpp" line="+12"/>
        <source>Usage: vorn [OPTIONS] [GAME_DIR | GAME_DIR/code.vrn | ARCHIVE]
       vorn check [GAME]                   find mistakes in the script without playing it
       vorn explore [OPTIONS] [GAME]       play every path and report those that end in an error
Plays the VORN game whose script &quot;code.vrn&quot; is in GAME_DIR (default: the current folder;
when that holds no game, the window opens on the start screen of the games played before),
or straight from an archive that holds one (.zip, .lzh, .7z, .rar, .cab, .iso, ...).

Options:
  --headless         play without a window: events on standard input, one per line,
                     everything shown or played as JSON lines on standard output
  --no-music         play no music
  --soundfont FILE   the General MIDI soundfont for the music
  --zoom N           scale the window by N (1 to 4); default: as large as fits
  --fullscreen       start in full screen
  --save-dir DIR     keep saved games in DIR; with --headless, without it, saves last only
                     as long as the program runs and nothing is written
  --continue         go straight on from where the game&apos;s window was last closed
  --language LANG    speak LANG: en (English) or ja (Japanese); default: the desktop&apos;s language
  --help             show this help and exit
  --version          show the version and exit
</source>
        <translation>使い方: vorn [OPTIONS] [GAME_DIR | GAME_DIR/code.vrn | ARCHIVE]
        vorn check [GAME]                   遊ばずに、スクリプトのまちがいを探す
        vorn explore [OPTIONS] [GAME]       すべての道すじを遊び、エラーで終わる道すじを示す
GAME_DIR（省略時は今のフォルダ）にあるスクリプト「code.vrn」の VORN ゲームを遊びます。
今のフォルダにゲームがなければ、これまでに遊んだゲームを並べたスタート画面を開きます。
スクリプトの入ったアーカイブ（.zip, .lzh, .7z, .rar, .cab, .iso など）からも、そのまま遊べます。

オプション:
  --headless         ウィンドウなしで遊ぶ。標準入力からイベントを一行にひとつずつ読み、
                     表示と演奏のすべてを JSON Lines で標準出力に書く
  --no-music         音楽を鳴らさない
  --soundfont FILE   音楽に使う General MIDI のサウンドフォント
  --zoom N           ウィンドウを N 倍にする（1〜4）。省略時は画面に入る最大の倍率
  --fullscreen       フルスクリーンで始める
  --save-dir DIR     セーブを DIR に置く。--headless でこれがないときは、セーブは
                     プログラムが終わるまでしか残らず、何も書き込まない
  --continue         前回ウィンドウを閉じたところから、つづきを始める
  --language LANG    表示の言語: en（英語）か ja（日本語）。省略時はデスクトップの言語
  --help             このヘルプを表示して終わる
  --version          バージョンを表示して終わる
</translation>
    </message>
    <message>
        <location filename="../src/presentation/web/web_game.cpp" line="+26"/>
        <source>the folder &quot;%1&quot; holds no code.vrn, so it is no VORN game</source>
        <translation>フォルダ「%1」には code.vrn がないので、VORN のゲームではありません</translation>
    </message>
</context>
<context>
    <name>vorn::Form1</name>
    <message>
        <location filename="../src/presentation/window/form1.cpp" line="+75"/>
        <source>Save…</source>
        <translation>セーブ…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Load…</source>
        <translation>ロード…</translation>
    </message>
    <message>
        <location filename="../src/presentation/window/form1_saves.cpp" line="+40"/>
        <source>There is no quick save yet: F5 makes one.</source>
        <translation>クイックセーブはまだありません。F5 でクイックセーブできます。</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Saved: %1</source>
        <translation>セーブしました: %1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Loaded: %1</source>
        <translation>ロードしました: %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The game starts from the beginning.</source>
        <translation>はじめから始めます。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The place kept when this game was last closed cannot be gone on from: %1</source>
        <translation>前回の続きから再開できません: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Go on from where you left this game?</source>
        <translation>前回の続きから遊びますか？</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Go on</source>
        <translation>つづきから</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Start anew</source>
        <translation>はじめから</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Your place in the game could not be kept for next time: %1</source>
        <translation>次回のために続きを残せませんでした: %1</translation>
    </message>
    <message>
        <location filename="../src/presentation/window/form1.cpp" line="+44"/>
        <source>Page</source>
        <translation>ページ</translation>
    </message>
    <message>
        <location filename="../src/presentation/window/form1_surface.cpp" line="+0"/>
        <source>Options: %1</source>
        <translation>選択肢: %1</translation>
    </message>
</context>
<context>
    <name>vorn::OptionStandIn</name>
    <message>
        <location filename="../src/presentation/window/scene_stand_ins.cpp" line="+21"/>
        <source>Option %1 of %2, key %1</source>
        <translation>選択肢 %1 / %2、キー %1</translation>
    </message>
</context>
<context>
    <name>vorn::PlayerWindow</name>
    <message>
        <location filename="../src/presentation/window/player_window.cpp" line="+94"/>
        <source>the folder &quot;%1&quot; holds no code.vrn, so it is no VORN game (%2)</source>
        <translation>フォルダ「%1」には code.vrn がないので、VORN のゲームではありません（%2）</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>%1 stopped with an error:
%2</source>
        <translation>%1 はエラーで止まりました:
%2</translation>
    </message>
</context>
<context>
    <name>vorn::SlotDialog</name>
    <message>
        <location filename="../src/presentation/window/slot_dialog.cpp" line="+62"/>
        <source>Save…</source>
        <translation>セーブ…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Load…</source>
        <translation>ロード…</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Save</source>
        <translation>セーブ</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Load</source>
        <translation>ロード</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+107"/>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <location line="-89"/>
        <source>Quick save</source>
        <translation>クイックセーブ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Where the game was left</source>
        <translation>前回の続き</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>New save</source>
        <translation>新しいセーブ</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Save over “%1”?</source>
        <translation>「%1」に上書きしますか？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>“%1” cannot be loaded as it is. Save over it?</source>
        <translation>「%1」はこのままではロードできません。上書きしますか？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save over it</source>
        <translation>上書きする</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Delete “%1”? It cannot be brought back.</source>
        <translation>「%1」を削除しますか？ 元には戻せません。</translation>
    </message>
</context>
<context>
    <name>vorn::StartScreen</name>
    <message>
        <location filename="../src/presentation/window/start_screen.cpp" line="+36"/>
        <source>today at %1</source>
        <translation>今日 %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>yesterday at %1</source>
        <translation>昨日 %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 at %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Open game</source>
        <translation>ゲームを開く</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>VORN games (%1)</source>
        <translation>VORN のゲーム (%1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Games</source>
        <translation>ゲーム一覧</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Games played before</source>
        <translation>これまでに遊んだゲーム</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>No games yet. Open a game folder, its code.vrn or an archive of it, or drop one on this window.</source>
        <translation>まだゲームがありません。ゲームのフォルダ、code.vrn、またはゲームのアーカイブを開くか、このウィンドウにドロップしてください。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Open game…</source>
        <translation>ゲームを開く…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Open a game folder, its code.vrn or an archive (Ctrl+O)</source>
        <translation>ゲームのフォルダ、code.vrn、またはアーカイブを開きます (Ctrl+O)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Forget</source>
        <translation>一覧から消す</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Take the chosen game off this list; its files stay as they are (Delete)</source>
        <translation>選んだゲームを一覧から消します。ファイルはそのまま残ります (Delete)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Play</source>
        <translation>プレイ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play the chosen game (Enter)</source>
        <translation>選んだゲームをプレイします (Enter)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Continue</source>
        <translation>続きから</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play on from where you left this game, without asking (Ctrl+Enter)</source>
        <translation>前回やめたところから、確かめずにこのゲームを続けます (Ctrl+Enter)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> · can be continued</source>
        <translation> · 続きから遊べます</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>There is no game in “%1”: it holds no code.vrn. Choose a game&apos;s folder, its code.vrn or an archive of it; the folder&apos;s contents are shown in case a game is inside.</source>
        <translation>「%1」にはゲームがありません（code.vrn が入っていません）。ゲームのフォルダ、その code.vrn、またはゲームのアーカイブを選んでください。中にゲームがあるかもしれないので、フォルダの中身を表示します。</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>last played %1</source>
        <translation>最後にプレイ: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not found at %1</source>
        <translation>見つかりません: %1</translation>
    </message>
</context>
</TS>
