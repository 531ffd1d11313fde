#!/usr/bin/env bash
# The run command: installs what is missing, builds, starts the local
# catalogue site at the reader's site root and starts the reader under Wine.
# With DISPLAY set the reader opens there and the command returns when it is
# closed; without a display it runs on a virtual one, walks from a category
# to a chapter with real mouse input, and leaves a screenshot per step.
#
# The site serves the classics of the npm package chinese-poetry (fetched once
# into the build folder, converted once); without them, the generated library.
# QH_BUILD_DIR=DIR builds and runs in DIR instead of the preset's folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh
if [ -z "${QH_BUILD_DIR:-}" ]; then
    cmake --preset windows-x86 >/dev/null
    # The reader, and the bench's stand-ins that its Wine prefix registers.
    cmake --build --preset windows-x86 --target QingheReader qh_adodb_stream
    build="$root/build/windows-x86"
else
    build=$(realpath -m "$QH_BUILD_DIR")
    cmake --preset windows-x86 -B "$build" >/dev/null
    cmake --build "$build" --target QingheReader qh_adodb_stream
fi
run="$build/run"
mkdir -p "$run"
export QH_BENCH_DIR="$run/bench"

site_root=$(sed -n 's/^QH_SITE_ROOT:STRING=//p' "$build/CMakeCache.txt")
port=$(echo "$site_root" | sed -n 's#^http://127\.0\.0\.1:\([0-9]*\)/$#\1#p')
if [ -z "$port" ]; then
    echo "run: the site root $site_root is not a local address; starting only the reader"
else
    # The classics: npm verifies the package against the registry's
    # integrity data; the converted library is kept per package version.
    classics_version=2.0.1
    classics="$build/classics"
    package="$classics/npm/node_modules/chinese-poetry"
    library="$classics/library-$classics_version"
    mkdir -p "$classics"
    if ! grep -qs "\"version\": \"$classics_version\"" "$package/package.json"; then
        if ! command -v npm >/dev/null && [ "$(id -u)" -eq 0 ]; then
            DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends nodejs npm >/dev/null || true
        fi
        echo "run: fetching chinese-poetry@$classics_version with npm"
        npm install --no-save --no-audit --no-fund --prefix "$classics/npm" "chinese-poetry@$classics_version" \
            >"$classics/npm.log" 2>&1 || echo "run: npm could not fetch chinese-poetry@$classics_version (see $classics/npm.log)"
    fi
    library_option=()
    if [ -f "$package/package.json" ] && python3 tests/site/classics_convert.py "$package" "$library"; then
        library_option=(--library "$library")
    else
        library=""
        echo "run: no classics library; the site serves the generated library"
    fi
    python3 tests/site/catalogue_site.py --port "$port" "${library_option[@]}" --daemon "$run/site.pid"
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
walked=0
if [ -n "${library:-}" ]; then
    python3 scripts/classics-walk.py --library "$library" --bench "$QH_BENCH_DIR" --out-dir "$run/walk" && walked=1
fi
if [ "$walked" = 0 ]; then
    shot="$run/reader.png"
    python3 scripts/settled-screenshot.py --out "$shot" --bench "$QH_BENCH_DIR" --timeout 60
    echo "screenshot: $shot"
fi
kill "$reader" 2>/dev/null || true
scripts/bench-down "$QH_BENCH_DIR"
