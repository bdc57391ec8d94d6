#!/usr/bin/env bash
# Renders the program icon (platform/win32/resources/corelith.svg, its one source) into the
# multi-size Windows icon corelith.ico beside it. The .ico is committed, so builds need
# neither tool; run this after changing the drawing and commit both files.
# Needs rsvg-convert (Debian package librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)/platform/win32/resources"
for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "make_icon.sh: $tool is needed" >&2; exit 1; }
done
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
pictures=()
for size in 16 32 48 64; do
  rsvg-convert -w "$size" -h "$size" -o "$tmp/$size.png" "$here/corelith.svg"
  pictures+=("$tmp/$size.png")
done
convert "${pictures[@]}" "$here/corelith.ico"
identify "$here/corelith.ico"
