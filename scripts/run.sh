#!/usr/bin/env bash
# Installs what is needed, builds and starts Orvell with the given arguments.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh" "$here/build" -DCMAKE_BUILD_TYPE=Release -DORVELL_TESTS=OFF -DORVELL_BENCH=OFF
exec "$here/build/orvell" "$@"
