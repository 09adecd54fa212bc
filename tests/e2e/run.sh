#!/usr/bin/env bash
# Runs the built program as a user would, offscreen on virtual MIDI ports.
set -u
orvell=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
passed=0
failed=0

check() {  # name, condition result
    if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

"$orvell" --help > out.txt 2> err.txt; rc=$?
[ $rc -eq 0 ] && grep -q "^Usage: orvell" out.txt; check "--help prints usage" $?

"$orvell" --version > out.txt; grep -q "^Orvell [0-9]" out.txt; check "--version" $?

"$orvell" --frobnicate > out.txt 2> err.txt; rc=$?
[ $rc -eq 2 ] && grep -q "Unknown option --frobnicate" err.txt && grep -q "^Usage:" err.txt && [ ! -s out.txt ]
check "unknown option gives usage on stderr and exit 2" $?

"$orvell" --dump-messages msgs.txt; rc=$?
[ $rc -eq 0 ] && [ "$(head -c 6 msgs.txt | od -An -c | tr -d ' ')" = '"OK"\r\n' ] &&
    [ "$(grep -c $'"\r$' msgs.txt)" -ge 250 ]
check "--dump-messages writes the message file" $?

"$orvell" --dump-messages /nonexistent-dir/m.txt 2> err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "cannot write" err.txt; check "--dump-messages to a missing folder fails" $?

"$orvell" --midi virtual --virtual-ports 2,3 --list-ports > out.txt; rc=$?
[ $rc -eq 0 ] && grep -q "^MIDI system: virtual" out.txt && grep -q " 0  MIDI Mapper Out" out.txt &&
    grep -q " 3  Virtual Out 3" out.txt && grep -q " 0  Empty In" out.txt && grep -q " 2  Virtual In 2" out.txt
check "--list-ports numbers the ports" $?

timeout 20 "$orvell" -platform offscreen --midi virtual --virtual-ports 0,2 > out.txt 2> err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "Fatal error, no MIDI ports found." err.txt
check "no input device ends the program with the fatal message" $?

timeout 20 "$orvell" -platform offscreen --midi virtual --virtual-ports 1,0 2> err.txt; rc=$?
[ $rc -eq 1 ] && grep -q "Fatal error, no MIDI ports found." err.txt
check "no output device ends the program with the fatal message" $?

# The window comes up and stays up until it is stopped.
timeout 3 "$orvell" -platform offscreen --midi-log traffic.log a.orv > out.txt 2> err.txt; rc=$?
[ $rc -eq 124 ] && [ -f traffic.log ]; check "the program starts on the virtual backend and keeps running" $?

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
