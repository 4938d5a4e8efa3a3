#!/usr/bin/env bash
# Cross-builds Qt's Core and Test modules for 64-bit Windows (mingw-w64),
# static, from Debian's own qt6-base source with Debian's Qt as the host Qt:
# no package ships a Qt for mingw. The build lands in a cache outside the
# source tree, named after the Qt version and a key of its options, so that
# changed options build anew and everything else reuses it. Run as root.
#   scripts/setup-mingw-qt.sh                 build if missing; print the prefix last
#   scripts/setup-mingw-qt.sh --print-prefix  print the prefix; fail if it is not built
# A first build takes 10 to 30 minutes on two cores, as busy as they are;
# after that, a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

qt_version=6.4.2
source_version=6.4.2+dfsg-10
cache=/var/cache/varno
toolchain=$root/cmake/mingw-w64-x86_64.cmake

# Only what a console program and its tests need; the rest would double the
# build (OpenGL goes with Gui).
options=(
    -xplatform win32-g++ -static -release
    -nomake tests -nomake examples
    -no-gui -no-widgets -no-dbus -no-icu -qt-pcre -qt-zlib
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
    -no-feature-printsupport
)
# The toolchain file decides how Qt is compiled as much as the options do.
key=$( (printf '%s\n' "$qt_version" "${options[@]}"; cat "$toolchain") | sha256sum | cut -c1-10)
prefix=$cache/qt-$qt_version-mingw64-$key
# Written only once the install has finished.
stamp=$prefix/.installed

sources=$cache/source
source_dir=$sources/qt6-base-${source_version%-*}

if [[ -e "$stamp" || "${1:-}" == --print-prefix ]]; then
    echo "$prefix"
    [[ -e "$stamp" ]] || { echo "Qt for mingw is not built yet: run $0" >&2; exit 1; }
    exit 0
fi

# Whether apt already knows bookworm's sources, in one-line or deb822 files.
has_bookworm_sources() {
    grep -qsE '^\s*deb-src\s.*\sbookworm(\s|$)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        || awk -v RS= '/Types:[^\n]*deb-src/ && /Suites:[^\n]*bookworm([ \n]|$)/ { found = 1 }
                       END { exit !found }' /etc/apt/sources.list.d/*.sources 2>/dev/null
}

install_build_dependencies() {
    local packages=(dpkg-dev g++-mingw-w64-x86-64-posix ninja-build cmake perl qt6-base-dev
                    qt6-base-dev-tools)
    local missing=() package
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}" >&2
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
    fi
}

# The same mirror as the binary packages, with their keyring.
add_bookworm_sources() {
    local uri
    uri=$(awk -v RS= '/Types:[^\n]*deb([ \n]|$)/ && /Suites:[^\n]*bookworm([ \n]|$)/' \
              /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:\s*//p' | head -n1)
    echo "Adding bookworm's source packages to apt" >&2
    cat >/etc/apt/sources.list.d/varno-bookworm-src.sources <<END
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
END
}

# Unpacked beside the cache's builds, and moved into place only when whole.
fetch_source() {
    [[ -e "$source_dir/configure" ]] && return
    has_bookworm_sources || add_bookworm_sources
    apt-cache showsrc "qt6-base=$source_version" 2>/dev/null | grep -q '^Package:' \
        || apt-get update -qq
    local unpack
    unpack=$(mktemp -d "$sources.XXXXXX")
    # apt downloads as its own user, who must be able to write there.
    chown _apt "$unpack"
    (cd "$unpack" && apt-get source -qq "qt6-base=$source_version") >&2
    mkdir -p "$sources"
    rm -rf "$source_dir"
    mv "$unpack/$(basename "$source_dir")" "$source_dir"
    rm -rf "$unpack"
}

build() {
    local build_dir=$prefix.build log=$prefix.log host_prefix host_libs
    # Qt's own toolchain file loads this one on every use of the cached Qt:
    # a copy in the cache outlives the work tree that built it.
    local cached_toolchain=$prefix/${toolchain##*/}
    host_prefix=$(qtpaths6 --query QT_INSTALL_PREFIX)
    host_libs=$(qtpaths6 --query QT_INSTALL_LIBS)
    rm -rf "$prefix" "$build_dir"
    mkdir -p "$build_dir" "$prefix"
    cp "$toolchain" "$cached_toolchain"
    echo "Building Qt $qt_version Core and Test for mingw into $prefix: a first build" \
         "takes 10 to 30 minutes on two cores. Output goes to $log" >&2
    local started=$SECONDS
    if ! (cd "$build_dir" \
              && nice "$source_dir/configure" -prefix "$prefix" -qt-host-path "$host_prefix" \
                      "${options[@]}" -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cached_toolchain" \
                      -DQT_HOST_PATH_CMAKE_DIR="$host_libs/cmake" \
              && nice cmake --build . --parallel 2 \
              && cmake --install .) >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "Building Qt for mingw failed; the whole output is in $log" >&2
        exit 1
    fi
    touch "$stamp"
    rm -rf "$build_dir"
    echo "Built Qt for mingw in $(((SECONDS - started) / 60)) minutes" >&2
}

install_build_dependencies
mkdir -p "$cache"
# Two test runs that start at once build it once.
exec {lock}>"$prefix.lock"
flock "$lock"
if [[ ! -e "$stamp" ]]; then
    fetch_source
    build
fi
echo "$prefix"
