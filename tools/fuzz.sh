#!/usr/bin/env bash
# A bounded fuzzing run of the engine marvane and of the workbench (about a minute in all):
# builds their libFuzzer targets with clang-14 (AddressSanitizer and UBSan included) and runs
# each on a copy of its seed corpus and of the inputs that once failed. An input that makes a
# target fail is kept under build-fuzz/artifacts/; copy it to <folder>/fuzz/regressions/<target>/
# (engine/ or workbench/) so that the unit tests replay it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
total_seconds=60
# A fixed seed keeps the run of CI repeatable; CORELITH_FUZZ_SEED=0 lets libFuzzer choose one.
seed="${CORELITH_FUZZ_SEED:-1}"
# folder:target:dictionary
targets=(engine:format:descriptor.dict engine:project:descriptor.dict engine:data:descriptor.dict
  engine:run:descriptor.dict workbench:tables:tables.dict workbench:settings:tables.dict
  workbench:counting:tables.dict)
seconds=$((total_seconds / ${#targets[@]}))

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORELITH_FUZZ=ON -DCORELITH_TESTS=OFF -DCORELITH_WITH_QT=OFF -DCORELITH_BENCH=OFF >/dev/null
names=()
for entry in "${targets[@]}"; do
  IFS=: read -r _ target _ <<<"$entry"
  names+=("fuzz_$target")
done
cmake --build build-fuzz -j"$(nproc)" --target "${names[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/artifacts
failed=0
for entry in "${targets[@]}"; do
  IFS=: read -r folder target dictionary <<<"$entry"
  corpus="$work/$target"
  mkdir -p "$corpus"
  for kept in "$folder"/fuzz/corpus/"$target" "$folder"/fuzz/regressions/"$target"; do
    if [ -d "$kept" ]; then
      find "$kept" -maxdepth 1 -type f ! -name README.md -exec cp {} "$corpus"/ \;
    fi
  done
  log="$work/$target.log"
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build-fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -seed="$seed" -timeout=10 -rss_limit_mb=2048 \
      -dict="$folder"/fuzz/"$dictionary" -artifact_prefix=build-fuzz/artifacts/"$target"- \
      "$corpus" >"$log" 2>&1 </dev/null; then
    echo "fuzz_$target: $(grep -E '^Done [0-9]+ runs' "$log" || echo 'done')"
  else
    failed=1
    echo "fuzz_$target FAILED; the failing input is in build-fuzz/artifacts/:"
    tail -n 60 "$log"
  fi
done
exit "$failed"
