# What the scripts that cross-build Qt for 64-bit Windows (mingw-w64) share:
# Debian's qt6-base source, its build with Debian's Qt as the host Qt, and a
# cache outside the source tree whose builds are named after the Qt version
# and a key of their options, so that changed options build anew and
# everything else reuses them. Sourced, not run; the caller sets `root`.

qt_version=6.4.2
qtbase_source_version=6.4.2+dfsg-10
cache=/var/cache/varno
toolchain=$root/cmake/mingw-w64-x86_64.cmake
sources=$cache/source
qtbase_source_dir=$sources/qt6-base-${qtbase_source_version%-*}

# The prefix of a build named `flavour` with the given options; the toolchain
# file decides how Qt is compiled as much as the options do, and so does every
# further file named after a "--files" argument.
#   mingw_qt_prefix flavour option... [--files file...]
mingw_qt_prefix() {
    local flavour=$1 key options=() files=()
    shift
    while (($#)) && [[ "$1" != --files ]]; do options+=("$1"); shift; done
    (($#)) && { shift; files=("$@"); }
    key=$( (printf '%s\n' "$qt_version" "${options[@]}"; cat "$toolchain" "${files[@]}") \
               | sha256sum | cut -c1-10)
    echo "$cache/qt-$qt_version-mingw64$flavour-$key"
}

install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}" >&2
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
    fi
}

# Qt Core and Test: what a console program and its tests need; the rest
# would double the build (OpenGL goes with Gui).
qt_core_options=(
    -xplatform win32-g++ -static -release
    -nomake tests -nomake examples
    -no-gui -no-widgets -no-dbus -no-icu -qt-pcre -qt-zlib
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
    -no-feature-printsupport
)

qtbase_build_dependencies=(dpkg-dev g++-mingw-w64-x86-64-posix ninja-build cmake perl
                           qt6-base-dev qt6-base-dev-tools)

# Whether apt already knows bookworm's sources, in one-line or deb822 files.
has_bookworm_sources() {
    grep -qsE '^\s*deb-src\s.*\sbookworm(\s|$)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        || awk -v RS= '/Types:[^\n]*deb-src/ && /Suites:[^\n]*bookworm([ \n]|$)/ { found = 1 }
                       END { exit !found }' /etc/apt/sources.list.d/*.sources 2>/dev/null
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

# Downloads and unpacks Debian's source `package=version` as the folder
# `directory` of the cache's sources, or fails. Unpacked beside it, and
# moved into place only when whole.
fetch_debian_source() {
    local package_version=$1 directory=$2 unpack
    has_bookworm_sources || add_bookworm_sources
    apt-cache showsrc "$package_version" 2>/dev/null | grep -q '^Package:' \
        || apt-get update -qq >&2
    mkdir -p "$sources"
    unpack=$(mktemp -d "$sources.XXXXXX")
    # apt downloads as its own user, who must be able to write there.
    chown _apt "$unpack"
    if ! (cd "$unpack" && apt-get source -qq "$package_version") >&2; then
        rm -rf "$unpack"
        return 1
    fi
    rm -rf "$sources/$directory"
    mv "$unpack/$directory" "$sources/$directory"
    rm -rf "$unpack"
}

fetch_qtbase_source() {
    [[ -e "$qtbase_source_dir/configure" ]] \
        || fetch_debian_source "qt6-base=$qtbase_source_version" "${qtbase_source_dir##*/}"
}

# Runs a command of the build with its output in the log, and ends the
# script with the log's end where it fails.
#   logged log command...
logged() {
    local log=$1
    shift
    if ! nice "$@" >>"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "Building Qt for mingw failed; the whole output is in $log" >&2
        exit 1
    fi
}

# Configures, builds and installs qtbase with the given options into
# `prefix`, which it empties first.
#   build_qtbase prefix build_dir log option...
build_qtbase() {
    local prefix=$1 build_dir=$2 log=$3 host_prefix host_libs
    shift 3
    # Qt's own toolchain file loads this one on every use of the cached Qt:
    # a copy in the cache outlives the work tree that built it.
    local cached_toolchain=$prefix/${toolchain##*/}
    host_prefix=$(qtpaths6 --query QT_INSTALL_PREFIX)
    host_libs=$(qtpaths6 --query QT_INSTALL_LIBS)
    rm -rf "$prefix" "$build_dir"
    mkdir -p "$build_dir" "$prefix"
    cp "$toolchain" "$cached_toolchain"
    : >"$log"
    (cd "$build_dir" \
         && logged "$log" "$qtbase_source_dir/configure" -prefix "$prefix" \
                   -qt-host-path "$host_prefix" "$@" \
                   -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cached_toolchain" \
                   -DQT_HOST_PATH_CMAKE_DIR="$host_libs/cmake" \
         && logged "$log" cmake --build . --parallel 2 \
         && logged "$log" cmake --install .)
}

# Runs `build...` unless `stamp` is there, and writes the stamp once it has
# installed: an interrupted build is made again, a finished one never. Says
# what it builds, and how long that took, in the log too.
#   build_once stamp log what duration build...
build_once() {
    local stamp=$1 log=$2 what=$3 duration=$4 started=$SECONDS
    shift 4
    [[ ! -e "$stamp" ]] || return 0
    echo "Building Qt $qt_version $what for mingw into ${stamp%/*}: $duration." \
         "Output goes to $log" >&2
    "$@"
    touch "$stamp"
    echo "Built Qt $what in $(((SECONDS - started) / 60)) minutes" | tee -a "$log" >&2
}

# Prints the prefix and ends the script, for --print-prefix and for a build
# that is there already; fails where it is not built.
#   print_prefix_if_built prefix setup_script [--print-prefix]
print_prefix_if_built() {
    local prefix=$1 script=$2
    if [[ -e "$prefix/.installed" || "${3:-}" == --print-prefix ]]; then
        echo "$prefix"
        [[ -e "$prefix/.installed" ]] \
            || { echo "This Qt for mingw is not built yet: run $script" >&2; exit 1; }
        exit 0
    fi
}

# Holds the lock of `prefix` until the script ends: two test runs that start
# at once build it once.
lock_prefix() {
    mkdir -p "$cache"
    exec {prefix_lock}>"$1.lock"
    flock "$prefix_lock"
}
