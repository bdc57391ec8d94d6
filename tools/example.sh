#!/usr/bin/env bash
# Both roads of the toolkit on the bundled example tables (examples/tables: 53 Atlantic
# core tops with winter and summer SST and their positions, and the 110 samples of core
# V12-122). First the analog road: the workbench builds the analog project in batch mode
# ("New Velmar Project...", command 12), the engine marvane runs it, and the summary
# table of estimates is shown. Then the transfer-function road: the workbench builds a
# transfer-function project ("New Transfer Function Project...", command 11), quillon
# computes it, and the head of its table of estimates is shown. At last the workbench plots
# both tables of estimates down the core ("Plot estimates...", command 65) into
# build/example_plot.svg.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target marvane quillon corelith-batch -j"$(nproc)"

run_dir=$(mktemp -d)
trap 'rm -rf "$run_dir"' EXIT
cp examples/tables/*.txt "$run_dir"/
cd "$run_dir"
# Keep the user's own workbench settings out of this run.
export XDG_CONFIG_HOME="$run_dir/config"

echo "== corelith: New Velmar Project... (species in line, percent data)"
# Answers, in the order the dialogs open: project file, Format of species (2 = in line),
# Format of data (2 = percent), reference locations, reference census, environment,
# core locations, core census.
"$top"/build/bin/corelith-batch 12 example.pro 2 2 \
    reference_locations.txt reference_species-in-line.txt environment.txt \
    core_V12-122_locations.txt core_V12-122_species-in-line.txt

echo "== marvane: analog method with virtual reference samples"
# The console dialog asks for the folder and the name of the project; the last empty
# line answers the final "Press return".
printf './\nexample.pro\n\n' | "$top"/build/bin/marvane

echo
echo "== Summary table of estimates (SST_short.txt)"
cat SST_short.txt

echo
echo "== corelith: New Transfer Function Project... (species in line, percent data)"
# Answers, in the order the dialogs open: project file, Format of species (2 = in line),
# Format of data (2 = percent), the tools used, the number of factors, Regress options
# (2 = quadratic), then each table and the proposed name of the file written from it
# (reference census, environment, core census).
"$top"/build/bin/corelith-batch 11 example_tf.pro 2 2 CapFac+Regress+Thread 3 2 \
    reference_species-in-line.txt :ok environment.txt :ok \
    core_V12-122_species-in-line.txt :ok

echo "== quillon: factor-analytic transfer function (Imbrie and Kipp)"
"$top"/build/bin/quillon example_tf.pro

echo
echo "== Estimates for V12-122 (example_tf_estimates.tsv, first lines)"
head -n 12 example_tf_estimates.tsv

echo
echo "== corelith: Plot estimates... (analog and transfer-function estimates down the core)"
# Answers: the analog estimates, the transfer-function estimates, no depth table (the
# sample names are depths in cm), and the picture.
"$top"/build/bin/corelith-batch 65 example_estimates.tsv example_tf_estimates.tsv :cancel \
    "$top"/build/example_plot.svg
echo "Open build/example_plot.svg in a browser to see the record."
