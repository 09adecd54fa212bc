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

# Start-up must bring the window up and answer within seconds: a reader that
# waits on a pipe or a device would hang here, so everything runs under a
# timeout and the program has to say that its window is up.
started() {  # stdout file, panel count
    grep -qx "Started: Orvell, $2 panels" "$1"
}

timeout 10 "$orvell" -platform offscreen --midi-log traffic.log --quit-after-start a.orv > out.txt 2> err.txt; rc=$?
[ $rc -eq 0 ] && started out.txt 0 && [ -f traffic.log ] && grep -q "File not found" err.txt
check "the program starts on the virtual backend, shows its window and exits when asked" $?

# A stop request from the system closes the window as File > Exit does.
timeout -s KILL 10 "$orvell" -platform offscreen --midi virtual > out.txt 2> err.txt & pid=$!
sleep 2
kill -TERM $pid 2> /dev/null
wait $pid; rc=$?
[ $rc -eq 0 ]; check "SIGTERM closes the program cleanly" $?

mkfifo pipe.orv pipe.mpl pipe.ins pipe.bmp
printf '[Panels]\r\n\r\n[PatchList]\r\nName=Piano\r\nTag=1\r\n\r\n[PatchList Data]\r\nFileName=%s\r\n' \
    "$work/pipe.ins" > list.orv
printf '[Panels]\r\n\r\n[AOrvell]\r\nName=Orvell\r\n\r\n[AOrvell Data]\r\nBackPictFile=%s\r\n' \
    "$work/pipe.bmp" > backdrop.orv
for c in "pipe.orv 0" "pipe.mpl 0" "list.orv 1" "backdrop.orv 0"; do
    set -- $c
    timeout 10 "$orvell" -platform offscreen --midi virtual --quit-after-start "$1" > out.txt 2> err.txt; rc=$?
    [ $rc -eq 0 ] && started out.txt "$2" && grep -q "Not a regular file" err.txt
    check "a named pipe reached through $1 is refused at once" $?
done

# A MIDI file's events in playing order; a damaged one is refused on standard error.
printf 'MThd\x00\x00\x00\x06\x00\x01\x00\x02\x00\x60' > song.mid
printf 'MTrk\x00\x00\x00\x12\x00\xff\x51\x03\x07\xa1\x20\x60\xff\x51\x03\x0f\x42\x40\x00\xff\x2f\x00' >> song.mid
printf 'MTrk\x00\x00\x00\x11\x00\xff\x21\x01\x01\x00\x90\x3c\x40\x60\x80\x3c\x00\x00\xff\x2f\x00' >> song.mid
printf '%s\n' "0 0.000 0 FF 51 07 A1 20" "0 0.000 2 FF 21 01" "0 0.000 2 90 3C 40" "96 500.000 0 FF 51 0F 42 40" \
    "96 500.000 0 FF 2F" "96 500.000 2 80 3C 00" "96 500.000 2 FF 2F" > expected.txt
"$orvell" --dump-smf song.mid > out.txt 2> err.txt; rc=$?
[ $rc -eq 0 ] && diff -q out.txt expected.txt > /dev/null && [ ! -s err.txt ]
check "--dump-smf prints the merged events" $?

head -c 30 song.mid > cut.mid
"$orvell" --dump-smf cut.mid > out.txt 2> err.txt; rc=$?
[ $rc -eq 1 ] && [ ! -s out.txt ] && grep -q "cut.mid: Track 1 claims 18 bytes but only 8 are left in the file." err.txt
check "--dump-smf refuses a damaged file on stderr with exit 1" $?

# A MIDI file named on the command line opens in a sequencer panel of its own;
# a damaged one is reported with the reader's reason and opens an empty panel.
timeout 10 "$orvell" -platform offscreen --midi virtual --quit-after-start song.mid > out.txt 2> err.txt; rc=$?
[ $rc -eq 0 ] && started out.txt 1 && ! grep -q "song.mid" err.txt
check "a MIDI file on the command line opens in a new sequencer panel" $?

timeout 10 "$orvell" -platform offscreen --midi virtual --quit-after-start cut.mid > out.txt 2> err.txt; rc=$?
[ $rc -eq 0 ] && started out.txt 1 && grep -q "^Open Sequence: Could not load .*cut.mid" err.txt &&
    grep -qx "Track 1 claims 18 bytes but only 8 are left in the file." err.txt
check "a damaged MIDI file on the command line is reported" $?

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
