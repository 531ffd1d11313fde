#!/usr/bin/env bash
# Installs what the build, the Wine bench and the run command need, and only
# what is missing, so that a warm machine passes through in seconds.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: run as root (apt-get is needed for: $*)" >&2
        exit 1
    fi
}

# Debian package names of everything the project uses.
PACKAGES=(
    mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine32 wine64
    xvfb xauth x11-apps xdotool imagemagick
    fonts-wqy-microhei
    locales
    cmake make python3
    googletest
    clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
    arch_p="$p"
    [ "$p" = wine32 ] && arch_p="wine32:i386"
    if ! dpkg-query -W -f='${Status}' "$arch_p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$arch_p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    need_root "${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The ANSI code page under Wine follows the locale; 936 needs zh_CN.UTF-8 generated.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    need_root "locale zh_CN.UTF-8"
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi
echo "setup: toolchain and Wine bench ready"
