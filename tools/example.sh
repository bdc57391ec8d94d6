#!/usr/bin/env bash
# Builds marvane and runs the analog method on the bundled example project
# (examples/velmar: 53 Atlantic core tops, winter and summer SST, core V12-122),
# then shows the summary table of estimates.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build >/dev/null
cmake --build build --target marvane -j"$(nproc)"

run_dir=$(mktemp -d)
trap 'rm -rf "$run_dir"' EXIT
cp examples/velmar/* "$run_dir"/
# The dialog asks for the folder and the file name of the project; the last empty line
# answers the final "Press return".
(cd "$run_dir" && printf './\nVelmar_Project1.pro\n\n' | "$OLDPWD"/build/engine/marvane)
echo
echo "Summary table of estimates (SST_short.txt):"
cat "$run_dir"/SST_short.txt
