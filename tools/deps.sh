#!/usr/bin/env bash
# Installs what the project needs on a fresh Debian 12 machine (as root or via sudo).
set -euo pipefail
pkgs=(cmake g++ clang-14 libclang-rt-14-dev clang-format libgtest-dev libgmock-dev
      libbenchmark-dev qt6-base-dev locales xvfb xterm)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
