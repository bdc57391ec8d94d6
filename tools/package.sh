#!/usr/bin/env bash
# Makes the two release packages in dist/:
#   corelith-VERSION-windows-x64.zip  corelith.exe, marvane.exe, quillon.exe,
#                                     corelith-batch.exe, examples\, README.txt
#                                     (cross-built with mingw-w64, no DLLs needed)
#   corelith_VERSION_amd64.deb        the programs in /usr/bin, the examples in
#                                     /usr/share/corelith/examples, a desktop entry, the icon
# VERSION is project(VERSION) of CMakeLists.txt. Release builds in build-release and
# build-release-win (kept, so a second run only rebuilds what changed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc)
mkdir -p dist

cmake -S . -B build-release-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCORELITH_WITH_QT=OFF -DCORELITH_TESTS=OFF >/dev/null
cmake --build build-release-win -j"$jobs"
(cd build-release-win && cpack -G ZIP >/dev/null)

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCORELITH_TESTS=OFF >/dev/null
cmake --build build-release -j"$jobs"
(cd build-release && cpack -G DEB >/dev/null)

cp build-release-win/packages/corelith-*-windows-x64.zip build-release/packages/corelith_*_amd64.deb dist/

# Each Windows program stands alone: it imports only Windows' own DLLs.
for exe in build-release-win/bin/{corelith,corelith-batch,marvane,quillon}.exe; do
  foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' |
    grep -viE '^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|advapi32|msvcrt|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$' || true)
  if [ -n "$foreign" ]; then
    echo "package.sh: $exe needs $foreign" >&2
    exit 1
  fi
done
ls -l dist/
