#!/usr/bin/env bash
# Runs cross-built Windows test programs under Wine on a virtual X display, in a fresh
# temporary Wine prefix, each with a time limit.
#
#   tools/wine-test.sh [--timeout SECONDS] [--jobs N] ITEM... [--one-at-a-time ITEM...]
#                      [-- GTEST-ARGS...]
#
# An ITEM is a test program (.exe), run under Wine with GTEST-ARGS, or a shell script (.sh),
# run by bash with $WINE naming Wine's launcher. Up to N items run at once (default 1); the
# items after --one-at-a-time (programs that open windows and type keys on the shared
# display) run one after the other, beside the rest.
#
# Example (after a Windows build in build-win):
#   tools/wine-test.sh build-win/bin/engine_tests.exe --one-at-a-time build-win/bin/win32_tests.exe
# With CORELITH_SCREENSHOT_DIR=/some/folder the desktop tests also write their pictures there.
# Needs wine64 and xvfb (Debian packages). Exit status: 0 when every item passed.
set -euo pipefail

timeout_seconds=600
jobs=1
free_items=()
display_items=()
extra=()
one_at_a_time=0
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout_seconds="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --one-at-a-time) one_at_a_time=1; shift ;;
    --) shift; extra=("$@"); break ;;
    *)
      if [ "$one_at_a_time" -eq 1 ]; then display_items+=("$1"); else free_items+=("$1"); fi
      shift ;;
  esac
done
if [ $((${#free_items[@]} + ${#display_items[@]})) -eq 0 ]; then
  echo "usage: $0 [--timeout SECONDS] [--jobs N] ITEM... [--one-at-a-time ITEM...] [-- GTEST-ARGS...]" >&2
  exit 2
fi

wine=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null 2>&1; then wine="$(command -v "$candidate")"; break; fi
done
[ -n "$wine" ] || { echo "wine-test.sh: wine64 not found (Debian package wine64)" >&2; exit 2; }
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"
command -v Xvfb >/dev/null || { echo "wine-test.sh: Xvfb not found (Debian package xvfb)" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/corelith-wine.XXXXXX")"
export WINE="$wine" WINEPREFIX="$work/prefix" WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  [ -n "$wineserver" ] && "$wineserver" -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# One prefix for all items, its server kept running between them.
"$wineserver" -p >/dev/null 2>&1 || true
timeout 120 "$wine" wineboot -u >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
# Without a window manager, Wine would wait for one each time a window closes.
timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# run_item ITEM: runs one item with its time limit; its output is shown whole when it ends.
run_item() {
  local item="$1" log status start
  log="$(mktemp "$work/log.XXXXXX")"
  start=$(date +%s)
  set +e
  case "$item" in
    *.sh) timeout --kill-after=10 "$timeout_seconds" bash "$item" >"$log" 2>&1 ;;
    *) timeout --kill-after=10 "$timeout_seconds" "$wine" "$item" "${extra[@]}" >"$log" 2>&1 ;;
  esac
  status=$?
  set -e
  {
    flock 9
    echo "=== $item"
    tr -d '\r' <"$log"
    echo "=== $item: exit $status after $(($(date +%s) - start)) s"
  } 9>"$work/output.lock"
  [ "$status" -eq 0 ] || touch "$work/failed"
}

# run_all ITEM...: the items, up to `lanes` at once.
run_all() {
  local lanes="$1" running=0 item
  shift
  for item in "$@"; do
    if [ "$running" -ge "$lanes" ]; then
      wait -n || true
      running=$((running - 1))
    fi
    run_item "$item" &
    running=$((running + 1))
  done
  wait
}

# Each group in a subshell of its own, so that each waits only for its own items (and
# none for the display server).
free_lanes=$jobs
display_group=""
if [ ${#display_items[@]} -gt 0 ]; then
  if [ "$jobs" -gt 1 ]; then
    free_lanes=$((jobs - 1))
    (run_all 1 "${display_items[@]}") &
    display_group=$!
  else
    (run_all 1 "${display_items[@]}")
  fi
fi
if [ ${#free_items[@]} -gt 0 ]; then
  (run_all "$free_lanes" "${free_items[@]}")
fi
[ -z "$display_group" ] || wait "$display_group" || true
[ ! -e "$work/failed" ]
