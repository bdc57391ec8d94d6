#!/usr/bin/env bash
# Installs what the project needs on a fresh Debian 12 machine (as root or via sudo).
set -euo pipefail
pkgs=(cmake g++ clang-14 libclang-rt-14-dev clang-format libgtest-dev libgmock-dev
      libbenchmark-dev libeigen3-dev qt6-base-dev qt6-svg-dev locales xvfb xterm
      # The Windows programs: cross compiler (posix threads), GoogleTest's sources to
      # cross-build, Wine to run the tests.
      g++-mingw-w64-x86-64-posix googletest wine64)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A German locale (decimal comma) for the tests that check numbers stay in the C locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
    echo "deps.sh: no de_DE.UTF-8 locale; the tests that need it are skipped" >&2
fi
