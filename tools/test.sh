#!/usr/bin/env bash
# Checks the format of every C++ source, builds everything twice (plain, and with
# AddressSanitizer + UBSan) and runs every test; cross-builds the Windows programs and their
# tests and runs them under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs=$(nproc)

# Every C++ source in the repository's format (.clang-format, clang-format 14).
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h'
else
  find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
fi | xargs -0 clang-format --dry-run --Werror

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORELITH_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 600

# Windows: everything cross-built once (Release, mingw-w64) and run under Wine on a virtual
# display: the test suites, the batch front end's files compared with those of the Linux
# build above, and the Win32 desktop's windows and dialogs driven one program at a time.
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCORELITH_WITH_QT=OFF -DCORELITH_TESTS=ON -DCORELITH_WERROR=ON >/dev/null
cmake --build build-win -j"$jobs"
desktop_suites=(build-win/bin/win32_tests.exe build-win/bin/desktop_tests.exe)
other_suites=()
for suite in build-win/bin/*_tests.exe; do
  case " ${desktop_suites[*]} " in *" $suite "*) ;; *) other_suites+=("$suite") ;; esac
done
bash tools/wine-test.sh --timeout 900 --jobs "$jobs" "${other_suites[@]}" \
  tools/compare-windows-outputs.sh --one-at-a-time "${desktop_suites[@]}"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORELITH_SANITIZE=ON -DCORELITH_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 900

# Hostile input: a bounded run of the engine's and the workbench's fuzz targets (about a minute).
bash tools/fuzz.sh
