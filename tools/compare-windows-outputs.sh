#!/usr/bin/env bash
# The Windows programs write the same files as the Linux ones. Every command of the batch
# front end's list runs on a copy of the example tables, once with the Linux programs and
# once with the Windows programs under Wine; the engine and the transfer-function program
# then run on the projects built. The two folders (files written, the settings file, what
# each command printed) must be equal once CR LF is read as LF. Files the Windows programs
# write through the C library's text mode must have CR LF on every line there.
#
#   tools/compare-windows-outputs.sh [LINUX-BIN [WINDOWS-BIN]]    (build/bin, build-win/bin)
#
# Run it through tools/wine-test.sh, which gives Wine a prefix and a display and names its
# launcher in $WINE. Exit status: 0 when both sides agree.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
linux_bin="$(cd "${1:-$top/build/bin}" && pwd)"
windows_bin="$(cd "${2:-$top/build-win/bin}" && pwd)"
: "${WINE:?run this through tools/wine-test.sh, which names the Wine launcher in WINE}"

# Each scenario: a name starting with the command it is about, then steps separated by ';'.
# A step is "batch ARGS" (the batch front end), "marvane PROJECT" (the engine's console
# dialog answered with the folder and the project) or "quillon ARGS". @program is a harmless
# program that commands 16, 17, 38 and 39 choose and start.
scenarios=(
  "11|batch 11 tf.pro 2 2 CapFac+Regress+Thread 3 2 reference_species-in-line.txt :ok environment.txt :ok core_V12-122_species-in-line.txt :ok; quillon tf.pro"
  "11-column-raw|batch 11 tf.pro 1 1 CapFac+Regress 4 1 reference_species-in-column.txt :ok environment.txt :ok core_V12-122_species-in-column.txt :ok"
  "12|batch 12 velmar.pro 2 2 reference_locations.txt reference_species-in-line.txt environment.txt core_V12-122_locations.txt core_V12-122_species-in-line.txt; marvane velmar.pro"
  "12-column|batch 12 velmar.pro 1 2 reference_locations.txt reference_species-in-column.txt environment.txt core_V12-122_locations.txt core_V12-122_species-in-column.txt; marvane velmar.pro"
  "16|batch 16 @program"
  "17|batch 17 @program"
  "31|batch 31 2"
  "32|batch 32 2"
  "33|batch 33 7"
  "34|batch 34 1"
  "35|batch 35"
  "36|batch 36"
  "37|batch 37 CapFac+Thread"
  "38|batch 38 @program"
  "39|batch 39 @program"
  "41|batch 41 reference_species-in-column.txt :ok"
  "41-line|batch 31 2; batch 41 reference_species-in-line.txt :ok"
  "42|batch 41 reference_species-in-column.txt :ok; batch 42 reference_species-in-column.txt reference_species-in-column.txt.RS :ok"
  "43|batch 43 2,5 reference_species-in-column.txt :ok"
  "43-line|batch 31 2; batch 43 0.75 core_V12-122_species-in-line.txt :ok"
  "51|batch 51 reference_species-in-column.txt :ok"
  "51-line|batch 31 2; batch 51 core_V12-122_species-in-line.txt :ok"
  "53|batch 51 reference_species-in-column.txt :ok; batch 53 reference_species-in-column.txt.HM :ok"
  "54|batch 51 reference_species-in-column.txt :ok; batch 53 reference_species-in-column.txt.HM :ok; batch 54 reference_species-in-column.txt.HM.N :ok"
  "54-percent|batch 32 2; batch 54 reference_species-in-column.txt :ok"
  "64|batch 64 core_V12-122_species-in-line.txt :ok 2 sample=2 species=3 increment=5 count new-sample=Extra count new-species=G.nova increment=2,5 count save stop"
  "64-column|batch 64 reference_species-in-column.txt :ok 1 sample=7 count count save edit-species=Renamed stop"
  "65|batch 12 velmar.pro 2 2 reference_locations.txt reference_species-in-line.txt environment.txt core_V12-122_locations.txt core_V12-122_species-in-line.txt; marvane velmar.pro; batch 11 tf.pro 2 2 CapFac+Regress+Thread 3 2 reference_species-in-line.txt :ok environment.txt :ok core_V12-122_species-in-line.txt :ok; quillon tf.pro; batch 65 velmar_estimates.tsv tf_estimates.tsv :cancel :ok"
  "71|batch 71"
  "72|batch 72"
  "73|batch 73"
  "74|batch 74"
)

work="$(mktemp -d "${TMPDIR:-/tmp}/corelith-compare.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Every command of the batch list has a scenario of its own.
listed="$("$linux_bin/corelith-batch" 0 2>&1 | sed -n 's/.*(commands: \(.*\))/\1/p' || true)"
[ -n "$listed" ] || { echo "compare: no command list from corelith-batch" >&2; exit 1; }
for id in $listed; do
  found=0
  for scenario in "${scenarios[@]}"; do
    if [ "${scenario%%[|-]*}" = "$id" ]; then found=1; fi
  done
  [ "$found" -eq 1 ] || { echo "compare: no scenario for batch command $id" >&2; exit 1; }
done

# The Windows settings file: the prefix's application data (Wine sets APPDATA itself).
appdata="$("$WINE" cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')"
windows_settings="$("$WINE" winepath -u "$appdata" 2>/dev/null | tr -d '\r')/Corelith"

# The folder as Windows programs under Wine see it.
windows_path() {
  local path="$1"
  printf 'Z:%s' "${path//\//\\}"
}

# run SIDE FOLDER STEP...: runs the steps of one scenario in FOLDER on one side.
run() {
  local side="$1" folder="$2" step
  shift 2
  for step in "$@"; do
    read -r -a words <<<"$step"
    local tool="${words[0]}"
    local args=("${words[@]:1}")
    local program_answer=/bin/true
    [ "$side" = windows ] && program_answer='C:\windows\system32\hostname.exe'
    args=("${args[@]/#@program/$program_answer}")
    echo "\$ $step" >>"$folder/../transcript.txt"
    # File times move in ticks of the kernel's clock: a file written in the stamp's tick
    # would not count as newer.
    touch "$folder/../stamp"
    sleep 0.05
    (
      cd "$folder"
      set +e
      case "$side:$tool" in
        linux:batch) XDG_CONFIG_HOME="$folder/../config" "$linux_bin/corelith-batch" "${args[@]}" ;;
        windows:batch) "$WINE" "$windows_bin/corelith-batch.exe" "${args[@]}" ;;
        # The engine proposes the project of its INI file; Return takes the proposal.
        linux:marvane)
          printf '%s\n' "$folder/${args[0]}" >Marvane.ini
          printf '\n\n\n' | "$linux_bin/marvane" ;;
        windows:marvane)
          printf '%s\r\n' "$(windows_path "$folder")\\${args[0]}" >Marvane.ini
          printf '\n\n\n' | "$WINE" "$windows_bin/marvane.exe" ;;
        linux:quillon) "$linux_bin/quillon" "${args[@]}" ;;
        windows:quillon) "$WINE" "$windows_bin/quillon.exe" "${args[@]}" ;;
      esac </dev/null
      echo "exit $?"
    ) >>"$folder/../transcript.txt" 2>&1
    # Which program wrote which file.
    (cd "$folder" && find . -type f -newer ../stamp | sort | sed "s|^\./|$tool |") \
      >>"$folder/../writers.txt"
  done
  rm -f "$folder/../stamp"
}

# The settings file as the comparison sees it: the chosen program paths differ by platform.
settings_copy() {
  local from="$1" to="$2"
  [ -f "$from" ] || return 0
  perl -pe 's/^.+?(\r?\n)$/<program>$1/ if $. >= 4 && $. <= 5 && /\S/' "$from" >"$to"
}

for scenario in "${scenarios[@]}"; do
  name="${scenario%%|*}"
  IFS=';' read -r -a steps <<<"${scenario#*|}"
  steps=("${steps[@]# }")
  for side in linux windows; do
    mkdir -p "$work/$side/$name/files"
    cp "$top"/examples/tables/*.txt "$work/$side/$name/files/"
  done
  rm -rf "$windows_settings"
  run linux "$work/linux/$name/files" "${steps[@]}"
  run windows "$work/windows/$name/files" "${steps[@]}"
  settings_copy "$work/linux/$name/config/corelith/Corelith.INI" "$work/linux/$name/settings.ini"
  settings_copy "$windows_settings/Corelith.INI" "$work/windows/$name/settings.ini"
  rm -rf "$work/linux/$name/config"
done

failed=0
# What differs by platform and by folder: each folder's absolute path (in the project files,
# reports and messages) becomes <folder>/, and the console dialogs and INI files of the engine
# pad paths with blanks to their field widths and spell them with the platform's separator.
normalise() {
  local side="$1" name="$2" folder
  folder="$work/$side/$name/files"
  [ "$side" = linux ] && folder="$folder/" || folder="$(windows_path "$folder")\\"
  find "$work/$side/$name" -type f -exec env FOLDER="$folder" perl -pi -e \
    's/\Q$ENV{FOLDER}\E/<folder>\//g' {} +
  find "$work/$side/$name" -type f \( -name transcript.txt -o -name Marvane.ini \) -exec \
    perl -pi -e 's/\\/\//g; s/ +(\r?)$/$1/' {} +
}
for scenario in "${scenarios[@]}"; do
  normalise linux "${scenario%%|*}"
  normalise windows "${scenario%%|*}"
done

# Line ends: the workbench writes its files in text mode, CR LF on Windows (as does the
# transfer-function program); the engine writes LF on both. Compared as LF.
crlf_only() { ! grep -q $'[^\r]$' "$1" && grep -q $'\r$' "$1"; }
engine_files=()
for scenario in "${scenarios[@]}"; do
  name="${scenario%%|*}"
  [ -f "$work/windows/$name/settings.ini" ] && ! crlf_only "$work/windows/$name/settings.ini" &&
    { echo "Windows settings file without CR LF line ends: $name" >&2; failed=1; }
  [ -f "$work/windows/$name/writers.txt" ] || continue
  while read -r tool file; do
    path="$work/windows/$name/files/$file"
    [ -s "$path" ] || continue
    if [ "$tool" = marvane ]; then
      engine_files+=("$name/$file")
    elif ! crlf_only "$path"; then
      echo "Written by $tool on Windows without CR LF line ends: $name/$file" >&2
      failed=1
    fi
  done <"$work/windows/$name/writers.txt"
done
echo "Written by the engine (its line ends as on Linux, not checked): ${engine_files[*]:-none}"
find "$work/windows" -type f -exec sed -i 's/\r$//' {} +

if diff -r "$work/linux" "$work/windows" >"$work/differences.txt"; then
  echo "Linux and Windows wrote the same files for ${#scenarios[@]} scenarios, line ends aside."
  echo "Files compared: $(find "$work/linux" -type f | wc -l)."
else
  failed=1
  echo "Linux and Windows outputs differ:" >&2
  head -n 200 "$work/differences.txt" >&2
fi
exit $failed
