#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/build.sh" "$here/build-bench" -DCMAKE_BUILD_TYPE=Release -DORVELL_TESTS=ON -DORVELL_BENCH=ON
for bench in "$here"/build-bench/bench/bench_*; do
    echo "== $(basename "$bench")"
    "$bench" "$@"
done
