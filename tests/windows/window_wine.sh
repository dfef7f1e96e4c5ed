#!/usr/bin/env bash
# kasorel.exe under Wine on a virtual X server, driven as a person drives it (mouse and keys
# through xdotool, the X clipboard through xclip) and read as a screen reader reads it
# (win_dump.exe), from a copy in a folder of the user's, C:\kasorel:
#   - paste a 楽天カード statement and convert it: the rows are on the clipboard;
#   - set the spreadsheet address through its prompt: kasorel.ini beside the exe holds it;
#   - close and start again: the window is back where it was;
#   - 国外配当 against a stand-in rate service on 127.0.0.1, in a network of the test's own
#     where the service's host name leads there, with the key set through its prompt;
#   - a read-only kasorel.ini: the error box names it, the file keeps every byte, and the
#     window still closes; started again, the program keeps that file as its settings;
#   - 自動判別 from Ctrl+Enter: the rows, then the same rows flagged as sent, then left out;
#   - a kind made from one entry of a statement of 10 000 lines, selected with the keyboard;
#     started again, the kind is an item of その他の書式;
#   - categories learnt from sheet rows fill a statement's rows, after a restart too, and not
#     once the switch is off.
#   window_wine.sh <kasorel.exe>
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../xvfb_common.sh"
. "$here/wine_common.sh"

exe=${1:?usage: window_wine.sh <kasorel.exe>}
exe=$(realpath "$exe")
private_network_reexec "$0" "$@"
xvfb_reexec "-screen 0 1920x1080x24 -noreset" "$0" "$@"

fail() {
  echo "window_wine: $*" >&2
  [ -n "${work:-}" ] && [ -f "$work/wine.log" ] && tail -n 20 "$work/wine.log" >&2
  [ -n "${work:-}" ] && [ -n "${ini:-}" ] && [ -f "$ini" ] && { echo "--- kasorel.ini:" >&2; cat "$ini" >&2; }
  exit 1
}

wine_setup
app=$WINEPREFIX/drive_c/kasorel
ini=$app/kasorel.ini
mkdir "$app"
cp "$exe" "$app/kasorel.exe"
start_rates_service 0

# Waits until the X clipboard holds exactly the text of the file <expected>.
wait_clipboard() { # expected
  for _ in $(seq 50); do
    clipboard_text >"$work/got"
    cmp -s "$1" "$work/got" && return 0
    sleep 0.2
  done
  od -c "$work/got" | head -20 >&2
  fail "the clipboard does not hold the rows of $1"
}

# The value of <key> in kasorel.ini, whatever its line ends.
ini_value() { # key; nothing while the file is not there yet
  [ -f "$ini" ] || return 0
  tr -d '\r' <"$ini" | sed -n "s/^$1=//p"
}

# Answers the open input box titled <title> with <text> and Enter.
answer_prompt() { # title text
  local box
  box=$(wait_window "$1")
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  for _ in $(seq 50); do
    [ -z "$(windows_named "$1")" ] && return 0
    sleep 0.2
  done
  fail "the prompt $1 did not close"
}

x_position() {
  xdotool getwindowgeometry "$wid" | sed -n 's/^ *Position: \([-0-9]*\),\([-0-9]*\).*/\1,\2/p'
}
first_frame() { frame_of Kasorel | cut -d' ' -f1,2; }
box_state() { if box_open; then echo open; else echo closed; fi; }

wine_start "$app/kasorel.exe" Kasorel

# Paste and convert: the browser's LF lines arrive as CR LF, the rows leave with LF.
statement_lf=$'明細\n2024/05/01\tショップA\t1,200 円\n支払方法\t一括\nx1\ny1\n2024/05/03\tショップB\t800 円\n支払方法\t一括\nx2\ny2'
rakuten_rows=$'2024/05/01\tショップA\t\t\t1,200\n2024/05/03\tショップB\t\t\t800\n'
set_clipboard "$statement_lf"
printf '%s' "$rakuten_rows" >"$work/rakuten"
click_button 貼り付け
wait_status "貼り付け: 9 行を貼り付けました"
click_button 楽天カード
wait_status "楽天カード: 2 行をクリップボードにコピーしました"
wait_clipboard "$work/rakuten"
# (Deleting the last line, y2, keeps the line break before it.)
[ "$(memo_text)" = '明細\r\n2024/05/01\tショップA\t\t\t1,200\r\n2024/05/03\tショップB\t\t\t800\r\n' ] ||
  fail "the text area holds '$(memo_text)'"

# The spreadsheet address, through its prompt, lands in kasorel.ini beside the exe.
url='https://docs.example/spreadsheets/d/abc123/edit#gid=0'
pick_menu 設定 スプシURL
answer_prompt スプシURLを入力して下さい "$url"
# The box closes before the command writes, so the file is waited for.
wait_until "URL in kasorel.ini beside kasorel.exe" "$url" ini_value URL
box_open && fail "an error box came up: $(box_text)"

# Moved, closed and started again, the window comes back where it was left.
xdotool windowmove "$wid" 300 200
wait_until "the window's X position" 300,200 x_position
read -r left top _ <<<"$(frame_of Kasorel)"
wine_stop
[ "$(ini_value MainForm_left)" = "$left" ] || fail "the left edge $left was saved as '$(ini_value MainForm_left)'"
[ "$(ini_value MainForm_top)" = "$top" ] || fail "the top edge $top was saved as '$(ini_value MainForm_top)'"
[ "$(ini_value URL)" = "$url" ] || fail "closing lost the address"
wine_start "$app/kasorel.exe" Kasorel
wait_until "the window's frame" "$left $top" first_frame

# 国外配当: the key set through its prompt goes with the query to the stand-in service.
pick_menu 設定 API設定
answer_prompt "API Keyを入力して下さい" KEY123
wait_until "APIKey in kasorel.ini" KEY123 ini_value APIKey
set_clipboard $'銘柄名abcdefgSAMPLE INC\n入金額abcdefg100.00 USD\n'
click_button 貼り付け
wait_status "貼り付け: 2 行を貼り付けました"
click_button 国外配当
wait_status "国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"
row=$(clipboard_text)
[[ "$row" =~ ^[0-9]{4}/[0-9]{1,2}/[0-9]{1,2}$'\t配当米国\tSAMPLE INC\t\t-15130\t151.3'$ ]] ||
  fail "the clipboard holds '$row'"
grep -q '/v1/latest?Endpoint=latest&access_key=KEY123$' "$work/requests" ||
  fail "the service was asked for: $(cat "$work/requests" 2>/dev/null)"

# 自動判別 from Ctrl+Enter on a statement of this month pasted over the text; the same again,
# its rows flagged as sent; then with 送信済みの行を除く, the clipboard left alone.
month=$(date +%Y/%m)
recent=${statement_lf//2024\/05/$month}
printf '%s' "${rakuten_rows//2024\/05/$month}" >"$work/recent-rows"
printf '%s' "$recent" >"$work/recent"
declare -A said=([new]=行をクリップボードにコピーしました
                 [sent]="行をクリップボードにコピーしました(うち 2 行は送信済み)"
                 [skip]=行はすべて送信済みのため、クリップボードはそのままです)
for round in new sent skip; do
  if [ $round = skip ]; then
    pick_menu 設定 送信済みの行を除く
    for box in 確認 情報; do
      xdotool windowfocus --sync "$(wait_window $box)" 2>/dev/null || true
      xdotool key Return
    done
    wait_status '設定を保存しました: C:\\kasorel\\kasorel.ini'
  fi
  set_clipboard "$recent"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key ctrl+Home ctrl+shift+End
  click_button 貼り付け
  wait_status "貼り付け: 9 行を貼り付けました"
  xdotool key ctrl+Return
  wait_status "自動判別: 楽天カード として 2 ${said[$round]}"
  if [ $round = skip ]; then wait_clipboard "$work/recent"; else wait_clipboard "$work/recent-rows"; fi
done

# A kind made from one entry: its rows go out, and the kind stays for the next start, where
# the switch that leaves rows sent out is still on.
{
  printf 'PayPay カード\n%s年%s月のご利用' "$(date +%Y)" "$(date +%-m)"
  for i in $(seq 3333); do printf '\n%s月1日(月)\nローソン %d号店\n1,200円' "$(date +%-m)" "$i"; done
} >"$work/made"
for i in $(seq 3333); do printf '%s/01\tローソン %d号店\t\t\t1,200\n' "$month" "$i"; done >"$work/made-rows"
for round in make menu; do
  xclip -selection clipboard -t UTF8_STRING <"$work/made" >/dev/null 2>&1
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key ctrl+Home ctrl+shift+End
  click_button 貼り付け
  wait_status "貼り付け: 10001 行を貼り付けました"
  if [ $round = make ]; then
    xdotool key ctrl+Home Down Down shift+Down shift+Down shift+Down
    pick_menu 設定 書式を作る
    xdotool windowfocus --sync "$(wait_window 書式を作る)" 2>/dev/null || true
    xdotool key Return
    wait_status "書式を作る: 「PayPay」を作り、3333 行をクリップボードにコピーしました"
    wait_clipboard "$work/made-rows"
    wine_stop
    menu_bar[0]+=,PayPay
    wine_start "$app/kasorel.exe" Kasorel
  else
    pick_menu その他の書式 PayPay
    wait_status "PayPay: 3333 行はすべて送信済みのため、クリップボードはそのままです"
    # For a person to look at: beside the build's other screenshots.
    mkdir -p "$(dirname "$exe")/../screenshots"
    import -window root "$(dirname "$exe")/../screenshots/made_kind_wine.png" 2>/dev/null || true
  fi
done

# Sheet rows teach categories: the same shop at another branch and a full-width name are
# filled, a shop never seen is not; after a restart too; with the switch off, none is.
set_clipboard "$(printf '%s/01\tローソン 渋谷店\t食費\tコンビニ\t5\t\n%s/02\tENEOS\t車\tガソリン\t9\t' "$month" "$month")"
click_button 貼り付け
wait_status "貼り付け: 2 行を貼り付けました"
pick_menu 設定 費目を覚える
wait_status "費目を覚える: 2 行から 2 件の内容を覚えました"
for day in 10 20 28; do
  [ $day = 20 ] && { wine_stop; wine_start "$app/kasorel.exe" Kasorel; }
  [ $day = 28 ] && { pick_menu 設定 費目を埋める; xdotool windowfocus --sync "$(wait_window 確認)" 2>/dev/null
                     xdotool key Escape; wait_status '設定を保存しました: C:\\kasorel\\kasorel.ini'; }
  set_clipboard "$(printf '明細\n%s/%s\t%s\t7 円\n支払方法\nx\ny\n' "$month" "$day" "ローソン 新宿店" \
    "$month" "$day" ＥＮＥＯＳ "$month" "$day" 無印良品)"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key ctrl+Home ctrl+shift+End
  click_button 貼り付け
  click_button 楽天カード
  if [ $day = 28 ]; then fill=("" "" "" "" "" "") note=; else fill=(食費 コンビニ 車 ガソリン "" ""); note=" (うち 2 行に費目を入れました)"; fi
  wait_status "楽天カード: 3 行をクリップボードにコピーしました$note"
  printf '%s/%s\t%s\t%s\t%s\t7\n' "$month" "$day" "ローソン 新宿店" "${fill[0]}" "${fill[1]}" "$month" "$day" \
    ＥＮＥＯＳ "${fill[2]}" "${fill[3]}" "$month" "$day" 無印良品 "${fill[4]}" "${fill[5]}" >"$work/filled"
  wait_clipboard "$work/filled"
done

# A read-only kasorel.ini: the prompt's write is refused in the error box, the file keeps
# every byte, and the window still closes (its position save is refused the same way).
cp "$ini" "$work/ini-before"
wine attrib +r 'C:\kasorel\kasorel.ini' >/dev/null 2>&1 || fail "attrib +r failed"
make_read_only "$ini"
pick_menu 設定 スプシURL
answer_prompt スプシURLを入力して下さい 'https://other.example/'
wait_until "the error box" open box_state
expected='C:\\kasorel\\kasorel.ini に書き込めません.'
[ "$(box_text)" = "$expected" ] || fail "the error box says '$(box_text)'"
xdotool windowfocus --sync "$(windows_named kasorel | head -n1)" 2>/dev/null || true
xdotool key Return
wait_until "the error box" closed box_state
cmp -s "$ini" "$work/ini-before" || fail "the refused write changed kasorel.ini"
"$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
for _ in $(seq 100); do
  box_open && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if box_open; then
  [ "$(box_text)" = "$expected" ] || fail "the error box at close says '$(box_text)'"
  xdotool windowfocus --sync "$(windows_named kasorel | head -n1)" 2>/dev/null || true
  xdotool key Return
fi
process_ended "$pid" || fail "the window did not close with a read-only kasorel.ini"
expect_exit_zero
cmp -s "$ini" "$work/ini-before" || fail "the close changed the read-only kasorel.ini"
[ "$(ls "$app" | tr '\n' ' ')" = "kasorel.exe kasorel.ini " ] ||
  fail "the refused writes left files behind: $(ls "$app")"

# Started again beside the read-only kasorel.ini, the program still keeps its settings there:
# a change is refused naming that file, not made in a file of the user's elsewhere.
wine_start "$app/kasorel.exe" Kasorel
pick_menu 設定 API設定
answer_prompt "API Keyを入力して下さい" OTHER
wait_until "the error box" open box_state
[ "$(box_text)" = "$expected" ] || fail "the error box at a new start says '$(box_text)'"
xdotool windowfocus --sync "$(windows_named kasorel | head -n1)" 2>/dev/null || true
xdotool key Return
wait_until "the error box" closed box_state
[ -z "$(find "$WINEPREFIX/drive_c/users" -name kasorel.ini)" ] || fail "a per-user kasorel.ini was made"
cmp -s "$ini" "$work/ini-before" || fail "the refused write changed kasorel.ini"

echo "window_wine: 1 passed, 0 failed"
