#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs the session reader fuzzer.
# Extra arguments go to libFuzzer, e.g. scripts/fuzz.sh -max_total_time=600
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
CC=clang CXX=clang++ bash "$here/scripts/build.sh" "$here/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELL_TESTS=OFF -DORVELL_BENCH=OFF -DORVELL_SANITIZE=ON -DORVELL_FUZZ=ON
if [ "${FUZZ_TARGET:-}" = smf ]; then
    # FUZZ_TARGET=smf: the MIDI file reader, whose caps keep it under 64 MB.
    smf_corpus="$here/build-fuzz/corpus-smf"
    mkdir -p "$smf_corpus"
    cp "$here"/fuzz/seeds/*.mid "$smf_corpus"/
    exec "$here/build-fuzz/fuzz/fuzz_smf_reader" -malloc_limit_mb=64 "$smf_corpus" "$@"
fi
corpus="$here/build-fuzz/corpus"
mkdir -p "$corpus"
cp "$here"/fuzz/seeds/* "$corpus"/ 2>/dev/null || true
# Qt and fontconfig keep some allocations for the life of the process.
ASAN_OPTIONS=detect_leaks=0 exec "$here/build-fuzz/fuzz/fuzz_session_reader" "$corpus" "$@"
