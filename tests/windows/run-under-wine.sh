#!/usr/bin/env bash
# Runs a Windows program under Wine as the Windows tests need it, and exits
# with the program's code:
#   tests/windows/run-under-wine.sh [--edid TOOL MODEL SERIAL] [--driver COMMAND] program.exe [arguments...]
# With --driver, COMMAND runs instead, with the program and the arguments, on
# the same display and prefix: a test that starts the program with wine,
# drives it and looks at it.
# The program sees two monitors, \\.\DISPLAY1 (1920x1080 at 0,0, primary) and
# \\.\DISPLAY2 (1920x1200 at 1920,0), on an X server of its own, and the
# dxva2.dll that lies beside it instead of Wine's, which fails every call.
# With --edid it sees one monitor, \\.\DISPLAY1, whose EDID (of maker VRN,
# with MODEL and SERIAL as its texts, given by tests/e2e/x11window as TOOL) is
# in the registry: Wine 8.0 copies an output's EDID only through RandR, which
# shows Xvfb's one output as one monitor. Only there does Wine follow the X
# server's outputs while the program runs (it never follows RandR monitors),
# so the program may change them: it puts xrandr's arguments in the file
# that VARNO_XRANDR_REQUEST names, which goes once xrandr has run.
# The Wine prefix is made once (about 20 s) and kept in $VARNO_WINE_CACHE,
# by default in the user's cache folder; runs that share it take turns. It
# must not lie in the source tree: its drive Z: leads to the root folder,
# and the build's QML import scan follows it.
# Exits with 77, CTest's code for a skipped test, when Wine or the Qt for
# mingw that builds the Windows tests is not to be had here.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

skip_code=77
edid=()
if [[ ${1-} == --edid ]]; then
    edid=("${@:2:3}")
    shift 4
fi
driver=
if [[ "${1:-}" == --driver ]] && (($# >= 2)); then
    driver=$2
    shift 2
fi
if (($# < 1)); then
    echo "usage: $0 [--edid TOOL MODEL SERIAL] [--driver COMMAND] program.exe [arguments...]" >&2
    exit 2
fi
program=$1
shift

for tool in wine wineserver Xvfb xrandr; do
    command -v "$tool" >/dev/null \
        || { echo "Skipped: $tool is not installed, so no Windows program runs here" >&2
             exit "$skip_code"; }
done
if [[ ! -e "$program" ]]; then
    "$root/scripts/setup-mingw-qt.sh" --print-prefix >/dev/null 2>&1 \
        || { echo "Skipped: Qt for mingw is not built (scripts/setup-mingw-qt.sh builds it)" >&2
             exit "$skip_code"; }
    echo "$program is not built" >&2
    exit 1
fi
program_dir=$(cd "$(dirname "$program")" && pwd)
if [[ -z "$driver" && ! -e "$program_dir/dxva2.dll" ]]; then
    echo "No dxva2.dll beside $program: Wine would not start it" >&2
    exit 1
fi

cache=${VARNO_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/varno/wine}
mkdir -p "$cache"
exec {lock}>"$cache/lock"
flock "$lock"

export WINEPREFIX=$cache/prefix WINEDEBUG=${WINEDEBUG:--all}
# Wine copies the Start menu of Windows into this computer's own menus,
# outside the prefix: tests must leave no trace there.
no_menus=winemenubuilder.exe=d
# Wine hands no QT_ variable to Windows programs unless it is given with a
# WINE before it. Without a console window, which Wine gives no program
# whose output is redirected, Qt would send its messages and Qt Test's report
# to the debugger.
export WINEQT_FORCE_STDERR_LOGGING=1

xvfb=
requests=
use_xrandr() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d "$1" /f >/dev/null {lock}>&-
}
# Wine takes the setting when its server starts, and saves it when it ends.
switch_xrandr() {
    use_xrandr "$1"
    wineserver -w
}
cleanup() {
    # Wine 8.0 does not end well without a monitor: the output the program
    # switched off comes back first.
    [[ -z "$requests" ]] || { kill "$requests"; xrandr --output screen --auto; } 2>/dev/null || true
    # The prefix is left as other runs expect it.
    ((${#edid[@]} == 0)) || switch_xrandr N || true
    wineserver -k 2>/dev/null || true
    [[ -z "$xvfb" ]] || kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# Wine shows one monitor for each RandR monitor only when it is kept from
# RandR's outputs, which Xvfb has one of (see the registry below). The
# monitors differ in height, so that a test can tell them apart. Without
# -noreset they would go when xrandr, the server's only client, leaves.
screen=3840x1200x24
((${#edid[@]} == 0)) || screen=1920x1080x24
exec {display}< <(exec Xvfb -displayfd 1 -screen 0 $screen -nolisten tcp -noreset {lock}>&- \
                      2>"$cache/xvfb.log")
xvfb=$!
read -r -t 10 -u "$display" number \
    || { echo "Xvfb did not start: $(cat "$cache/xvfb.log")" >&2; exit 1; }
export DISPLAY=:$number
if ((${#edid[@]} == 0)); then
    xrandr --setmonitor VARNO-1 1920/508x1080/286+0+0 screen >/dev/null
    xrandr --setmonitor VARNO-2 1920/508x1200/317+1920+0 none >/dev/null
else
    "${edid[0]}" edid "${edid[1]}" "${edid[2]}"
fi

if [[ ! -e "$WINEPREFIX/.varno-ready" ]]; then
    echo "Making the Wine prefix $WINEPREFIX (once, about 20 s)" >&2
    rm -rf "$WINEPREFIX"
    # Without .NET and the HTML engine, which Wine would offer to download.
    WINEDLLOVERRIDES="mscoree,mshtml=;$no_menus" wineboot -i >"$cache/wineboot.log" 2>&1 {lock}>&-
    use_xrandr N
    # A crash prints its backtrace and ends the program instead of waiting
    # for someone to close a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null {lock}>&-
    wineserver -w
    touch "$WINEPREFIX/.varno-ready"
fi

if ((${#edid[@]})); then
    switch_xrandr Y
    request=$cache/xrandr-request
    rm -f "$request"
    # Wine's drive Z: is the root folder.
    export VARNO_XRANDR_REQUEST=Z:$request
    while sleep 0.1; do
        [[ ! -e "$request" ]] || { xrandr $(<"$request") >&2 || true; rm -f "$request"; }
    done {lock}>&- &
    requests=$!
elif grep -qF '"UseXRandR"="Y"' "$WINEPREFIX/user.reg"; then
    # A run killed before its cleanup left Wine following RandR, which shows
    # one monitor.
    switch_xrandr N
fi
export WINEDLLOVERRIDES="dxva2=n;$no_menus"
if [[ -n "$driver" ]]; then
    "$driver" "$program" "$@" {lock}>&-
else
    wine "$program" "$@" {lock}>&-
fi
