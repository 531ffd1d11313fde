#!/usr/bin/env bash
# Screenshots of ReaderWindow in each of the ten skins: BUILD_DIR/skins/
# skin-01.png … skin-10.png (page 小说分类) and skin-NN-page1.png (page
# 在线阅读). Each skin opens in a process of its own under the bench, inside
# Wine's virtual desktop: there Wine draws every window's frame itself, so the
# skinned caption shows whatever the engine does with the window's shape
# (on a bare X display a frame without a window region is left to a window
# manager that is not there).
#
#   scripts/skin-screenshots.sh [BUILD_DIR [SITE_ROOT]]
#
# Without SITE_ROOT a local catalogue site is started for the run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build/windows-x86}")
site=${2:-}
helper="$build/tests/skin/skin_screenshot.exe"
if [ ! -f "$helper" ]; then
    cmake --build "$build" --target skin_screenshot
fi
command -v convert >/dev/null || { echo "skin-screenshots: ImageMagick's convert is missing" >&2; exit 1; }
export QH_BENCH_DIR=${QH_BENCH_DIR:-$build/bench}
mkdir -p "$QH_BENCH_DIR"

if [ -z "$site" ]; then
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
    pidfile="$QH_BENCH_DIR/skins-site.pid"
    python3 "$root/tests/site/catalogue_site.py" --port "$port" --daemon "$pidfile"
    trap 'python3 "$root/tests/site/catalogue_site.py" --stop "$pidfile" >/dev/null 2>&1 || true' EXIT
    site="http://127.0.0.1:$port/"
fi

# Host paths as Wine sees them: the host's root is drive Z:.
WindowsPath() { local path=$1; echo "Z:${path//\//\\}"; }

out="$build/skins"
mkdir -p "$out"
for number in 1 2 3 4 5 6 7 8 9 10; do
    name=$(printf 'skin-%02d' "$number")
    rm -f "$out/$name.bmp" "$out/$name-page1.bmp"
    "$root/scripts/wine-run" explorer "/desktop=QingheSkin$number,800x600" "$(WindowsPath "$helper")" \
        "$number" "$site" "$(WindowsPath "$out/$name")"
    [ -f "$out/$name.bmp" ] || { echo "skin-screenshots: skin $number left no screenshot" >&2; exit 1; }
    convert "$out/$name.bmp" "$out/$name.png"
    convert "$out/$name-page1.bmp" "$out/$name-page1.png"
    rm -f "$out/$name.bmp" "$out/$name-page1.bmp"
    echo "$out/$name.png"
done
