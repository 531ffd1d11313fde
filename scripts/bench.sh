#!/usr/bin/env bash
# The benchmark command: builds the benchmarks, starts the local catalogue
# site on a free port and runs each benchmark under Wine with the site's
# root on its command line. The benchmarks print figures, each next to its
# target and its floor; nothing here passes or fails on a figure.
#
#   scripts/bench.sh [BUILD_DIR]      (default build/windows-x86)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build=${1:-build/windows-x86}
if [ ! -f "$build/CMakeCache.txt" ]; then
    bash scripts/setup.sh
    cmake --preset windows-x86 -B "$build"
fi
cmake --build "$build" -j2 --target list_fill_benchmark reader_flows_benchmark

export QH_BENCH_DIR="$root/$build/bench"
mkdir -p "$QH_BENCH_DIR"

# A port nobody listens on.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
pidfile="$QH_BENCH_DIR/bench-site.pid"
python3 tests/site/catalogue_site.py --port "$port" --daemon "$pidfile"
trap 'python3 tests/site/catalogue_site.py --stop "$pidfile" >/dev/null 2>&1 || true' EXIT
site="http://127.0.0.1:$port/"

echo "== runtime services in the reader's call patterns"
scripts/wine-run "$build/benchmarks/list_fill_benchmark.exe" | iconv -f GBK -t UTF-8
echo
echo "== reader flows over $site"
scripts/wine-run "$build/benchmarks/reader_flows_benchmark.exe" "$site" | iconv -f GBK -t UTF-8
