#!/usr/bin/env bash
# The test command: installs what is missing, configures, builds and runs
# every test (under Wine, and the native loader tests). Exits non-zero when
# anything fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh

# The Windows program and its tests under Wine, then the in-memory module
# loader natively under sanitizers with its fuzz run. Both always run; the
# command fails if either does. Extra arguments go to both ctest runs.
status=0
if ! { cmake --preset windows-x86 && cmake --build --preset windows-x86 && ctest --preset windows-x86 "$@"; }; then
    echo "test: the Windows preset failed" >&2
    status=1
fi
if ! { cmake --preset native-sanitized && cmake --build --preset native-sanitized &&
       ctest --preset native-sanitized "$@"; }; then
    echo "test: the native-sanitized preset failed" >&2
    status=1
fi
exit "$status"
