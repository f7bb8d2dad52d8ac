#!/usr/bin/env bash
# Sets this machine up, builds the program, and shows it surfing:
#
#   scripts/run.sh [--minutes N]        N: how long it surfs, default 3 (decimals allowed)
#
# On one Wine desktop (`wine explorer /desktop=...`) it opens the demo browser
# (demo/Browser.cpp) and Veruvo.exe, unchanged. The browser fetches every page
# through our own web server and proxy on 127.0.0.1 (demo/server.py), which
# answers for every host from a few local pages and logs each request; nothing
# goes anywhere else. A driver playing the user (demo/DemoDriver.cpp)
# calibrates the program to the browser's address bar with the space bar on
# both corners, presses Start with a WebSites.txt of the local pages, lets it
# surf for N minutes, then moves the mouse, which ends the session with the
# program's summary box. The browser's address bar completes what is typed from
# the addresses it has visited, as today's browsers do.
#
# Without a display it all runs on a virtual one, and the run is kept as an
# animated GIF and a contact sheet of screenshots taken every second. With a
# display ($DISPLAY answers) it runs there, live, in Wine's desktop window.
# Either way it ends by printing the server's visit log, whether every visit
# landed on the address the program drew (demo/landed.py), the summary box's
# text and the timings. Everything is kept in build/demo/<date-time>/
# ($VERUVO_DEMO_DIR to choose another folder).
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1
source scripts/lib/desktop.sh

usage() { sed -n '2,/^set -uo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'; }
die() {
  echo "FAILED: $*" >&2
  exit 1
}
step() { printf '\n==== %s\n' "$*"; }

minutes=3
while (($#)); do
  case $1 in
    --minutes) minutes=${2:-}; shift 2 || die "--minutes needs a number" ;;
    --minutes=*) minutes=${1#*=}; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; die "unknown argument: $1" ;;
  esac
done
[[ $minutes =~ ^[0-9]+([.][0-9]+)?$ ]] && awk -v m="$minutes" 'BEGIN { exit !(m > 0) }' ||
  die "--minutes wants a number of minutes greater than 0, not \"$minutes\""
seconds=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 + 0.5 }')

started=$(date +%s)
out=$(realpath -m "${VERUVO_DEMO_DIR:-build/demo/$(date +%Y%m%d-%H%M%S)}")
# Each run keeps what it makes apart from every other run's.
[[ ! -e $out ]] || [[ -d $out && -z $(ls -A "$out") ]] || die "$out is not empty: name a new folder"
work=$out/work
frames=$out/frames
report=$out/run-report.txt
summary=$out/summary.txt
visits=$out/visits.log
bar_log=$out/bar.log
desktop=Veruvo  # the name of the Wine desktop, whose window is titled "Veruvo - Wine desktop"
SERVER_PID=""
CAPTURE_PID=""
POINTER_PID=""

cleanup() {
  [[ -n $CAPTURE_PID ]] && { touch "$frames/.stop" 2>/dev/null; wait "$CAPTURE_PID" 2>/dev/null; }
  [[ -n $SERVER_PID ]] && { kill "$SERVER_PID" 2>/dev/null; wait "$SERVER_PID" 2>/dev/null; }
  [[ -n $POINTER_PID ]] && { kill "$POINTER_PID" 2>/dev/null; wait "$POINTER_PID" 2>/dev/null; }
  CAPTURE_PID="" SERVER_PID="" POINTER_PID=""
  teardown_desktop
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A host path as Wine's Z: drive shows it.
windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
mm_ss() { printf '%d:%02d' $(($1 / 60)) $(($1 % 60)); }

# Every second until told to stop: the display as a PNG (without the date
# chunks, so that a still screen gives identical files), where the pointer was
# (the screenshot leaves it out) and when, in milliseconds.
capture_frames() {
  local n=0 X Y last=""
  # From the moment the driver reports the first window (Wine's desktop has
  # been drawn by then) to a moment after it reports the summary box, which
  # makes the last picture: the closing of the windows is not worth showing.
  until [[ -s $report || -e $frames/.stop ]]; do sleep 0.2; done
  while [[ ! -e $frames/.stop ]]; do
    n=$((n + 1))
    X=0 Y=0
    eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=[0-9]+$')"
    import -window root -define png:exclude-chunks=date,time "$frames/$(printf %05d $n).png" 2>/dev/null &&
      echo "$n $X $Y $((${EPOCHREALTIME/./} / 1000))" >>"$frames/pointer.txt"
    [[ -n $last ]] && break
    grep -qE '^[0-9:]{8}  Summary box ' "$report" && last=1
    sleep 1
  done
}

# The arrow of a pointer whose tip is at x, y.
pointer_arrow() {
  local x=$1 y=$2
  printf 'polygon %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d %d,%d' \
    "$x" "$y" "$x" $((y + 17)) $((x + 4)) $((y + 13)) $((x + 7)) $((y + 20)) \
    $((x + 10)) $((y + 19)) $((x + 7)) $((y + 12)) $((x + 12)) $((y + 12))
}

# The GIF plays the run five times as fast, a still stretch for two seconds at
# most and the last picture for four. Identical neighbours become one frame
# shown for longer, and each frame after the first is only the rectangle that
# changed, laid over the one before: ImageMagick's own optimisation would hold
# every whole frame in memory, beyond its limits here.
make_pictures() {
  [[ -s $frames/pointer.txt ]] || { echo "No screenshots were taken."; return 1; }
  local num=() px=() py=() ms=() n x y t
  while read -r n x y t; do
    num+=("$n") px+=("$x") py+=("$y") ms+=("$t")
  done <"$frames/pointer.txt"
  local count=${#num[@]} kept=() delays=() at=() pointers=() last="" key file shown i
  for ((i = 0; i < count; i++)); do
    file=$frames/$(printf %05d "${num[$i]}").png
    shown=$((i + 1 < count ? (ms[i + 1] - ms[i]) / 50 : 400))
    key="$(md5sum <"$file" | cut -c1-32) ${px[$i]} ${py[$i]}"
    if [[ $key == "$last" ]]; then
      delays[-1]=$((delays[-1] + shown))
      rm -f "$file"
      continue
    fi
    last=$key
    kept+=("$file") delays+=("$shown") at+=("$((ms[i] - ms[0]))")
    pointers+=("$(pointer_arrow "${px[$i]}" "${py[$i]}")")
  done
  echo "Making the animated GIF from ${#kept[@]} distinct frames of $count screenshots..."
  local args=() changed piece w h
  for i in "${!kept[@]}"; do
    shown=${delays[$i]}
    ((i + 1 < ${#kept[@]} && shown > 200)) && shown=200
    file=${kept[$i]}
    if ((i == 0)); then
      convert "$file" -fill white -stroke black -draw "${pointers[0]}" "$file" || return 1
      args+=(-delay "$shown" -page "$(identify -format '%wx%h' "$file")+0+0" "$file")
      continue
    fi
    # The pointer drawn in, and the rectangle that differs from the frame
    # before: unchanged pixels are black in the difference, and a black border
    # goes round it first, as trimming takes the corners' colour for the one
    # to trim.
    changed=$(convert "${kept[$i - 1]}" \( "$file" -fill white -stroke black -draw "${pointers[$i]}" \
      -write "$file" \) -compose difference -composite -bordercolor black -border 1 -trim \
      -format '%w %h %X %Y' info: 2>/dev/null) || return 1
    read -r w h x y <<<"$changed"
    if [[ $x =~ ^\+[0-9]+$ && $y =~ ^\+[0-9]+$ ]]; then
      x=$((x - 1)) y=$((y - 1))
    else
      w=1 h=1 x=0 y=0  # nothing changed but the time: one pixel, as it was
    fi
    piece=$frames/changed-$(basename "$file")
    convert "$file" -crop "${w}x${h}+$x+$y" +repage "$piece" || return 1
    args+=(-delay "$shown" -page "+$x+$y" "$piece")
  done
  convert -loop 0 -dispose none "${args[@]}" "$out/run.gif" || return 1
  rm -f "$frames"/changed-*.png "$frames/.stop"
  # What the screen showed at twelve moments evenly spread over the run.
  local sheet=() pick=0 moment
  for ((i = 0; i < 12; i++)); do
    moment=$((i * at[-1] / 11))
    while ((pick + 1 < ${#kept[@]} && at[pick + 1] <= moment)); do pick=$((pick + 1)); done
    sheet+=(-label "$(mm_ss $((moment / 1000)))" "${kept[$pick]}")
  done
  # Wine's Tahoma (package fonts-wine) labels them: ImageMagick's default font may be missing.
  montage "${sheet[@]}" -tile 4x -geometry 400x300+6+6 -font /usr/share/wine/fonts/tahoma.ttf -pointsize 16 \
    "$out/contact-sheet.png" || return 1
}

step "Set-up and build"
bash scripts/setup.sh || die "scripts/setup.sh"
cmake --preset windows-x64 >/dev/null || die "configuring the 64-bit Windows build"
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} \
  cmake --build --preset windows-x64 --target Veruvo DemoBrowser DemoDriver || die "building the programs"
bin=$repo/build/x64
built=$(date +%s)

step "A desktop, Wine, and the web server on 127.0.0.1"
mkdir -p "$work" "$frames" || die "cannot make $out"
live=""
if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
  live=1
  echo "Display $DISPLAY answers: the demonstration runs there, live, in Wine's desktop window."
else
  start_display || die "no display"
fi
make_wine_prefix || die "no Wine"

python3 demo/server.py --log "$visits" --port-file "$out/server.port" --lifetime $((seconds + 1500)) \
  </dev/null >"$out/server.out" 2>&1 &
SERVER_PID=$!
for ((i = 0; i < 100; i++)); do
  [[ -s $out/server.port ]] && break
  kill -0 "$SERVER_PID" 2>/dev/null || { cat "$out/server.out" >&2; die "the web server did not start"; }
  sleep 0.1
done
port=$(<"$out/server.port") || die "the web server did not say which port it listens on"
echo "Web server and proxy on 127.0.0.1:$port (process $SERVER_PID), visit log $visits"

# Wine 8's virtual desktop sends the cursor back a step when a program moves it
# over another program's window, which the program would take for the user
# moving the mouse; scripts/lib/desktop_pointer.py says why and how this avoids it.
python3 scripts/lib/desktop_pointer.py --title "$desktop - Wine desktop" --lifetime $((seconds + 1500)) \
  </dev/null >"$out/desktop_pointer.out" 2>&1 &
POINTER_PID=$!

# The site list as a Windows user keeps it: one entry a line, CR LF.
sed 's/\r*$/\r/' demo/WebSites.txt >"$work/WebSites.txt" || die "cannot write WebSites.txt"
ready=$(date +%s)

step "The demonstration ($minutes minutes of surfing; the driver's report as it goes)"
: >"$report"
if [[ -z $live ]]; then
  capture_frames &
  CAPTURE_PID=$!
fi
(exec "${PERMISSIONS_BIND[@]}" wine explorer "/desktop=$desktop,1024x768" "$(windows_path "$bin/demo/DemoDriver.exe")" \
  --folder "$(windows_path "$work")" --program "$(windows_path "$bin/app/Veruvo.exe")" \
  --browser "$(windows_path "$bin/demo/DemoBrowser.exe")" --proxy "127.0.0.1:$port" --minutes "$minutes" \
  --report "$(windows_path "$report")" --summary "$(windows_path "$summary")" \
  --bar-log "$(windows_path "$bar_log")" \
  </dev/null >"$out/wine.log" 2>&1) &

# The driver as ps shows it: its Windows command line (passed through the
# environment, as awk -v would read its backslashes as escapes).
driver_running() {
  ps -eo args= | DRIVER="$(windows_path "$bin/demo/DemoDriver.exe") --folder" \
    awk 'index($0, ENVIRON["DRIVER"]) == 1 { found = 1 } END { exit !found }'
}

# The last visit may run four minutes past the time; beyond that, something is wrong.
shown=0
finished=""
driver_seen=""
for ((waited = 0; waited < seconds + 900; waited++)); do
  lines=$(wc -l <"$report")
  if ((lines > shown)); then
    tail -n +$((shown + 1)) "$report" | head -n $((lines - shown))
    shown=$lines
  fi
  if grep -qE '^[0-9:]{8}  The demonstration (is over|stopped early)\.' "$report"; then
    finished=1
    break
  fi
  if driver_running; then
    driver_seen=1
  elif [[ -n $driver_seen ]] && ! { sleep 2; grep -qE '^[0-9:]{8}  The demonstration' "$report"; }; then
    echo "The driver ended without finishing (see $out/wine.log)."
    break
  elif [[ -z $driver_seen ]] && ((waited > 120)); then
    echo "The driver did not start (see $out/wine.log)."
    break
  fi
  sleep 1
done
ended=$(date +%s)
[[ -n $finished ]] || echo "The driver did not finish within $(mm_ss $((seconds + 900))) (see $out/wine.log)."

if [[ -n $CAPTURE_PID ]]; then
  touch "$frames/.stop"
  wait "$CAPTURE_PID"
  CAPTURE_PID=""
fi
kill "$SERVER_PID" "$POINTER_PID" 2>/dev/null
wait "$SERVER_PID" "$POINTER_PID" 2>/dev/null
SERVER_PID="" POINTER_PID=""
teardown_desktop

pictures=""
if [[ -z $live ]]; then
  step "Pictures of the run"
  make_pictures && pictures=1
fi
done_at=$(date +%s)

step "The web server's log: every page asked for (time, seconds since the server started, status, address, title)"
if [[ -s $visits ]]; then cat "$visits"; else echo "(no requests)"; fi

step "Did every visit land on the address drawn (the sponsors page or an entry of WebSites.txt), read back before Enter?"
sponsors="http://$(sed -n 's/^#define MAKER_WEB_HOST "\(.*\)"$/\1/p' res/resource.h)/sponsors"
landed=""
if [[ -s $visits ]]; then
  python3 demo/landed.py --visits "$visits" --sites "$work/WebSites.txt" --sponsors "$sponsors" \
    --bar-log "$bar_log" && landed=1
else
  echo "(no requests)"
fi

step "The program's summary box (caption, then text)"
if [[ -s $summary ]]; then cat "$summary"; else echo "(no summary box was seen)"; fi

step "Pictures"
if [[ -n $pictures ]]; then
  echo "Animated GIF of the run: $out/run.gif"
  echo "Contact sheet:           $out/contact-sheet.png"
  echo "Screenshots (PNG):       $frames/"
elif [[ -n $live ]]; then
  echo "None: the run was shown live on $DISPLAY."
else
  echo "None could be made."
fi

step "Timings"
session=$(grep -oE 'after a session of [0-9.]+ s' "$report" | grep -oE '[0-9.]+' | head -n 1)
echo "Set-up and build:                    $(mm_ss $((built - started)))"
echo "Display, Wine prefix and web server: $(mm_ss $((ready - built)))"
echo "The demonstration:                   $(mm_ss $((ended - ready)))${session:+ (surfing from Start to the summary box: $(mm_ss "${session%.*}"))}"
[[ -n $pictures ]] && echo "Making the pictures:                 $(mm_ss $((done_at - ended)))"
echo "In all:                              $(mm_ss $((done_at - started)))"
# The first request is the browser opening its home page; the program's visits follow.
requests=$(wc -l <"$visits" 2>/dev/null || echo 0)
echo "Requests the server answered: $requests (the browser's home page, then the pages Veruvo typed)"
echo "Everything is kept in $out"

[[ -n $finished ]] && grep -q 'The demonstration is over\.' "$report" && [[ -s $summary ]] ||
  die "the demonstration did not run to its end (see $report)"
[[ -n $live || -n $pictures ]] || die "no pictures of the run could be made"
[[ -n $landed ]] || die "a visit did not land on the address drawn (see above)"
