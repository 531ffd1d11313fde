#!/usr/bin/env bash
# The test command: installs what is missing, configures, builds and runs
# every test under Wine. Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake --preset windows-x86
cmake --build --preset windows-x86
ctest --preset windows-x86 "$@"
