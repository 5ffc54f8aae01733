#!/usr/bin/env bash
# Captures both channels with benchcom-run scopePollDual on the simulated
# bench, then checks the viewer on the chart script and CSV it wrote.
#   tests/viewer/bench_capture.sh BENCHCOM_SIM BENCHCOM_RUN OUT_DIR
set -euo pipefail
sim="$1" run="$2" out="$3"
here="$(cd "$(dirname "$0")" && pwd)"
rm -rf "$out"
mkdir -p "$out"
(cd "$out" && "$sim" --ch1 sine,50000,2 --ch2 triangle,100000,1 -- "$run" scopePollDual > console.txt)
exec "$here/run.sh" "$out/gbookFtemp.js" "$out/op_scope.csv" "$out/viewer.png"
