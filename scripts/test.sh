#!/usr/bin/env bash
# Installs what is needed, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh" "$here/build-test" -DCMAKE_BUILD_TYPE=Debug -DORVELL_SANITIZE=ON -DORVELL_WERROR=ON
cd "$here/build-test"
ctest --output-on-failure --timeout 600
