#!/usr/bin/env bash
# The run command: installs what is missing, builds, starts the local
# catalogue site at the reader's site root and starts the reader under Wine.
# With DISPLAY set the reader opens there and the command returns when it is
# closed; without a display it runs on a virtual one, and the command leaves
# a screenshot of the window and prints its path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake --preset windows-x86 >/dev/null
# The reader, and the bench's stand-ins that its Wine prefix registers.
cmake --build --preset windows-x86 --target QingheReader qh_adodb_stream

build="$root/build/windows-x86"
run="$build/run"
mkdir -p "$run"
export QH_BENCH_DIR="$run/bench"

site_root=$(sed -n 's/^QH_SITE_ROOT:STRING=//p' "$build/CMakeCache.txt")
port=$(echo "$site_root" | sed -n 's#^http://127\.0\.0\.1:\([0-9]*\)/$#\1#p')
if [ -z "$port" ]; then
    echo "run: the site root $site_root is not a local address; starting only the reader"
else
    python3 tests/site/catalogue_site.py --port "$port" --daemon "$run/site.pid"
fi

stop_site() {
    [ -n "$port" ] && python3 tests/site/catalogue_site.py --stop "$run/site.pid"
    return 0
}
trap stop_site EXIT

if [ -n "${DISPLAY:-}" ]; then
    scripts/wine-run "$build/app/QingheReader.exe"
    exit 0
fi

# No display: a virtual one, with Wine's own desktop so that the window gets
# its caption, and a screenshot once the window has settled. The prefix is
# made first, so that its set-up window is gone before the reader starts.
scripts/wine-run cmd /c exit >/dev/null
scripts/wine-run explorer /desktop=QingheReader,800x600 "$build/app/QingheReader.exe" &
reader=$!
DISPLAY=$(cat "$QH_BENCH_DIR/xvfb.display" 2>/dev/null || true)
shot="$run/reader.png"
python3 scripts/settled-screenshot.py --out "$shot" --bench "$QH_BENCH_DIR" --timeout 60
kill "$reader" 2>/dev/null || true
scripts/bench-down "$QH_BENCH_DIR"
echo "screenshot: $shot"
