#!/usr/bin/env bash
# Cross-builds, for 64-bit Windows (mingw-w64), static and release, what
# Varno's window needs of Qt: Core, Test, and Gui with the Windows platform
# plugin from Debian's qt6-base source; Qml, Quick, Quick Layouts, Shapes and
# Quick Controls with the Windows, Fusion and Basic styles from qtdeclarative.
# Debian's Qt is the host Qt. The build lands in the same cache as Qt Core
# alone (see mingw-qt-common.sh), keyed by its options. Run as root.
#   scripts/setup-mingw-qt-quick.sh                 build if missing; print the prefix last
#   scripts/setup-mingw-qt-quick.sh --print-prefix  print the prefix; fail if it is not built
# qtdeclarative's source comes from Debian where apt can download it, else
# from the release tarball that VARNO_QTDECLARATIVE_TARBALL names.
# A first build takes about an hour on two idle cores; after that, a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/mingw-qt-common.sh"

# Qt Quick draws through Direct3D 11 or its software renderer: no OpenGL,
# Vulkan or Direct2D. The Windows platform plugin's tablet support includes
# wintab.h, which Debian's +dfsg source leaves out. Windows draws the text
# through GDI: Qt 6.4 builds its DirectWrite font database only along with
# Direct2D, yet the plugin asks for it where DirectWrite 3 is on.
qtbase_options=()
for option in "${qt_core_options[@]}"; do
    [[ "$option" == -no-gui ]] || qtbase_options+=("$option")
done
qtbase_options+=(
    -no-opengl -no-feature-vulkan -no-feature-direct2d -no-feature-directwrite3
    -no-feature-tabletevent -no-freetype -qt-harfbuzz -qt-libpng -no-libjpeg
)
# The styles a Windows user may get are Windows, which builds on Fusion,
# which builds on Basic; Basic and Windows draw with Shapes.
declarative_options=(
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF
    -DFEATURE_qml_debug=OFF -DFEATURE_qml_devtools=OFF -DFEATURE_qml_xmllistmodel=OFF
    -DFEATURE_quick_particles=OFF -DFEATURE_quick_designer=OFF
    -DFEATURE_quickcontrols2_imagine=OFF -DFEATURE_quickcontrols2_material=OFF
    -DFEATURE_quickcontrols2_universal=OFF -DFEATURE_quickcontrols2_macos=OFF
    -DFEATURE_quickcontrols2_ios=OFF
)
lean_patch=$root/scripts/qtdeclarative-lean.patch
prefix=$(mingw_qt_prefix -quick "${qtbase_options[@]}" -- "${declarative_options[@]}" \
             --files "$lean_patch")

declarative_source_version=6.4.2+dfsg-1
declarative_debian_dir=$sources/qt6-declarative-${declarative_source_version%-*}
declarative_release_dir=$sources/qtdeclarative-$qt_version

# Prints the folder of qtdeclarative's source, fetched where missing:
# Debian's, else the release tarball's.
declarative_source_dir() {
    local dir unpack tarball=${VARNO_QTDECLARATIVE_TARBALL:-}
    for dir in "$declarative_debian_dir" "$declarative_release_dir"; do
        [[ -e "$dir/CMakeLists.txt" ]] && { echo "$dir"; return; }
    done
    if fetch_debian_source "qt6-declarative=$declarative_source_version" \
                           "${declarative_debian_dir##*/}"; then
        echo "$declarative_debian_dir"
        return
    fi
    if [[ ! -f "$tarball" ]]; then
        echo "apt could not download qtdeclarative's source: set VARNO_QTDECLARATIVE_TARBALL" \
             "to Qt's qtdeclarative $qt_version release (a .tar.xz)" >&2
        return 1
    fi
    echo "Unpacking qtdeclarative from $tarball" >&2
    unpack=$(mktemp -d "$sources.XXXXXX")
    tar -xf "$tarball" -C "$unpack" --strip-components=1
    rm -rf "$declarative_release_dir"
    mv "$unpack" "$declarative_release_dir"
    echo "$declarative_release_dir"
}

# qtdeclarative, patched in a copy of its source, installed into the prefix
# beside qtbase.
build_declarative() {
    local source_dir build_dir=$prefix.build/qtdeclarative source_copy=$prefix.build/qtdeclarative-source
    source_dir=$(declarative_source_dir)
    rm -rf "$build_dir" "$source_copy"
    mkdir -p "$build_dir"
    cp -a "$source_dir" "$source_copy"
    patch -d "$source_copy" -p1 -s <"$lean_patch"
    (cd "$build_dir" \
         && logged "$prefix.log" "$prefix/bin/qt-cmake" -S "$source_copy" -B . -G Ninja \
                   "${declarative_options[@]}" \
         && logged "$prefix.log" cmake --build . --parallel 2 \
         && logged "$prefix.log" cmake --install .)
}

print_prefix_if_built "$prefix" "$0" "$@"
# Host tools that build Qt Quick: qsb bakes its shaders, and the QML tools
# compile the QML modules.
install_missing_packages "${qtbase_build_dependencies[@]}" patch xz-utils \
    qt6-shader-baker qt6-shadertools-dev qt6-declarative-dev qt6-declarative-dev-tools
lock_prefix "$prefix"
build_gui() {
    fetch_qtbase_source
    build_qtbase "$prefix" "$prefix.build/qtbase" "$prefix.log" "${qtbase_options[@]}"
}
# Each half is stamped when installed, so that a failed qtdeclarative does
# not cost qtbase again.
build_once "$prefix/.qtbase-installed" "$prefix.log" Gui "about 20 minutes on two idle cores" \
    build_gui
build_once "$prefix/.installed" "$prefix.log" Quick "about 40 minutes on two idle cores" \
    build_declarative
rm -rf "$prefix.build"
echo "$prefix"
