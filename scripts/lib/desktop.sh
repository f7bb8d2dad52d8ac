# Shared by the scripts that run the Windows program on this Linux machine: a
# virtual display, a Wine prefix of their own, and the tear-down of both.
# Source it; every function reports a failure loudly and returns non-zero.
#
# Everything started here is ended by process id or by `wineserver -k` on the
# prefix made here; nothing is ever killed by name.

DESKTOP_TMP=""
XVFB_PID=""
POINTER_PID=""
WINE_PREFIX_MADE=""

# Root ignores file permissions (CAP_DAC_OVERRIDE), so a test could not make a
# folder read-only or a file unreadable for it. Commands prefixed with this
# array run without those capabilities, so that permissions bind them too. Wine
# does its file work in the wineserver, so every Wine command goes through it.
PERMISSIONS_BIND=()
if [[ $(id -u) -eq 0 ]]; then
  if setpriv --bounding-set=-dac_override,-dac_read_search true 2>/dev/null; then
    PERMISSIONS_BIND=(setpriv --bounding-set=-dac_override,-dac_read_search)
  else
    echo "warning: cannot drop CAP_DAC_OVERRIDE; tests that need read-only files or folders will fail" >&2
  fi
fi

fail() {
  echo "ERROR: $*" >&2
  return 1
}

# A folder for this run's display log, Wine prefix and whatever else it makes.
desktop_tmp() {
  if [[ -z $DESKTOP_TMP ]]; then
    DESKTOP_TMP=$(mktemp -d "${TMPDIR:-/tmp}/veruvo-run.XXXXXX") || fail "cannot make a temporary folder"
  fi
}

# Starts Xvfb on a free display (the server picks it and reports it) at
# 1024 x 768, 24 bits, with no window manager; exports DISPLAY.
start_display() {
  desktop_tmp || return 1
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/setup.sh installs it)" || return 1
  local number_file="$DESKTOP_TMP/display"
  : >"$number_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" \
    >"$DESKTOP_TMP/xvfb.log" 2>&1 </dev/null &
  XVFB_PID=$!
  local waited=0
  until [[ -s $number_file ]]; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then
      XVFB_PID=""
      cat "$DESKTOP_TMP/xvfb.log" >&2
      fail "Xvfb did not start: there is no display to run the Windows program on"
      return 1
    fi
    ((waited++ < 300)) || { fail "Xvfb did not report a display within 30 s"; return 1; }
    sleep 0.1
  done
  export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
  xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer" || return 1
  echo "Display $DISPLAY (Xvfb, process $XVFB_PID, 1024x768x24)"
}

# Gives every window on the display an empty X input region, so that no Wine
# program sends back, as mouse input, a position that another program's cursor
# move has left: scripts/lib/desktop_pointer.py says how that happens and why
# it stops a glide that crosses another program's window on a slow machine.
# Real pointer input is then not delivered: for a display that only synthesised
# input drives. Start it with the display, before Wine's first window.
keep_pointer_off_windows() {
  desktop_tmp || return 1
  [[ -n ${DISPLAY:-} ]] || fail "no display to keep the pointer off the windows of" || return 1
  python3 "$(dirname "${BASH_SOURCE[0]}")/desktop_pointer.py" --lifetime 86400 \
    </dev/null >"$DESKTOP_TMP/desktop_pointer.log" 2>&1 &
  POINTER_PID=$!
  local waited=0
  until grep -qs "^watching" "$DESKTOP_TMP/desktop_pointer.log"; do
    if ! kill -0 "$POINTER_PID" 2>/dev/null || ((waited++ >= 300)); then
      kill "$POINTER_PID" 2>/dev/null
      wait "$POINTER_PID" 2>/dev/null
      POINTER_PID=""
      cat "$DESKTOP_TMP/desktop_pointer.log" >&2
      fail "scripts/lib/desktop_pointer.py did not start on $DISPLAY"
      return 1
    fi
    sleep 0.1
  done
}

# What Wine reports while it makes a prefix: its own errors, the modules it
# loaded or could not, and every file it looked for, with the time (a few
# megabytes, and no slower to make). explain_wine_prefix reads it back.
WINE_PREFIX_TRACE=+timestamp,+pid,err+all,warn+module,+loaddll,+file

# Whether Wine's first program in a new prefix stopped waiting for the
# bootstrap (after five minutes, a limit of Wine's), by the trace in $1.
wine_gave_up_waiting() { grep -aq ":err:environ:run_wineboot boot event wait timed out" "$1"; }

# Says what went wrong when Wine made a prefix, from that attempt's trace ($1,
# made with WINE_PREFIX_TRACE): Wine's messages and errors, then each module it
# could not load with the files it looked for and did not find, and whether
# each is there now.
explain_wine_prefix() {
  local trace=$1 what where rest
  # (No head in these pipelines: a reader that stops early would end a caller
  # that runs with pipefail and errexit.)
  echo "What Wine said while it made the prefix (its messages, then its errors, each once):"
  wine_gave_up_waiting "$trace" &&
    echo "  (\"boot event wait timed out\": Wine's first program stopped waiting for the bootstrap after five minutes)"
  awk '!/^ *[0-9]+\.[0-9]+:[0-9a-f]+:[0-9a-f]+:/ && shown++ < 20 { print "  " $0 }' "$trace"
  awk '/^ *[0-9]+\.[0-9]+:[0-9a-f]+:[0-9a-f]+:err:/ {
         text = $0; sub(/^[^:]*:[^:]*:[^:]*:/, "", text)
         if (!seen[text]++ && shown++ < 20) { sub(/^ */, ""); print "  " $0 }
       }' "$trace"
  # The modules that Wine named as missing (its "could not load" message, a
  # missing import), else every module that a program could not load; then,
  # for each, the files that the same thread looked for and did not find.
  awk '
    function base(path) { gsub(/\\\\/, "/", path); sub(/.*\//, "", path); return tolower(path) }
    function quoted(line) { return match(line, /L"[^"]*"/) ? substr(line, RSTART + 2, RLENGTH - 3) : "" }
    FNR == NR {
      if (match($0, /^wine: could not load [^,]*/)) named[tolower(substr($0, 22, RLENGTH - 21))] = 1
      else if (match($0, /err:module:import_dll Library [^ ]*/)) named[tolower(substr($0, RSTART + 30, RLENGTH - 30))] = 1
      else if ($0 ~ /:warn:module:load_dll Failed to load module /) {
        split($0, f, ":"); module = base(quoted($0)); thread = f[2] ":" f[3]
        if (!((thread, module) in failed)) { failed[thread, module] = 1; order[++count] = thread SUBSEP module }
      }
      next
    }
    / not found in "/ && /:trace:file:/ {
      split($0, f, ":"); path = quoted($0); key = f[2] ":" f[3] SUBSEP base(path)
      if (!(key in failed) || looked[key, path]++) next
      gsub(/\\\\/, "/", path); sub(/^\?\?\//, "", path)
      match($0, / not found in "[^"]*"/)
      files[key] = files[key] "file\t" f[2] ":" f[3] "\t" substr($0, RSTART + 15, RLENGTH - 16) "/" path "\n"
    }
    END {
      for (name in named) any_named = 1
      for (i = 1; i <= count; i++) {
        split(order[i], which, SUBSEP)
        if (any_named && !(which[2] in named)) continue
        print "module\t" which[1] "\t" which[2]
        printf "%s", files[order[i]]
      }
    }' "$trace" "$trace" |
    while IFS=$'\t' read -r what where rest; do
      if [[ $what == module ]]; then
        echo "Wine could not load $rest (process:thread $where); it looked for, and did not find:"
      elif [[ -e $rest ]]; then
        echo "  $rest (there now)"
      else
        echo "  $rest (still missing)"
      fi
    done
}

# Makes a new Wine prefix in $1 with Wine's fonts, and waits until every Wine
# program that made it has ended.
#
# Wine makes a new prefix in a program of its own: the first Wine program
# started in it starts "wineboot --init" in Wine's bootstrap mode (in which a
# program loads Wine's modules from Wine's own folders, as the prefix has none
# yet) and waits for it, but at most five minutes, a limit of Wine's (ntdll).
# Then it goes on without bootstrap mode, looks for its modules in the prefix's
# system folder, which the bootstrap has not filled yet, and ends with "could
# not load kernel32.dll, status c0000135" while the bootstrap goes on. In the
# emulated 32-bit guest on a busy machine the bootstrap takes about that long
# or longer. So the first program here does nothing (cmd /c exit) and runs in
# bootstrap mode itself (WINEBOOTSTRAPMODE, Wine's own switch), so that it
# needs nothing of the prefix whenever Wine stops waiting; the wait that counts
# is wineserver -w, which returns once every program of the prefix, the
# bootstrap among them, has ended; and the prefix is made when the bootstrap
# says so.
new_wine_prefix() {
  local prefix=$1 tool
  for tool in wine wineserver; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)" || return 1
  done
  desktop_tmp || return 1
  local log=$DESKTOP_TMP/wineboot.log status=0 loader=wine
  # cmd by its full path and under Wine's 64-bit loader where there is one, so
  # that Wine starts it itself: given a bare name, or to the 32-bit loader (cmd
  # is a 64-bit program in a 64-bit prefix), Wine hands it to start.exe, which
  # looks for it in the prefix's system folder, empty while the bootstrap runs.
  [[ -x /usr/lib/wine/wine64 ]] && loader=/usr/lib/wine/wine64
  # No prompts to install Mono or Gecko: nothing here needs them.
  WINEPREFIX=$prefix WINEDEBUG=$WINE_PREFIX_TRACE WINEDLLOVERRIDES="mscoree=;mshtml=" WINEBOOTSTRAPMODE=1 \
    "${PERMISSIONS_BIND[@]}" "$loader" 'C:\windows\system32\cmd.exe' /c exit >"$log" 2>&1 </dev/null || status=$?
  WINEPREFIX=$prefix "${PERMISSIONS_BIND[@]}" wineserver -w </dev/null
  if ((status != 0)) || ! grep -aq "^wine: configuration in .* has been updated" "$log" ||
    [[ ! -d $prefix/drive_c/windows/system32 ]]; then
    explain_wine_prefix "$log" >&2
    fail "Wine could not make a prefix in $prefix (the first program's exit status: $status)"
    return 1
  fi
  if wine_gave_up_waiting "$log"; then
    echo "Wine's bootstrap outlasted Wine's own five-minute wait for it, and was waited for to its end" >&2
  fi
  # Debian's Wine does not find its own fonts (package fonts-wine) by itself and
  # falls back to a wider font, which clips the dialogs' texts. Give the prefix
  # Wine's Tahoma (its "MS Shell Dlg") and friends, so layouts have Windows' metrics.
  if compgen -G "/usr/share/wine/fonts/*" >/dev/null; then
    cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" ||
      fail "cannot copy Wine's fonts into $prefix" || return 1
  fi
}

# A fresh Wine prefix in this run's folder, initialised, with one persistent
# wineserver and Wine's services started once, so that later Wine programs
# start fast and no service holds a caller's output pipe open. When
# WINE_PREFIX_TEMPLATE names a prefix that new_wine_prefix made, the new one is
# a copy of it (making one takes minutes in the emulated 32-bit guest).
make_wine_prefix() {
  desktop_tmp || return 1
  export WINEPREFIX="$DESKTOP_TMP/wineprefix"
  export WINEDEBUG=-all
  WINE_PREFIX_MADE=1
  if [[ -n ${WINE_PREFIX_TEMPLATE:-} ]]; then
    [[ -d $WINE_PREFIX_TEMPLATE/drive_c ]] || fail "no Wine prefix to copy in $WINE_PREFIX_TEMPLATE" || return 1
    cp -a "$WINE_PREFIX_TEMPLATE" "$WINEPREFIX" || fail "cannot copy the Wine prefix $WINE_PREFIX_TEMPLATE" || return 1
  else
    new_wine_prefix "$WINEPREFIX" || return 1
  fi
  # The server that made the prefix has ended; only now can the persistent one start.
  "${PERMISSIONS_BIND[@]}" wineserver -p </dev/null || fail "cannot start a persistent wineserver" || return 1
  "${PERMISSIONS_BIND[@]}" wine wineboot >>"$DESKTOP_TMP/wineboot.log" 2>&1 </dev/null ||
    fail "Wine cannot start Windows programs (see $DESKTOP_TMP/wineboot.log)" || return 1
  echo "Wine prefix $WINEPREFIX ($(wine --version 2>/dev/null))"
}

# Ends what the functions above started: the prefix's Wine processes, the
# pointer's keeper, the display server, and the temporary folder. Safe to call more than once.
teardown_desktop() {
  if [[ -n $WINE_PREFIX_MADE ]]; then
    "${PERMISSIONS_BIND[@]}" wineserver -k >/dev/null 2>&1 </dev/null
    "${PERMISSIONS_BIND[@]}" wineserver -w >/dev/null 2>&1 </dev/null
    WINE_PREFIX_MADE=""
  fi
  if [[ -n $POINTER_PID ]]; then
    kill "$POINTER_PID" 2>/dev/null
    wait "$POINTER_PID" 2>/dev/null
    POINTER_PID=""
  fi
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
  if [[ -n $DESKTOP_TMP ]]; then
    # A test that stopped half-way may have left a read-only folder behind.
    chmod -R u+w "$DESKTOP_TMP" 2>/dev/null
    rm -rf "$DESKTOP_TMP"
    DESKTOP_TMP=""
  fi
}
