#!/usr/bin/env bash
# Fails when a source file includes a header from a folder above its own.
# Folders from the bottom up; a new folder must be placed here.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
layers=(core help midi panels patches sequencer controllers pointer tools app)
rank() {
    local i
    for i in "${!layers[@]}"; do
        if [ "${layers[$i]}" = "$1" ]; then echo "$i"; return; fi
    done
    echo -1
}
status=0
cd "$src"
for dir in */; do
    dir=${dir%/}
    own=$(rank "$dir")
    if [ "$own" -lt 0 ]; then echo "src/$dir: folder has no place in the layer order"; status=1; continue; fi
    while IFS=: read -r file line text; do
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<< "$text")
        [ "$target" = "$dir" ] && continue
        theirs=$(rank "$target")
        if [ "$theirs" -lt 0 ] || [ "$theirs" -gt "$own" ]; then
            echo "src/$file:$line: $dir includes $target, which is above it"
            status=1
        fi
    done < <(grep -rnE '^#include "[a-z]+/' "$dir" || true)
done
exit $status
