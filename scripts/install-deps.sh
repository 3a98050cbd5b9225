#!/usr/bin/env bash
# Installs everything velmora needs to build, test and run on Debian 12. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libqt6dbus6 libqt6opengl6-dev
    qt6-pdf-dev qt6-image-formats-plugins
    libgl-dev libxkbcommon-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-dev
    7zip zip unzip tar gzip bzip2 xz-utils
    unrar rar
    fonts-noto-cjk
)

if [ "$(id -u)" -ne 0 ]; then
    exec sudo -E "$0" "$@"
fi

export DEBIAN_FRONTEND=noninteractive

# unrar and rar live in the non-free component; enable it only when unrar is not installed yet.
enable_non_free() {
    local sources=/etc/apt/sources.list.d/debian.sources
    if [ -f "$sources" ] && ! grep -qE '^Components:.*non-free( |$)' "$sources"; then
        echo "install-deps: enabling the non-free component in $sources"
        sed -i -E '/^Components:/{/non-free( |$)/!s/$/ non-free/}' "$sources"
    elif [ ! -f "$sources" ] && ! grep -qsE '^deb .* non-free( |$)' /etc/apt/sources.list; then
        echo "install-deps: adding the non-free component to /etc/apt/sources.list.d/velmora-non-free.list"
        echo "deb http://deb.debian.org/debian bookworm non-free" >/etc/apt/sources.list.d/velmora-non-free.list
    fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

command -v unrar >/dev/null 2>&1 || enable_non_free
echo "install-deps: installing ${missing[*]}"
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
