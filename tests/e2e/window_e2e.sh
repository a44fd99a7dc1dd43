#!/usr/bin/env bash
# Drives the real window on a private X server, as a user would, and checks what it draws.
# Usage: window_e2e.sh PROGRAM [SOURCE_DIR]
set -euo pipefail

if (($# < 1)); then
  echo "usage: $0 PROGRAM [SOURCE_DIR]" >&2
  exit 2
fi
prog=$(realpath -m -- "$1")
src=$(realpath -m -- "${2:-$(dirname -- "${BASH_SOURCE[0]}")/../..}")
sample_gif="$src/assets/sample.gif"

# --- tools -------------------------------------------------------------------------------------

declare -A package_of=(
  [Xvfb]=xvfb [xauth]=xauth [xdpyinfo]=x11-utils [xprop]=x11-utils [xwininfo]=x11-utils
  [xdotool]=xdotool [wmctrl]=wmctrl [openbox]=openbox
  [import]=imagemagick [convert]=imagemagick [compare]=imagemagick [identify]=imagemagick
  [timeout]=coreutils [realpath]=coreutils [xclip]=xclip
)
missing=()
for tool in "${!package_of[@]}"; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool (Debian package ${package_of[$tool]})")
done
if ((${#missing[@]})); then
  echo "window_e2e: cannot run, missing: ${missing[*]}" >&2
  exit 2
fi
if [[ ! -x $prog ]]; then
  echo "window_e2e: cannot run, $prog is not an executable" >&2
  exit 2
fi
if [[ ! -r $sample_gif ]]; then
  echo "window_e2e: cannot run, no sample picture at $sample_gif" >&2
  exit 2
fi

# --- clean-up ----------------------------------------------------------------------------------

tmp=$(mktemp -d "${TMPDIR:-/tmp}/window_e2e.XXXXXX")
xvfb_pid="" wm_pid="" app_pid="" watchdog_pid=""

stop() {  # PID: asks politely, then insists
  local pid=$1 i
  [[ -n $pid ]] || return 0
  kill "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 30; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# shellcheck disable=SC2317  # reached through the EXIT trap
cleanup() {
  set +e
  stop "$app_pid"
  stop "$wm_pid"
  stop "$xvfb_pid"
  [[ -n $watchdog_pid ]] && kill "$watchdog_pid" 2>/dev/null
  rm -rf -- "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

cd "$tmp"  # every file below is named relative to the scratch folder

# --- results -----------------------------------------------------------------------------------

passed=0 failed=0
pass() {
  passed=$((passed + 1))
  echo "ok    $*"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL  $*"
}
finish() {
  echo "$passed passed, $failed failed"
  ((failed == 0)) && exit 0
  exit 1
}
show_log() {
  if [[ -s app.log ]]; then
    echo "--- the program's last output ---"
    tail -n 20 app.log
    echo "---"
  fi
}
abort() {  # a failure after which the remaining checks cannot run
  fail "$*"
  show_log
  finish
}

now_ms() { REPLY=$((${EPOCHREALTIME/[.,]/} / 1000)); }
deadline_in() {  # SECONDS -> REPLY: the moment, in ms, after which a wait gives up
  now_ms
  REPLY=$((REPLY + $1 * 1000))
}
xdo() { timeout 10 xdotool "$@"; }

# --- X server and window manager ---------------------------------------------------------------

start_xvfb() {
  local n deadline
  for ((n = 90; n < 190; n++)); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    : >Xauthority
    xauth -q -f Xauthority add ":$n" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
    # -noreset: the server would otherwise restart as xdpyinfo leaves, refusing the next client.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset -auth Xauthority >xvfb.log 2>&1 </dev/null &
    xvfb_pid=$!
    deadline_in 10
    deadline=$REPLY
    while kill -0 "$xvfb_pid" 2>/dev/null; do
      if DISPLAY=":$n" XAUTHORITY="$tmp/Xauthority" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n" XAUTHORITY="$tmp/Xauthority"
        return 0
      fi
      now_ms
      ((REPLY < deadline)) || break
      sleep 0.05
    done
    stop "$xvfb_pid"  # lost a race for this number, or hung: try the next one
    xvfb_pid=""
  done
  return 1
}

start_xvfb || abort "no X server could be started: $(tail -n 3 xvfb.log 2>/dev/null)"
pass "Xvfb answers on $DISPLAY"

# The close box belongs to the window manager, so one must run for the close to be real.
mkdir -p wm-config
XDG_CONFIG_HOME="$tmp/wm-config" openbox --sm-disable >wm.log 2>&1 </dev/null &
wm_pid=$!
deadline_in 10
deadline=$REPLY
until wmctrl -m >/dev/null 2>&1; do
  now_ms
  if ((REPLY >= deadline)) || ! kill -0 "$wm_pid" 2>/dev/null; then
    abort "openbox did not start: $(tail -n 3 wm.log)"
  fi
  sleep 0.05
done

# Should the script itself be killed, the X server must not outlive it.
(
  while kill -0 $$ 2>/dev/null; do sleep 1; done
  kill "$xvfb_pid" "$wm_pid" 2>/dev/null || true
  rm -rf -- "$tmp"
) >/dev/null 2>&1 </dev/null &
watchdog_pid=$!

# --- expected pictures, made without the program -----------------------------------------------

convert "$sample_gif" sample.png
convert sample.png -channel GB -evaluate set 0 +channel sample-red.png
convert sample.png -channel RB -evaluate set 0 +channel sample-green.png
convert sample.png -channel RG -evaluate set 0 +channel sample-blue.png
[[ $(identify -format '%wx%h' sample.png) == 188x179 ]] || abort "sample.gif is not 188x179"

convert -size 20x10 'xc:rgb(10,200,30)' small.png
# A picture smaller than the area sits at its top-left on the view's red background.
convert -size 188x179 xc:red small.png -composite small-shown.png
convert small-shown.png -channel GB -evaluate set 0 +channel small-red.png
convert small-shown.png -channel RB -evaluate set 0 +channel small-green.png
convert small-shown.png -channel RG -evaluate set 0 +channel small-blue.png
# The same picture as JPEG XL, losslessly, and as HEIC, shown as heif-convert decodes it.
cjxl -d 0 small.png small.jxl >/dev/null 2>&1 || abort "cjxl could not write small.jxl"
# (heif-enc misreads palette PNGs, which is how ImageMagick writes a one-colour picture.)
convert small.png PNG24:small-rgb.png
heif-enc small-rgb.png -o small.heic >/dev/null 2>&1 || abort "heif-enc could not write small.heic"
heif-convert small.heic small-heic.png >/dev/null 2>&1 || abort "heif-convert could not read small.heic"
convert -size 188x179 xc:red small-heic.png -composite small-heic-shown.png
printf 'this is not a picture\n' >bad.png
# A real PNG cut in half: it holds the picture's first rows and not its last.
convert sample.png full.png
head -c "$(($(stat -c %s full.png) / 2))" full.png >truncated.png
convert full.png -crop 188x20+0+0 +repage truncated-top.png

# --- the program -------------------------------------------------------------------------------

win=""
launch() {
  mkdir -p runtime config && chmod 700 runtime
  # libdbus leaks a buffer when there is no session bus, as here; a sanitized build would
  # otherwise blame the program and end with status 1. Only such a build reads this.
  printf 'leak:libdbus-1.so\n' >lsan.supp
  # A private config keeps the file dialog's history out of the user's, and no platform theme
  # keeps Qt's own widget dialog in place of a desktop's native one.
  env -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS \
    -u QT_ENABLE_HIGHDPI_SCALING -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION \
    QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$tmp/runtime" XDG_CONFIG_HOME="$tmp/config" \
    LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$tmp/lsan.supp" \
    "$prog" "$@" >app.log 2>&1 </dev/null &
  app_pid=$!
  win=$(timeout 15 xdotool search --sync --all --onlyvisible --pid "$app_pid" --name '^Form1$' \
    2>/dev/null | head -n 1) || true
  [[ -n $win ]] || abort "no visible window titled Form1 appeared within 15 s"
}

alive() {  # PID: running, not merely a zombie waiting to be reaped
  local stat
  [[ -r /proc/$1/stat ]] || return 1
  read -r stat <"/proc/$1/stat" || return 1
  stat=${stat##*) }
  [[ ${stat%% *} != Z ]]
}

wait_exit() {  # SECONDS -> REPLY: the program's exit status; fails if it is still running
  local deadline
  deadline_in "$1"
  deadline=$REPLY
  while alive "$app_pid"; do
    now_ms
    ((REPLY < deadline)) || return 1
    sleep 0.05
  done
  REPLY=0
  wait "$app_pid" || REPLY=$?
  app_pid=""
}

# Top-level windows the program has mapped in front of Form1 (dialogs, message boxes).
dialogs() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [[ $id == "$win" ]] && continue
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: no' || continue  # popups
    xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | grep -qi "# $(printf '0x%x' "$win")\$" || continue
    echo "$id"
  done
}

wait_dialog() {  # NOT_THIS SECONDS -> REPLY: a newly shown dialog, focused and ready for keys
  local not_this=$1 deadline id focus
  deadline_in "$2"
  deadline=$REPLY
  while :; do
    id=$(dialogs | grep -vx -- "$not_this" | head -n 1) || true
    if [[ -n $id ]]; then
      focus=$(xdotool getwindowfocus 2>/dev/null) || true
      if [[ $focus == "$id" ]]; then
        REPLY=$id
        return 0
      fi
      xdo windowactivate "$id" >/dev/null 2>&1 || true
    fi
    now_ms
    ((REPLY < deadline)) || return 1
    alive "$app_pid" || return 1
    sleep 0.05
  done
}

wait_gone() {  # ID SECONDS
  local deadline
  deadline_in "$2"
  deadline=$REPLY
  while dialogs | grep -qx -- "$1"; do
    now_ms
    ((REPLY < deadline)) || return 1
    sleep 0.05
  done
}

click() {  # X Y, in the client area
  xdo mousemove --window "$win" "$1" "$2" click 1
}

# --- screenshots and checks --------------------------------------------------------------------

shoot() { import -silent -window "$win" shot.png 2>/dev/null; }

detail=""
crop() {  # X Y W H OUT
  convert shot.png -crop "$3x$4+$1+$2" +repage "$5"
}
same() {  # A B...: equal pixel for pixel (B may be ImageMagick words such as -size 2x2 xc:red)
  local ae
  ae=$(compare -metric AE "$@" null: 2>&1) && [[ $ae == 0 ]] && return 0
  detail="$ae pixels differ"
  return 1
}
# One check, as words: area X Y W H PICTURE | colour X Y W H COLOUR | unlike X Y W H COLOUR
#                      | shot PICTURE (the whole client area)
check() {
  local kind=$1
  shift
  detail=""
  case $kind in
    area) crop "$1" "$2" "$3" "$4" part.png && same part.png "$5" ;;
    colour) crop "$1" "$2" "$3" "$4" part.png && same part.png -size "$3x$4" "xc:$5" ;;
    unlike)  # no pixel of the strip is this colour
      crop "$1" "$2" "$3" "$4" part.png
      local ae
      ae=$(compare -metric AE part.png -size "$3x$4" "xc:$5" null: 2>&1) || true
      [[ $ae == "$(($3 * $4))" ]] && return 0
      detail="only $ae of $(($3 * $4)) pixels differ from $5"
      return 1
      ;;
    shot) same shot.png "$1" ;;
    *) echo "unknown check $kind" >&2 && return 1 ;;
  esac
}
# expect SECONDS "description|check words" ...: polls the screen until every check holds (the
# program paints when it gets round to it), then reports each one on the last screenshot.
expect() {
  local deadline item all words
  deadline_in "$1"
  deadline=$REPLY
  shift
  while :; do
    shoot || true
    all=1
    for item in "$@"; do
      read -ra words <<<"${item#*|}"
      check "${words[@]}" >/dev/null 2>&1 || { all=0 && break; }
    done
    ((all)) && break
    now_ms
    ((REPLY < deadline)) || break
    sleep 0.05
  done
  for item in "$@"; do
    read -ra words <<<"${item#*|}"
    if check "${words[@]}"; then
      pass "${item%%|*}"
    else
      fail "${item%%|*}: $detail"
    fi
  done
}

# Pictures as positioned in the client area: view frames, and the drawable areas 2 px inside.
P1=(10 10) P2=(10 282) P3=(210 282) P4=(410 282)
area() { echo "area $1 $2 188 179"; }  # X Y
# Inner corners of a button (outside its 2 px border and its centred caption): X Y W H COLOUR
button_corners() {
  echo "colour $(($1 + 4)) $(($2 + 3)) 5 3 $3"
  echo "colour $(($1 + 72)) $(($2 + 27)) 5 3 $3"
}

# --- a. the window as it first appears ---------------------------------------------------------

launch
pass "a window titled Form1 appeared"

geometry=$(xwininfo -id "$win")
w=$(sed -n 's/^ *Width: //p' <<<"$geometry")
h=$(sed -n 's/^ *Height: //p' <<<"$geometry")
if [[ $w == 602 && $h == 497 ]]; then
  pass "client area is 602 x 497"
else
  fail "client area is ${w}x$h, not 602x497"
fi

window_colour='rgb(192,255,255)'
mapfile -t c3 < <(button_corners 216 24 'rgb(255,255,0)')
mapfile -t c1 < <(button_corners 216 64 'rgb(255,192,255)')
mapfile -t c2 < <(button_corners 216 112 'rgb(224,224,224)')
expect 10 \
  "Picture1 shows sample.gif pixel for pixel|$(area "${P1[@]}") sample.png" \
  "window background above the channel views|colour 0 222 602 56 $window_colour" \
  "window background below the channel views|colour 0 466 602 31 $window_colour" \
  "window background right of the labels|colour 502 0 100 270 $window_colour" \
  "window background under the value boxes|colour 320 150 280 66 $window_colour" \
  "window background between the channel views|colour 201 282 6 179 $window_colour" \
  "Picture2 area is red before separation|colour ${P2[0]} ${P2[1]} 188 179 red" \
  "Picture3 area is green before separation|colour ${P3[0]} ${P3[1]} 188 179 lime" \
  "Picture4 area is blue before separation|colour ${P4[0]} ${P4[1]} 188 179 blue" \
  "Picture2 has a frame around its area|unlike 8 280 2 183 red" \
  "Picture2 frame is not the window colour|unlike 8 280 2 183 $window_colour" \
  "画像選択 is yellow (top-left)|${c3[0]}" "画像選択 is yellow (bottom-right)|${c3[1]}" \
  "色分解 is pink (top-left)|${c1[0]}" "色分解 is pink (bottom-right)|${c1[1]}" \
  "終り is light grey (top-left)|${c2[0]}" "終り is light grey (bottom-right)|${c2[1]}" \
  "Label3 is white|colour 329 33 4 3 white" \
  "Label4 is white|colour 329 65 4 3 white" \
  "Label5 is white|colour 329 97 4 3 white" \
  "Label1 is black|colour 385 41 4 3 black" \
  "Label2 is black|colour 385 81 4 3 black"

# --- b. separation -----------------------------------------------------------------------------

click 256 80
expect 5 \
  "after 色分解 Picture2 is the red channel of the sample|$(area "${P2[@]}") sample-red.png" \
  "after 色分解 Picture3 is the green channel of the sample|$(area "${P3[@]}") sample-green.png" \
  "after 色分解 Picture4 is the blue channel of the sample|$(area "${P4[@]}") sample-blue.png" \
  "after 色分解 Picture1 still shows the sample|$(area "${P1[@]}") sample.png"

# --- c. choosing pictures ----------------------------------------------------------------------

# choose TEXT: clicks 画像選択, waits for the file dialog and types TEXT (a path, or a bare key
# name when TEXT starts with '@'). Sets dialog to the dialog's id.
dialog=""
choose() {
  click 256 40
  wait_dialog "" 10 || abort "画像選択 opened no dialog within 10 s"
  dialog=$REPLY
  if [[ $1 == @* ]]; then
    xdo key "${1#@}"
  else
    xdo type --delay 2 "$1"
    xdo key Return
  fi
  if ! wait_gone "$dialog" 3 && [[ $1 != @* ]]; then
    xdo key Return  # the first Return may only have closed the file-name completer
  fi
  wait_gone "$dialog" 5 || abort "the file dialog did not close"
}

choose "$tmp/small.png"
pass "the file dialog opened, took a typed path and closed"
expect 5 "a 20x10 picture shows at Picture1's top-left on red|$(area "${P1[@]}") small-shown.png"
if [[ -z $(dialogs) ]]; then pass "loading a picture shows no message"; else fail "a good picture raised a message box"; fi

shoot && cp shot.png before-bad.png
for bad in bad.png; do
  choose "$tmp/$bad"
  if wait_dialog "$dialog" 5; then
    box=$REPLY
    pass "$bad raises a message box ($(xdotool getwindowname "$box" 2>/dev/null))"
    xdo key Return
    if wait_gone "$box" 5; then pass "Return dismisses the message box"; else fail "the message box stayed"; fi
  else
    fail "$bad raised no message box"
  fi
  if alive "$app_pid"; then pass "the program keeps running after $bad"; else abort "the program ended after $bad"; fi
  expect 5 \
    "Picture1 keeps the previous picture after $bad|$(area "${P1[@]}") small-shown.png" \
    "the whole window is as before $bad|shot before-bad.png"
done

# A file cut short opens with what it holds, and a message says what is missing.
choose "$tmp/truncated.png"
if wait_dialog "$dialog" 5; then
  box=$REPLY
  pass "truncated.png raises a message box ($(xdotool getwindowname "$box" 2>/dev/null))"
  xdo key Return
  if wait_gone "$box" 5; then pass "Return dismisses the message box"; else fail "the message box stayed"; fi
else
  fail "truncated.png raised no message box"
fi
if alive "$app_pid"; then pass "the program keeps running after truncated.png"; else abort "the program ended after truncated.png"; fi
expect 5 \
  "truncated.png shows the rows it holds|area ${P1[0]} ${P1[1]} 188 20 truncated-top.png" \
  "truncated.png shows the rows it lacks grey|colour ${P1[0]} $((P1[1] + 159)) 188 20 rgb(128,128,128)"
choose "$tmp/small.png"
expect 5 "opening small.png again brings the window back as it was|shot before-bad.png"

choose @Escape
pass "Escape closes the file dialog"
expect 3 "cancelling changes nothing in the window|shot before-bad.png"
if [[ -z $(dialogs) ]]; then pass "cancelling shows no message"; else fail "cancelling raised a dialog"; fi

# Every pixel of the area is separated, the red background round a small picture included.
click 256 80
expect 5 \
  "separating the small picture: red view|$(area "${P2[@]}") small-red.png" \
  "separating the small picture: green view|$(area "${P3[@]}") small-green.png" \
  "separating the small picture: blue view|$(area "${P4[@]}") small-blue.png"

# --- d. ending ---------------------------------------------------------------------------------

click 256 128
if wait_exit 10; then
  if ((REPLY == 0)); then pass "終り ends the program with status 0"; else fail "終り ended it with status $REPLY" && show_log; fi
else
  fail "the program still runs 10 s after 終り"
  stop "$app_pid"
  app_pid=""
fi

launch
pass "the program starts again"
if xprop -id "$win" WM_PROTOCOLS | grep -q WM_DELETE_WINDOW; then
  pass "Form1 takes WM_DELETE_WINDOW from the window manager"
else
  fail "Form1 does not offer WM_DELETE_WINDOW"
fi
# The window manager's close, as from the close box: it sends WM_DELETE_WINDOW.
wmctrl -i -c "$win"
if wait_exit 10; then
  if ((REPLY == 0)); then pass "the close box ends the program with status 0"; else fail "the close box ended it with status $REPLY" && show_log; fi
else
  fail "the program still runs 10 s after its close box"
fi

# --- e. a picture named on the command line, as a file manager's "Open with" passes it ---------

close_window() {
  wmctrl -i -c "$win"
  wait_exit 10 || { stop "$app_pid" && app_pid=""; }
}

launch "$tmp/small.png"
expect 5 "irobunkai PICTURE starts with that picture|$(area "${P1[@]}") small-shown.png"
close_window

launch "$tmp/small.jxl"
expect 5 "irobunkai PICTURE.jxl starts with that JPEG XL picture|$(area "${P1[@]}") small-shown.png"
close_window

launch "$tmp/small.heic"
expect 5 "irobunkai PICTURE.heic shows it as heif-convert decodes it|$(area "${P1[@]}") small-heic-shown.png"
close_window

launch "$tmp/bad.png"
if wait_dialog "" 10; then
  box=$REPLY
  pass "irobunkai BAD-PICTURE starts with the error box"
  xdo key Return
  wait_gone "$box" 5 || fail "the start-up error box stayed"
else
  fail "irobunkai BAD-PICTURE showed no error box"
fi
expect 5 "after a bad start-up picture the window shows the sample|$(area "${P1[@]}") sample.png"
close_window


# --- f. looking closer: zoom, readout at a zoom, keys, copy, paste, help -----------------------

convert -size 40x30 'gradient:rgb(0,40,200)-rgb(250,180,10)' -depth 8 gradient.png
convert -size 188x179 xc:red gradient.png -composite gradient-shown.png
# At 3x every picture pixel is a 3x3 block; the area below the picture's 90 rows is red.
convert gradient.png -filter point -resize 300% zoomed.png
convert -size 188x179 xc:red zoomed.png -composite zoomed-shown.png
convert zoomed-shown.png -channel GB -evaluate set 0 +channel zoomed-red.png
# Below the mark (a cross-hair at this zoom) the red view is exactly this.
convert zoomed-red.png -crop 188x129+0+50 +repage zoomed-red-part.png
convert -size 30x20 'xc:rgb(9,99,199)' pasted.png
convert -size 188x179 xc:red pasted.png -composite pasted-shown.png

pixel_line() {  # X Y -> the line Ctrl+C should copy for gradient.png's pixel (X, Y)
  local r g b value
  read -r r g b < <(convert gradient.png -crop "1x1+$1+$2" -depth 8 \
    -format '%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]' info:)
  value=$((r + 256 * g + 65536 * b))
  printf 'x=%d y=%d R=%d G=%d B=%d #%02X%02X%02X %d %X' "$1" "$2" "$r" "$g" "$b" "$r" "$g" "$b" \
    "$value" "$value"
}
expect_clipboard() {  # DESCRIPTION EXPECTED
  local got="" deadline
  deadline_in 5
  deadline=$REPLY
  while :; do
    got=$(timeout 5 xclip -selection clipboard -o 2>/dev/null) || true
    [[ $got == "$2" ]] && break
    now_ms
    ((REPLY < deadline)) || break
    sleep 0.1
  done
  if [[ $got == "$2" ]]; then pass "$1"; else fail "$1: the clipboard holds '$got', not '$2'"; fi
}

launch "$tmp/gradient.png"
expect 5 "the gradient picture is shown 1:1|$(area "${P1[@]}") gradient-shown.png"
xdo mousemove --window "$win" "${P1[0]}" "${P1[1]}" keydown ctrl click 4 click 4 keyup ctrl
expect 5 "Ctrl + wheel twice over the picture's top-left shows it at 3x, pixel-true|$(area "${P1[@]}") zoomed-shown.png"
click $((P1[0] + 3 * 12 + 1)) $((P1[1] + 3 * 7 + 1))
xdo key ctrl+c
expect_clipboard "a click at 3x reads picture pixel (12, 7) and Ctrl+C copies its line" "$(pixel_line 12 7)"
xdo key Right
xdo key ctrl+c
expect_clipboard "the Right key reads the next pixel, (13, 7)" "$(pixel_line 13 7)"
click 256 80
expect 5 "a separation at 3x shows the red channel at 3x under the source region|area ${P2[0]} $((P2[1] + 50)) 188 129 zoomed-red-part.png"

# xclip stays in the background to serve the picture until another program takes the clipboard.
xclip -selection clipboard -t image/png -i pasted.png
xdo key ctrl+v
expect 5 "Ctrl+V shows the clipboard's picture, 1:1 at the top-left again|$(area "${P1[@]}") pasted-shown.png"

xdo key F1
if timeout 10 xdotool search --sync --onlyvisible --pid "$app_pid" --name 'Controls' >/dev/null 2>&1; then
  pass "F1 opens the help window"
else
  fail "F1 opened no help window"
fi
xdo key Escape  # the help window closes as dialogs do
close_window

# --- g. the channel views' menu: grey, histogram, copy and save a channel -----------------------

for c in R G B; do
  convert gradient-shown.png -channel "$c" -separate -colorspace sRGB -type TrueColor "grey-$c.png"
done
differs() {  # X Y W H PICTURE: the screen's part is not that picture
  crop "$1" "$2" "$3" "$4" part.png
  ! compare -metric AE part.png "$5" null: >/dev/null 2>&1
}

launch "$tmp/gradient.png"
click 256 80
expect 5 "the gradient is separated|$(area "${P1[@]}") gradient-shown.png"
xdo mousemove --window "$win" $((P2[0] + 100)) $((P2[1] + 100)) click 1  # the focus, no pan
xdo key g
expect 5 \
  "G on a channel view shows the red channel as grey|$(area "${P2[@]}") grey-R.png" \
  "… and the green channel|$(area "${P3[@]}") grey-G.png" \
  "… and the blue channel|$(area "${P4[@]}") grey-B.png" \
  "… while the source picture stays as it is|$(area "${P1[@]}") gradient-shown.png"

xdo key h
sleep 0.3
shoot
convert grey-R.png -crop 188x50+0+129 +repage grey-R-bottom.png
convert grey-R.png -crop 188x100+0+0 +repage grey-R-top.png
if differs "${P2[0]}" $((P2[1] + 129)) 188 50 grey-R-bottom.png &&
  check area "${P2[0]}" "${P2[1]}" 188 100 grey-R-top.png; then
  pass "H draws the histogram along the bottom of the view and nothing above it"
else
  fail "H did not draw a histogram band, or drew above it"
fi
xdo key h

# The menu opened with the right button; Up from the top wraps to its last entry, 画像をコピー.
menu_choose() {  # VIEW-X VIEW-Y UPS: opens the menu and takes the entry UPS from the bottom
  xdo mousemove --window "$win" "$1" "$2" click 3
  sleep 0.5
  local i
  for ((i = 0; i < $3; i++)); do xdo key Up; done
  xdo key Return
}
menu_choose $((P3[0] + 90)) $((P3[1] + 90)) 1
sleep 0.5
if timeout 5 xclip -selection clipboard -t image/png -o >copied.png 2>/dev/null &&
  same copied.png grey-G.png; then
  pass "画像をコピー copies the whole green channel, as grey, to the clipboard"
else
  fail "画像をコピー: the clipboard does not hold the green channel ($detail)"
fi

menu_choose $((P4[0] + 90)) $((P4[1] + 90)) 3
if wait_dialog "" 10; then
  # The save dialog offers gradient-B.png beside the picture; Return takes it.
  xdo key Return
  deadline_in 5
  limit=$REPLY
  until [[ -s gradient-B.png ]]; do  # written whole or not at all
    now_ms
    ((REPLY < limit)) || break
    sleep 0.1
  done
  if [[ -s gradient-B.png ]] && same gradient-B.png grey-B.png; then
    pass "チャンネルを保存... writes gradient-B.png beside the picture, the blue channel as grey"
  else
    fail "チャンネルを保存... did not write the blue channel beside the picture ($detail)"
  fi
else
  fail "チャンネルを保存... opened no dialog"
fi
close_window

# --- h. colour models: the source rebuilt from its components, and the 色空間 submenu -------------

# RGB without G and B; HSV's V, the brightest of R, G and B, in grey; both below the caption.
convert gradient-shown.png -channel GB -evaluate set 0 +channel -crop 188x155+0+24 +repage red-only.png
convert gradient-shown.png -separate -evaluate-sequence max -colorspace sRGB -type TrueColor \
  -crop 188x155+0+24 +repage value.png

launch "$tmp/gradient.png"  # the source view has the focus
xdo key 2 key 3
expect 5 "2 and 3 on the source picture show it without G and B|area ${P1[0]} $((P1[1] + 24)) 188 155 red-only.png"
xdo key 2 key 3
expect 5 "2 and 3 again show the picture itself|$(area "${P1[@]}") gradient-shown.png"
click 256 80
# The menu: グレーで表示, ヒストグラム, 対数目盛, 色空間 ▸ (RGB, CMY, CMYK, HSV, ...).
xdo mousemove --window "$win" $((P4[0] + 90)) $((P4[1] + 90)) click 3
sleep 0.5
for key in Down Down Down Down Right Down Down Down Return; do xdo key "$key"; sleep 0.1; done
expect 5 "色空間 ▸ HSV splits the picture into H, S and V: the third view is V in grey|area ${P4[0]} $((P4[1] + 24)) 188 155 value.png"

client_width() { xwininfo -id "$win" | sed -n 's/^ *Width: //p'; }
choose_model() {  # DOWNS: the 色空間 submenu's entry DOWNS below its first, RGB
  xdo mousemove --window "$win" $((P4[0] + 90)) $((P4[1] + 90)) click 3
  sleep 0.5
  local key
  for key in Down Down Down Down Right; do xdo key "$key"; sleep 0.1; done
  for ((i = 0; i < $1; i++)); do xdo key Down; sleep 0.1; done
  xdo key Return
  sleep 1
}
choose_model 2
if [[ $(client_width) == 802 ]]; then
  pass "色空間 ▸ CMYK grows the window by the black plate's view, to 802 pixels"
else
  fail "色空間 ▸ CMYK left the client area $(client_width) pixels wide, not 802"
fi
expect 5 "… which stands right of Picture4 and shows the black plate, not its bare background|unlike 610 282 188 179 rgb(0,0,0)"
choose_model 0
if [[ $(client_width) == 602 ]]; then
  pass "色空間 ▸ RGB returns the window to its 602 pixels"
else
  fail "色空間 ▸ RGB left the client area $(client_width) pixels wide, not 602"
fi
close_window

finish
