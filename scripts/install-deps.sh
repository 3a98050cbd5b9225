#!/usr/bin/env bash
# Installs everything velmora needs to build, test and run on Debian 12. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libqt6dbus6 libqt6opengl6-dev
    qt6-pdf-dev qt6-image-formats-plugins qt6-translations-l10n
    libgl-dev libxkbcommon-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-dev
    7zip zip unzip tar gzip bzip2 xz-utils
    unrar rar
    fonts-noto-cjk
    desktop-file-utils dbus-daemon xdg-utils
    libxcb1-dev libxcb-xfixes0-dev libxcb-xinput-dev libxcb-xtest0-dev xvfb
)

if [ "$(id -u)" -ne 0 ]; then
    exec sudo -E "$0" "$@"
fi

export DEBIAN_FRONTEND=noninteractive

# unrar and rar live in the non-free component. It is enabled only when unrar is not installed yet, on
# the sources the machine already has (deb822 *.sources files and classic *.list lines), for its own
# release's suites: never a mirror of our choosing.
release_codename() {
    local VERSION_CODENAME=""
    # shellcheck disable=SC1091
    . /etc/os-release
    echo "${VERSION_CODENAME:-bookworm}"
}

# Prints the deb822 file with " non-free" added to each stanza of the release that has main without it.
non_free_deb822() {
    awk -v codename="$2" '
        function flush(   i, line) {
            for (i = 1; i <= n; i++) {
                line = lines[i]
                if (release && line ~ /^Components:/ && line ~ /[ \t]main([ \t]|$)/ &&
                    line !~ /[ \t]non-free([ \t]|$)/) line = line " non-free"
                print line
            }
            n = 0
            release = 0
        }
        /^[ \t]*$/ { flush(); print; next }
        { lines[++n] = $0 }
        $0 ~ "^Suites:.*[ \t]" codename "(-[a-z]+)?([ \t]|$)" { release = 1 }
        END { flush() }
    ' "$1"
}

# Prints the one-line-style file with " non-free" added to each deb line of the release that has main
# without it.
non_free_list() {
    awk -v codename="$2" '
        $0 ~ "^deb(-src)?[ \t].*[ \t]" codename "(-[a-z]+)?[ \t]" && $0 ~ /[ \t]main([ \t]|$)/ &&
            $0 !~ /[ \t]non-free([ \t]|$)/ { print $0 " non-free"; next }
        { print }
    ' "$1"
}

# Rewrites the file through the filter only when that changes it, so a second run changes nothing.
rewrite_with() {
    local filter=$1 file=$2 codename=$3 changed
    changed=$(mktemp)
    "$filter" "$file" "$codename" >"$changed"
    if cmp -s "$file" "$changed"; then
        rm -f "$changed"
        return
    fi
    echo "install-deps: enabling the non-free component in $file"
    cat "$changed" >"$file"
    rm -f "$changed"
}

enable_non_free() {
    local codename file
    codename=$(release_codename)
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && rewrite_with non_free_deb822 "$file" "$codename"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] && rewrite_with non_free_list "$file" "$codename"
    done
    return 0
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
