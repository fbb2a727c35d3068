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
        <source>write it as =A1= followed by the command it guards</source>
        <translation>=A1= のあとに、条件つきで実行する命令を書いてください</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>write it as !A1! followed by the command it guards</source>
        <translation>!A1! のあとに、条件つきで実行する命令を書いてください</translation>
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
        <location filename="../src/presentation/web/headless_main.cpp" line="32"/>
        <source>&quot;%1&quot; is neither a game folder, a .vrn script nor an archive this build of the player reads (a .zip, .lzh or .lha); unpack it and play its folder</source>
        <translation>「%1」はゲームのフォルダでも、.vrn のスクリプトでも、このプレイヤーが読めるアーカイブ（.zip、.lzh、.lha）でもありません。展開してから、そのフォルダを遊んでください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>out of memory</source>
        <translation>メモリが足りません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>archives cannot be read here: %1; install libarchive, or play the game from its unpacked folder</source>
        <translation>ここではアーカイブを読めません（%1）。libarchive を入れるか、展開したフォルダで遊んでください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>there is not enough memory to read it</source>
        <translation>読み込むためのメモリが足りません</translation>
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
        <location line="+1"/>
        <source>%1: cannot load the picture &quot;%2&quot;: its name is %3 bytes long, longer than any file name the player looks for (%4 bytes at most); write the file&apos;s own name, as in &lt;room.bmp&gt;.</source>
        <translation>%1: 画像「%2」を読み込めません。名前が %3 バイトあり、プレイヤーが探すファイル名の長さ（%4 バイトまで）を超えています。&lt;room.bmp&gt; のように、ファイルそのものの名前を書いてください。</translation>
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
        <location filename="../src/game_files/game_archive.cpp" line="+20"/>
        <source>the archive is encrypted; unpack it with its password, then play the folder</source>
        <translation>アーカイブにパスワードがかかっています。パスワードを入れて展開し、そのフォルダで遊んでください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds no game: there is no code.vrn in it</source>
        <translation>アーカイブにゲームがありません（code.vrn が入っていません）</translation>
    </message>
    <message>
        <location filename="../src/game_files/open_game.cpp" line="+11"/>
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
        <location line="+1"/>
        <source>there is not enough memory to open it; close other programs and try again</source>
        <translation>開くためのメモリが足りません。ほかのプログラムを閉じてから、もう一度お試しください</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds an entry whose name is %1 bytes long (&quot;%2&quot;); the player refuses names longer than %3 bytes</source>
        <translation>アーカイブに名前が %1 バイトある項目（「%2」）があります。%3 バイトより長い名前の項目があるアーカイブでは遊べません</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the archive holds an entry %1 folders deep (&quot;%2&quot;); the player refuses entries more than %3 folders deep</source>
        <translation>アーカイブに %1 階層のフォルダーの奥にある項目（「%2」）があります。%3 階層より深い項目があるアーカイブでは遊べません</translation>
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
    <message>
        <location filename="../src/saves/saves.cpp" line="13"/>
        <source>the save in slot &quot;%1&quot; %2</source>
        <translation>スロット「%1」のセーブは%2</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="14"/>
        <source>cannot be loaded: %1</source>
        <translation>ロードできません: %1</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="15"/>
        <source>&quot;%1&quot; is no slot name: use letters, digits, &apos;-&apos; and &apos;_&apos;, 1 to 32</source>
        <translation>「%1」はスロット名ではありません。英字、数字、「-」と「_」を 1 から 32 文字で使ってください</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="16"/>
        <source>&quot;%1&quot; is no slot name</source>
        <translation>「%1」はスロット名ではありません</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="17"/>
        <source>the game cannot be saved to slot &quot;%1&quot; in the middle of a run</source>
        <translation>実行の途中なので、スロット「%1」にセーブできません</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="18"/>
        <source>the game cannot be saved to slot &quot;%1&quot;: %2</source>
        <translation>スロット「%1」にセーブできません: %2</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="20"/>
        <source>the save would be larger than %1 MB, the most a saved game may hold</source>
        <translation>セーブがセーブデータの上限の %1 MB を超えてしまいます</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="21"/>
        <source>slot &quot;%1&quot; is empty</source>
        <translation>スロット「%1」は空です</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="22"/>
        <source>belongs to the game &quot;%1&quot;, not to &quot;%2&quot;</source>
        <translation>「%2」ではなく、ゲーム「%1」のものです</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="23"/>
        <source>slot &quot;%1&quot; cannot be loaded in the middle of a run</source>
        <translation>実行の途中なので、スロット「%1」をロードできません</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="24"/>
        <source>slot &quot;%1&quot; cannot be loaded: the script cannot be read: %2</source>
        <translation>スロット「%1」をロードできません: スクリプトを読めません: %2</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="26"/>
        <source>was made with another version of this game&apos;s script: %1 has changed since. The save is kept; it loads again with the script it was made with</source>
        <translation>このゲームの別の版のスクリプトで作られました。%1 はその後変更されています。セーブはそのまま残り、作られたときのスクリプトでまたロードできます</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="28"/>
        <source>was made with another version of this game&apos;s script, or by another game in a folder of the same name</source>
        <translation>このゲームの別の版のスクリプトか、同じ名前のフォルダにある別のゲームで作られました</translation>
    </message>
    <message>
        <location filename="../src/saves/saves.cpp" line="30"/>
        <source>slot &quot;%1&quot; cannot be deleted: %2</source>
        <translation>スロット「%1」を削除できません: %2</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="10"/>
        <source>it is cut short or damaged (%1 at byte %2)</source>
        <translation>途中で切れているか壊れています（%2 バイト目: %1）</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="11"/>
        <source>it is cut short or damaged (%1)</source>
        <translation>途中で切れているか壊れています（%1）</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="12"/>
        <source>lists and objects nested more than %1 deep</source>
        <translation>リストとオブジェクトが %1 段より深く入れ子になっています</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="13"/>
        <source>it is not a saved game of this player</source>
        <translation>このプレイヤーのセーブデータではありません</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="14"/>
        <source>it was made by a newer version of the player (save format %1; this one reads format %2): play it with that version</source>
        <translation>新しい版のプレイヤーで作られています（セーブ形式 %1。このプレイヤーが読めるのは形式 %2 です）。その版で遊んでください</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="16"/>
        <source>it is damaged: %1</source>
        <translation>壊れています: %1</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="17"/>
        <source>&quot;%1&quot; is not %2</source>
        <translation>「%1」が%2ではありません</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="18"/>
        <source>an object</source>
        <translation>オブジェクト</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="19"/>
        <source>a list</source>
        <translation>リスト</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="20"/>
        <source>a list of %1</source>
        <translation>%1 個の値のリスト</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="21"/>
        <source>a text</source>
        <translation>テキスト</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="22"/>
        <source>a whole number from %1 to %2</source>
        <translation>%1 から %2 までの整数</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="23"/>
        <source>true or false</source>
        <translation>true か false</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="24"/>
        <source>a list of pages and options chosen</source>
        <translation>読んだページと選んだ選択肢のリスト</translation>
    </message>
    <message>
        <location filename="../src/saves/save_words.h" line="26"/>
        <source>it is larger than 24 MB, far larger than a saved game</source>
        <translation>24 MB を超えていて、セーブデータとしては大きすぎます</translation>
    </message>
    <message>
        <location filename="../src/interpreter/kept_places.cpp" line="12"/>
        <source>there is no earlier place to go back to</source>
        <translation>戻れる前の場面はありません</translation>
    </message>
    <message>
        <location filename="../src/interpreter/kept_places.cpp" line="13"/>
        <source>the game is in the middle of a run; go back when the page has been shown</source>
        <translation>ゲームは実行の途中です。ページが表示されてから戻ってください</translation>
    </message>
    <message>
        <location filename="../src/interpreter/kept_places.cpp" line="14"/>
        <source>the backlog holds no such entry</source>
        <translation>バックログにその項目はありません</translation>
    </message>
    <message>
        <location filename="../src/interpreter/kept_places.cpp" line="16"/>
        <source>the places kept to go back to (the latest %1) do not reach back to that page</source>
        <translation>戻るために記録している場面（最新の %1 か所）はそのページまでさかのぼれません</translation>
    </message>
    <message>
        <location filename="../src/interpreter/kept_places.cpp" line="17"/>
        <source>that page is the one on screen</source>
        <translation>そのページは今表示されているページです</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="13"/>
        <source>the game is in the middle of a run; load it when the page has been shown</source>
        <translation>ゲームは実行の途中です。ページが表示されてからロードしてください</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="14"/>
        <source>the game has not started, or has shut down</source>
        <translation>ゲームはまだ始まっていないか、終了しています</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="15"/>
        <source>its place in the script lies outside %1</source>
        <translation>スクリプト上の位置が %1 の外にあります</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="16"/>
        <source>WaitCmd holds neither 0 nor -1</source>
        <translation>WaitCmd が 0 でも -1 でもありません</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="17"/>
        <source>NumCmds holds %1, where a choice menu has at most 4 options</source>
        <translation>NumCmds が %1 です。選択肢メニューの選択肢は 4 つまでです</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="18"/>
        <source>Cmd_Selected holds %1, where a choice menu has at most 4 options</source>
        <translation>Cmd_Selected が %1 です。選択肢メニューの選択肢は 4 つまでです</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="19"/>
        <source>a choice menu waits while WaitCmd holds %1 and NumCmds %2</source>
        <translation>WaitCmd が %1、NumCmds が %2 なのに選択肢メニューが待っています</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="20"/>
        <source>empty</source>
        <translation>空</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="21"/>
        <source>its picture &quot;%1&quot; of %2 lies outside the game folder</source>
        <translation>%2 の画像「%1」がゲームフォルダの外にあります</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="22"/>
        <source>its music &quot;%1&quot; lies outside the game folder</source>
        <translation>音楽「%1」がゲームフォルダの外にあります</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="23"/>
        <source>the picture &quot;%1&quot; of the saved screen cannot be read: %2</source>
        <translation>セーブされた画面の画像「%1」を読めません: %2</translation>
    </message>
    <message>
        <location filename="../src/interpreter/snapshot.cpp" line="25"/>
        <source>its picture &quot;%1&quot; of %2 is not a picture the player can read (a Windows bitmap is expected)</source>
        <translation>%2 の画像「%1」はプレイヤーが読める画像ではありません（Windows ビットマップが必要です）</translation>
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
        <location line="+1"/>
        <source>Settings…</source>
        <translation>設定…</translation>
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
        <location line="+5"/>
        <source>The game cannot start from the beginning: %1

It goes on from where you left it.</source>
        <translation>はじめから始められません: %1

前回の続きから遊びます。</translation>
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
    <message>
        <location filename="../src/presentation/window/form1_voicing.cpp" line="+30"/>
        <source>Self-voicing on</source>
        <translation>読み上げ オン</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Self-voicing off</source>
        <translation>読み上げ オフ</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Speech is not available: no speech service answers. The game plays on silent.</source>
        <translation>音声合成が使えません（音声サービスが応答しません）。読み上げなしで続けます。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No Japanese voice is installed: another voice reads the Japanese text.</source>
        <translation>日本語の音声がありません。日本語の文は別の音声で読み上げます。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No voice for this text&apos;s language is installed: another voice reads it.</source>
        <translation>この文の言語の音声がありません。別の音声で読み上げます。</translation>
    </message>
    <message>
        <location filename="../src/presentation/window/form1_going_back.cpp" line="+26"/>
        <source>Nothing to go back to</source>
        <translation>これより前には戻れません</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>That page is too far back to go to</source>
        <translation>そのページは遠すぎて戻れません</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Skip</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>back %1</source>
        <translation>%1 つ前</translation>
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
    <name>vorn::ReaderMarks</name>
    <message>
        <location filename="../src/presentation/window/reader_marks.cpp" line="+1"/>
        <source>Auto</source>
        <translation>オート</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto mode is on</source>
        <translation>オートモード中</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Music muted</source>
        <translation>音楽オフ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Volume %1 %</source>
        <translation>音量 %1 %</translation>
    </message>
</context>
<context>
    <name>vorn::SettingsDialog</name>
    <message>
        <source>Gamepad</source>
        <translation>ゲームパッド</translation>
    </message>
    <message>
        <source>Buttons by their place, as SDL maps the pad: south reads on or chooses, east steps back, west the backlog, north and Start the menu, Select a quick save, the left shoulder skips while held, the right one auto mode.</source>
        <translation>ボタンは位置で決まります（SDL の対応表による）。下：次へ／選ぶ、右：戻る、左：バックログ、上とスタート：メニュー、セレクト：クイックセーブ、左肩：押している間スキップ、右肩：オートモード。</translation>
    </message>
    <message>
        <source>Read each page aloud (self-voicing)</source>
        <translation>各ページを読み上げる（セルフボイシング）</translation>
    </message>
    <message>
        <source>Speech rate</source>
        <translation>読み上げの速さ</translation>
    </message>
    <message>
        <source>From -10, the slowest, to 10, the fastest; 0 is the voice&apos;s own rate</source>
        <translation>-10（最も遅い）から 10（最も速い）まで。0 は声そのものの速さ</translation>
    </message>
    <message>
        <source>One for the page&apos;s language</source>
        <translation>ページの言語に合う声</translation>
    </message>
    <message>
        <source>Voice</source>
        <translation>声</translation>
    </message>
    <message>
        <location filename="../src/presentation/window/settings_dialog.cpp" line="+1"/>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Music volume</source>
        <translation>音楽の音量</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mute the music</source>
        <translation>音楽を消す</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> ms per character</source>
        <translation> ミリ秒（1 文字あたり）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Auto mode waits</source>
        <translation>オートモードの待ち時間</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Skipping turns unread pages too</source>
        <translation>スキップで未読のページも進める</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As large as the screen allows</source>
        <translation>画面に収まる最大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 ×</source>
        <translation>%1 倍</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Window size at start</source>
        <translation>起動時のウィンドウの大きさ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The desktop&apos;s</source>
        <translation>デスクトップの言語</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Language (from the next start)</source>
        <translation>言語（次の起動から）</translation>
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
    <message>
        <source>Slots to save into</source>
        <translation>セーブ先のスロット</translation>
    </message>
    <message>
        <source>Slots to load</source>
        <translation>ロードするスロット</translation>
    </message>
    <message>
        <source>Enter saves into the chosen slot, Delete deletes it</source>
        <translation>Enter で選んだスロットにセーブ、Delete で削除します</translation>
    </message>
    <message>
        <source>Enter loads the chosen slot, Delete deletes it</source>
        <translation>Enter で選んだスロットをロード、Delete で削除します</translation>
    </message>
    <message>
        <source>Save into the chosen slot (Enter)</source>
        <translation>選んだスロットにセーブします（Enter）</translation>
    </message>
    <message>
        <source>Load the chosen slot (Enter)</source>
        <translation>選んだスロットをロードします（Enter）</translation>
    </message>
    <message>
        <source>Delete the chosen slot (Delete)</source>
        <translation>選んだスロットを削除します（Delete）</translation>
    </message>
    <message>
        <source>Close without saving or loading (Escape)</source>
        <translation>セーブもロードもせずに閉じます（Escape）</translation>
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
    <message>
        <source>Up and Down choose a game, Enter plays it, Ctrl+Enter goes on where it was left, Delete forgets it</source>
        <translation>上下キーでゲームを選び、Enter で遊び、Ctrl+Enter で前回の続きから遊び、Delete で一覧から外します</translation>
    </message>
</context>
</TS>
