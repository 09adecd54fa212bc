#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them on its seeds.
#   scripts/fuzz.sh [session|panel|messages|patches|cmdline|smf] [libFuzzer options]
# e.g. scripts/fuzz.sh panel -max_total_time=600; without a name the session reader.
# Needs clang with its libFuzzer runtime (Debian: apt-get install clang).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
target=session
extra=
if [ $# -gt 0 ] && [[ $1 != -* ]]; then
    target=$1
    shift
fi
# The largest input each reader is fed: well above the seeds, so that a
# session can grow a few more panels, small enough to keep runs quick.
case $target in
    session)  binary=fuzz_session_reader; max_len=32768 ;;
    panel)    binary=fuzz_panel_file;     max_len=16384 ;;
    messages) binary=fuzz_message_file;   max_len=32768 ;;
    patches)  binary=fuzz_patch_file;     max_len=16384 ;;
    cmdline)  binary=fuzz_command_line;   max_len=1024 ;;
    # The MIDI file reader's caps keep it under 64 MB whatever it is fed.
    smf)      binary=fuzz_smf_reader;     max_len=65536; extra=-malloc_limit_mb=64 ;;
    *) echo "fuzz.sh: unknown target $target" >&2; exit 2 ;;
esac
CC=clang CXX=clang++ bash "$here/scripts/build.sh" "$here/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELL_TESTS=OFF -DORVELL_BENCH=OFF -DORVELL_SANITIZE=ON -DORVELL_FUZZ=ON
corpus="$here/build-fuzz/corpus/$target"
mkdir -p "$corpus"
cp "$here/fuzz/seeds/$target"/* "$corpus"/
# Qt and fontconfig keep some allocations for the life of the process.
ASAN_OPTIONS=detect_leaks=0 exec "$here/build-fuzz/fuzz/$binary" -max_len=$max_len $extra "$corpus" "$@"
