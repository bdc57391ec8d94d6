#!/usr/bin/env bash
# Runs cross-built Windows test programs under Wine on a virtual X display, in a fresh
# temporary Wine prefix, each with a time limit.
#
#   tools/wine-test.sh [--timeout SECONDS] PROGRAM.exe [PROGRAM.exe ...] [-- GTEST-ARGS...]
#
# Example (after a Windows build in build-win):
#   tools/wine-test.sh build-win/bin/win32_tests.exe
# With CORELITH_SCREENSHOT_DIR=/some/folder the desktop tests also write their pictures there.
# Needs wine64 and xvfb (Debian packages). Exit status: 0 when every program passed.
set -euo pipefail

timeout_seconds=600
programs=()
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout_seconds="$2"; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) programs+=("$1"); shift ;;
  esac
done
if [ ${#programs[@]} -eq 0 ]; then
  echo "usage: $0 [--timeout SECONDS] PROGRAM.exe [...] [-- GTEST-ARGS...]" >&2
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
export WINEPREFIX="$work/prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
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

# One prefix for all programs, its server kept running between them.
"$wineserver" -p >/dev/null 2>&1 || true
timeout 120 "$wine" wineboot -u >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
# Without a window manager, Wine would wait for one each time a window closes.
timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

failed=0
for program in "${programs[@]}"; do
  echo "=== $program"
  start=$(date +%s)
  set +e
  timeout --kill-after=10 "$timeout_seconds" "$wine" "$program" "${extra[@]}" 2>&1 | tr -d '\r'
  status=${PIPESTATUS[0]}
  set -e
  echo "=== $program: exit $status after $(( $(date +%s) - start )) s"
  [ "$status" -eq 0 ] || failed=1
done
exit $failed
