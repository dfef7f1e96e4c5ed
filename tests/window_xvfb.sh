#!/usr/bin/env bash
# The real program on a real X server, driven as a person drives it (xdotool, the X
# clipboard through xclip) and read as a screen reader reads it (AT-SPI):
#   - paste a 楽天カード statement and convert it; the rows are on the clipboard and the
#     status line says so;
#   - Ctrl+Z right after the click undoes the command; Tab leaves the text area;
#   - the text area's context menu is in Japanese;
#   - a click on "国内配当" while "国外配当" waits for a slow rate service is not run;
#   - 自動判別 from Ctrl+Enter: the rows, then the same rows flagged as sent, then left out;
#   - a kind made from one entry of a statement of 10 000 lines, selected with the keyboard;
#     started again, the kind is an item of その他の書式;
#   - categories learnt from sheet rows fill a statement's rows, after a restart too, and not
#     once the switch is off;
#   - the help opens the guide that ships with the program, through the desktop's opener;
#   - closed as a window manager closes it, the program ends with status 0.
#   window_xvfb.sh <kasorel executable> <wm_delete_window helper> <artefact folder>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/xvfb_common.sh"

exe=$1 closer=$2 out=$3
xvfb_reexec "-screen 0 1280x1024x24" "$0" "$@"
export LANG=ja_JP.UTF-8

fail() {
  echo "window_xvfb: $*" >&2
  [ -n "${wid:-}" ] && mkdir -p "$out" && import -window "$wid" "$out/failure.png" 2>/dev/null
  exit 1
}

xvfb_scratch_copy "$exe"
# The guide is found beside the program's bin folder, as the build and the install place it.
mkdir -p "$work/bin" "$work/share/doc"
mv "$work/kasorel" "$work/bin/kasorel"
cp -r "$(dirname "$exe")/../share/doc/kasorel" "$work/share/doc/"
# The desktop's opener, recording what it is asked to open.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
start_rates_proxy 3

start() {
  PATH="$work/bin:$PATH" HOME=$work XDG_RUNTIME_DIR=$work "$work/bin/kasorel" &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kasorel$' | head -n1) ||
    fail "no window named Kasorel appeared"
  wait_atspi
}
start

# Paste and convert: the rows reach the clipboard, the status line says how many.
statement=$'明細\r\n2024/05/01\tショップA\t1,200 円\r\n支払方法\t一括\r\nx1\r\ny1\r\n2024/05/03\tショップB\t800 円\r\n支払方法\t一括\r\nx2\r\ny2'
printf '%s' "$statement" | xclip -selection clipboard -t UTF8_STRING
printf '2024/05/01\tショップA\t\t\t1,200\r\n2024/05/03\tショップB\t\t\t800\r\n' >"$work/expected"
click_object "push button" 貼り付け
wait_status "貼り付け: 9 行を貼り付けました"
pasted=$(memo_text)
click_object "push button" 楽天カード
wait_status "楽天カード: 2 行をクリップボードにコピーしました"
got=no
for _ in $(seq 50); do
  if xclip -o -selection clipboard -t UTF8_STRING >"$work/got" 2>/dev/null &&
     cmp -s "$work/expected" "$work/got"; then
    got=yes
    break
  fi
  sleep 0.2
done
mkdir -p "$out"
import -window "$wid" "$out/window_xvfb.png" || echo "window_xvfb: no screenshot" >&2
[ $got = yes ] || { od -c "$work/got" | head -20 >&2; fail "clipboard does not hold the rows"; }

# The keyboard is back in the text area: Ctrl+Z undoes the command at once.
[ "$(atspi_field text 明細テキスト 4)" = focused ] || fail "the text area has not got the focus"
xdotool key ctrl+z
for _ in $(seq 25); do [ "$(memo_text)" = "$pasted" ] && break; sleep 0.2; done
[ "$(memo_text)" = "$pasted" ] || fail "Ctrl+Z did not undo the command"
xdotool key Tab
sleep 0.3
[ "$(atspi_field "push button" 楽天カード 4)" = focused ] || fail "Tab did not leave the text area"

# The context menu Qt draws itself speaks Japanese: its items are read as they get the focus.
atspi --watch 3 >"$work/focused" &
watcher=$!
sleep 1
click_object text 明細テキスト 3
sleep 0.5
xdotool key Down
sleep 0.3
xdotool key Escape
wait "$watcher"
grep -q $'^menu item\t元に戻す' "$work/focused" ||
  { cat "$work/focused" >&2; fail "the context menu is not in Japanese"; }

# A click given while the rate service is slow is dropped, not run afterwards.
printf '銘柄名abcdefgSAMPLE INC\r\n入金額abcdefg100.00 USD\r\n' | xclip -selection clipboard -t UTF8_STRING
click_object "push button" 貼り付け
wait_status "貼り付け: 2 行を貼り付けました"
# Taken before: while the window waits it answers no screen reader either.
read -r x y w h <<<"$(atspi_field "push button" 国内配当 3)"
click_object "push button" 国外配当
sleep 1
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
wait_status "国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"
sleep 1
case "$(memo_text)" in
  *配当国内*) fail "the click given during the wait was run afterwards" ;;
  *配当米国*) ;;
  *) fail "the foreign rows are not in the text area" ;;
esac
[ "$(status_text)" = "国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)" ] ||
  fail "another command ran after the wait: $(status_text)"

# 自動判別 from Ctrl+Enter, on a statement of this month pasted over the text; then the same
# statement again, whose rows were sent; then with the switch that leaves those rows out.
# (Read whole before they are looked through: a reader that stops early must not fail them.)
box_named() { grep -qE "^(dialog|alert)"$'\t'"$1"$'\t' <<<"$(atspi)" && echo yes || true; }
clipboard_rows() { tr -d '\r' <<<"$(xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null)" || true; }
recent=${statement//2024\/05/$(date +%Y/%m)}
printf '%s' "${recent//$'\r'/}" >"$work/recent"
rows=$(printf '%s' "${recent//$'\r'/}" | sed -n 's/^\(.*\)\t\(.*\) 円$/\1\t\t\t\2/p')
declare -A said=([new]=行をクリップボードにコピーしました
                 [sent]="行をクリップボードにコピーしました(うち 2 行は送信済み)"
                 [skip]=行はすべて送信済みのため、クリップボードはそのままです)
for round in new sent skip; do
  if [ $round = skip ]; then
    pick_menu 設定 送信済みの行を除く
    for box in 確認 情報; do
      wait_until "the $box box" yes box_named "$box"
      xdotool key Return
    done
    wait_status "設定を保存しました: $work/bin/kasorel.ini"
  fi
  xclip -selection clipboard -t UTF8_STRING <"$work/recent"
  click_object text 明細テキスト
  xdotool key ctrl+a
  click_object "push button" 貼り付け
  wait_status "貼り付け: 9 行を貼り付けました"
  xdotool key ctrl+KP_Enter
  wait_status "自動判別: 楽天カード として 2 ${said[$round]}"
  if [ $round = skip ]; then want=$(cat "$work/recent"); else want=$rows; fi
  wait_until "the clipboard" "$want" clipboard_rows
done

# A kind made from one entry: its rows go out, and the kind stays for the next start.
{
  printf 'PayPay カード\r\n%s年%s月のご利用' "$(date +%Y)" "$(date +%-m)"
  for i in $(seq 3333); do printf '\r\n%s月1日(月)\r\nローソン %d号店\r\n1,200円' "$(date +%-m)" "$i"; done
} >"$work/made"
for i in $(seq 3333); do printf '%s/01\tローソン %d号店\t\t\t1,200\n' "$(date +%Y/%m)" "$i"; done >"$work/made-rows"
for round in make menu; do
  xclip -selection clipboard -t UTF8_STRING <"$work/made"
  click_object text 明細テキスト
  xdotool key ctrl+a
  click_object "push button" 貼り付け
  wait_status "貼り付け: 10001 行を貼り付けました"
  if [ $round = make ]; then
    xdotool key ctrl+Home Down Down shift+Down shift+Down shift+Down
    pick_menu 設定 書式を作る
    wait_until "the name box" yes box_named 書式を作る
    xdotool key Return
    wait_status "書式を作る: 「PayPay」を作り、3333 行をクリップボードにコピーしました"
    wait_until "the clipboard" "$(cat "$work/made-rows")" clipboard_rows
    "$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
    process_ended "$pid" || fail "the window did not close"
    expect_exit_zero
    start
  else
    pick_menu その他の書式 PayPay
    import -window root -crop 720x760+0+0 "$out/made_kind.png" || echo "window_xvfb: no screenshot" >&2
    # The switch that leaves rows sent out is still on.
    wait_status "PayPay: 3333 行はすべて送信済みのため、クリップボードはそのままです"
  fi
done

# Sheet rows teach categories: the same shop, another branch and a full-width name are filled,
# a shop never seen is not; after a restart too; with the switch off, none is.
month=$(date +%Y/%m)
printf '%s/01\tローソン 渋谷店\t食費\tコンビニ\t5\t\n%s/02\tENEOS\t車\tガソリン\t9\t\n' "$month" "$month" |
  xclip -selection clipboard -t UTF8_STRING
click_object text 明細テキスト
xdotool key ctrl+a
click_object "push button" 貼り付け
wait_status "貼り付け: 2 行を貼り付けました"
pick_menu 設定 費目を覚える
wait_status "費目を覚える: 2 行から 2 件の内容を覚えました"
for day in 10 20 28; do
  [ $day = 20 ] && { "$closer" "$wid"; process_ended "$pid" || fail "no close"; expect_exit_zero; start; }
  [ $day = 28 ] && { pick_menu 設定 費目を埋める; wait_until "the question" yes box_named 確認
                     xdotool key Escape; wait_status "設定を保存しました: $work/bin/kasorel.ini"; }
  printf '明細\r\n%s/%s\t%s\t7 円\r\n支払方法\r\nx\r\ny\r\n' "$month" "$day" "ローソン 新宿店" "$month" "$day" ＥＮＥＯＳ \
    "$month" "$day" 無印良品 | xclip -selection clipboard -t UTF8_STRING
  click_object text 明細テキスト
  xdotool key ctrl+a
  click_object "push button" 貼り付け
  click_object "push button" 楽天カード
  if [ $day = 28 ]; then fill=("" "" "" "" "" "") note=; else fill=(食費 コンビニ 車 ガソリン "" ""); note=" (うち 2 行に費目を入れました)"; fi
  wait_status "楽天カード: 3 行をクリップボードにコピーしました$note"
  want=$(printf '%s/%s\t%s\t%s\t%s\t7\n' "$month" "$day" "ローソン 新宿店" "${fill[0]}" "${fill[1]}" \
    "$month" "$day" ＥＮＥＯＳ "${fill[2]}" "${fill[3]}" "$month" "$day" 無印良品 "${fill[4]}" "${fill[5]}")
  wait_until "the clipboard" "$want" clipboard_rows
done

# The help opens the guide that ships with the program.
pick_menu ヘルプ 作者ホームページ
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.2; done
url=$(head -n1 "$work/opened" 2>/dev/null || true)
case "$url" in
  file://*) ;;
  *) fail "the help opened '$url', not a file" ;;
esac
page=${url#file://}
[ -f "$page" ] || fail "the guide $page does not exist"
for command in 貼り付け 楽天カード 国内配当 国外配当 スプシ表示 Viewカード T生協; do
  grep -q "$command" "$page" || fail "the guide does not speak of $command"
done

"$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
process_ended "$pid" || fail "the window did not close"
expect_exit_zero
echo "window_xvfb: 1 passed, 0 failed"
